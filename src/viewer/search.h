#pragma once
// Searching the current topic or the whole document for the text in the
// navigation bar's search box, one occurrence per step.
//
// Topic scope steps through the occurrences in the topic view from a saved
// position; the first step that finds nothing ends the run, and the next one
// starts again at the beginning. Document scope walks the topics in contents
// order from the header topic, shows each topic whose text contains the
// search text (through the contents tree, so it is in the history), and steps
// through its occurrences as topic scope does. Each scope keeps its own state
// for the whole run of the viewer.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "viewer/document_viewer.h"
#include "viewer/search_feedback.h"

namespace vtome {

class SearchController {
public:
    // The most the search box's list holds, and the longest text searched.
    static constexpr std::uint32_t kMaxListEntries = 10;
    static constexpr std::size_t kMaxSearchText = 254;

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
    // The topic view got another text.
    void onTextReplaced() { feedback_.onTextReplaced(); }

    // The search box's text as searched: cut to kMaxSearchText.
    std::string searchText() const { return readSearchText(); }
    // Selects the first occurrence of `text` in the topic on screen, which
    // is `topic`, and goes on from there: the next topic-scope step starts
    // after it, and the document-scope run is in `topic` with that
    // occurrence done. Without an occurrence the view's caret goes to its
    // start and both go on from there.
    void continueFromFirstHit(TopicEntry& topic, std::string_view text);

    // The open document's section lookup, the viewer's; none when no
    // document is open.
    SectionIndex* sections();
    SearchFeedback& feedback() { return feedback_; }

    // One topic-scope step with a text; with none, only the return to the
    // start of the view. True when an occurrence was selected.
    bool searchInTopic(std::optional<std::string_view> text);
    // One document-scope step with a text; with none, only the return to
    // the start (caret to the start of the view, the walk back to the header).
    void searchDocument(std::optional<std::string_view> text);
    // The first topic from `from` on whose text contains `text`; that topic
    // is shown. None when the walk ends without one.
    TopicEntry* findTopicWithText(std::string_view text, TopicEntry* from);
    // Whether the topic's text contains `text`; when it does, the topic is
    // selected (shown and added to the history).
    bool topicContainsText(std::string_view text, TopicEntry& topic);

    // --- state, for tests
    bool topicSearchActive() const { return topicSearchActive_; }
    std::uint32_t topicSearchFrom() const { return topicSearchFrom_; }
    bool documentSearchActive() const { return documentSearchActive_; }
    const TopicEntry* documentSearchTopic() const { return documentSearchTopic_; }

private:
    std::string readSearchText() const;
    void enableSearchButton(std::string_view text);
    // The status line after a step: the hit selected, or why there is none.
    void reportTopicStep(std::string_view text, bool found);
    void reportDocumentStep(std::string_view text, bool runWasActive);

    DocumentViewer& viewer_;
    SearchFeedback feedback_{viewer_};
    bool searchInTopicScope_ = true;

    bool topicSearchActive_ = false;
    std::uint32_t topicSearchFrom_ = 0;

    bool documentSearchActive_ = false;
    TopicEntry* documentSearchTopic_ = nullptr;
    bool documentSearchHasTopic_ = false;
};

}  // namespace vtome
