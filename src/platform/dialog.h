#pragma once
// Dialogs built from a template: the window-system layer draws the controls
// and reports what the user does as commands; the application's dialog logic
// decides what happens and drives the controls through DialogView.
//
// Keyboard handling is the platform's, as in any dialog: Tab and Shift+Tab
// move between the controls in template order, Space or Enter presses the
// focused button, Enter elsewhere is the command kIdOk and Escape the command
// kIdCancel (both with notification 0).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "resources/dialog_template.h"

namespace vtome::platform {

// A character range of an edit control, start inclusive, end exclusive.
struct EditSelection {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

class DialogView {
public:
    virtual ~DialogView() = default;

    // Every control.
    virtual void setEnabled(std::uint32_t control, bool enabled) = 0;
    virtual bool isEnabled(std::uint32_t control) const = 0;
    virtual void setVisible(std::uint32_t control, bool visible) = 0;
    virtual bool isVisible(std::uint32_t control) const = 0;
    // The text of a static, button, edit or the edit part of a combo box.
    // Texts are bytes as vTome's files hold them (shown as UTF-8 where valid).
    virtual void setText(std::uint32_t control, std::string_view text) = 0;
    virtual std::string text(std::uint32_t control) const = 0;
    virtual void focus(std::uint32_t control) = 0;
    // Focus to the dialog window itself rather than a control.
    virtual void focusDialog() = 0;

    // Edit controls.
    virtual EditSelection selection(std::uint32_t control) const = 0;
    // An end beyond the text selects to the end; a start of -1 (npos) removes
    // the selection and leaves the caret where it is.
    virtual void select(std::uint32_t control, std::uint32_t start, std::uint32_t end) = 0;
    virtual void copySelection(std::uint32_t control) = 0;
    // Pastes the clipboard at the caret, replacing the selection.
    virtual void paste(std::uint32_t control) = 0;

    // Combo boxes and list boxes: their list of lines.
    virtual std::uint32_t itemCount(std::uint32_t control) const = 0;
    virtual void addItem(std::uint32_t control, std::string_view text) = 0;
    virtual void removeItem(std::uint32_t control, std::uint32_t index) = 0;
    virtual std::string itemText(std::uint32_t control, std::uint32_t index) const = 0;
    // The first line equal to text ignoring ASCII letter case, or none.
    virtual std::optional<std::uint32_t> findItemExact(std::uint32_t control, std::string_view text) const = 0;
    virtual std::optional<std::uint32_t> selectedItem(std::uint32_t control) const = 0;
    virtual void selectItem(std::uint32_t control, std::optional<std::uint32_t> index) = 0;

    // Ends a modal dialog with a result; a modeless dialog ignores it.
    virtual void close(int result) = 0;
};

// What a dialog's logic hears from it.
class DialogEvents {
public:
    virtual ~DialogEvents() = default;
    // The controls exist with their template states.
    virtual void onInit(DialogView& view) = 0;
    // A button, Enter (kIdOk), Escape (kIdCancel) or a control notification.
    virtual void onCommand(DialogView& view, std::uint32_t control, std::uint32_t notification) = 0;
    // The close box or the system's close key. Modal dialogs close by
    // default; the logic may do its work first.
    virtual void onClose(DialogView& view) { view.close(0); }
};

}  // namespace vtome::platform
