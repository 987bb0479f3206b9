#include "viewer/document_viewer.h"

#include "document/contents.h"
#include "resources/ids.h"

namespace vtome {

// --- contents

void DocumentViewer::resetContents() {
    // The pane lets go of the old index before it goes.
    if (panes_.contents) panes_.contents->setContents(nullptr);
    contentsTree_.reset(nullptr);
    dropLookups();
    document_.index = std::make_unique<TopicIndex>();
    if (indexReplaced_) indexReplaced_();
}

void DocumentViewer::buildContents() {
    if (!document_.store || !panes_.contents) return;
    // A store loaded since the last reset may sit where the old one was.
    dropLookups();
    vtome::buildContents(*document_.store, document_.documentFileName.view(), *document_.index);
    showContents();
}

std::unique_ptr<TopicIndex> DocumentViewer::readContents(KeyedStore& store, std::string_view documentFileName) {
    auto index = std::make_unique<TopicIndex>();
    vtome::buildContents(store, documentFileName, *index);
    return index;
}

void DocumentViewer::installContents(std::unique_ptr<TopicIndex> index) {
    // A store loaded since the last reset may sit where the old one was.
    dropLookups();
    document_.index = std::move(index);
    if (indexReplaced_) indexReplaced_();
    if (panes_.contents && document_.index->firstTopic() != nullptr) showContents();
}

void DocumentViewer::showContents() {
    contentsTree_.reset(document_.index.get());
    panes_.contents->setContents(&contentsTree_);
    // Only the header's branch starts open.
    panes_.contents->expandItem(document_.index->firstTopic()->treeItem());
    if (contentsBuilt_) contentsBuilt_();
}

TopicEntry* DocumentViewer::findTopicByName(std::string_view name) const {
    for (TopicEntry* e = document_.index->firstTopic(); e != nullptr; e = e->nextTopic()) {
        if (e->name() == name) return e;
    }
    return document_.index->findByName(name);
}

void DocumentViewer::selectTopic(TopicEntry* entry) {
    if (entry == nullptr || !panes_.contents) return;
    panes_.contents->selectItem(entry->treeItem());
    if (panes_.mainWindow) panes_.mainWindow->focus();
}

void DocumentViewer::onSelectionChanged(platform::TreeItem, void* data) {
    // The tree holds only items of the current index: it is cleared with it.
    if (data != nullptr) showTopic(static_cast<TopicEntry*>(data));
}

SectionIndex* DocumentViewer::sections() {
    KeyedStore* store = document_.store.get();
    if (store != sectionsStore_) dropLookups();
    if (store == nullptr) return nullptr;
    if (!sections_) {
        sections_ = std::make_unique<SectionIndex>(*store);
        sectionsStore_ = store;
    }
    return sections_.get();
}

TopicTexts* DocumentViewer::topicTexts() {
    SectionIndex* index = sections();
    if (index == nullptr) return nullptr;
    if (topicTexts_ && textsIndex_ != document_.index.get()) topicTexts_.reset();
    if (!topicTexts_) {
        topicTexts_ = std::make_unique<TopicTexts>(*index, *document_.index);
        textsIndex_ = document_.index.get();
    }
    return topicTexts_.get();
}

void DocumentViewer::dropLookups() {
    topicTexts_.reset();
    sections_.reset();
    sectionsStore_ = nullptr;
    textsIndex_ = nullptr;
}

void DocumentViewer::showTopic(TopicEntry* entry) {
    document_.currentTopic = entry;
    // The text is shown from where it stands in the document: a long topic
    // is not copied on its way to the view.
    std::optional<std::string_view> text;
    if (SectionIndex* index = sections()) text = index->getSectionText(entry->name());
    if (text) {
        setTopicText(*text);
    } else {
        setTopicText({});
        document_.currentTopic = nullptr;
    }
    document_.history.appendTopic(entry);
    // A topic chosen any other way than Back and Forward starts a new
    // road: there is nothing to go forward to any more.
    if (!walkingHistory_) document_.forward.clear();
    refreshTopicControls();
}

// --- navigation

void DocumentViewer::goHome() {
    TopicEntry* header = document_.index->firstTopic();
    if (header != nullptr && header->nextTopic() != nullptr) selectTopic(header->nextTopic());
}

void DocumentViewer::goEnd() {
    if (TopicEntry* last = document_.index->lastTopic()) selectTopic(last);
}

void DocumentViewer::goPrevious() {
    TopicEntry* current = document_.currentTopic;
    if (current != nullptr && current->prevTopic() != nullptr) {
        selectTopic(current->prevTopic());
    } else {
        goEnd();
    }
}

void DocumentViewer::goNext() {
    TopicEntry* current = document_.currentTopic;
    if (current != nullptr && current->nextTopic() != nullptr) {
        selectTopic(current->nextTopic());
    } else {
        goHome();
    }
}

void DocumentViewer::selectFromHistory(TopicEntry* entry) {
    walkingHistory_ = true;
    try {
        selectTopic(entry);
    } catch (...) {
        walkingHistory_ = false;
        throw;
    }
    walkingHistory_ = false;
}

void DocumentViewer::goBack() {
    TopicHistory& history = document_.history;
    HistoryEntry* last = history.lastEntry();
    if (last != nullptr && last->prev != nullptr) {
        TopicEntry* left = last->topic;
        history.remove(last);
        selectFromHistory(history.lastEntry()->topic);
        // Showing it appended the topic again (or, when it was still
        // selected, appended nothing): either way the history now ends one
        // step back.
        history.remove(history.lastEntry());
        document_.forward.push_back(left);
    }
    refreshTopicControls();
}

void DocumentViewer::goForward() {
    if (!document_.forward.empty()) {
        TopicEntry* next = document_.forward.back();
        document_.forward.pop_back();
        // Shown as any topic is, so it is in the history again and Back
        // leads back from it.
        selectFromHistory(next);
    }
    refreshTopicControls();
}

void DocumentViewer::resetHistory() {
    document_.history.destroy();
    document_.forward.clear();
    document_.currentTopic = nullptr;
    refreshTopicControls();
}

// --- places

std::optional<TopicPlace> DocumentViewer::currentPlace() const {
    const HistoryEntry* last = document_.history.lastEntry();
    if (last == nullptr || last->topic == nullptr) return std::nullopt;
    return TopicPlace{std::string(last->topic->name()), firstVisibleLine()};
}

void DocumentViewer::showPlace(TopicEntry* topic, std::uint32_t line) {
    if (topic == nullptr) return;
    selectTopic(topic);
    scrollToLine(line);
    if (panes_.topicView) panes_.topicView->setFirstVisibleLine(line);
}

TopicTrail DocumentViewer::trail() const {
    TopicTrail trail;
    for (auto* e = static_cast<const HistoryEntry*>(document_.history.first()); e != nullptr;
         e = static_cast<const HistoryEntry*>(e->next)) {
        // The last entry is the topic on screen, shown anew by the caller.
        if (e->next != nullptr) trail.back.emplace_back(e->topic->name());
    }
    for (const TopicEntry* topic : document_.forward) trail.forward.emplace_back(topic->name());
    return trail;
}

void DocumentViewer::restoreHistory(const TopicTrail& trail) {
    for (const std::string& name : trail.back) {
        if (TopicEntry* topic = findTopicByName(name)) document_.history.appendTopic(topic);
    }
}

void DocumentViewer::restoreForward(const TopicTrail& trail) {
    document_.forward.clear();
    for (const std::string& name : trail.forward) {
        if (TopicEntry* topic = findTopicByName(name)) document_.forward.push_back(topic);
    }
    refreshTopicControls();
}

// --- topic view

void DocumentViewer::setTopicText(std::string_view text) {
    platform::TopicTextView* view = panes_.topicView;
    if (!view) return;
    view->setText({});
    view->replaceSelection("\r\n");
    view->replaceSelection(text);
    view->select({0, 0});
    view->scrollCaretIntoView();
    if (textReplaced_) textReplaced_();
}

void DocumentViewer::clearTopicView() {
    if (panes_.topicView) panes_.topicView->setText({});
    if (textReplaced_) textReplaced_();
}

void DocumentViewer::scrollTopicView(platform::ScrollAction action) {
    if (panes_.topicView) panes_.topicView->scroll(action);
}

void DocumentViewer::scrollToLine(std::uint32_t line) {
    platform::TopicTextView* view = panes_.topicView;
    if (!view) return;
    const std::uint32_t position = view->lineIndex(line);
    // A line past the end of the text moves nothing.
    if (position != platform::TopicTextView::kNoPosition) view->select({position, position});
    view->scrollCaretIntoView();
    if (panes_.mainWindow) panes_.mainWindow->focus();
}

std::uint32_t DocumentViewer::firstVisibleLine() const {
    return panes_.topicView ? panes_.topicView->firstVisibleLine() : 0;
}

void DocumentViewer::setTextSize(int pixels) {
    if (panes_.topicView) panes_.topicView->setTextSize(pixels);
}

// --- navigation bar

void DocumentViewer::refreshTopicControls() {
    platform::DialogView* bar = panes_.navigationBar;
    if (!bar) return;
    const TopicEntry* current = document_.currentTopic;
    // Forward is there exactly when it has somewhere to go, whatever is shown.
    bar->setEnabled(ids::kNavForward, !document_.forward.empty());
    if (current == nullptr) {
        for (std::uint32_t id : {ids::kNavHome, ids::kNavBack, ids::kNavPrevious, ids::kNavNext, ids::kNavNote,
                                 ids::kNavBookmark}) {
            bar->setEnabled(id, false);
        }
        return;
    }
    bar->setText(ids::kNavTitle, current->title());
    bar->setEnabled(ids::kNavNext, current->nextTopic() != nullptr);
    bar->setEnabled(ids::kNavPrevious, current->prevTopic() != nullptr);
    bar->setEnabled(ids::kNavBack, document_.history.count() > 0);
    bar->setVisible(ids::kNavNoteIndicator, hasNote_ && hasNote_(*current));
    const bool loaded = document_.isOpen();
    bar->setEnabled(ids::kNavNote, loaded);
    bar->setEnabled(ids::kNavHome, loaded);
    bar->setEnabled(ids::kNavBookmark, loaded);
}

}  // namespace vtome
