#pragma once
// A modal dialog window built from a template: a small tool-window caption
// without system menu, fixed or resizable. Its logic decides when it ends:
// Enter, Escape and the close box are only reported to it.

#include <QDialog>

#include <optional>

#include "platform/qt/dialog_renderer.h"

namespace vtome::platform::qt {

class ModalDialogWindow final : public QDialog {
public:
    // `clientOrigin` is where the template's (0, 0) lies on the screen.
    ModalDialogWindow(QWidget* owner, QPoint clientOrigin, const resources::DialogTemplate& layout,
                      DialogEvents& events, CallGuard& guard);

    // onInit, then the modal loop until the logic closes the dialog.
    int run();
    RenderedDialog& dialog() { return dialog_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    DialogEvents& events_;
    CallGuard& guard_;
    RenderedDialog dialog_;
    std::optional<int> result_;
};

}  // namespace vtome::platform::qt
