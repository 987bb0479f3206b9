#include "viewer/search_feedback.h"

#include <algorithm>

namespace vtome {

void SearchFeedback::showStatus(std::string_view text) {
    platform::StatusBar* bar = viewer_.panes().statusBar;
    if (bar == nullptr) return;
    shown_ = std::string(text);
    bar->showText(shown_);
}

void SearchFeedback::clearStatus() {
    platform::StatusBar* bar = viewer_.panes().statusBar;
    if (bar == nullptr || shown_.empty()) return;
    if (bar->text() == shown_) bar->showText({});
    shown_.clear();
}

void SearchFeedback::onTextReplaced() {
    clearStatus();
    countedText_.clear();
    totalKnown_ = false;
    lastKnown_ = false;
}

void SearchFeedback::highlight(std::string_view text) {
    if (platform::TopicTextView* view = viewer_.panes().topicView) view->setHighlightText(text);
}

void SearchFeedback::keyTo(std::string_view text) {
    if (text == countedText_) return;
    countedText_ = std::string(text);
    totalKnown_ = false;
    lastKnown_ = false;
}

std::uint32_t SearchFeedback::countInView(std::string_view text) {
    keyTo(text);
    if (totalKnown_) return total_;
    platform::TopicTextView* view = viewer_.panes().topicView;
    std::uint32_t count = 0;
    if (view != nullptr && !text.empty()) {
        for (auto match = view->findForward(text, 0); match; match = view->findForward(text, match->end)) ++count;
    }
    total_ = count;
    totalKnown_ = true;
    return total_;
}

std::uint32_t SearchFeedback::numberOf(platform::TextRange hit, std::string_view text) {
    keyTo(text);
    platform::TopicTextView* view = viewer_.panes().topicView;
    if (view == nullptr || text.empty()) return 0;
    // Forward from the last hit numbered when this one lies after it.
    std::uint32_t number = 0;
    std::uint32_t from = 0;
    if (lastKnown_ && hit.start >= lastStart_) {
        number = lastNumber_ - 1;
        from = lastStart_;
    }
    for (auto match = view->findForward(text, from); match && match->start < hit.start;
         match = view->findForward(text, match->end)) {
        ++number;
    }
    ++number;  // the hit itself
    lastKnown_ = true;
    lastStart_ = hit.start;
    lastNumber_ = number;
    return number;
}

void SearchFeedback::showHit(platform::TextRange hit, std::string_view text) {
    const std::uint32_t number = numberOf(hit, text);
    const std::uint32_t total = std::max(countInView(text), number);
    showStatus("Hit " + std::to_string(number) + " of " + std::to_string(total) + " in this topic");
}

std::string SearchFeedback::topicsContainText(std::uint32_t topics, std::string_view text) {
    return std::to_string(topics) + (topics == 1 ? " topic contains \"" : " topics contain \"") + std::string(text) +
           "\"";
}

}  // namespace vtome
