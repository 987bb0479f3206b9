#pragma once
// The window system as vTome's application code sees it. One implementation
// is the product (Qt); one runs in memory for tests (headless). The
// application creates everything through this interface and never touches a
// toolkit type.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/file_watcher.h"
#include "platform/main_window.h"
#include "platform/panes.h"
#include "platform/side_pages.h"
#include "platform/timer.h"
#include "resources/dialog_template.h"
#include "runtime/failure.h"

namespace vtome::platform {

enum class MessageBoxIcon { Error, Exclamation };

struct FileDialogRequest {
    std::string startFolder;               // where the dialog opens
    std::string filterName;                // "Text File (*.txt)"; empty lists all files
    std::string filterPattern;             // "*.txt"
    std::string defaultExtension;          // "txt": added to a name typed without one
    std::vector<std::string> moreFilters;  // further choices after the first, each "Name (*.a *.b)"
};

class Platform {
public:
    virtual ~Platform() = default;

    // The main window: procedure.attach(window), then
    // procedure.onMessage(kCreate), both before this returns. Null when the
    // window cannot be created.
    virtual MainWindow* createMainWindow(WindowProcedure& procedure, std::string_view title) = 0;

    // Panes of the main window, created hidden.
    virtual StatusBar& createStatusBar() = 0;
    virtual DialogPane& createDialogPane(const resources::DialogTemplate& layout, DialogEvents& events) = 0;
    virtual ContentsPane& createContentsPane(ContentsTreeEvents& events) = 0;
    virtual Splitter& createSplitter(SplitterEvents& events) = 0;
    // Null when no text view can be made.
    virtual TopicTextView* createTopicView() = 0;
    // The Contents and Results pages of the contents pane, which must exist;
    // null when this window system has none.
    virtual SidePages* createSidePages(SidePagesEvents& events) = 0;
    // A timer of the user interface's thread, owned by the caller.
    virtual std::unique_ptr<Timer> createTimer(TimerEvents& events) = 0;
    // Watches the open document on disk; lives as long as the main window.
    virtual FileWatcher& createFileWatcher(FileWatchEvents& events) = 0;

    // Runs a modal dialog owned by the main window and returns its result.
    virtual int runModalDialog(const resources::DialogTemplate& layout, DialogEvents& events) = 0;

    // A modal message box with one OK button; `topmost` keeps it above all
    // windows. `detail`, when not empty, is shown below the text (which file,
    // and why). Both are shown as plain text, whatever they hold.
    virtual void showMessageBox(std::string_view caption, std::string_view text, MessageBoxIcon icon, bool topmost,
                                std::string_view detail) = 0;
    // The Open dialog: an existing file, or none when cancelled.
    virtual std::optional<std::string> chooseFileToOpen(const FileDialogRequest& request) = 0;
    // The Save dialog, asking before an existing file is replaced.
    virtual std::optional<std::string> chooseFileToSave(const FileDialogRequest& request) = 0;

    // Starts a program with arguments, each passed as one argument; false
    // when it cannot be started. Waits for it to end, at most `timeout`.
    virtual bool runProcess(const std::string& program, const std::vector<std::string>& arguments,
                            std::chrono::milliseconds timeout) = 0;

    // The message loop: runs until quit() and returns its exit code. When
    // quit() was called before the loop started, it returns at once.
    virtual int runMessageLoop() = 0;
    // Ends the loop at its next turn; events already queued are still handled.
    virtual void quit(int exitCode) = 0;
    // Ends the process at once with this exit code: nothing else runs.
    virtual void exitProcess(int exitCode) = 0;

    // Every call from the platform into the application runs inside a guard:
    // a failure that escapes goes to this handler (the program-wide report)
    // instead of crossing the event loop. Running out of memory arrives as
    // "Memory allocation failure".
    virtual void setFailureHandler(std::function<void(const RuntimeFailure&)> handler) = 0;
};

}  // namespace vtome::platform
