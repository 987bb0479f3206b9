#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QMainWindow>

#include <cstdio>
#include <cstdlib>

#include "platform/qt/contents_pane.h"
#include "platform/qt/dialog_pane.h"
#include "platform/qt/file_watcher.h"
#include "platform/qt/main_window.h"
#include "platform/qt/modal_dialog.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/side_pages.h"
#include "platform/qt/splitter.h"
#include "platform/qt/status_bar.h"
#include "platform/qt/system_dialogs.h"
#include "platform/qt/topic_text_accessible.h"
#include "platform/qt/topic_view.h"
#include "platform/key_routing.h"

namespace vtome::platform::qt {

QtPlatform::QtPlatform(int& argc, char** argv) : application_(std::make_unique<QApplication>(argc, argv)) {
    QApplication::setApplicationName(QStringLiteral("vTome"));
    QApplication::setWindowIcon(bookIcon());
    // The application ends the loop itself (quit), also when a dialog
    // closes while the main window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    // The topic view draws its text itself; this is how screen readers read it.
    TopicTextAccessible::install();
}

QtPlatform::~QtPlatform() {
    destroyMainWindow();
    CallGuard::Suspension quiet(guard_);
    application_.reset();
}

void QtPlatform::destroyMainWindow() {
    contents_ = nullptr;
    window_.reset();
}

QtMainWindow& QtPlatform::window() const {
    // Panes and dialogs belong to the main window; asking for one before it
    // exists is a null window handle.
    if (!window_) fail(FailureCode::MemoryAccessViolation);
    return *window_;
}

MainWindow* QtPlatform::createMainWindow(WindowProcedure& procedure, std::string_view title) {
    destroyMainWindow();
    window_ = std::make_unique<QtMainWindow>(procedure, guard_, title);
    QtMainWindow& created = *window_;
    guard_.run([&] {
        procedure.attach(created);
        procedure.onMessage(message::kCreate, 0, 0);
    });
    return window_.get();
}

StatusBar& QtPlatform::createStatusBar() {
    QtMainWindow& main = window();
    return main.adopt(std::make_unique<QtStatusBar>(main.client()));
}

DialogPane& QtPlatform::createDialogPane(const resources::DialogTemplate& layout, DialogEvents& events) {
    QtMainWindow& main = window();
    QtDialogPane& pane = main.adopt(std::make_unique<QtDialogPane>(main.client(), layout, events, guard_));
    main.addDialogPane(pane);
    pane.dialog().initialize();
    return pane;
}

ContentsPane& QtPlatform::createContentsPane(ContentsTreeEvents& events) {
    QtMainWindow& main = window();
    contents_ = &main.adopt(std::make_unique<QtContentsPane>(main.client(), events, guard_));
    return *contents_;
}

SidePages* QtPlatform::createSidePages(SidePagesEvents& events) {
    window();
    return contents_ != nullptr ? &contents_->addPages(events) : nullptr;
}

std::unique_ptr<Timer> QtPlatform::createTimer(TimerEvents& events) { return std::make_unique<QtTimer>(events, guard_); }

Splitter& QtPlatform::createSplitter(SplitterEvents& events) {
    QtMainWindow& main = window();
    return main.adopt(std::make_unique<QtSplitter>(main.client(), events, guard_));
}

TopicTextView* QtPlatform::createTopicView() {
    QtMainWindow& main = window();
    QtTopicView& view = main.adopt(std::make_unique<QtTopicView>(main.client()));
    // The wheel's commands reach the main window as the keys' do.
    view.editor()->setWheelHandler([&main](int notches, Qt::KeyboardModifiers modifiers) {
        std::uint32_t flags = 0;
        if (modifiers & Qt::ShiftModifier) flags |= modifier::kShift;
        if (modifiers & Qt::ControlModifier) flags |= modifier::kControl;
        if (modifiers & Qt::AltModifier) flags |= modifier::kAlt;
        const std::uint32_t command = wheelCommand(notches, flags);
        if (command == 0) return false;
        for (int n = 0; n < std::abs(notches); ++n) {
            main.sendMessage(message::kCommand, commandParam(command, notify::kAccelerator), 0);
        }
        return true;
    });
    return &view;
}

FileWatcher& QtPlatform::createFileWatcher(FileWatchEvents& events) {
    return window().adoptWatcher(std::make_unique<QtFileWatcher>(events, guard_));
}

int QtPlatform::runModalDialog(const resources::DialogTemplate& layout, DialogEvents& events) {
    QWidget* owner = window_ ? window_->frame() : nullptr;
    const QPoint origin = window_ ? window_->client()->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
    int result = 0;
    {
        ModalDialogWindow dialog(owner, origin, layout, events, guard_);
        result = dialog.run();
    }
    // Ending a modal dialog hands the activation back to its owner before
    // the caller goes on, whatever the window manager does about it.
    if (owner != nullptr && owner->isVisible()) {
        owner->activateWindow();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return result;
}

void QtPlatform::showMessageBox(std::string_view caption, std::string_view text, MessageBoxIcon icon, bool topmost,
                                std::string_view detail) {
    qt::showMessageBox(caption, text, icon, topmost, detail);
}

std::optional<std::string> QtPlatform::chooseFileToOpen(const FileDialogRequest& request) {
    return qt::chooseFileToOpen(window_ ? window_->frame() : nullptr, request);
}

std::optional<std::string> QtPlatform::chooseFileToSave(const FileDialogRequest& request) {
    return qt::chooseFileToSave(window_ ? window_->frame() : nullptr, request);
}

bool QtPlatform::runProcess(const std::string& program, const std::vector<std::string>& arguments,
                            std::chrono::milliseconds timeout) {
    return qt::runProcess(program, arguments, timeout);
}

int QtPlatform::runMessageLoop() {
    if (pendingQuit_.has_value()) {
        const int exitCode = *pendingQuit_;
        pendingQuit_.reset();
        return exitCode;
    }
    looping_ = true;
    const int exitCode = QApplication::exec();
    looping_ = false;
    return exitCode;
}

void QtPlatform::quit(int exitCode) {
    if (!looping_) {
        // Before the loop runs (a fatal error during start-up) the loop
        // then ends before it begins.
        if (!pendingQuit_.has_value()) pendingQuit_ = exitCode;
        return;
    }
    // Posted, so that what is already queued is handled first.
    QMetaObject::invokeMethod(
        application_.get(), [exitCode] { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
}

void QtPlatform::exitProcess(int exitCode) {
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void QtPlatform::setFailureHandler(std::function<void(const RuntimeFailure&)> handler) {
    guard_.setHandler(std::move(handler));
}

}  // namespace vtome::platform::qt
