#include "platform/qt/modal_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>

#include "platform/qt/key_mapping.h"
#include "platform/qt/text_codec.h"

namespace vtome::platform::qt {

namespace {

Qt::WindowFlags toolWindowFlags() {
    return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

}  // namespace

ModalDialogWindow::ModalDialogWindow(QWidget* owner, QPoint clientOrigin, const resources::DialogTemplate& layout,
                                     DialogEvents& events, CallGuard& guard)
    : QDialog(owner, toolWindowFlags()), events_(events), guard_(guard), dialog_(layout, *this, events, guard) {
    setWindowTitle(fromBytes(layout.caption));
    setModal(true);
    const DialogMetrics& metrics = dialog_.metrics();
    const QSize size(metrics.x(layout.width), metrics.y(layout.height));
    if (layout.frame == resources::DialogFrame::ResizableToolWindow) {
        // Resizing shows more or less of the dialog; the controls stay put.
        resize(size);
    } else {
        setFixedSize(size);
    }
    move(clientOrigin + QPoint(metrics.x(layout.x), metrics.y(layout.y)));
    dialog_.setCloser([this](int result) {
        result_ = result;
        if (isVisible()) done(result);
    });
    // Dialog keys must be seen before the focused control takes them.
    qApp->installEventFilter(this);
}

int ModalDialogWindow::run() {
    dialog_.initialize();
    if (result_.has_value()) return *result_;  // closed by its own start
    exec();
    return result_.value_or(0);
}

bool ModalDialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    QWidget* receiver = firstKeyReceiver(watched);
    if (receiver == nullptr || receiver->window() != this) return false;
    const KeyPress key = toKeyPress(*static_cast<QKeyEvent*>(event));
    if (key.key == vk::kF4 && key.modifiers == modifier::kAlt) {
        close();  // the system's close key, reported as the close box
        return true;
    }
    if (!isDialogKey(key)) return false;
    return dialog_.handleDialogKey(key);
}

void ModalDialogWindow::closeEvent(QCloseEvent* event) {
    if (!result_.has_value()) guard_.run([this] { events_.onClose(dialog_); });
    if (result_.has_value()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void ModalDialogWindow::keyPressEvent(QKeyEvent* event) {
    // QDialog would reject on Escape and press a default button on Enter;
    // both are the logic's decisions here.
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter: event->accept(); return;
        default: QDialog::keyPressEvent(event);
    }
}

}  // namespace vtome::platform::qt
