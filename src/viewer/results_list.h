#pragma once
// The Results page: every topic of the document that contains the search
// box's text, in contents order, with its title and how often the text
// occurs in it, as vtome-tool search reports them. The list follows the box
// after a pause in the typing, so typing never waits for it; a row chosen
// shows its topic at the first occurrence, and F3 goes on from there in
// either scope.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "document/topic_search.h"
#include "platform/side_pages.h"
#include "platform/timer.h"
#include "viewer/document_viewer.h"
#include "viewer/search.h"

namespace vtome {

class ResultsController final : public platform::TimerEvents {
public:
    // How long the typing must rest before the list and the highlights follow.
    static constexpr std::chrono::milliseconds kTypingPause{250};
    // What the list says while the search box is empty.
    static constexpr std::string_view kEmptyBoxHint = "Type in the search box to list every topic that contains it.";

    ResultsController(DocumentViewer& viewer, SearchController& search) : viewer_(viewer), search_(search) {}

    // The pages to fill and the timer that waits for the pause; either may be none.
    void attach(platform::SidePages* pages, std::unique_ptr<platform::Timer> timer);

    // The search box's text changed: the list follows after the pause.
    void onSearchTextChanged();
    // The pause is over: the highlights follow the box, and the list does
    // while its page is shown.
    void onTimer() override;
    // Now, without waiting: highlights, and the list when its page is shown.
    void update();
    // A page was chosen by its tab.
    void onPageChosen(platform::SidePage page);
    // Enter on a row or a click on it.
    void onResultChosen(std::uint32_t row);
    // Ctrl+Shift+F: the Results page with the keyboard in its list; from
    // the list itself, back to the Contents page.
    void switchToResults();
    // The topic index was replaced: no row may point into the old one.
    void onIndexReplaced();
    // A document's contents were built: the list follows for it.
    void onContentsBuilt();

    // --- state, for tests and the settings
    const std::vector<TopicMatch>& matches() const { return matches_; }
    // The text the list was made for.
    const std::string& listedText() const { return listedText_; }
    bool isStale() const { return stale_; }

private:
    // update(), for a pause that followed a document read or the typing.
    void refresh(bool followsReading);
    // Fills the list for `text`. One that follows a document read (opened
    // or read again), not the user, leaves the status bar to what the
    // reading said and marks the topic on screen.
    void list(const std::string& text, bool followsReading);

    DocumentViewer& viewer_;
    SearchController& search_;
    platform::SidePages* pages_ = nullptr;
    std::unique_ptr<platform::Timer> timer_;

    std::vector<TopicMatch> matches_;
    std::string listedText_;
    // The list does not show the box's text for the open document.
    bool stale_ = true;
    // The pause running now follows a document read, not typing.
    bool followsReading_ = false;
};

}  // namespace vtome
