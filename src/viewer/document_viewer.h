#pragma once
// The document side of the viewer: the contents tree and topic index, the
// topic view, moving between topics with the history, and the navigation
// bar's title and buttons. Every topic reaches the screen one way: its tree
// item is selected, and the tree's selection change shows it.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/topic_search.h"
#include "store/section_index.h"
#include "viewer/contents_tree.h"
#include "viewer/help_document.h"
#include "platform/dialog.h"
#include "platform/main_window.h"
#include "platform/panes.h"

namespace vtome {

// A place in a document, by the topic's name rather than its entry, so that
// it outlives the topic index: what reopening at the last place and a reload
// come back to.
struct TopicPlace {
    std::string topicName;
    std::uint32_t line = 0;  // the first visible display line
};

// The history and the Forward list by topic names, oldest first, the topic
// on screen not included: what a reload rebuilds them from.
struct TopicTrail {
    std::vector<std::string> back;
    std::vector<std::string> forward;  // the one Forward returns to first, last
};

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

    // The open document's section lookup and where its topics' texts stand,
    // shared by everything that reads topics (showing them, the search).
    // Made on first use; none while no document is open. Both go whenever
    // the contents are reset or built again, as the store is replaced only
    // between those.
    SectionIndex* sections();
    TopicTexts* topicTexts();

    // --- contents
    // Empties the tree and replaces the index by an empty one.
    void resetContents();
    void buildContents();
    // Shows an index built beforehand for the open document (after
    // resetContents): a document that cannot be read is then found out
    // before anything of the open one is let go.
    void installContents(std::unique_ptr<TopicIndex> index);
    // The topic index of a document's store, as buildContents makes it; the
    // failures are those of buildContents (an overlong contents line).
    static std::unique_ptr<TopicIndex> readContents(KeyedStore& store, std::string_view documentFileName);
    // The topic a stored name means: the first of exactly that name, else
    // the first whose name matches ignoring ASCII case; none.
    TopicEntry* findTopicByName(std::string_view name) const;
    void selectTopic(TopicEntry* entry);
    void showTopic(TopicEntry* entry);
    void onSelectionChanged(platform::TreeItem item, void* data) override;

    // --- navigation
    void goHome();
    void goEnd();
    void goPrevious();
    void goNext();
    void goBack();
    // Back to the topic the last Back left; nothing when Back left none or
    // a topic has been shown another way since.
    void goForward();
    void resetHistory();

    // --- places, by name
    // The topic on screen (the last one shown, even without text) and the
    // line at the top; none when nothing is shown.
    std::optional<TopicPlace> currentPlace() const;
    // Selects the topic and brings the line to the top of the view, the
    // caret at its start; a line past the end shows the topic's end.
    void showPlace(TopicEntry* topic, std::uint32_t line);
    TopicTrail trail() const;
    // Rebuilds the history before the topic about to be shown, and after
    // it is shown the Forward list, from names; names the index no longer
    // has are left out.
    void restoreHistory(const TopicTrail& trail);
    void restoreForward(const TopicTrail& trail);

    // --- topic view
    // Shows a text below one empty line, caret at the start, scrolled to the top.
    void setTopicText(std::string_view text);
    // Empties the view completely (no empty first line).
    void clearTopicView();
    void scrollTopicView(platform::ScrollAction action);
    void scrollToLine(std::uint32_t line);
    std::uint32_t firstVisibleLine() const;
    void setTextSize(int pixels);

    // --- navigation bar
    // Title, button states and note indicator for the current topic.
    void refreshTopicControls();

private:
    // The index is shown in the tree, its header's branch open.
    void showContents();
    // Selects a topic as Back and Forward do: the Forward list stays.
    void selectFromHistory(TopicEntry* entry);

    HelpDocument document_;
    // Set while Back or Forward show a topic.
    bool walkingHistory_ = false;
    ContentsTree contentsTree_;
    Panes panes_;
    std::function<bool(const TopicEntry&)> hasNote_;
    std::function<void()> indexReplaced_;
    std::function<void()> textReplaced_;
    std::function<void()> contentsBuilt_;
    std::unique_ptr<SectionIndex> sections_;
    std::unique_ptr<TopicTexts> topicTexts_;
    // What the lookups above were made for.
    const KeyedStore* sectionsStore_ = nullptr;
    const TopicIndex* textsIndex_ = nullptr;
    // Lets go of both lookups.
    void dropLookups();
};

}  // namespace vtome
