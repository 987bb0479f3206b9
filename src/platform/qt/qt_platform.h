#pragma once
// vTome's window system on Qt Widgets: the product's Platform.

#include <memory>

#include "platform/platform.h"
#include "platform/qt/call_guard.h"

class QApplication;

namespace vtome::platform::qt {

class QtContentsPane;
class QtMainWindow;

class QtPlatform final : public Platform {
public:
    // Owns the QApplication, so it is made once per process, first.
    QtPlatform(int& argc, char** argv);
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    MainWindow* createMainWindow(WindowProcedure& procedure, std::string_view title) override;
    StatusBar& createStatusBar() override;
    DialogPane& createDialogPane(const resources::DialogTemplate& layout, DialogEvents& events) override;
    ContentsPane& createContentsPane(ContentsTreeEvents& events) override;
    Splitter& createSplitter(SplitterEvents& events) override;
    TopicTextView* createTopicView() override;
    SidePages* createSidePages(SidePagesEvents& events) override;
    std::unique_ptr<Timer> createTimer(TimerEvents& events) override;
    FileWatcher& createFileWatcher(FileWatchEvents& events) override;
    int runModalDialog(const resources::DialogTemplate& layout, DialogEvents& events) override;
    void showMessageBox(std::string_view caption, std::string_view text, MessageBoxIcon icon, bool topmost,
                        std::string_view detail) override;
    std::optional<std::string> chooseFileToOpen(const FileDialogRequest& request) override;
    std::optional<std::string> chooseFileToSave(const FileDialogRequest& request) override;
    bool runProcess(const std::string& program, const std::vector<std::string>& arguments,
                    std::chrono::milliseconds timeout) override;
    int runMessageLoop() override;
    void quit(int exitCode) override;
    void exitProcess(int exitCode) override;
    void setFailureHandler(std::function<void(const RuntimeFailure&)> handler) override;

    // The window made by createMainWindow, or null.
    QtMainWindow* mainWindow() const { return window_.get(); }
    // Closes the main window and its panes without telling the application;
    // the objects its procedure and events belong to may be gone next.
    void destroyMainWindow();

private:
    QtMainWindow& window() const;

    std::unique_ptr<QApplication> application_;
    CallGuard guard_;
    std::unique_ptr<QtMainWindow> window_;
    // The contents pane of the window, where the side pages go.
    QtContentsPane* contents_ = nullptr;
    bool looping_ = false;
    std::optional<int> pendingQuit_;
};

}  // namespace vtome::platform::qt
