#pragma once
// In-memory dialogs built from a template: every control keeps its text,
// state, list lines and selection, so tests can read what the application
// did and act as the user.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog.h"

namespace vtome::platform::headless {

class HeadlessPlatform;

class HeadlessDialog : public DialogView {
public:
    HeadlessDialog(HeadlessPlatform& platform, const resources::DialogTemplate& layout, DialogEvents& events,
                   bool modal);

    const resources::DialogTemplate& layout() const { return layout_; }
    bool isOpen() const { return open_; }
    int result() const { return result_; }
    std::optional<std::uint32_t> focusedControl() const { return focused_; }

    // --- DialogView
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

    // --- the user, as tests play it
    // Clicks a button: nothing happens when it is disabled or hidden.
    void click(std::uint32_t control);
    // Replaces an edit's or combo box's text as typing would, with the
    // change notification of that control.
    void type(std::uint32_t control, std::string_view text);
    // Chooses a line of a combo box's list.
    void chooseItem(std::uint32_t control, std::uint32_t index);
    void doubleClickItem(std::uint32_t control, std::uint32_t index);
    void pressEnter();
    void pressEscape();
    // Tab or Shift+Tab: the next or previous enabled, visible tab stop.
    void pressTab(bool backward = false);
    // Space or Enter on the focused control.
    void pressFocusedButton();
    void clickCloseBox();

    // Runs onInit; the platform calls it once the dialog exists.
    void initialise();
    // Delivers a command to the logic through the platform's failure guard.
    void command(std::uint32_t control, std::uint32_t notification);

private:
    struct Control {
        const resources::ControlTemplate* layout = nullptr;
        std::string text;
        bool enabled = true;
        bool visible = true;
        std::vector<std::string> items;
        std::optional<std::uint32_t> selectedItem;
        EditSelection selection;
    };

    Control& control(std::uint32_t id);
    const Control& control(std::uint32_t id) const;
    bool canFocus(const Control& c) const;

    HeadlessPlatform& platform_;
    const resources::DialogTemplate& layout_;
    DialogEvents& events_;
    bool modal_;
    std::map<std::uint32_t, Control> controls_;
    std::optional<std::uint32_t> focused_;
    bool open_ = true;
    int result_ = 0;
};

}  // namespace vtome::platform::headless
