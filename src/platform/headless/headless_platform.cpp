#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <stdexcept>

#include "platform/key_routing.h"

namespace vtome::platform::headless {

// --- main window

Size HeadlessMainWindow::clientSize() const {
    if (minimized_) return {0, 0};
    return {std::max(0, rect_.width() - 2 * kFrameSide), std::max(0, rect_.height() - kFrameTop - kFrameSide)};
}

void HeadlessMainWindow::focus() { platform_.focusMainWindow(); }

bool HeadlessMainWindow::hasFocus() const { return platform_.focus() == FocusTarget::MainWindow; }

bool HeadlessMainWindow::isChecked(std::uint32_t command) const {
    auto it = checks_.find(command);
    return it != checks_.end() && it->second;
}

void HeadlessMainWindow::replacePopup(std::size_t position, std::string_view title, std::span<const MenuEntry> items) {
    popups_[position] = {std::string(title), std::vector<MenuEntry>(items.begin(), items.end())};
}

const std::vector<MenuEntry>* HeadlessMainWindow::popup(std::size_t position) const {
    auto it = popups_.find(position);
    return it == popups_.end() ? nullptr : &it->second.second;
}

std::string HeadlessMainWindow::popupTitle(std::size_t position) const {
    auto it = popups_.find(position);
    return it == popups_.end() ? std::string() : it->second.first;
}

// --- timers

HeadlessTimer::HeadlessTimer(HeadlessPlatform& platform, TimerEvents& events) : platform_(platform), events_(events) {
    platform_.addTimer(*this);
}

HeadlessTimer::~HeadlessTimer() { platform_.removeTimer(*this); }

void HeadlessTimer::start(std::chrono::milliseconds delay) {
    delay_ = delay;
    active_ = true;
}

void HeadlessTimer::fire() {
    if (!active_) return;
    active_ = false;
    platform_.guard([&] { events_.onTimer(); });
}

void HeadlessMainWindow::replaceItemsBefore(std::size_t position, std::uint32_t command,
                                            std::span<const MenuEntry> items) {
    itemsBefore_[position] = {command, std::vector<MenuEntry>(items.begin(), items.end())};
}

std::vector<MenuEntry> HeadlessMainWindow::itemsBefore(std::size_t position) const {
    auto it = itemsBefore_.find(position);
    return it == itemsBefore_.end() ? std::vector<MenuEntry>() : it->second.second;
}

std::uint32_t HeadlessMainWindow::itemsBeforeCommand(std::size_t position) const {
    auto it = itemsBefore_.find(position);
    return it == itemsBefore_.end() ? 0 : it->second.first;
}

std::vector<std::string> HeadlessMainWindow::droppedFiles() const { return platform_.droppedFiles_; }

// --- platform

HeadlessPlatform::HeadlessPlatform() = default;
HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::guard(const std::function<void()>& call) {
    {
        ++guardDepth_;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{guardDepth_};
        guardCall(call);
    }
    // A change announced while the application was busy (inside a modal
    // dialog's script, say) arrives once it is done, as the next event.
    if (guardDepth_ == 0 && fileChangePending_) announceFileChange();
}

void HeadlessPlatform::guardCall(const std::function<void()>& call) {
    try {
        try {
            call();
        } catch (const RuntimeFailure& failure) {
            if (!failureHandler_) throw;
            failureHandler_(failure);
        } catch (const std::bad_alloc&) {
            if (!failureHandler_) throw;
            failureHandler_(RuntimeFailure(FailureCode::MemoryAllocationFailure));
        }
    } catch (const ProcessExited&) {
        // The process has ended: nothing more of this event runs.
    }
}

void HeadlessPlatform::deliver(std::uint32_t message, std::uint64_t wparam, std::int64_t lparam) {
    if (procedure_ == nullptr || exitCode_) return;
    guard([&] { procedure_->onMessage(message, wparam, lparam); });
}

MainWindow* HeadlessPlatform::createMainWindow(WindowProcedure& procedure, std::string_view title) {
    procedure_ = &procedure;
    mainWindow_ = std::make_unique<HeadlessMainWindow>(*this);
    mainWindow_->setTitle(title);
    procedure.attach(*mainWindow_);
    procedure.onMessage(message::kCreate, 0, 0);
    return mainWindow_.get();
}

StatusBar& HeadlessPlatform::createStatusBar() {
    statusBar_ = std::make_unique<HeadlessStatusBar>();
    return *statusBar_;
}

DialogPane& HeadlessPlatform::createDialogPane(const resources::DialogTemplate& layout, DialogEvents& events) {
    dialogPanes_.push_back(std::make_unique<HeadlessDialogPane>(*this, layout, events));
    dialogPanes_.back()->dialog().initialise();
    return *dialogPanes_.back();
}

HeadlessDialogPane* HeadlessPlatform::dialogPane(std::uint32_t templateId) {
    for (auto& pane : dialogPanes_) {
        if (pane->dialog().layout().id == templateId) return pane.get();
    }
    return nullptr;
}

ContentsPane& HeadlessPlatform::createContentsPane(ContentsTreeEvents& events) {
    contentsPane_ = std::make_unique<HeadlessContentsPane>(*this, events);
    return *contentsPane_;
}

Splitter& HeadlessPlatform::createSplitter(SplitterEvents& events) {
    splitter_ = std::make_unique<HeadlessSplitter>(events);
    return *splitter_;
}

TopicTextView* HeadlessPlatform::createTopicView() {
    if (topicViewFails_) return nullptr;
    topicView_ = std::make_unique<HeadlessTopicView>();
    return topicView_.get();
}

SidePages* HeadlessPlatform::createSidePages(SidePagesEvents& events) {
    // The pages live in the contents pane.
    if (!contentsPane_) return nullptr;
    sidePages_ = std::make_unique<HeadlessSidePages>(*this, *contentsPane_, events);
    return sidePages_.get();
}

std::unique_ptr<Timer> HeadlessPlatform::createTimer(TimerEvents& events) {
    return std::make_unique<HeadlessTimer>(*this, events);
}

void HeadlessPlatform::removeTimer(HeadlessTimer& timer) { std::erase(timers_, &timer); }

void HeadlessPlatform::fireTimers() {
    // A timer's event may start or make timers: fire those running now.
    std::vector<HeadlessTimer*> running;
    for (HeadlessTimer* timer : timers_) {
        if (timer->isActive()) running.push_back(timer);
    }
    for (HeadlessTimer* timer : running) {
        if (std::find(timers_.begin(), timers_.end(), timer) != timers_.end()) timer->fire();
    }
}

FileWatcher& HeadlessPlatform::createFileWatcher(FileWatchEvents& events) {
    fileWatcher_ = std::make_unique<HeadlessFileWatcher>(events);
    return *fileWatcher_;
}

int HeadlessPlatform::runModalDialog(const resources::DialogTemplate& layout, DialogEvents& events) {
    ++modalDepth_;
    struct ModalEnd {
        int& depth;
        ~ModalEnd() { --depth; }
    } end{modalDepth_};
    return runModalDialogScript(layout, events);
}

int HeadlessPlatform::runModalDialogScript(const resources::DialogTemplate& layout, DialogEvents& events) {
    modalDialogs_.push_back(layout.id);
    const FocusTarget focusBefore = focus_;
    const HeadlessDialog* dialogBefore = focusedDialog_;
    HeadlessDialog dialog(*this, layout, events, true);
    dialog.initialise();
    if (!dialogScripts_.empty()) {
        auto script = std::move(dialogScripts_.front());
        dialogScripts_.pop_front();
        if (dialog.isOpen()) script(dialog);
    }
    if (dialog.isOpen()) dialog.clickCloseBox();
    if (dialog.isOpen()) throw std::logic_error("modal dialog left open by its script and its logic");
    // Closing a modal dialog gives the focus back to where it was.
    focus_ = focusBefore;
    focusedDialog_ = dialogBefore;
    return dialog.result();
}

void HeadlessPlatform::showMessageBox(std::string_view caption, std::string_view text, MessageBoxIcon icon,
                                      bool topmost, std::string_view detail) {
    messageBoxes_.push_back({std::string(caption), std::string(text), icon, topmost, std::string(detail)});
}

std::optional<std::string> HeadlessPlatform::chooseFileToOpen(const FileDialogRequest& request) {
    fileDialogs_.push_back(request);
    if (openAnswers_.empty()) return std::nullopt;
    auto answer = std::move(openAnswers_.front());
    openAnswers_.pop_front();
    return answer;
}

std::optional<std::string> HeadlessPlatform::chooseFileToSave(const FileDialogRequest& request) {
    fileDialogs_.push_back(request);
    if (saveAnswers_.empty()) return std::nullopt;
    auto answer = std::move(saveAnswers_.front());
    saveAnswers_.pop_front();
    return answer;
}

bool HeadlessPlatform::runProcess(const std::string& program, const std::vector<std::string>& arguments,
                                  std::chrono::milliseconds timeout) {
    processes_.push_back({program, arguments, timeout});
    return processStarts_;
}

int HeadlessPlatform::runMessageLoop() { return exitCode_.value_or(quitCode_.value_or(0)); }

void HeadlessPlatform::quit(int exitCode) {
    if (!quitCode_) quitCode_ = exitCode;
}

void HeadlessPlatform::exitProcess(int exitCode) {
    exitCode_ = exitCode;
    throw ProcessExited{exitCode};
}

void HeadlessPlatform::setFailureHandler(std::function<void(const RuntimeFailure&)> handler) {
    failureHandler_ = std::move(handler);
}

void HeadlessPlatform::focusDialogControl(HeadlessDialog& dialog) {
    focus_ = FocusTarget::Dialog;
    focusedDialog_ = &dialog;
}

// --- the user

void HeadlessPlatform::pressKey(std::uint32_t key, std::uint32_t modifiers) {
    HeadlessDialogPane* bar = nullptr;
    for (auto& pane : dialogPanes_) {
        if (pane->hasFocus()) bar = pane.get();
    }
    const FocusedControlKind focused = focus_ == FocusTarget::ContentsFilter ? FocusedControlKind::TextField
                                       : focus_ == FocusTarget::ResultsList  ? FocusedControlKind::List
                                                                             : FocusedControlKind::Other;
    const KeyRoute route = routeKeyPress({key, modifiers}, bar != nullptr, focused);
    switch (route.target) {
        case KeyRoute::Target::NavigationBarDialog:
            if (key == vk::kTab) {
                bar->dialog().pressTab((modifiers & modifier::kShift) != 0);
            } else if (key == vk::kReturn) {
                bar->dialog().pressEnter();
            }
            return;  // Escape is consumed
        case KeyRoute::Target::Accelerator:
            deliver(message::kCommand, commandParam(route.command, notify::kAccelerator), 0);
            return;
        case KeyRoute::Target::FocusedControl:
            if (focus_ == FocusTarget::MainWindow) {
                deliver(message::kKeyDown, key, 0);
            } else if (sidePages_ && !exitCode_) {
                sidePages_->pressKey(key, modifiers);
            }
            return;
    }
}

void HeadlessPlatform::chooseMenu(std::uint32_t command) {
    deliver(message::kCommand, commandParam(command, notify::kMenu), 0);
}

void HeadlessPlatform::clickCloseBox() { deliver(message::kClose, 0, 0); }

void HeadlessPlatform::resizeClient(int width, int height) {
    const Rect r = mainWindow_->windowRect();
    mainWindow_->moveWindow(Rect::fromSize(r.left, r.top, width + 2 * HeadlessMainWindow::kFrameSide,
                                           height + HeadlessMainWindow::kFrameTop + HeadlessMainWindow::kFrameSide));
    deliver(message::kSize, 0, 0);
}

void HeadlessPlatform::openMenu(std::size_t position) {
    deliver(message::kInitMenuPopup, 0, static_cast<std::int64_t>(position & 0xFFFF));
}

void HeadlessPlatform::dropFiles(std::vector<std::string> paths) {
    droppedFiles_ = std::move(paths);
    deliver(message::kDropFiles, 0, 0);
    droppedFiles_.clear();
}

void HeadlessPlatform::turnWheel(int notches, std::uint32_t modifiers) {
    if (const std::uint32_t command = wheelCommand(notches, modifiers); command != 0) {
        for (int n = 0; n < std::abs(notches); ++n) {
            deliver(message::kCommand, commandParam(command, notify::kAccelerator), 0);
        }
        return;
    }
    if (topicView_ == nullptr || modifiers != modifier::kNone) return;
    for (int n = 0; n < 3 * std::abs(notches); ++n) {
        topicView_->scroll(notches > 0 ? ScrollAction::LineUp : ScrollAction::LineDown);
    }
}

void HeadlessPlatform::announceFileChange() {
    if (exitCode_ || fileWatcher_ == nullptr || fileWatcher_->watchedPath().empty()) return;
    if (modalDepth_ > 0 || guardDepth_ > 0) {
        fileChangePending_ = true;
        return;
    }
    fileChangePending_ = false;
    guard([&] { fileWatcher_->events().onWatchedFileChanged(); });
}

void HeadlessPlatform::dragSplitter(int fromX, int toX) {
    SplitterEvents& events = splitter_->events();
    mainWindow_->setCursorPosition({fromX, 60});
    guard([&] { events.onButtonDown(); });
    mainWindow_->setCursorPosition({toX, 60});
    guard([&] { events.onMouseMove(); });
    guard([&] { events.onButtonUp(); });
}

}  // namespace vtome::platform::headless
