#pragma once
// The status bar along the bottom of the main window: short plain messages.
// The application places it.

#include "platform/qt/widget_pane.h"

namespace vtome::platform::qt {

class QtStatusBar final : public WidgetPane<StatusBar> {
public:
    explicit QtStatusBar(QWidget* parent);

    void showText(std::string_view text) override;
    std::string text() const override;
};

}  // namespace vtome::platform::qt
