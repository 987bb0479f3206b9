#pragma once
// The viewer application: all of its state for one run (the settings, the
// open document, its user data, the search, the panes) and the main window
// procedure that every message, command and key of the main window reaches.
// main() makes one; each test makes a fresh one on the headless platform.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "annotations/bookmarks.h"
#include "annotations/notes_dialog.h"
#include "annotations/user_data.h"
#include "viewer/contents_filter.h"
#include "viewer/document_viewer.h"
#include "viewer/results_list.h"
#include "viewer/search.h"
#include "platform/platform.h"
#include "shell/finding_events.h"
#include "shell/layout.h"
#include "shell/file_state.h"
#include "shell/navigation_bar_events.h"
#include "shell/recent_documents.h"
#include "shell/settings.h"
#include "shell/side_commands.h"
#include "store/keyed_store.h"
#include "store/text_buffer.h"

namespace vtome::shell {

constexpr std::string_view kProductName = "vTome";
constexpr std::string_view kVersion = "0.92";

struct LaunchContext {
    std::vector<std::string> arguments;  // the command-line words after the program name
    std::string executablePath;          // the running executable, absolute
    std::string settingsPath;            // where vTome.ini is read and written
    // Where user data goes whose document's folder cannot hold it; empty:
    // $XDG_DATA_HOME/vtome (~/.local/share/vtome).
    std::string dataFolder;
};

class Application : public platform::WindowProcedure, public platform::FileWatchEvents {
public:
    Application(platform::Platform& platform, LaunchContext launch);
    ~Application() override;

    // Start-up up to the message loop: the window is created (running
    // onCreate), then shown. False when the process must end instead.
    bool start();
    // start(), then the message loop; the process's exit code.
    int run();

    // --- the main window procedure
    void attach(platform::MainWindow& window) override { mainWindow_ = &window; }
    bool onMessage(std::uint32_t message, std::uint64_t wparam, std::int64_t lparam) override;

    // --- message handlers (rows of the message table)
    void onCreate(std::uint64_t wparam, std::int64_t lparam);
    void onDestroy(std::uint64_t wparam, std::int64_t lparam);
    void onClose(std::uint64_t wparam, std::int64_t lparam);
    void onSize(std::uint64_t wparam, std::int64_t lparam);
    void onKeyDown(std::uint64_t wparam, std::int64_t lparam);
    void onSetFocus(std::uint64_t wparam, std::int64_t lparam);
    void onCommand(std::uint64_t wparam, std::int64_t lparam);
    // The File menu is about to open: its recent documents, the missing dropped.
    void onInitMenuPopup(std::uint64_t wparam, std::int64_t lparam);
    // Files dropped on the window: the first opens as File > Open opens it.
    void onDropFiles(std::uint64_t wparam, std::int64_t lparam);

    // --- commands (rows of the command table)
    void quit();
    void openDocumentDialog();
    void exportText() { sideCommands_.exportText(); }
    void chooseTopicScope();
    void chooseDocumentScope();
    void switchTopWindow();
    void openBookmarkManager() { bookmarks_.openBookmarkManager(); }
    void openOwnHelp() { sideCommands_.openOwnHelp(); }
    void showShortcuts() { sideCommands_.showShortcuts(); }
    void showAbout() { sideCommands_.showAbout(); }
    void goHome() { viewer_.goHome(); }
    void goBack() { viewer_.goBack(); }
    void goPrevious() { viewer_.goPrevious(); }
    void goNext() { viewer_.goNext(); }
    void goEnd() { viewer_.goEnd(); }
    void searchFromKeyboard();
    void focusSearchBox() { search_.focusSearchBox(); }
    void scrollLineDown() { viewer_.scrollTopicView(platform::ScrollAction::LineDown); }
    void scrollLineUp() { viewer_.scrollTopicView(platform::ScrollAction::LineUp); }
    void scrollPageDown() { viewer_.scrollTopicView(platform::ScrollAction::PageDown); }
    void scrollPageUp() { viewer_.scrollTopicView(platform::ScrollAction::PageUp); }
    void showResultsPage() { results_.switchToResults(); }
    void focusContentsFilter() { contentsFilter_.focusFilter(); }
    void goForward() { viewer_.goForward(); }
    void makeTextLarger();
    void makeTextSmaller();
    void makeTextStandard();
    void switchReopenAtLastPlace();
    // File > the k-th recent document (k from 0).
    template <std::size_t k>
    void openRecentDocument() {
        openRecent(k);
    }

    // --- the open document changed on disk
    void onWatchedFileChanged() override;

    // Opens the document at path in place of the open one, as File > Open
    // does once a file is chosen. Everything that can fail is done first:
    // when the document cannot be read, the failure is reported (the box
    // names the file and the reason) and the open document stays as it was.
    bool openChosenDocument(const std::string& path);

    // The "fatalError" box; afterwards the loop ends without saving settings.
    void showFatalError(std::string_view text);
    // The program-wide report of a failure nothing handled: the box, then
    // the process ends with the failure's number. Nothing is saved.
    void reportFailure(const RuntimeFailure& failure);

    // --- for the other parts of the shell and for tests
    DocumentViewer& viewer() { return viewer_; }
    SearchController& search() { return search_; }
    ResultsController& results() { return results_; }
    ContentsFilter& contentsFilter() { return contentsFilter_; }
    // The Contents and Results pages; none when the window system has none.
    platform::SidePages* sidePages() { return sidePages_; }
    Bookmarks& bookmarks() { return bookmarks_; }
    NotesController& notes() { return notes_; }
    UserDataFile& userData() { return userData_; }
    KeyedStore* settings() { return settings_.get(); }
    Layout& layout() { return layout_; }
    platform::MainWindow* mainWindow() { return mainWindow_; }
    platform::Platform& platform() { return platform_; }
    const LaunchContext& launch() const { return launch_; }
    TextBuffer& sharedTextBuffer() { return sharedTextBuffer_; }
    RecentDocuments& recentDocuments() { return recent_; }
    int textSize() const { return textSize_; }
    bool reopensAtLastPlace() const { return reopenAtLastPlace_; }

private:
    void openFromCommandLine();
    // The last steps of every way of opening: the start topic shown, or the
    // place the document was left at when there is one, then the bookmarks.
    void showOpenedDocument(TopicEntry* startTopic, const std::optional<TopicPlace>& place = std::nullopt);
    // Where the document at path was left, when it is to open there.
    std::optional<TopicPlace> lastPlaceFor(const std::string& path) const;
    // The open document's place goes to its recent entry.
    void rememberPlace();
    // Lets go of the open document: what points at its topics first, then
    // the topics, then the text their names point into.
    void closeDocument();
    // Watches the open document from `state` on (its state when it was read).
    void watchOpenDocument(const FileState& state);
    void openRecent(std::size_t index);
    void setTextSize(int pixels);
    // The open document read anew: same topic and line, the history, the
    // Forward list and the bookmarks found again by name.
    void reloadDocument(std::unique_ptr<KeyedStore> store, std::unique_ptr<TopicIndex> index);
    void showStatus(std::string_view text);
    void createPanes(platform::TopicTextView& topicView);
    void setSearchScope(bool topic);
    // The open document's user data, reporting (not ending on) a file it
    // cannot read.
    void openUserData();
    // Reads vTome.ini; one that cannot be read is reported and left alone.
    void loadSettings();
    void saveSettings();

    platform::Platform& platform_;
    LaunchContext launch_;
    platform::MainWindow* mainWindow_ = nullptr;
    std::unique_ptr<KeyedStore> settings_;
    // False when vTome.ini exists but could not be read: it is not written
    // over at shutdown, so that nothing it holds is lost.
    bool settingsWritable_ = true;
    std::optional<WindowPlacement> startPlacement_;
    bool quitRequested_ = false;

    DocumentViewer viewer_;
    SearchController search_{viewer_};
    ResultsController results_{viewer_, search_};
    ContentsFilter contentsFilter_{viewer_, search_.feedback()};
    FindingEvents findingEvents_{*this};
    UserDataFile userData_;
    Bookmarks bookmarks_{viewer_, userData_, platform_};
    NotesController notes_{viewer_, userData_, platform_};
    SideCommands sideCommands_{*this};
    NavigationBarEvents navigationBarEvents_{*this};
    Layout layout_;
    platform::DialogPane* navigationBar_ = nullptr;
    platform::StatusBar* statusBar_ = nullptr;
    platform::SidePages* sidePages_ = nullptr;
    platform::FileWatcher* watcher_ = nullptr;
    // The open document's file, absolute: the current folder may move
    // (Save As moves it) while the document stays open.
    std::string openFile_;
    // That file as it was when read.
    FileState loadedState_;
    RecentDocuments recent_;
    int textSize_ = platform::TopicTextView::kStandardTextSize;
    bool reopenAtLastPlace_ = false;
    // Work buffer of the notes and bookmarks code.
    TextBuffer sharedTextBuffer_{65536};
};

}  // namespace vtome::shell
