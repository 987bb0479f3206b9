// The commands that make reading easier: the recent documents of the File
// menu, reopening at the last place, the text size, a dropped file, and
// reading the open document anew when it changes on disk.

#include <sys/stat.h>

#include "document/document_loading.h"
#include "resources/ids.h"
#include "resources/menu.h"
#include "shell/application.h"
#include "store/file_io.h"

namespace vtome::shell {

FileState fileStateOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    return {true,
            static_cast<std::uint64_t>(info.st_dev),
            static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec),
            static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

// --- the File menu and drops

void Application::onInitMenuPopup(std::uint64_t, std::int64_t lparam) {
    const auto position = static_cast<std::size_t>(lparam & 0xFFFF);
    if (position != resources::kFileMenuPosition) return;
    recent_.dropMissing();
    mainWindow_->menuBar().replaceItemsBefore(resources::kFileMenuPosition, ids::kCmdQuit, recent_.menuEntries());
}

void Application::openRecent(std::size_t index) {
    if (index >= recent_.entries().size() || viewer_.panes().contents == nullptr) return;
    const std::string path = recent_.entries()[index].path;
    // A document gone since the menu was shown is said so, and leaves the list.
    if (!openChosenDocument(path) && !pathExists(path)) recent_.remove(path);
    viewer_.document().startTopic.clear();
    mainWindow_->focus();
}

void Application::onDropFiles(std::uint64_t, std::int64_t) {
    const std::vector<std::string> files = mainWindow_->droppedFiles();
    // Of several files, the first: one document is open at a time.
    if (files.empty() || viewer_.panes().contents == nullptr) return;
    openChosenDocument(files.front());
    viewer_.document().startTopic.clear();
    mainWindow_->focus();
}

// --- the text size and the last place

void Application::setTextSize(int pixels) {
    if (pixels == textSize_ || viewer_.panes().topicView == nullptr) return;
    textSize_ = pixels;
    viewer_.setTextSize(pixels);
    settings_->setUns32(kSettingsSection, kTextSizeKey, static_cast<std::uint32_t>(pixels));
}

void Application::makeTextLarger() { setTextSize(largerTextSize(textSize_)); }

void Application::makeTextSmaller() { setTextSize(smallerTextSize(textSize_)); }

void Application::makeTextStandard() { setTextSize(platform::TopicTextView::kStandardTextSize); }

void Application::switchReopenAtLastPlace() {
    reopenAtLastPlace_ = !reopenAtLastPlace_;
    settings_->setInt32(kSettingsSection, kLastPlaceKey, reopenAtLastPlace_ ? 1 : 0);
    mainWindow_->menuBar().setChecked(ids::kCmdReopenAtLastPlace, reopenAtLastPlace_);
}

// --- reading the document anew

void Application::showStatus(std::string_view text) {
    if (statusBar_ != nullptr) statusBar_->showText(text);
}

void Application::onWatchedFileChanged() {
    HelpDocument& document = viewer_.document();
    if (!document.isOpen() || openFile_.empty()) return;
    const std::string& path = openFile_;
    const std::string name(document.documentFileName.view());
    // The folder changes with every file in it; only this one matters.
    const FileState now = fileStateOf(path);
    if (now == loadedState_) return;
    loadedState_ = now;
    if (!now.exists) {
        showStatus(name + " is no longer on disk; the text shown is the one read before.");
        return;
    }
    std::unique_ptr<KeyedStore> store;
    std::unique_ptr<TopicIndex> index;
    try {
        store = loadDocumentStore(path);
        index = DocumentViewer::readContents(*store, name);
    } catch (const RuntimeFailure& failure) {
        const std::string reason = failure.reason().empty() ? failure.what() : failure.reason();
        showStatus(name + " changed on disk but cannot be read (" + reason +
                   "); the text shown is the one read before.");
        return;
    }
    reloadDocument(std::move(store), std::move(index));
    showStatus(name + " changed on disk and was read again.");
}

void Application::reloadDocument(std::unique_ptr<KeyedStore> store, std::unique_ptr<TopicIndex> index) {
    HelpDocument& document = viewer_.document();
    const std::optional<TopicPlace> place = viewer_.currentPlace();
    const TopicTrail trail = viewer_.trail();
    const bool inBar = navigationBar_ != nullptr && navigationBar_->hasFocus();
    const std::string filter = sidePages_ != nullptr ? sidePages_->filterText() : std::string();

    // Everything that points at the old topics holds them by name, the old
    // topics go, and only then the text their names point into.
    bookmarks_.releaseTopics();
    viewer_.resetHistory();
    viewer_.resetContents();
    document.store = std::move(store);
    viewer_.installContents(std::move(index));

    viewer_.restoreHistory(trail);
    TopicEntry* topic = place ? viewer_.findTopicByName(place->topicName) : nullptr;
    if (topic != nullptr) {
        viewer_.showPlace(topic, place->line);
    } else {
        viewer_.selectTopic(document.index->firstTopic());
    }
    viewer_.restoreForward(trail);
    bookmarks_.resolveTopics();
    // The new index starts unfiltered; the contents filter typed stays.
    if (!filter.empty()) {
        sidePages_->setFilterText(filter);
        contentsFilter_.onFilterChanged();
    }
    // Someone typing a search text goes on typing.
    if (inBar) search_.focusSearchBox();
}

}  // namespace vtome::shell
