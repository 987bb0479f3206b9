#include "platform/qt/key_router.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>

#include "platform/key_routing.h"
#include "platform/qt/dialog_pane.h"
#include "platform/qt/key_mapping.h"
#include "platform/qt/main_window.h"

namespace vtome::platform::qt {

namespace {

constexpr std::uint32_t kAltKey = 0x12;
constexpr std::uint32_t kF10 = 0x79;

bool isSystemKey(const KeyPress& key) {
    return (key.modifiers & modifier::kAlt) != 0 || key.key == kAltKey || key.key == kF10;
}

}  // namespace

KeyRouter::KeyRouter(QtMainWindow& window) : window_(window) { qApp->installEventFilter(this); }

bool KeyRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    QWidget* receiver = firstKeyReceiver(watched);
    if (receiver == nullptr || receiver->window() != window_.frame()) return false;
    // The menu bar's own keyboard navigation (after Alt or F10).
    if (qobject_cast<QMenuBar*>(receiver) != nullptr) return false;

    const KeyPress key = toKeyPress(*static_cast<QKeyEvent*>(event));
    if (key.key == vk::kF4 && key.modifiers == modifier::kAlt) {
        // The system's close key, also where no window manager provides it.
        window_.frame()->close();
        return true;
    }
    if (key.key == 0) return false;

    QtDialogPane* bar = window_.dialogPaneContaining(receiver);
    const KeyRoute route = routeKeyPress(key, bar != nullptr, focusedControlKind(receiver));
    switch (route.target) {
        case KeyRoute::Target::NavigationBarDialog:
            // The bar has no Cancel: Escape there is only kept from quitting.
            if (key.key == vk::kEscape) return true;
            return bar->dialog().handleDialogKey(key);
        case KeyRoute::Target::Accelerator:
            window_.sendMessage(message::kCommand, commandParam(route.command, notify::kAccelerator), 0);
            return true;
        case KeyRoute::Target::FocusedControl:
            // Alt, keys held with Alt and F10 are system keys: they drive the
            // menu bar and never reach the window as ordinary key presses.
            if (isSystemKey(key)) return false;
            if (receiver == window_.client() || receiver == window_.frame()) {
                window_.sendMessage(message::kKeyDown, key.key, 0);
                return true;
            }
            return false;
    }
    return false;
}

}  // namespace vtome::platform::qt
