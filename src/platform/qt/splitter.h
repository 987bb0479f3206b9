#pragma once
// The thin grey bar between the contents and the text. It only reports the
// mouse; the application moves it and lays the panes out.

#include <QWidget>

#include "platform/qt/call_guard.h"
#include "platform/qt/widget_pane.h"

namespace vtome::platform::qt {

class SplitterBar final : public QWidget {
public:
    SplitterBar(QWidget* parent, SplitterEvents& events, CallGuard& guard);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    SplitterEvents& events_;
    CallGuard& guard_;
};

class QtSplitter final : public WidgetPane<Splitter> {
public:
    QtSplitter(QWidget* parent, SplitterEvents& events, CallGuard& guard);
    void setMouseCapture(bool captured) override;
};

}  // namespace vtome::platform::qt
