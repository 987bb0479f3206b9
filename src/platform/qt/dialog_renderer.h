#pragma once
// Dialog templates turned into Qt widgets. One RenderedDialog holds the
// controls of one template, whether they sit in a pane of the main window
// (the navigation bar) or in a modal dialog window (Notes, Bookmarks,
// About), and is the DialogView its logic drives.
//
// Positions in edit controls are counted as in text(): characters, with
// every line break counting twice because text() returns it as CR LF. For
// single-line text this is the plain character index.

#include <QFont>
#include <QRect>

#include <functional>
#include <vector>

#include "platform/dialog.h"
#include "resources/messages.h"
#include "platform/qt/call_guard.h"
#include "resources/dialog_template.h"

class QWidget;

namespace vtome::platform::qt {

// Dialog units to pixels: a horizontal unit is a quarter of the font's
// average character width, a vertical unit an eighth of its height.
struct DialogMetrics {
    QFont font;
    int baseWidth = 4;
    int baseHeight = 8;

    int x(int units) const { return (units * baseWidth + 2) / 4; }
    int y(int units) const { return (units * baseHeight + 4) / 8; }
    QRect rect(int left, int top, int width, int height) const { return {x(left), y(top), x(width), y(height)}; }
};

DialogMetrics dialogMetrics(int pointSize);

class RenderedDialog final : public DialogView {
public:
    // Creates the controls as children of `surface` with their template
    // states; the logic hears nothing until initialize().
    RenderedDialog(const resources::DialogTemplate& layout, QWidget& surface, DialogEvents& events, CallGuard& guard);

    // The dialog's own start: onInit, once.
    void initialize();
    const DialogMetrics& metrics() const { return metrics_; }
    // What close(result) does; a modeless dialog has none.
    void setCloser(std::function<void(int)> closer) { closer_ = std::move(closer); }

    // A dialog key (Tab, Enter, Escape) pressed while the focus is inside
    // the dialog; false when the focused control wants the key itself.
    bool handleDialogKey(const KeyPress& key);
    bool contains(const QWidget* widget) const;
    bool hasFocus() const;
    // The widget of a control, for the platform's own use and for tests.
    QWidget* controlWidget(std::uint32_t control) const;

    void setEnabled(std::uint32_t control, bool enabled) override;
    bool isEnabled(std::uint32_t control) const override;
    void setVisible(std::uint32_t control, bool visible) override;
    bool isVisible(std::uint32_t control) const override;
    void setText(std::uint32_t control, std::string_view text) override;
    std::string text(std::uint32_t control) const override;
    void focus(std::uint32_t control) override;
    void focusDialog() override;
    EditSelection selection(std::uint32_t control) const override;
    void select(std::uint32_t control, std::uint32_t start, std::uint32_t end) override;
    void copySelection(std::uint32_t control) override;
    void paste(std::uint32_t control) override;
    std::uint32_t itemCount(std::uint32_t control) const override;
    void addItem(std::uint32_t control, std::string_view text) override;
    void removeItem(std::uint32_t control, std::uint32_t index) override;
    std::string itemText(std::uint32_t control, std::uint32_t index) const override;
    std::optional<std::uint32_t> findItemExact(std::uint32_t control, std::string_view text) const override;
    std::optional<std::uint32_t> selectedItem(std::uint32_t control) const override;
    void selectItem(std::uint32_t control, std::optional<std::uint32_t> index) override;
    void close(int result) override;

private:
    struct Control {
        const resources::ControlTemplate* layout;
        QWidget* widget;
    };

    QWidget* createControl(const resources::ControlTemplate& control);
    const Control* find(std::uint32_t id) const;
    const Control* controlContaining(const QWidget* widget) const;
    void moveFocus(bool forward);
    void notify(std::uint32_t control, std::uint32_t notification);

    const resources::DialogTemplate& layout_;
    QWidget& surface_;
    DialogEvents& events_;
    CallGuard& guard_;
    DialogMetrics metrics_;
    std::vector<Control> controls_;
    std::function<void(int)> closer_;
    // Set while the logic itself changes a control: its own changes are
    // not reported back to it as user edits.
    bool quiet_ = false;
    bool initialized_ = false;
};

}  // namespace vtome::platform::qt
