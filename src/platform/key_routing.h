#pragma once
// Where a key press goes: the one routing rule of the main window's message
// loop, shared by every platform.
//
// 1. While the keyboard focus is in the navigation bar, the bar's dialog
//    keys come first: Tab and Shift+Tab move between its controls, Enter is
//    its default command, Escape is consumed. Keys its controls use for
//    editing (arrows, Home, End, Page Up/Down, Backspace, Insert, typing) stay
//    with the focused control unless Alt is held with them (Alt+arrow edits
//    nothing); the remaining accelerators (F1, F3, Ctrl+O, Ctrl+T, Ctrl+B,
//    Alt+Left and Alt+Right, the text-size keys) still work there.
//    In a pane's text field (the contents filter) its editing keys, Up,
//    Down, Enter and Escape stay with it; in a pane's list (the results)
//    Up, Down and Enter do. Every other key goes on as anywhere else.
// 2. Otherwise the accelerator table, with exactly matching modifiers; after
//    it the table of the keys added since (addedAcceleratorTable), then the
//    keys of the finding panes (findingKeyTable).
// 3. Otherwise the key goes to the focused window: the main window hears it
//    as kKeyDown, a pane handles it itself.

#include <cstdint>

#include "resources/messages.h"

namespace vtome::platform {

struct KeyRoute {
    enum class Target { NavigationBarDialog, FocusedControl, Accelerator };
    Target target = Target::FocusedControl;
    std::uint32_t command = 0;  // with Accelerator
};

// The kind of pane control that has the keyboard focus, where it matters.
enum class FocusedControlKind { Other, TextField, List };

KeyRoute routeKeyPress(const KeyPress& key, bool focusInNavigationBar,
                       FocusedControlKind focused = FocusedControlKind::Other);

// The command of the accelerator for this key, or 0.
std::uint32_t acceleratorCommand(const KeyPress& key);

// The command of a turn of the mouse wheel over the topic text by `notches`
// (positive away from the user), once per notch; 0 when the wheel only
// scrolls. Held with Ctrl (and nothing else) it makes the text larger or
// smaller.
std::uint32_t wheelCommand(int notches, std::uint32_t modifiers);

}  // namespace vtome::platform
