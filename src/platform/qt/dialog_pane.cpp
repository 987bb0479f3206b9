#include "platform/qt/dialog_pane.h"

#include "platform/qt/pane_frame.h"
#include "platform/qt/text_codec.h"

namespace vtome::platform::qt {

QtDialogPane::QtDialogPane(QWidget* parent, const resources::DialogTemplate& layout, DialogEvents& events,
                           CallGuard& guard)
    : WidgetPane(
          new PaneFrame(parent, fromBytes(layout.caption), layout.frame == resources::DialogFrame::ChildToolCaption)) {
    auto* frame = static_cast<PaneFrame*>(widget_);
    dialog_ = std::make_unique<RenderedDialog>(layout, *frame->client(), events, guard);
    const DialogMetrics& metrics = dialog_->metrics();
    frame->resize(metrics.x(layout.width), metrics.y(layout.height));
}

}  // namespace vtome::platform::qt
