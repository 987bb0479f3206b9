#include "shell/application.h"

#include <filesystem>

#include "annotations/notes.h"
#include "platform/failure_report.h"
#include "resources/dialog_template.h"
#include "resources/ids.h"
#include "shell/dispatch_tables.h"
#include "store/file_io.h"

namespace vtome::shell {

using platform::message::kClose;
using platform::message::kDestroy;

Application::Application(platform::Platform& platform, LaunchContext launch)
    : platform_(platform), launch_(std::move(launch)) {
    platform_.setFailureHandler([this](const RuntimeFailure& failure) { reportFailure(failure); });
    viewer_.setNoteQuery([this](const TopicEntry& topic) {
        return userData_.isOpen() && hasNote(*userData_.store(), topic.name());
    });
    userData_.setMovedListener([this](const std::string& path) {
        if (statusBar_ != nullptr) {
            statusBar_->showText("This document's folder cannot be written: its bookmarks and notes are kept in " +
                                 path);
        }
    });
    viewer_.setIndexReplacedListener([this] {
        search_.onIndexReplaced();
        results_.onIndexReplaced();
        contentsFilter_.onIndexReplaced();
    });
    viewer_.setContentsBuiltListener([this] { results_.onContentsBuilt(); });
    viewer_.setTextReplacedListener([this] { search_.onTextReplaced(); });
}

Application::~Application() = default;

bool Application::start() {
    std::string title(kProductName);
    if (platform_.createMainWindow(*this, title) == nullptr) {
        showFatalError("Unable to create window");
        return false;
    }
    mainWindow_->show();
    return true;
}

int Application::run() {
    try {
        if (!start()) return 0;
    } catch (const RuntimeFailure& failure) {
        reportFailure(failure);
        return failure.number();
    }
    // A fatal error during start-up has already asked the loop to end.
    if (quitRequested_) return 0;
    platform_.runMessageLoop();
    // The exit code does not depend on how the loop ended.
    return 0;
}

bool Application::onMessage(std::uint32_t message, std::uint64_t wparam, std::int64_t lparam) {
    for (const MessageRow& row : messageTable()) {
        if (row.handler == nullptr) return false;
        if (row.message == message) {
            (this->*row.handler)(wparam, lparam);
            return true;
        }
    }
    return false;
}

// --- start-up and shutdown

void Application::loadSettings() {
    const std::string& path = launch_.settingsPath;
    settings_ = KeyedStore::newEmpty();
    if (!pathExists(path)) return;
    try {
        settings_ = KeyedStore::loadFromFile(path);
    } catch (const RuntimeFailure& failure) {
        if (!failure.isAboutFile()) throw;
        platform::reportFileFailure(platform_, failure);
        settingsWritable_ = false;
    }
}

void Application::saveSettings() {
    if (!settingsWritable_) return;
    try {
        // A minimized window's rectangle lies off screen: keep the last good one.
        if (!mainWindow_->isMinimized()) {
            const platform::Rect rect = mainWindow_->windowRect();
            WindowPlacement placement{rect.left, rect.top, rect.height(), rect.width(),
                                      startPlacement_ ? startPlacement_->spare : 0};
            writeWindowPlacement(*settings_, placement);
        }
        layout_.saveSplitter(*settings_);
        if (sidePages_ != nullptr) writeLeftPage(*settings_, sidePages_->currentPage());
        rememberPlace();
        recent_.save(*settings_);
        const std::filesystem::path folder = std::filesystem::path(launch_.settingsPath).parent_path();
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
        settings_->saveToFile(launch_.settingsPath);
    } catch (const RuntimeFailure& failure) {
        // The viewer is closing anyway: say what was not kept, and close.
        platform::reportFileFailure(platform_, failure.isAboutFile() ? failure
                                                                     : RuntimeFailure(failure.code(), launch_.settingsPath,
                                                                                      0, failure.what()));
    }
}

void Application::onCreate(std::uint64_t, std::int64_t) {
    loadSettings();
    recent_.load(*settings_);

    startPlacement_ = readWindowPlacement(*settings_);
    if (startPlacement_) {
        // Never restore a window where nobody can see it (a screen that is gone).
        const std::vector<platform::Rect> screens = mainWindow_->screenAreas();
        mainWindow_->moveWindow(keepOnScreen(startPlacement_->rect(), screens));
    }

    // Without a text view there is nothing to show: the empty window still
    // opens and closes normally.
    platform::TopicTextView* topicView = platform_.createTopicView();
    if (topicView == nullptr) return;

    platform::MenuBar& menu = mainWindow_->menuBar();
    menu.setChecked(ids::kCmdScopeTopic, true);
    if (readDocumentScope(*settings_)) {
        menu.setChecked(ids::kCmdScopeDocument, true);
        menu.setChecked(ids::kCmdScopeTopic, false);
    }
    if (readTopWindow(*settings_)) {
        menu.setChecked(ids::kCmdTopWindow, true);
        mainWindow_->setTopmost(true);
    }
    reopenAtLastPlace_ = readReopenAtLastPlace(*settings_);
    menu.setChecked(ids::kCmdReopenAtLastPlace, reopenAtLastPlace_);

    createPanes(*topicView);

    mainWindow_->setTitle(std::string(kProductName) + " " + std::string(kVersion));
    onSize(0, 0);
    openFromCommandLine();
}

void Application::createPanes(platform::TopicTextView& topicView) {
    platform::StatusBar& statusBar = platform_.createStatusBar();
    statusBar_ = &statusBar;

    navigationBar_ = &platform_.createDialogPane(resources::navigationBar(), navigationBarEvents_);
    viewer_.attach({mainWindow_, nullptr, &topicView, &navigationBar_->view(), &statusBar});
    viewer_.resetHistory();
    search_.readSearchScope(mainWindow_->menuBar().isChecked(ids::kCmdScopeTopic));

    viewer_.resetContents();
    platform::ContentsPane& contents = platform_.createContentsPane(viewer_);
    viewer_.attach({mainWindow_, &contents, &topicView, &navigationBar_->view(), &statusBar});
    sidePages_ = platform_.createSidePages(findingEvents_);
    results_.attach(sidePages_, platform_.createTimer(results_));
    contentsFilter_.attach(sidePages_);
    if (sidePages_ != nullptr && readLeftPage(*settings_) == platform::SidePage::Results) {
        sidePages_->showPage(platform::SidePage::Results);
    }
    textSize_ = readTextSize(*settings_);
    viewer_.setTextSize(textSize_);

    platform::Splitter& splitter = platform_.createSplitter(layout_);
    layout_.attach(*mainWindow_, {&statusBar, navigationBar_, &contents, &splitter, &topicView});
    layout_.initSplitter(*settings_);

    bookmarks_.setMenuBar(&mainWindow_->menuBar());
    watcher_ = &platform_.createFileWatcher(*this);

    navigationBar_->show();
    contents.show();
    splitter.show();
    statusBar.show();
    topicView.show();
}

void Application::onClose(std::uint64_t, std::int64_t) { onMessage(kDestroy, 0, 0); }

void Application::onDestroy(std::uint64_t, std::int64_t) {
    saveSettings();
    quitRequested_ = true;
    platform_.quit(0);
}

void Application::showFatalError(std::string_view text) {
    platform_.showMessageBox("fatalError", text, platform::MessageBoxIcon::Error, false, {});
    if (mainWindow_ != nullptr) {
        quitRequested_ = true;
        platform_.quit(0);
    }
}

void Application::reportFailure(const RuntimeFailure& failure) {
    const std::string caption = std::string(kProductName) + " Exception (" +
                                formatFailureNumber(static_cast<std::uint32_t>(failure.number())) + ")";
    platform_.showMessageBox(caption, failure.what(), platform::MessageBoxIcon::Exclamation, true, failure.detail());
    platform_.exitProcess(failure.number());
}

// --- main window messages

void Application::onSize(std::uint64_t, std::int64_t) { layout_.onSize(); }

void Application::onKeyDown(std::uint64_t wparam, std::int64_t) {
    if (wparam == platform::vk::kSpace) {
        notes_.openNotes();
    } else if (wparam == 'B') {
        bookmarks_.addBookmark();
        mainWindow_->focus();
    }
}

void Application::onSetFocus(std::uint64_t, std::int64_t) { mainWindow_->focus(); }

void Application::onCommand(std::uint64_t wparam, std::int64_t) {
    const auto id = static_cast<std::uint32_t>(wparam & 0xFFFF);
    const auto code = static_cast<std::uint32_t>((wparam >> 16) & 0xFFFF);
    if (code != platform::notify::kMenu && code != platform::notify::kAccelerator) return;
    if (id >= ids::kFirstBookmarkCommand) {
        bookmarks_.onBookmarkCommand(id);
        return;
    }
    for (const CommandRow& row : commandTable()) {
        if (row.handler == nullptr) return;
        if (row.command == id) {
            (this->*row.handler)();
            return;
        }
    }
}

// --- commands

void Application::quit() { onMessage(kClose, 0, 0); }

void Application::searchFromKeyboard() {
    if (navigationBar_ == nullptr) return;
    navigationBarEvents_.onCommand(navigationBar_->view(), ids::kNavSearch, platform::notify::kButtonClicked);
    mainWindow_->focus();
}

void Application::setSearchScope(bool topic) {
    platform::MenuBar& menu = mainWindow_->menuBar();
    menu.setChecked(ids::kCmdScopeTopic, topic);
    menu.setChecked(ids::kCmdScopeDocument, !topic);
    search_.readSearchScope(menu.isChecked(ids::kCmdScopeTopic));
    settings_->setString(kSettingsSection, kScopeKey, topic ? "topic" : "doc");
}

void Application::chooseTopicScope() { setSearchScope(true); }

void Application::chooseDocumentScope() { setSearchScope(false); }

void Application::switchTopWindow() {
    // The stored value, not the menu, says whether the window is on top now.
    const bool onTop = readTopWindow(*settings_);
    settings_->setInt32(kSettingsSection, kTopKey, onTop ? 0 : 1);
    mainWindow_->menuBar().setChecked(ids::kCmdTopWindow, !onTop);
    mainWindow_->setTopmost(!onTop);
}

}  // namespace vtome::shell
