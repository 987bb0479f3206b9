#include "viewer/search.h"

#include "document/topic_search.h"
#include "resources/ids.h"

namespace vtome {

namespace {

// The first `limit` bytes of text, one byte less for each byte of a UTF-8
// character the cut would split: a broken character matches nothing.
std::string_view cutText(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    auto isContinuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    std::size_t cut = limit;
    while (cut > 0 && limit - cut < 3 && isContinuation(text[cut])) --cut;
    if (static_cast<unsigned char>(text[cut]) < 0xC0) cut = limit;  // not a character split after all
    return text.substr(0, cut);
}

}  // namespace

void SearchController::readSearchScope(bool topicScopeChecked) { searchInTopicScope_ = topicScopeChecked; }

std::string SearchController::readSearchText() const {
    const platform::DialogView* bar = viewer_.panes().navigationBar;
    if (!bar) return {};
    return std::string(cutText(bar->text(ids::kNavSearchBox), kMaxSearchText));
}

void SearchController::enableSearchButton(std::string_view text) {
    if (platform::DialogView* bar = viewer_.panes().navigationBar) bar->setEnabled(ids::kNavSearch, !text.empty());
}

void SearchController::searchNext() {
    platform::DialogView* bar = viewer_.panes().navigationBar;
    if (!bar) return;
    const std::string text = readSearchText();
    // An empty box (Enter or F3 with the button disabled) has nothing to look
    // for: the step leaves the list, the view and both runs as they are.
    if (!text.empty()) {
        if (!bar->findItemExact(ids::kNavSearchBox, text) && bar->itemCount(ids::kNavSearchBox) < kMaxListEntries) {
            bar->addItem(ids::kNavSearchBox, text);
        }
        feedback_.highlight(text);
        if (searchInTopicScope_) {
            reportTopicStep(text, searchInTopic(text));
        } else {
            const bool runWasActive = documentSearchActive_;
            searchDocument(text);
            reportDocumentStep(text, runWasActive);
        }
    }
    bar->focus(ids::kNavSearchBox);
}

void SearchController::reportTopicStep(std::string_view text, bool found) {
    platform::TopicTextView* view = viewer_.panes().topicView;
    if (view == nullptr) return;
    if (found) {
        feedback_.showHit(view->selection(), text);
    } else {
        feedback_.showStatus(feedback_.countInView(text) == 0 ? SearchFeedback::notFound(text)
                                                              : "No more hits in this topic");
    }
}

void SearchController::reportDocumentStep(std::string_view text, bool runWasActive) {
    platform::TopicTextView* view = viewer_.panes().topicView;
    if (view == nullptr) return;
    if (documentSearchHasTopic_) {
        // The run goes on only from a selected occurrence.
        feedback_.showHit(view->selection(), text);
    } else {
        feedback_.showStatus(runWasActive ? "No more hits in the document" : SearchFeedback::notFound(text));
    }
}

void SearchController::continueFromFirstHit(TopicEntry& topic, std::string_view text) {
    platform::TopicTextView* view = viewer_.panes().topicView;
    if (view == nullptr) return;
    const std::optional<platform::TextRange> hit = view->findForward(text, 0);
    view->select(hit ? *hit : platform::TextRange{0, 0});
    view->scrollCaretIntoView();
    topicSearchActive_ = true;
    topicSearchFrom_ = hit ? hit->end : 0;
    documentSearchActive_ = true;
    documentSearchTopic_ = &topic;
    documentSearchHasTopic_ = true;
    feedback_.highlight(text);
    if (hit) feedback_.showHit(*hit, text);
}

void SearchController::focusSearchBox() {
    if (platform::DialogView* bar = viewer_.panes().navigationBar) bar->focus(ids::kNavSearchBox);
}

void SearchController::restartSearch() {
    enableSearchButton(readSearchText());
    if (searchInTopicScope_) {
        searchInTopic(std::nullopt);
    } else {
        searchDocument(std::nullopt);
        documentSearchHasTopic_ = false;
        documentSearchActive_ = false;
    }
}

void SearchController::onSearchTextChanged() { enableSearchButton(readSearchText()); }

void SearchController::onIndexReplaced() {
    documentSearchActive_ = false;
    documentSearchHasTopic_ = false;
    documentSearchTopic_ = nullptr;
}

// --- topic scope

bool SearchController::searchInTopic(std::optional<std::string_view> text) {
    platform::TopicTextView* view = viewer_.panes().topicView;
    if (!view) return false;
    if (!topicSearchActive_ || !text) {
        view->select({0, 0});
        topicSearchFrom_ = 0;
        topicSearchActive_ = true;
    }
    if (!text) return false;
    const std::optional<platform::TextRange> match = view->findForward(*text, topicSearchFrom_);
    if (!match) {
        // The selection stays; the next step starts at the beginning.
        topicSearchActive_ = false;
        return false;
    }
    view->select(*match);
    view->scrollCaretIntoView();
    topicSearchFrom_ = match->end;
    return true;
}

// --- document scope

void SearchController::searchDocument(std::optional<std::string_view> text) {
    if (!documentSearchActive_ || !text) {
        searchInTopic(std::nullopt);
        documentSearchActive_ = true;
        documentSearchTopic_ = viewer_.document().index->firstTopic();
        if (!text) return;
        TopicEntry* found = findTopicWithText(*text, documentSearchTopic_);
        if (found == nullptr) {
            documentSearchActive_ = false;
            documentSearchHasTopic_ = false;
            return;
        }
        documentSearchTopic_ = found;
        documentSearchHasTopic_ = true;
    }
    while (documentSearchHasTopic_) {
        if (searchInTopic(*text)) return;
        // This topic is done (or its view showed no occurrence): on to the
        // next topic that contains the text.
        documentSearchTopic_ = documentSearchTopic_->nextTopic();
        TopicEntry* found = findTopicWithText(*text, documentSearchTopic_);
        if (found == nullptr) {
            // The run is over: the caret goes to the start of the topic on
            // screen and the next step begins again at the header topic.
            searchDocument(std::nullopt);
            documentSearchHasTopic_ = false;
            documentSearchActive_ = false;
            return;
        }
        documentSearchTopic_ = found;
        documentSearchHasTopic_ = true;
    }
}

TopicEntry* SearchController::findTopicWithText(std::string_view text, TopicEntry* from) {
    TopicTexts* texts = viewer_.topicTexts();
    if (texts == nullptr) return nullptr;
    // The texts are read where they stand; only the topic found is shown.
    TopicEntry* found = texts->firstContaining(from, text);
    if (found != nullptr) viewer_.selectTopic(found);
    return found;
}

SectionIndex* SearchController::sections() { return viewer_.sections(); }

bool SearchController::topicContainsText(std::string_view text, TopicEntry& topic) {
    TopicTexts* texts = viewer_.topicTexts();
    if (texts == nullptr) return false;
    const std::optional<std::string_view> topicText = texts->text(topic);
    if (!topicText || !textContains(*topicText, text)) return false;
    viewer_.selectTopic(&topic);
    return true;
}

}  // namespace vtome
