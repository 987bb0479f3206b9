#pragma once
// The main window and its menu bar, as the application sees them.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "resources/messages.h"

namespace vtome::platform {

// The main window procedure. The platform turns its events into these
// messages: creation -> kCreate, the close box or Alt+F4 -> kClose,
// resizing -> kSize, a menu item -> kCommand with notification 0, an
// accelerator -> kCommand with notification 1, a key press that reaches the
// main window itself -> kKeyDown with the virtual key, activation -> kSetFocus,
// a pop-up of the menu bar opening -> kInitMenuPopup with its position, files
// dropped on the window -> kDropFiles.
class MainWindow;

class WindowProcedure {
public:
    virtual ~WindowProcedure() = default;
    // The window exists; called once, right before kCreate.
    virtual void attach(MainWindow& window) = 0;
    // True when the message was handled; otherwise the platform does its
    // default handling.
    virtual bool onMessage(std::uint32_t message, std::uint64_t wparam, std::int64_t lparam) = 0;
};

// One item of the rebuilt Bookmarks menu.
struct MenuEntry {
    enum class Kind { Command, Separator };
    Kind kind = Kind::Command;
    std::string caption;
    std::uint32_t id = 0;
    // Shown exactly as written (a topic's title): no "&" mnemonic and no
    // shortcut column after a tab.
    bool literal = false;
};

class MenuBar {
public:
    virtual ~MenuBar() = default;
    virtual void setChecked(std::uint32_t command, bool checked) = 0;
    virtual bool isChecked(std::uint32_t command) const = 0;
    // Replaces the pop-up at `position` of the menu bar with these items.
    virtual void replacePopup(std::size_t position, std::string_view title, std::span<const MenuEntry> items) = 0;
    // Puts these items into the pop-up at `position`, right before the item
    // of `command`, in place of the items put there by the call before; the
    // pop-up's own items stay as they are.
    virtual void replaceItemsBefore(std::size_t position, std::uint32_t command,
                                    std::span<const MenuEntry> items) = 0;
};

class MainWindow {
public:
    virtual ~MainWindow() = default;
    virtual void setTitle(std::string_view title) = 0;
    virtual std::string title() const = 0;
    // The frame rectangle in screen pixels.
    virtual Rect windowRect() const = 0;
    virtual void moveWindow(const Rect& rect) = 0;
    virtual Size clientSize() const = 0;
    virtual bool isMinimized() const = 0;
    virtual void setTopmost(bool topmost) = 0;
    virtual bool isTopmost() const = 0;
    virtual void show() = 0;
    // Keyboard focus to the main window itself (not one of its panes).
    virtual void focus() = 0;
    virtual bool hasFocus() const = 0;
    // The mouse position in client coordinates.
    virtual Point cursorPosition() const = 0;
    // The usable area of every screen, in screen pixels, the primary first.
    virtual std::vector<Rect> screenAreas() const = 0;
    virtual MenuBar& menuBar() = 0;
    // The local files of the drop being reported by kDropFiles, in the order
    // the drop lists them; empty at any other time.
    virtual std::vector<std::string> droppedFiles() const = 0;
};

}  // namespace vtome::platform
