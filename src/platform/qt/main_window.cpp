#include "platform/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include "platform/qt/dialog_pane.h"
#include "platform/qt/key_router.h"
#include "platform/qt/menu_bar.h"
#include "platform/qt/pictures.h"
#include "platform/qt/text_codec.h"

namespace vtome::platform::qt {

namespace {

// The local files a drag carries, in its order; none for text, web links
// and the like, which the window does not take.
std::vector<std::string> localFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (data == nullptr || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        // File names are bytes: the system's encoding of the name, not UTF-8 as such.
        if (url.isLocalFile()) files.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return files;
}

}  // namespace

// The Qt window: its close box, activation and state changes become
// messages; closing is the application's decision. It takes drops of
// local files anywhere on it.
class MainFrame final : public QMainWindow {
public:
    explicit MainFrame(QtMainWindow& owner) : owner_(owner) { setAcceptDrops(true); }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (!localFiles(event->mimeData()).empty()) event->acceptProposedAction();
    }

    void dragMoveEvent(QDragMoveEvent* event) override {
        if (!localFiles(event->mimeData()).empty()) event->acceptProposedAction();
    }

    void dropEvent(QDropEvent* event) override {
        std::vector<std::string> files = localFiles(event->mimeData());
        if (files.empty()) return;
        event->acceptProposedAction();
        // Opened once the drop is over: the program the files came from is
        // not kept waiting, and a message box does not run inside the drop.
        QMetaObject::invokeMethod(
            this, [this, files = std::move(files)]() mutable { owner_.onFilesDropped(std::move(files)); },
            Qt::QueuedConnection);
    }

    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        owner_.sendMessage(message::kClose);
    }

    void changeEvent(QEvent* event) override {
        QMainWindow::changeEvent(event);
        if (event->type() == QEvent::ActivationChange && isActiveWindow()) owner_.sendMessage(message::kSetFocus);
        // Minimizing and restoring change the client area as the
        // application measures it.
        if (event->type() == QEvent::WindowStateChange) owner_.sendMessage(message::kSize);
    }

    void showEvent(QShowEvent* event) override {
        QMainWindow::showEvent(event);
        owner_.onShown();
    }

    void moveEvent(QMoveEvent* event) override {
        QMainWindow::moveEvent(event);
        owner_.applyPendingFrame();
    }

    void resizeEvent(QResizeEvent* event) override {
        QMainWindow::resizeEvent(event);
        owner_.applyPendingFrame();
    }

private:
    QtMainWindow& owner_;
};

namespace {

// The client area. It takes the keyboard focus itself: that is where the
// keys Space and B reach the application.
class ClientArea final : public QWidget {
public:
    ClientArea(QWidget* parent, QtMainWindow& owner) : QWidget(parent), owner_(owner) {
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        owner_.sendMessage(message::kSize);
    }

    void focusInEvent(QFocusEvent* event) override {
        QWidget::focusInEvent(event);
        owner_.sendMessage(message::kSetFocus);
    }

private:
    QtMainWindow& owner_;
};

// Where the system would put a new window: three quarters of the screen.
QSize defaultWindowSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {640, 480};
    return screen->availableGeometry().size() * 3 / 4;
}

bool knowsFrame(const QWidget& window) { return window.frameGeometry().size() != window.geometry().size(); }

}  // namespace

QtMainWindow::QtMainWindow(WindowProcedure& procedure, CallGuard& guard, std::string_view title)
    : procedure_(procedure), guard_(guard), frame_(new MainFrame(*this)), client_(new ClientArea(frame_, *this)) {
    frame_->setWindowTitle(fromBytes(title));
    frame_->setWindowIcon(bookIcon());
    frame_->setCentralWidget(client_);
    // The menu belongs to the window on every desktop, so that the client
    // area is what remains below it.
    frame_->menuBar()->setNativeMenuBar(false);
    menuBar_ = std::make_unique<QtMenuBar>(*frame_->menuBar(), [this](std::uint32_t id) {
        sendMessage(message::kCommand, commandParam(id, notify::kMenu), 0);
    });
    menuBar_->setPopupListener([this](std::size_t position) {
        sendMessage(message::kInitMenuPopup, 0, static_cast<std::int64_t>(position & 0xFFFF));
    });
    frame_->resize(defaultWindowSize());
    // A hidden window is not laid out until shown; the client size must be
    // right from the start.
    frame_->layout()->setGeometry(frame_->rect());
    keyRouter_ = std::make_unique<KeyRouter>(*this);
}

QtMainWindow::~QtMainWindow() {
    CallGuard::Suspension quiet(guard_);
    keyRouter_.reset();
    watcher_.reset();
    panes_.clear();
    menuBar_.reset();
    delete frame_;
}

QMainWindow* QtMainWindow::frame() const { return frame_; }

void QtMainWindow::sendMessage(std::uint32_t message, std::uint64_t wparam, std::int64_t lparam) {
    guard_.run([&] { procedure_.onMessage(message, wparam, lparam); });
}

QtDialogPane* QtMainWindow::dialogPaneContaining(const QWidget* widget) const {
    for (QtDialogPane* pane : dialogPanes_) {
        if (pane->dialog().contains(widget)) return pane;
    }
    return nullptr;
}

void QtMainWindow::setTitle(std::string_view title) { frame_->setWindowTitle(fromBytes(title)); }

std::string QtMainWindow::title() const { return toBytes(frame_->windowTitle()); }

Rect QtMainWindow::windowRect() const {
    const QRect frame = frame_->frameGeometry();
    return Rect::fromSize(frame.x(), frame.y(), frame.width(), frame.height());
}

void QtMainWindow::moveWindow(const Rect& rect) {
    // Qt positions a window by its frame but sizes it by its client part.
    const QSize frameExtra = frame_->frameGeometry().size() - frame_->geometry().size();
    frame_->move(rect.left, rect.top);
    frame_->resize(std::max(1, rect.width() - frameExtra.width()), std::max(1, rect.height() - frameExtra.height()));
    if (!frame_->isVisible()) {
        frame_->layout()->setGeometry(frame_->rect());
        if (!knowsFrame(*frame_)) pendingFrame_ = rect;
    }
}

void QtMainWindow::onShown() {
    if (!pendingFrame_.has_value()) return;
    // The window manager tells its frame shortly after the window is
    // mapped; a frame still unknown a second later is no frame at all, and
    // later moves are the user's own.
    QTimer::singleShot(0, frame_, [this] { applyPendingFrame(); });
    QTimer::singleShot(1000, frame_, [this] { pendingFrame_.reset(); });
}

void QtMainWindow::onFilesDropped(std::vector<std::string> paths) {
    droppedFiles_ = std::move(paths);
    sendMessage(message::kDropFiles);
    droppedFiles_.clear();
}

void QtMainWindow::applyPendingFrame() {
    if (!pendingFrame_.has_value() || !frame_->isVisible() || !knowsFrame(*frame_)) return;
    const Rect rect = *pendingFrame_;
    pendingFrame_.reset();
    if (!frame_->isMaximized()) moveWindow(rect);
}

Size QtMainWindow::clientSize() const {
    // A minimized window has no client area, as the layout expects.
    if (frame_->isMinimized()) return {0, 0};
    return {client_->width(), client_->height()};
}

bool QtMainWindow::isMinimized() const { return frame_->isMinimized(); }

void QtMainWindow::setTopmost(bool topmost) {
    if (isTopmost() == topmost) return;
    const bool visible = frame_->isVisible();
    const bool active = frame_->isActiveWindow();
    // Changing window flags hides the window: show it again as it was.
    frame_->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    if (visible) {
        frame_->show();
        if (active) frame_->activateWindow();
    }
}

bool QtMainWindow::isTopmost() const { return frame_->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

void QtMainWindow::show() {
    frame_->showNormal();
    frame_->raise();
    frame_->activateWindow();
}

void QtMainWindow::focus() { client_->setFocus(Qt::OtherFocusReason); }

bool QtMainWindow::hasFocus() const { return frame_->focusWidget() == client_; }

std::vector<Rect> QtMainWindow::screenAreas() const {
    std::vector<Rect> areas;
    QList<QScreen*> screens = QGuiApplication::screens();
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        screens.removeAll(primary);
        screens.prepend(primary);
    }
    for (const QScreen* screen : screens) {
        const QRect area = screen->availableGeometry();
        areas.push_back(Rect::fromSize(area.x(), area.y(), area.width(), area.height()));
    }
    return areas;
}

Point QtMainWindow::cursorPosition() const {
    const QPoint at = client_->mapFromGlobal(QCursor::pos());
    return {at.x(), at.y()};
}

MenuBar& QtMainWindow::menuBar() { return *menuBar_; }

}  // namespace vtome::platform::qt
