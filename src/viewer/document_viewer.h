#pragma once
// The document side of the viewer: the contents tree and topic index, the
// topic view, moving between topics with the history, and the navigation
// bar's title and buttons. Every topic reaches the screen one way: its tree
// item is selected, and the tree's selection change shows it.

#include <functional>
#include <string_view>

#include "viewer/contents_tree.h"
#include "viewer/help_document.h"
#include "platform/dialog.h"
#include "platform/main_window.h"
#include "platform/panes.h"

namespace vtome {

class DocumentViewer : public platform::ContentsTreeEvents {
public:
    struct Panes {
        platform::MainWindow* mainWindow = nullptr;
        platform::ContentsPane* contents = nullptr;
        platform::TopicTextView* topicView = nullptr;
        platform::DialogView* navigationBar = nullptr;
        platform::StatusBar* statusBar = nullptr;
    };

    HelpDocument& document() { return document_; }
    const HelpDocument& document() const { return document_; }
    void attach(const Panes& panes) { panes_ = panes; }
    const Panes& panes() const { return panes_; }

    // Whether a topic has a note decides the note indicator.
    void setNoteQuery(std::function<bool(const TopicEntry&)> hasNote) { hasNote_ = std::move(hasNote); }
    // Told whenever the topic index is replaced, so that nothing keeps
    // pointing into the old one.
    void setIndexReplacedListener(std::function<void()> listener) { indexReplaced_ = std::move(listener); }
    // Told when a document's contents have been built into the index.
    void setContentsBuiltListener(std::function<void()> listener) { contentsBuilt_ = std::move(listener); }
    // Told whenever the topic view gets another text (a topic shown, the
    // view emptied).
    void setTextReplacedListener(std::function<void()> listener) { textReplaced_ = std::move(listener); }

    // What the contents pane reads, with its filter.
    ContentsTree& contentsTree() { return contentsTree_; }

    // --- contents
    // Empties the tree and replaces the index by an empty one.
    void resetContents();
    void buildContents();
    void selectTopic(TopicEntry* entry);
    void showTopic(TopicEntry* entry);
    void onSelectionChanged(platform::TreeItem item, void* data) override;

    // --- navigation
    void goHome();
    void goEnd();
    void goPrevious();
    void goNext();
    void goBack();
    void resetHistory();

    // --- topic view
    // Shows a text below one empty line, caret at the start, scrolled to the top.
    void setTopicText(std::string_view text);
    // Empties the view completely (no empty first line).
    void clearTopicView();
    void scrollTopicView(platform::ScrollAction action);
    void scrollToLine(std::uint32_t line);
    std::uint32_t firstVisibleLine() const;

    // --- navigation bar
    // Title, button states and note indicator for the current topic.
    void refreshTopicControls();

private:
    HelpDocument document_;
    ContentsTree contentsTree_;
    Panes panes_;
    std::function<bool(const TopicEntry&)> hasNote_;
    std::function<void()> indexReplaced_;
    std::function<void()> textReplaced_;
    std::function<void()> contentsBuilt_;
};

}  // namespace vtome
