#pragma once
// The headless platform: every window-system operation in memory,
// deterministic and synchronous, in the same order and with the same
// notifications as the real one. It also records what the application asked
// of it (message boxes, started programs, the keyboard focus, the exit) and
// lets tests answer dialogs in advance and act as the user.

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless/headless_dialog.h"
#include "platform/headless/headless_panes.h"
#include "platform/headless/headless_side_pages.h"
#include "platform/platform.h"

namespace vtome::platform::headless {

class HeadlessMainWindow : public MainWindow, public MenuBar {
public:
    explicit HeadlessMainWindow(HeadlessPlatform& platform) : platform_(platform) {}

    void setTitle(std::string_view title) override { title_ = std::string(title); }
    std::string title() const override { return title_; }
    Rect windowRect() const override { return rect_; }
    void moveWindow(const Rect& rect) override { rect_ = rect; }
    Size clientSize() const override;
    bool isMinimized() const override { return minimized_; }
    void setTopmost(bool topmost) override { topmost_ = topmost; }
    bool isTopmost() const override { return topmost_; }
    void show() override { shown_ = true; }
    void focus() override;
    bool hasFocus() const override;
    Point cursorPosition() const override { return cursor_; }
    std::vector<Rect> screenAreas() const override { return screens_; }
    MenuBar& menuBar() override { return *this; }
    std::vector<std::string> droppedFiles() const override;

    void setChecked(std::uint32_t command, bool checked) override { checks_[command] = checked; }
    bool isChecked(std::uint32_t command) const override;
    void replacePopup(std::size_t position, std::string_view title, std::span<const MenuEntry> items) override;
    void replaceItemsBefore(std::size_t position, std::uint32_t command, std::span<const MenuEntry> items) override;

    // --- for tests
    bool isShown() const { return shown_; }
    void setMinimized(bool minimized) { minimized_ = minimized; }
    void setCursorPosition(Point p) { cursor_ = p; }
    void setScreenAreas(std::vector<Rect> screens) { screens_ = std::move(screens); }
    // The pop-ups replaced at run time, by position.
    const std::vector<MenuEntry>* popup(std::size_t position) const;
    std::string popupTitle(std::size_t position) const;
    // The items put into a pop-up of the resource (none yet: empty), and
    // the command they stand before.
    std::vector<MenuEntry> itemsBefore(std::size_t position) const;
    std::uint32_t itemsBeforeCommand(std::size_t position) const;

    // The frame around the client area: a title bar and menu above, a border.
    static constexpr int kFrameTop = 50;
    static constexpr int kFrameSide = 4;
    // Where a window opens when nothing places it.
    static constexpr Rect kDefaultRect{26, 26, 26 + 1024, 26 + 768};

private:
    HeadlessPlatform& platform_;
    std::string title_;
    Rect rect_ = kDefaultRect;
    bool minimized_ = false;
    bool topmost_ = false;
    bool shown_ = false;
    Point cursor_;
    std::vector<Rect> screens_{Rect::fromSize(0, 0, 1920, 1080)};
    std::map<std::uint32_t, bool> checks_;
    std::map<std::size_t, std::pair<std::string, std::vector<MenuEntry>>> popups_;
    std::map<std::size_t, std::pair<std::uint32_t, std::vector<MenuEntry>>> itemsBefore_;
};

// Watches nothing on disk: a test announces the changes
// (HeadlessPlatform::announceFileChange).
class HeadlessFileWatcher : public FileWatcher {
public:
    explicit HeadlessFileWatcher(FileWatchEvents& events) : events_(events) {}
    void watch(const std::string& path) override { path_ = path; }
    std::string watchedPath() const override { return path_; }
    FileWatchEvents& events() { return events_; }

private:
    FileWatchEvents& events_;
    std::string path_;
};

struct RecordedMessageBox {
    std::string caption;
    std::string text;
    MessageBoxIcon icon;
    bool topmost;
    std::string detail;
};

struct RecordedProcess {
    std::string program;
    std::vector<std::string> arguments;
    std::chrono::milliseconds timeout;
};

enum class FocusTarget { None, MainWindow, Dialog, ContentsTree, TopicView, ResultsList, ContentsFilter };

// A timer that fires when the test says so (HeadlessPlatform::fireTimers).
class HeadlessTimer final : public Timer {
public:
    HeadlessTimer(HeadlessPlatform& platform, TimerEvents& events);
    ~HeadlessTimer() override;
    HeadlessTimer(const HeadlessTimer&) = delete;
    HeadlessTimer& operator=(const HeadlessTimer&) = delete;

    void start(std::chrono::milliseconds delay) override;
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    std::chrono::milliseconds delay() const { return delay_; }
    // Fires when running: it stops, then its event runs.
    void fire();

private:
    HeadlessPlatform& platform_;
    TimerEvents& events_;
    bool active_ = false;
    std::chrono::milliseconds delay_{0};
};

class HeadlessPlatform : public Platform {
public:
    HeadlessPlatform();
    ~HeadlessPlatform() override;

    // --- Platform
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

    // --- answers given in advance
    void failTopicViewCreation() { topicViewFails_ = true; }
    void answerOpenDialog(std::optional<std::string> path) { openAnswers_.push_back(std::move(path)); }
    void answerSaveDialog(std::optional<std::string> path) { saveAnswers_.push_back(std::move(path)); }
    // Plays the user in the next modal dialog; when the script leaves the
    // dialog open, its close box is clicked.
    void scriptModalDialog(std::function<void(HeadlessDialog&)> script) { dialogScripts_.push_back(std::move(script)); }
    void setProcessStarts(bool starts) { processStarts_ = starts; }

    // --- what the application did
    HeadlessMainWindow* mainWindow() { return mainWindow_.get(); }
    HeadlessContentsPane* contentsPane() { return contentsPane_.get(); }
    HeadlessTopicView* topicView() { return topicView_.get(); }
    HeadlessSplitter* splitter() { return splitter_.get(); }
    HeadlessStatusBar* statusBar() { return statusBar_.get(); }
    HeadlessSidePages* sidePages() { return sidePages_.get(); }
    // The timers that exist, running or not, in the order they were made.
    const std::vector<HeadlessTimer*>& timers() const { return timers_; }
    HeadlessFileWatcher* fileWatcher() { return fileWatcher_.get(); }
    // The dialog pane made from the template with this id.
    HeadlessDialogPane* dialogPane(std::uint32_t templateId);
    const std::vector<RecordedMessageBox>& messageBoxes() const { return messageBoxes_; }
    const std::vector<RecordedProcess>& processes() const { return processes_; }
    const std::vector<FileDialogRequest>& fileDialogs() const { return fileDialogs_; }
    // The ids of the modal dialogs run, in order.
    const std::vector<std::uint32_t>& modalDialogs() const { return modalDialogs_; }
    std::optional<int> quitCode() const { return quitCode_; }
    std::optional<int> exitCode() const { return exitCode_; }
    FocusTarget focus() const { return focus_; }
    const HeadlessDialog* focusedDialog() const { return focus_ == FocusTarget::Dialog ? focusedDialog_ : nullptr; }
    std::string clipboard() const { return clipboard_; }
    void setClipboard(std::string text) { clipboard_ = std::move(text); }

    // --- the user
    // A key press through the message loop's routing rule.
    void pressKey(std::uint32_t key, std::uint32_t modifiers = modifier::kNone);
    void chooseMenu(std::uint32_t command);
    void clickCloseBox();
    // The main window's client area changes size.
    void resizeClient(int width, int height);
    void focusTopicView() { focus_ = FocusTarget::TopicView; }
    void focusContentsTree() { focus_ = FocusTarget::ContentsTree; }
    void dragSplitter(int fromX, int toX);
    // The pause a timer waits for has passed: every running timer fires.
    void fireTimers();
    // The user opens the pop-up at this position of the menu bar (and
    // closes it again without choosing).
    void openMenu(std::size_t position);
    // Files dropped on the window, in the order of the drop.
    void dropFiles(std::vector<std::string> paths);
    // The mouse wheel turned over the topic text, by whole notches
    // (positive away from the user): three lines a notch, or with Ctrl the
    // text size, as the wheel rule says.
    void turnWheel(int notches, std::uint32_t modifiers = modifier::kNone);
    // The watched file changed and settled: the watcher tells at once, or
    // once the modal dialog now running has closed.
    void announceFileChange();

    // --- used by the headless windows
    void guard(const std::function<void()>& call);
    void focusDialogControl(HeadlessDialog& dialog);
    void focusMainWindow() { focus_ = FocusTarget::MainWindow; }
    void setFocus(FocusTarget target) { focus_ = target; }
    void addTimer(HeadlessTimer& timer) { timers_.push_back(&timer); }
    void removeTimer(HeadlessTimer& timer);
    void deliver(std::uint32_t message, std::uint64_t wparam, std::int64_t lparam);

private:
    int runModalDialogScript(const resources::DialogTemplate& layout, DialogEvents& events);
    void guardCall(const std::function<void()>& call);

    WindowProcedure* procedure_ = nullptr;
    std::unique_ptr<HeadlessMainWindow> mainWindow_;
    std::unique_ptr<HeadlessStatusBar> statusBar_;
    std::unique_ptr<HeadlessContentsPane> contentsPane_;
    std::unique_ptr<HeadlessTopicView> topicView_;
    std::unique_ptr<HeadlessSplitter> splitter_;
    std::unique_ptr<HeadlessFileWatcher> fileWatcher_;
    std::vector<std::unique_ptr<HeadlessDialogPane>> dialogPanes_;
    std::unique_ptr<HeadlessSidePages> sidePages_;
    std::vector<HeadlessTimer*> timers_;
    std::function<void(const RuntimeFailure&)> failureHandler_;

    bool topicViewFails_ = false;
    bool processStarts_ = true;
    std::deque<std::optional<std::string>> openAnswers_;
    std::deque<std::optional<std::string>> saveAnswers_;
    std::deque<std::function<void(HeadlessDialog&)>> dialogScripts_;

    std::vector<RecordedMessageBox> messageBoxes_;
    std::vector<RecordedProcess> processes_;
    std::vector<FileDialogRequest> fileDialogs_;
    std::vector<std::uint32_t> modalDialogs_;
    std::optional<int> quitCode_;
    std::optional<int> exitCode_;
    FocusTarget focus_ = FocusTarget::None;
    const HeadlessDialog* focusedDialog_ = nullptr;
    std::string clipboard_;
    std::vector<std::string> droppedFiles_;
    int modalDepth_ = 0;
    int guardDepth_ = 0;
    bool fileChangePending_ = false;

    friend class HeadlessMainWindow;
};

// Thrown by exitProcess so that nothing after it runs, as when a process
// ends; the guard that delivered the event stops it.
struct ProcessExited {
    int code;
};

}  // namespace vtome::platform::headless
