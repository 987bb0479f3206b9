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

void SearchFeedback::highlight(std::string_view text) {
    if (platform::TopicTextView* view = viewer_.panes().topicView) view->setHighlightText(text);
}

std::uint32_t SearchFeedback::countInView(std::string_view text) {
    platform::TopicTextView* view = viewer_.panes().topicView;
    return view != nullptr ? view->countHits(text, 0).total : 0;
}

void SearchFeedback::showHit(platform::TextRange hit, std::string_view text) {
    platform::TopicTextView* view = viewer_.panes().topicView;
    if (view == nullptr) return;
    // One pass over the topic per step: a hit found from a position carried
    // over from another topic is numbered among those stepped from the start.
    const platform::HitCount count = view->countHits(text, hit.start);
    const std::uint32_t number = count.before + 1;
    showStatus("Hit " + std::to_string(number) + " of " + std::to_string(std::max(count.total, number)) +
               " in this topic");
}

std::string SearchFeedback::topicsContainText(std::uint32_t topics, std::string_view text) {
    return std::to_string(topics) + (topics == 1 ? " topic contains \"" : " topics contain \"") + std::string(text) +
           "\"";
}

}  // namespace vtome
