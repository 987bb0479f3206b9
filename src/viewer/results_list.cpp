#include "viewer/results_list.h"

#include <utility>

namespace vtome {

using platform::SidePage;

void ResultsController::attach(platform::SidePages* pages, std::unique_ptr<platform::Timer> timer) {
    pages_ = pages;
    timer_ = std::move(timer);
    if (pages_) pages_->setResultsMessage(kEmptyBoxHint);
}

void ResultsController::onSearchTextChanged() {
    stale_ = true;
    followsReading_ = false;
    // Without a timer the list follows at once.
    if (timer_) {
        timer_->start(kTypingPause);
    } else {
        update();
    }
}

void ResultsController::onTimer() { refresh(std::exchange(followsReading_, false)); }

void ResultsController::update() { refresh(false); }

void ResultsController::refresh(bool followsReading) {
    if (timer_) timer_->stop();
    const std::string text = search_.searchText();
    search_.feedback().highlight(text);
    if (text != listedText_) stale_ = true;
    if (pages_ == nullptr || pages_->currentPage() != SidePage::Results || !stale_) return;
    list(text, followsReading);
}

void ResultsController::list(const std::string& text, bool followsReading) {
    if (!viewer_.document().isOpen()) {
        // Between two documents (File > Open) there is nothing to list yet.
        matches_.clear();
        pages_->setResultsMessage({});
        return;
    }
    listedText_ = text;
    stale_ = false;
    matches_.clear();
    const bool announce = !followsReading;
    SearchFeedback& feedback = search_.feedback();
    if (text.empty()) {
        pages_->setResultsMessage(kEmptyBoxHint);
        if (announce) feedback.clearStatus();
        return;
    }
    // Through the document's table of topic texts: a list made again after
    // each change of the text reads every topic in place.
    if (TopicTexts* texts = viewer_.topicTexts()) matches_ = topicsContaining(*texts, text);
    if (matches_.empty()) {
        pages_->setResultsMessage("No topic contains \"" + text + "\"");
        if (announce) feedback.showStatus(SearchFeedback::notFound(text));
        return;
    }
    std::vector<platform::ResultRow> rows;
    rows.reserve(matches_.size());
    for (const TopicMatch& match : matches_) rows.push_back({match.topic->title(), match.occurrences});
    pages_->setResults(rows);
    if (announce) {
        feedback.showStatus(SearchFeedback::topicsContainText(static_cast<std::uint32_t>(matches_.size()), text));
        return;
    }
    const TopicEntry* shown = viewer_.document().currentTopic;
    for (std::uint32_t row = 0; row < matches_.size(); ++row) {
        if (matches_[row].topic == shown) pages_->selectResult(row);
    }
}

void ResultsController::onPageChosen(SidePage page) {
    if (page == SidePage::Results) update();
}

void ResultsController::onResultChosen(std::uint32_t row) {
    if (pages_ == nullptr || row >= matches_.size()) return;
    // The index only hands out its entries as const through the matches.
    TopicEntry* topic = viewer_.document().index->topicNumbered(matches_[row].topic->treeItem());
    if (topic == nullptr) return;
    const std::string text = listedText_;
    viewer_.selectTopic(topic);
    if (viewer_.document().currentTopic == topic) search_.continueFromFirstHit(*topic, text);
    // The keyboard stays in the list, so that the next row is one key away.
    pages_->selectResult(row);
    pages_->focusResults();
}

void ResultsController::switchToResults() {
    if (pages_ == nullptr) return;
    if (pages_->currentPage() == SidePage::Results && pages_->resultsHaveFocus()) {
        pages_->showPage(SidePage::Contents);
        if (viewer_.panes().mainWindow) viewer_.panes().mainWindow->focus();
        return;
    }
    pages_->showPage(SidePage::Results);
    update();
    if (!pages_->selectedResult() && !matches_.empty()) pages_->selectResult(0);
    pages_->focusResults();
}

void ResultsController::onIndexReplaced() {
    matches_.clear();
    stale_ = true;
    if (pages_) pages_->setResults({});
}

void ResultsController::onContentsBuilt() {
    stale_ = true;
    followsReading_ = true;
    // Listed once the opening is done and the window shows the document.
    if (timer_) timer_->start(kTypingPause);
}

}  // namespace vtome
