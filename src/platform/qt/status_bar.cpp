#include "platform/qt/status_bar.h"

#include <QStatusBar>

namespace vtome::platform::qt {

QtStatusBar::QtStatusBar(QWidget* parent) : WidgetPane(new QStatusBar(parent)) {
    static_cast<QStatusBar*>(widget_)->setSizeGripEnabled(true);
}

}  // namespace vtome::platform::qt
