#include "platform/qt/key_mapping.h"

#include <QVariant>
#include <QWidget>

namespace vtome::platform::qt {

namespace {

std::uint32_t virtualKey(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<std::uint32_t>(qtKey);  // same codes
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<std::uint32_t>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return vk::kF1 + static_cast<std::uint32_t>(qtKey - Qt::Key_F1);
    switch (qtKey) {
        case Qt::Key_Backspace: return vk::kBack;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return vk::kTab;
        case Qt::Key_Return:
        case Qt::Key_Enter: return vk::kReturn;
        case Qt::Key_Escape: return vk::kEscape;
        case Qt::Key_Space: return vk::kSpace;
        case Qt::Key_PageUp: return vk::kPrior;
        case Qt::Key_PageDown: return vk::kNext;
        case Qt::Key_End: return vk::kEnd;
        case Qt::Key_Home: return vk::kHome;
        case Qt::Key_Left: return vk::kLeft;
        case Qt::Key_Up: return vk::kUp;
        case Qt::Key_Right: return vk::kRight;
        case Qt::Key_Down: return vk::kDown;
        case Qt::Key_Insert: return vk::kInsert;
        case Qt::Key_Delete: return vk::kDelete;
        case Qt::Key_Shift: return 0x10;
        case Qt::Key_Control: return 0x11;
        case Qt::Key_Alt: return 0x12;
        default: return 0;
    }
}

// "+" and "-" of the keypad are keys of their own; the "+" of the main
// keys shares its key with "=".
std::uint32_t signKey(const QKeyEvent& event) {
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    switch (event.key()) {
        case Qt::Key_Plus: return keypad ? vk::kAdd : vk::kOemPlus;
        case Qt::Key_Equal: return vk::kOemPlus;
        case Qt::Key_Minus: return keypad ? vk::kSubtract : vk::kOemMinus;
        default: return 0;
    }
}

}  // namespace

KeyPress toKeyPress(const QKeyEvent& event) {
    KeyPress press;
    press.key = virtualKey(event.key());
    if (press.key == 0) press.key = signKey(event);
    if (press.key == 0) {
        // Letters of a non-Latin layout: X11 reports the Latin key symbol too.
        const quint32 native = event.nativeVirtualKey();
        if (native >= 'a' && native <= 'z') press.key = native - 'a' + 'A';
        if (native >= 'A' && native <= 'Z') press.key = native;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & Qt::ShiftModifier) press.modifiers |= modifier::kShift;
    if (modifiers & Qt::ControlModifier) press.modifiers |= modifier::kControl;
    if (modifiers & Qt::AltModifier) press.modifiers |= modifier::kAlt;
    return press;
}

QWidget* firstKeyReceiver(QObject* receiver) {
    if (receiver == nullptr || !receiver->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(receiver);
    QWidget* first = QWidget::keyboardGrabber();
    if (first == nullptr) {
        QWidget* window = widget->window();
        first = window->focusWidget() != nullptr ? window->focusWidget() : window;
    }
    return widget == first ? widget : nullptr;
}

namespace {
constexpr const char* kFocusKindProperty = "vtomeFocusedControlKind";
}  // namespace

void markFocusedControlKind(QWidget& widget, FocusedControlKind kind) {
    widget.setProperty(kFocusKindProperty, static_cast<int>(kind));
}

FocusedControlKind focusedControlKind(const QWidget* widget) {
    if (widget == nullptr) return FocusedControlKind::Other;
    const QVariant kind = widget->property(kFocusKindProperty);
    return kind.isValid() ? static_cast<FocusedControlKind>(kind.toInt()) : FocusedControlKind::Other;
}

bool isDialogKey(const KeyPress& key) {
    const bool dialogKey = key.key == vk::kTab || key.key == vk::kReturn || key.key == vk::kEscape;
    return dialogKey && (key.modifiers & (modifier::kControl | modifier::kAlt)) == 0;
}

}  // namespace vtome::platform::qt
