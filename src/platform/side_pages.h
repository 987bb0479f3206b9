#pragma once
// The two pages of the pane left of the text: "Contents", the tree with a
// filter field above it, and "Results", the list of the topics that contain
// the search text. Both live inside the contents pane's rectangle, so the
// window's layout does not change.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/panes.h"

namespace vtome::platform {

enum class SidePage { Contents, Results };

// One line of the results list: a topic's title and how often the search
// text occurs in it.
struct ResultRow {
    std::string_view title;
    std::uint32_t hits = 0;
};

class SidePagesEvents {
public:
    virtual ~SidePagesEvents() = default;
    // The user chose a page by its tab.
    virtual void onPageChosen(SidePage page) = 0;
    // The user changed the filter field's text (typing in the tree moves
    // the typed characters there and reports them here too).
    virtual void onFilterChanged() = 0;
    // Escape, Enter, Up or Down pressed in the filter field (virtual keys).
    virtual void onFilterKey(std::uint32_t key) = 0;
    // Enter on a row of the results list, or a click on it.
    virtual void onResultChosen(std::uint32_t row) = 0;
};

class SidePages {
public:
    virtual ~SidePages() = default;

    virtual void showPage(SidePage page) = 0;
    virtual SidePage currentPage() const = 0;

    // --- the results list
    // The rows to list; their titles must outlive their use here (they are
    // the topic index's own). Nothing is selected afterwards.
    virtual void setResults(std::span<const ResultRow> rows) = 0;
    // One line of text instead of rows (a text found nowhere); empty: an
    // empty list.
    virtual void setResultsMessage(std::string_view text) = 0;
    virtual void selectResult(std::optional<std::uint32_t> row) = 0;
    virtual std::optional<std::uint32_t> selectedResult() const = 0;
    virtual void focusResults() = 0;
    virtual bool resultsHaveFocus() const = 0;

    // --- the contents filter
    virtual void setFilterText(std::string_view text) = 0;
    virtual std::string filterText() const = 0;
    // The keyboard to the filter field; with `selectText` its whole text is
    // selected, as a shortcut does it, so that typing replaces it.
    virtual void focusFilter(bool selectText) = 0;
    virtual bool filterHasFocus() const = 0;
    // The contents source now lists only what the filter lets through
    // (`filtered`), or everything again. The tree reads it anew: filtered,
    // every branch is open and selecting closes none; otherwise only the
    // first item's branch is open. `selected` becomes the selection without
    // a report and is scrolled into view where the source lists it; an item
    // the source knows (it has data) but does not list is the selection
    // without a row. While filtered, selecting such an item is reported as
    // any selection change is.
    virtual void reloadContents(bool filtered, TreeItem selected) = 0;
};

}  // namespace vtome::platform
