#pragma once
// The status bar along the bottom of the main window. vTome shows no text
// in it; the application places it.

#include "platform/qt/widget_pane.h"

namespace vtome::platform::qt {

class QtStatusBar final : public WidgetPane<StatusBar> {
public:
    explicit QtStatusBar(QWidget* parent);
};

}  // namespace vtome::platform::qt
