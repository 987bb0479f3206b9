#pragma once
// A modeless dialog living as a pane of the main window (the navigation
// bar). The platform's key routing gives it its dialog keys.

#include <memory>

#include "platform/qt/dialog_renderer.h"
#include "platform/qt/widget_pane.h"

namespace vtome::platform::qt {

class QtDialogPane final : public WidgetPane<DialogPane> {
public:
    QtDialogPane(QWidget* parent, const resources::DialogTemplate& layout, DialogEvents& events, CallGuard& guard);

    DialogView& view() override { return *dialog_; }
    bool hasFocus() const override { return dialog_->hasFocus(); }
    RenderedDialog& dialog() { return *dialog_; }

private:
    std::unique_ptr<RenderedDialog> dialog_;
};

}  // namespace vtome::platform::qt
