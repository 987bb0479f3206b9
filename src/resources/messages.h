#pragma once
// The numbers that cross the window-system boundary: window messages, control
// notification codes, virtual keys and modifier flags. The application's
// dispatch tables and the accelerator table are keyed by these values; each
// platform translates its own events into them. They are the window system's
// vocabulary, kept here, below the platform layer, because the resource
// tables need them too.

#include <cstdint>

namespace vtome::platform {

namespace message {
constexpr std::uint32_t kCreate = 0x0001;
constexpr std::uint32_t kDestroy = 0x0002;
constexpr std::uint32_t kSize = 0x0005;
constexpr std::uint32_t kSetFocus = 0x0007;
constexpr std::uint32_t kClose = 0x0010;
constexpr std::uint32_t kKeyDown = 0x0100;
constexpr std::uint32_t kCommand = 0x0111;
// A pop-up of the menu bar is about to open; LPARAM's low 16 bits are its
// position in the bar.
constexpr std::uint32_t kInitMenuPopup = 0x0117;
// Files were dropped on the window; MainWindow::droppedFiles() names them
// while the message is handled.
constexpr std::uint32_t kDropFiles = 0x0233;
}  // namespace message

// WM_COMMAND's WPARAM: command id in the low 16 bits, notification code in the high.
constexpr std::uint64_t commandParam(std::uint32_t id, std::uint32_t code) {
    return (static_cast<std::uint64_t>(code & 0xFFFF) << 16) | (id & 0xFFFF);
}

// Notification codes carried by WM_COMMAND.
namespace notify {
constexpr std::uint32_t kMenu = 0;         // also BN_CLICKED
constexpr std::uint32_t kAccelerator = 1;
constexpr std::uint32_t kButtonClicked = 0;
constexpr std::uint32_t kListDoubleClick = 2;   // LBN_DBLCLK
constexpr std::uint32_t kComboEditChange = 5;   // CBN_EDITCHANGE
constexpr std::uint32_t kComboSelEndOk = 9;     // CBN_SELENDOK
constexpr std::uint32_t kEditChange = 0x0300;   // EN_CHANGE
}  // namespace notify

// Virtual-key codes.
namespace vk {
constexpr std::uint32_t kBack = 0x08;
constexpr std::uint32_t kTab = 0x09;
constexpr std::uint32_t kReturn = 0x0D;
constexpr std::uint32_t kEscape = 0x1B;
constexpr std::uint32_t kSpace = 0x20;
constexpr std::uint32_t kPrior = 0x21;  // Page Up
constexpr std::uint32_t kNext = 0x22;   // Page Down
constexpr std::uint32_t kEnd = 0x23;
constexpr std::uint32_t kHome = 0x24;
constexpr std::uint32_t kLeft = 0x25;
constexpr std::uint32_t kUp = 0x26;
constexpr std::uint32_t kRight = 0x27;
constexpr std::uint32_t kDown = 0x28;
constexpr std::uint32_t kInsert = 0x2D;
constexpr std::uint32_t kDelete = 0x2E;
constexpr std::uint32_t kF1 = 0x70;
constexpr std::uint32_t kF3 = 0x72;
constexpr std::uint32_t kF4 = 0x73;
constexpr std::uint32_t kAdd = 0x6B;       // + of the keypad
constexpr std::uint32_t kSubtract = 0x6D;  // - of the keypad
constexpr std::uint32_t kOemPlus = 0xBB;   // the "=" and "+" key
constexpr std::uint32_t kOemMinus = 0xBD;  // the "-" key
// Letters and digits are their upper-case ASCII codes ('B' is 0x42).
}  // namespace vk

// Modifier keys held with a key press.
namespace modifier {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kShift = 1;
constexpr std::uint32_t kControl = 2;
constexpr std::uint32_t kAlt = 4;
}  // namespace modifier

struct KeyPress {
    std::uint32_t key = 0;        // virtual-key code
    std::uint32_t modifiers = 0;  // modifier:: flags
};

// Dialog results and the standard button ids.
constexpr std::uint32_t kIdOk = 1;
constexpr std::uint32_t kIdCancel = 2;

}  // namespace vtome::platform
