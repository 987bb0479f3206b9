#include "platform/qt/splitter.h"

#include <QMouseEvent>
#include <QPainter>

namespace vtome::platform::qt {

SplitterBar::SplitterBar(QWidget* parent, SplitterEvents& events, CallGuard& guard)
    : QWidget(parent), events_(events), guard_(guard) {
    setCursor(Qt::SplitHCursor);
    // Moves are reported with the button up too: the cursor is set at each.
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void SplitterBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Mid));
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    guard_.run([this] { events_.onButtonDown(); });
}

void SplitterBar::mouseMoveEvent(QMouseEvent*) {
    guard_.run([this] { events_.onMouseMove(); });
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    guard_.run([this] { events_.onButtonUp(); });
}

void SplitterBar::mouseDoubleClickEvent(QMouseEvent*) {
    // The second press of a double click starts no drag; its release is
    // still reported and ends whatever the first press began.
}

QtSplitter::QtSplitter(QWidget* parent, SplitterEvents& events, CallGuard& guard)
    : WidgetPane(new SplitterBar(parent, events, guard)) {}

void QtSplitter::setMouseCapture(bool captured) {
    if (captured) {
        widget_->grabMouse(Qt::SplitHCursor);
    } else {
        widget_->releaseMouse();
    }
}

}  // namespace vtome::platform::qt
