#pragma once
// The Contents and Results pages in memory: the page shown, the results
// list's rows or message and its selection, the filter field's text. Tests
// act as the user on them: a tab clicked, a row clicked, text typed.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/side_pages.h"

namespace vtome::platform::headless {

class HeadlessContentsPane;
class HeadlessPlatform;

class HeadlessSidePages final : public SidePages {
public:
    HeadlessSidePages(HeadlessPlatform& platform, HeadlessContentsPane& contents, SidePagesEvents& events);

    void showPage(SidePage page) override { page_ = page; }
    bool filterTextSelected() const { return filterSelected_; }
    SidePage currentPage() const override { return page_; }
    void setResults(std::span<const ResultRow> rows) override;
    void setResultsMessage(std::string_view text) override;
    void selectResult(std::optional<std::uint32_t> row) override;
    std::optional<std::uint32_t> selectedResult() const override { return selectedRow_; }
    void focusResults() override;
    bool resultsHaveFocus() const override;
    void setFilterText(std::string_view text) override {
        filter_ = std::string(text);
        filterSelected_ = false;
    }
    std::string filterText() const override { return filter_; }
    void focusFilter(bool selectText) override;
    bool filterHasFocus() const override;
    void reloadContents(bool filtered, TreeItem selected) override;

    // --- what the pages show
    // Each row as "title (hits)".
    std::vector<std::string> resultLines() const;
    const std::string& resultsMessage() const { return message_; }
    std::size_t resultCount() const { return rows_.size(); }

    // --- the user
    void clickTab(SidePage page);
    void clickResult(std::uint32_t row);
    // Replaces the filter field's text as typing would.
    void typeFilter(std::string_view text);
    // A key the routing rule left with a control of these pages; false when
    // it is not theirs.
    bool pressKey(std::uint32_t key, std::uint32_t modifiers);

private:
    // The character a key types, or 0 (keys held with Ctrl or Alt type none).
    static char typedCharacter(std::uint32_t key, std::uint32_t modifiers);

    HeadlessPlatform& platform_;
    HeadlessContentsPane& contents_;
    SidePagesEvents& events_;
    SidePage page_ = SidePage::Contents;
    std::vector<std::pair<std::string, std::uint32_t>> rows_;
    std::string message_;
    std::optional<std::uint32_t> selectedRow_;
    std::string filter_;
    // The field's whole text is selected: what is typed next replaces it.
    bool filterSelected_ = false;
};

}  // namespace vtome::platform::headless
