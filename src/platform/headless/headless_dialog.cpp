#include "platform/headless/headless_dialog.h"

#include <stdexcept>

#include "platform/headless/headless_platform.h"
#include "runtime/text_scan.h"

namespace vtome::platform::headless {

using resources::ControlKind;

HeadlessDialog::HeadlessDialog(HeadlessPlatform& platform, const resources::DialogTemplate& layout,
                               DialogEvents& events, bool modal)
    : platform_(platform), layout_(layout), events_(events), modal_(modal) {
    for (const resources::ControlTemplate& t : layout.controls) {
        Control c;
        c.layout = &t;
        c.text = std::string(t.caption);
        c.enabled = (t.style & resources::style::kDisabled) == 0;
        c.visible = (t.style & resources::style::kHidden) == 0;
        controls_.emplace(t.id, std::move(c));
    }
}

void HeadlessDialog::initialise() {
    platform_.guard([&] { events_.onInit(*this); });
}

void HeadlessDialog::command(std::uint32_t control, std::uint32_t notification) {
    platform_.guard([&] { events_.onCommand(*this, control, notification); });
}

HeadlessDialog::Control& HeadlessDialog::control(std::uint32_t id) {
    auto it = controls_.find(id);
    if (it == controls_.end()) throw std::logic_error("dialog has no control " + std::to_string(id));
    return it->second;
}

const HeadlessDialog::Control& HeadlessDialog::control(std::uint32_t id) const {
    return const_cast<HeadlessDialog*>(this)->control(id);
}

bool HeadlessDialog::canFocus(const Control& c) const {
    return c.enabled && c.visible && (c.layout->style & resources::style::kTabStop) != 0;
}

// --- DialogView

void HeadlessDialog::setEnabled(std::uint32_t id, bool enabled) { control(id).enabled = enabled; }
bool HeadlessDialog::isEnabled(std::uint32_t id) const { return control(id).enabled; }
void HeadlessDialog::setVisible(std::uint32_t id, bool visible) { control(id).visible = visible; }
bool HeadlessDialog::isVisible(std::uint32_t id) const { return control(id).visible; }

void HeadlessDialog::setText(std::uint32_t id, std::string_view text) {
    Control& c = control(id);
    c.text = std::string(text);
    c.selection = {0, 0};
}

std::string HeadlessDialog::text(std::uint32_t id) const { return control(id).text; }

void HeadlessDialog::focus(std::uint32_t id) {
    control(id);
    focused_ = id;
    platform_.focusDialogControl(*this);
}

void HeadlessDialog::focusDialog() {
    focused_.reset();
    platform_.focusDialogControl(*this);
}

EditSelection HeadlessDialog::selection(std::uint32_t id) const { return control(id).selection; }

void HeadlessDialog::select(std::uint32_t id, std::uint32_t start, std::uint32_t end) {
    Control& c = control(id);
    const auto length = static_cast<std::uint32_t>(c.text.size());
    if (start == TopicTextView::kNoPosition) {
        c.selection = {c.selection.end, c.selection.end};
        return;
    }
    start = std::min(start, length);
    end = std::min(std::max(end, start), length);
    c.selection = {start, end};
}

void HeadlessDialog::copySelection(std::uint32_t id) {
    const Control& c = control(id);
    platform_.setClipboard(c.text.substr(c.selection.start, c.selection.end - c.selection.start));
}

void HeadlessDialog::paste(std::uint32_t id) {
    Control& c = control(id);
    const std::string pasted = platform_.clipboard();
    c.text.replace(c.selection.start, c.selection.end - c.selection.start, pasted);
    const auto caret = c.selection.start + static_cast<std::uint32_t>(pasted.size());
    c.selection = {caret, caret};
}

std::uint32_t HeadlessDialog::itemCount(std::uint32_t id) const {
    return static_cast<std::uint32_t>(control(id).items.size());
}

void HeadlessDialog::addItem(std::uint32_t id, std::string_view text) { control(id).items.emplace_back(text); }

void HeadlessDialog::removeItem(std::uint32_t id, std::uint32_t index) {
    Control& c = control(id);
    if (index >= c.items.size()) return;
    c.items.erase(c.items.begin() + index);
    if (c.selectedItem && (*c.selectedItem == index || *c.selectedItem >= c.items.size())) c.selectedItem.reset();
}

std::string HeadlessDialog::itemText(std::uint32_t id, std::uint32_t index) const {
    const Control& c = control(id);
    return index < c.items.size() ? c.items[index] : std::string();
}

std::optional<std::uint32_t> HeadlessDialog::findItemExact(std::uint32_t id, std::string_view text) const {
    const Control& c = control(id);
    for (std::uint32_t i = 0; i < c.items.size(); ++i) {
        if (scan::equalIgnoreCase(c.items[i], text)) return i;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> HeadlessDialog::selectedItem(std::uint32_t id) const { return control(id).selectedItem; }

void HeadlessDialog::selectItem(std::uint32_t id, std::optional<std::uint32_t> index) {
    Control& c = control(id);
    c.selectedItem = index && *index < c.items.size() ? index : std::nullopt;
}

void HeadlessDialog::close(int result) {
    if (!modal_) return;
    open_ = false;
    result_ = result;
}

// --- the user

void HeadlessDialog::click(std::uint32_t id) {
    const Control& c = control(id);
    if (!open_ || !c.enabled || !c.visible) return;
    command(id, notify::kButtonClicked);
}

void HeadlessDialog::type(std::uint32_t id, std::string_view text) {
    Control& c = control(id);
    if (!open_ || !c.enabled) return;
    c.text = std::string(text);
    const auto caret = static_cast<std::uint32_t>(c.text.size());
    c.selection = {caret, caret};
    const bool combo = c.layout->kind == ControlKind::ComboBoxDropDown;
    command(id, combo ? notify::kComboEditChange : notify::kEditChange);
}

void HeadlessDialog::chooseItem(std::uint32_t id, std::uint32_t index) {
    Control& c = control(id);
    if (!open_ || index >= c.items.size()) return;
    c.selectedItem = index;
    c.text = c.items[index];
    command(id, notify::kComboSelEndOk);
}

void HeadlessDialog::doubleClickItem(std::uint32_t id, std::uint32_t index) {
    Control& c = control(id);
    if (!open_ || index >= c.items.size()) return;
    c.selectedItem = index;
    command(id, notify::kListDoubleClick);
}

void HeadlessDialog::pressEnter() {
    if (!open_) return;
    if (focused_) {
        const Control& c = control(*focused_);
        if (c.layout->kind == ControlKind::PushButton) return click(*focused_);
        if (c.layout->kind == ControlKind::Edit && (c.layout->style & resources::style::kWantReturn)) {
            return type(*focused_, c.text + "\r\n");
        }
    }
    command(kIdOk, notify::kButtonClicked);
}

void HeadlessDialog::pressEscape() {
    if (open_) command(kIdCancel, notify::kButtonClicked);
}

void HeadlessDialog::pressTab(bool backward) {
    std::vector<std::uint32_t> order;
    for (const resources::ControlTemplate& t : layout_.controls) {
        if (canFocus(control(t.id))) order.push_back(t.id);
    }
    if (order.empty()) return;
    std::size_t at = 0;
    if (focused_) {
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (order[i] == *focused_) at = backward ? (i + order.size() - 1) % order.size() : (i + 1) % order.size();
        }
    } else if (backward) {
        at = order.size() - 1;
    }
    focus(order[at]);
}

void HeadlessDialog::pressFocusedButton() {
    if (focused_ && control(*focused_).layout->kind == ControlKind::PushButton) click(*focused_);
}

void HeadlessDialog::clickCloseBox() {
    if (open_) platform_.guard([&] { events_.onClose(*this); });
}

}  // namespace vtome::platform::headless
