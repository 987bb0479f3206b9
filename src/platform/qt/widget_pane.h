#pragma once
// What every pane of the main window does with its widget: created hidden,
// shown on request, placed in client coordinates.

#include <QWidget>

#include <algorithm>

#include "platform/panes.h"

namespace vtome::platform::qt {

template <typename Interface>
class WidgetPane : public Interface {
public:
    explicit WidgetPane(QWidget* widget) : widget_(widget) { widget_->hide(); }

    void show() override { widget_->show(); }

    void place(const Rect& rect) override {
        // A pane squeezed below nothing keeps no negative size.
        widget_->setGeometry(rect.left, rect.top, std::max(0, rect.width()), std::max(0, rect.height()));
    }

    Rect placement() const override {
        const QRect geometry = widget_->geometry();
        return Rect::fromSize(geometry.x(), geometry.y(), geometry.width(), geometry.height());
    }

    QWidget* widget() const { return widget_; }

protected:
    QWidget* widget_;
};

}  // namespace vtome::platform::qt
