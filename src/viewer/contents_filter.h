#pragma once
// The filter field above the contents tree: the tree lists only the entries
// whose title contains the field's text, with the entries they hang under.
// Moving between topics still follows the whole contents; a topic the filter
// hides is shown as ever, it only has no row until the filter is cleared.

#include <cstdint>
#include <string>

#include "platform/side_pages.h"
#include "viewer/document_viewer.h"
#include "viewer/search_feedback.h"

namespace vtome {

class ContentsFilter {
public:
    ContentsFilter(DocumentViewer& viewer, SearchFeedback& feedback) : viewer_(viewer), feedback_(feedback) {}

    void attach(platform::SidePages* pages) { pages_ = pages; }

    // The field's text changed: the tree follows at once.
    void onFilterChanged();
    // Escape clears the filter; Enter shows the selected row's topic when
    // its title matches, else the first match; Up and Down select the row
    // above or below. The keyboard goes back to the main window after
    // Escape and Enter, and stays in the field after Up and Down.
    void onFilterKey(std::uint32_t key);
    // Ctrl+L: the Contents page, with the keyboard in the field.
    void focusFilter();
    // Empties the field and lists the whole tree again.
    void clear();
    // The topic index was replaced: a new document starts unfiltered.
    void onIndexReplaced();

private:
    void apply(const std::string& text);
    // Shows the entry with this item through the one road, and keeps the
    // keyboard in the field.
    void showItem(platform::TreeItem item);

    DocumentViewer& viewer_;
    SearchFeedback& feedback_;
    platform::SidePages* pages_ = nullptr;
};

}  // namespace vtome
