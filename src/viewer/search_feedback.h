#pragma once
// What the viewer tells about a search: a short line in the status bar
// ("Hit 3 of 12 in this topic", "12 topics contain "word"", "Not found:
// word") and every occurrence of the search text highlighted in the topic
// view. The line is cleared when the view gets another text, and only when
// it is still the search's own: other messages of the status bar stay.

#include <cstdint>
#include <string>
#include <string_view>

#include "viewer/document_viewer.h"

namespace vtome {

class SearchFeedback {
public:
    explicit SearchFeedback(DocumentViewer& viewer) : viewer_(viewer) {}

    // A line of the search's own in the status bar.
    void showStatus(std::string_view text);
    // Clears the line when it is still the search's own.
    void clearStatus();
    // "Hit k of n in this topic" for an occurrence selected in the view.
    void showHit(platform::TextRange hit, std::string_view text);
    // The view holds another text: the line goes.
    void onTextReplaced() { clearStatus(); }

    // Every occurrence of `text` highlighted in the view; empty: none.
    void highlight(std::string_view text);

    // How often `text` occurs in the view, stepping as its find does.
    std::uint32_t countInView(std::string_view text);

    static std::string topicsContainText(std::uint32_t topics, std::string_view text);
    static std::string notFound(std::string_view text) { return "Not found: " + std::string(text); }

private:
    DocumentViewer& viewer_;
    std::string shown_;  // the status line as last set here
};

}  // namespace vtome
