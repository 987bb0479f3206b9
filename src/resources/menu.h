#pragma once
// The menu bar (menu 1000) and the accelerator table (1) as constant data.

#include <cstdint>
#include <span>
#include <string_view>

namespace vtome::resources {

// One item of a pop-up: a command, a separator, or a nested pop-up.
struct MenuItem {
    enum class Kind { Command, Separator, Popup };
    Kind kind;
    std::string_view caption;  // "&" marks the mnemonic, "\t" starts the shortcut text
    std::uint32_t id;          // command id, or the pop-up's id
    std::span<const MenuItem> children;
};

// The top-level pop-ups of the menu bar, left to right. The third one
// (Bookmarks) is rebuilt at run time with one item per bookmark.
std::span<const MenuItem> menuBar();
constexpr std::size_t kBookmarksMenuPosition = 2;
// The File pop-up, where the recent documents are listed before Quit.
constexpr std::size_t kFileMenuPosition = 0;

struct Accelerator {
    std::uint32_t key;        // virtual-key code
    std::uint32_t modifiers;  // must match exactly
    std::uint32_t command;
};

std::span<const Accelerator> acceleratorTable();

// Keys added after the table above was fixed (Forward, Alt+Left for Back,
// the text size). The routing rule consults them after acceleratorTable,
// with the same exact match of the modifiers.
std::span<const Accelerator> addedAcceleratorTable();

}  // namespace vtome::resources
