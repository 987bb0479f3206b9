#include "platform/qt/status_bar.h"

#include <QStatusBar>

#include "platform/qt/text_codec.h"

namespace vtome::platform::qt {

QtStatusBar::QtStatusBar(QWidget* parent) : WidgetPane(new QStatusBar(parent)) {
    static_cast<QStatusBar*>(widget_)->setSizeGripEnabled(true);
}

void QtStatusBar::showText(std::string_view text) {
    auto* bar = static_cast<QStatusBar*>(widget_);
    if (text.empty()) {
        bar->clearMessage();
    } else {
        bar->showMessage(fromBytes(text));
    }
}

std::string QtStatusBar::text() const { return toBytes(static_cast<QStatusBar*>(widget_)->currentMessage()); }

}  // namespace vtome::platform::qt
