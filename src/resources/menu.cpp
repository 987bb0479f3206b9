#include "resources/menu.h"

#include "resources/messages.h"
#include "resources/ids.h"

namespace vtome::resources {

namespace {

using Kind = MenuItem::Kind;
namespace vk = platform::vk;
namespace mod = platform::modifier;

constexpr MenuItem kFileItems[] = {
    {Kind::Command, "&Open...\tCtrl+O", ids::kCmdOpen, {}},
    {Kind::Command, "&Save As...", ids::kCmdSaveAs, {}},
    {Kind::Command, "&Quit\tAlt+F4", ids::kCmdQuit, {}},
};

constexpr MenuItem kScopeItems[] = {
    {Kind::Command, "Topic", ids::kCmdScopeTopic, {}},
    {Kind::Command, "Document", ids::kCmdScopeDocument, {}},
};

constexpr MenuItem kOptionsItems[] = {
    {Kind::Popup, "&Search Scope", ids::kMenuSearchScope, kScopeItems},
    {Kind::Command, "&Top Window\tCtrl+T", ids::kCmdTopWindow, {}},
    {Kind::Separator, "", 0, {}},
    {Kind::Command, "&Reopen at Last Place", ids::kCmdReopenAtLastPlace, {}},
    {Kind::Separator, "", 0, {}},
    {Kind::Command, "&Larger Text\tCtrl++", ids::kCmdTextLarger, {}},
    {Kind::Command, "S&maller Text\tCtrl+-", ids::kCmdTextSmaller, {}},
    {Kind::Command, "&Normal Text Size\tCtrl+0", ids::kCmdTextStandard, {}},
};

constexpr MenuItem kBookmarksItems[] = {
    {Kind::Command, "Manage Bookmarks\tCtrl+B", ids::kCmdManageBookmarks, {}},
    {Kind::Separator, "", 0, {}},
};

constexpr MenuItem kHelpItems[] = {
    {Kind::Command, "&vTome\tF1", ids::kCmdOwnHelp, {}},
    {Kind::Command, "&Keyboard Shortcuts", ids::kCmdShortcuts, {}},
    {Kind::Separator, "", 0, {}},
    {Kind::Command, "&About", ids::kCmdAbout, {}},
};

constexpr MenuItem kMenuBar[] = {
    {Kind::Popup, "&File", ids::kMenuFile, kFileItems},
    {Kind::Popup, "&Options", ids::kMenuOptions, kOptionsItems},
    {Kind::Popup, "&Bookmarks", ids::kMenuBookmarks, kBookmarksItems},
    {Kind::Popup, "&Help", ids::kMenuHelp, kHelpItems},
};

constexpr Accelerator kAccelerators[] = {
    {'O', mod::kControl, ids::kCmdOpen},
    {vk::kHome, mod::kNone, ids::kCmdHome},
    {vk::kBack, mod::kNone, ids::kCmdBack},
    {vk::kPrior, mod::kNone, ids::kCmdPrevious},
    {vk::kNext, mod::kNone, ids::kCmdNext},
    {vk::kInsert, mod::kNone, ids::kCmdFocusSearch},
    {vk::kEnd, mod::kNone, ids::kCmdEnd},
    {vk::kDown, mod::kNone, ids::kCmdLineDown},
    {vk::kUp, mod::kNone, ids::kCmdLineUp},
    {vk::kRight, mod::kNone, ids::kCmdPageDown},
    {vk::kLeft, mod::kNone, ids::kCmdPageUp},
    {'T', mod::kControl, ids::kCmdTopWindow},
    {vk::kF1, mod::kNone, ids::kCmdOwnHelp},
    {vk::kF3, mod::kNone, ids::kCmdSearch},
    {'B', mod::kControl, ids::kCmdManageBookmarks},
    {vk::kEscape, mod::kNone, ids::kCmdQuit},
};

// Ctrl+Plus is Ctrl+Shift+= on layouts where "+" is shifted, and the
// keypad's + and -; Ctrl+= is accepted too, as "+" is on the same key.
constexpr Accelerator kAddedAccelerators[] = {
    {vk::kLeft, mod::kAlt, ids::kCmdBack},
    {vk::kRight, mod::kAlt, ids::kCmdForward},
    {vk::kOemPlus, mod::kControl, ids::kCmdTextLarger},
    {vk::kOemPlus, mod::kControl | mod::kShift, ids::kCmdTextLarger},
    {vk::kAdd, mod::kControl, ids::kCmdTextLarger},
    {vk::kOemMinus, mod::kControl, ids::kCmdTextSmaller},
    {vk::kSubtract, mod::kControl, ids::kCmdTextSmaller},
    {'0', mod::kControl, ids::kCmdTextStandard},
};

}  // namespace

std::span<const MenuItem> menuBar() { return kMenuBar; }

std::span<const Accelerator> acceleratorTable() { return kAccelerators; }

std::span<const Accelerator> addedAcceleratorTable() { return kAddedAccelerators; }

}  // namespace vtome::resources
