#pragma once
// Searching the current topic or the whole document for the text in the
// navigation bar's search box, one occurrence per step.

#include "document/document_viewer.h"

namespace vtome {

class SearchController {
public:
    explicit SearchController(DocumentViewer& viewer) : viewer_(viewer) {}

    // The scope follows the Topic check mark of the Search Scope menu.
    void readSearchScope(bool topicScopeChecked);
    bool searchInTopicScope() const { return searchInTopicScope_; }
    // One step in the current scope (Search button, Enter in the bar, F3).
    void searchNext();
    void focusSearchBox();
    // An entry of the search box's list was chosen.
    void restartSearch();
    // The search box's text changed.
    void onSearchTextChanged();
    // The topic index was replaced: nothing may point into the old one.
    void onIndexReplaced();

private:
    DocumentViewer& viewer_;
    bool searchInTopicScope_ = true;
};

}  // namespace vtome
