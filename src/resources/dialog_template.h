#pragma once
// Dialog layouts as constant data: each control's id, kind, caption and
// rectangle in dialog units, in template order (which is also the tab order).
// The window-system layer turns them into real controls.

#include <cstdint>
#include <span>
#include <string_view>

namespace vtome::resources {

enum class ControlKind {
    PushButton,
    ComboBoxDropDown,  // an editable text box with a drop-down list
    StaticText,        // left-aligned, no word wrap
    BitmapButton,      // flat button showing the note bitmap
    EtchedVertical,
    EtchedHorizontal,
    Edit,
    ListBox,
    TreeView,
};

namespace style {
constexpr std::uint32_t kDisabled = 1u << 0;
constexpr std::uint32_t kHidden = 1u << 1;
constexpr std::uint32_t kMultiLine = 1u << 2;
constexpr std::uint32_t kWantReturn = 1u << 3;
constexpr std::uint32_t kAutoHScroll = 1u << 4;
constexpr std::uint32_t kVScroll = 1u << 5;
constexpr std::uint32_t kHScroll = 1u << 6;
constexpr std::uint32_t kTabStop = 1u << 7;
constexpr std::uint32_t kClientEdge = 1u << 8;
constexpr std::uint32_t kNotify = 1u << 9;
}  // namespace style

struct ControlTemplate {
    std::uint32_t id;
    ControlKind kind;
    std::string_view caption;
    int x, y, width, height;  // dialog units
    std::uint32_t style = 0;
};

enum class DialogFrame {
    Child,               // a pane inside the main window, no caption or border
    ChildToolCaption,    // a pane with a small "tool window" caption
    ToolWindow,          // modal, small caption without system menu, fixed size
    ResizableToolWindow, // modal, small caption, resizable frame; controls stay put
};

struct DialogTemplate {
    std::uint32_t id;
    std::string_view caption;
    int x, y, width, height;  // dialog units
    DialogFrame frame;
    std::span<const ControlTemplate> controls;
    // The font the layout was designed for: "MS Sans Serif" 8 everywhere.
    int fontPointSize = 8;
};

const DialogTemplate& notesDialog();
const DialogTemplate& bookmarksDialog();
const DialogTemplate& contentsPane();
const DialogTemplate& navigationBar();
const DialogTemplate& aboutDialog();

}  // namespace vtome::resources
