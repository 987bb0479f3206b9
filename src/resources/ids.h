#pragma once
// Fixed numbers of vTome's resources: command ids (menu items and
// accelerators), control ids, dialog and menu ids. Stored files, scripts and
// the dispatch tables rely on them, so they never change.

#include <cstdint>

namespace vtome::ids {

// Commands of the main window.
constexpr std::uint32_t kCmdQuit = 1002;
constexpr std::uint32_t kCmdOpen = 1003;
constexpr std::uint32_t kCmdScopeTopic = 1005;
constexpr std::uint32_t kCmdScopeDocument = 1006;
constexpr std::uint32_t kCmdTopWindow = 1008;
constexpr std::uint32_t kCmdOwnHelp = 1010;
constexpr std::uint32_t kCmdAbout = 1011;
constexpr std::uint32_t kCmdManageBookmarks = 1012;
constexpr std::uint32_t kCmdSaveAs = 1013;
constexpr std::uint32_t kCmdShortcuts = 1014;
constexpr std::uint32_t kCmdHome = 3001;
constexpr std::uint32_t kCmdBack = 3002;
constexpr std::uint32_t kCmdPrevious = 3003;
constexpr std::uint32_t kCmdNext = 3004;
constexpr std::uint32_t kCmdSearch = 3006;
constexpr std::uint32_t kCmdFocusSearch = 10;
constexpr std::uint32_t kCmdEnd = 11;
constexpr std::uint32_t kCmdLineDown = 12;
constexpr std::uint32_t kCmdLineUp = 13;
constexpr std::uint32_t kCmdPageDown = 14;
constexpr std::uint32_t kCmdPageUp = 15;
// Commands of the finding panes, reached by their keys only: the Results
// page (Ctrl+Shift+F) and the contents filter (Ctrl+L).
constexpr std::uint32_t kCmdResultsPage = 2010;
constexpr std::uint32_t kCmdContentsFilter = 2011;
// Commands added for reading comfort: Forward, the text size, reopening
// at the last place, and the recent documents of the File menu.
constexpr std::uint32_t kCmdForward = 1015;
constexpr std::uint32_t kCmdTextLarger = 1016;
constexpr std::uint32_t kCmdTextSmaller = 1017;
constexpr std::uint32_t kCmdTextStandard = 1018;
constexpr std::uint32_t kCmdReopenAtLastPlace = 1019;
// The k-th recent document (k from 0) is kFirstRecentCommand + k.
constexpr std::uint32_t kFirstRecentCommand = 1201;
constexpr std::uint32_t kRecentCommandCount = 8;
// Menu items of bookmarks are 10000 + k for the k-th bookmark (k from 1).
constexpr std::uint32_t kFirstBookmarkCommand = 10000;

// Pop-up menus of the menu bar.
constexpr std::uint32_t kMenuBar = 1000;
constexpr std::uint32_t kMenuFile = 1001;
constexpr std::uint32_t kMenuOptions = 1004;
constexpr std::uint32_t kMenuSearchScope = 1007;
constexpr std::uint32_t kMenuHelp = 1009;
constexpr std::uint32_t kMenuBookmarks = 0;

// Dialogs.
constexpr std::uint32_t kDialogNotes = 1000;
constexpr std::uint32_t kDialogBookmarks = 1100;
constexpr std::uint32_t kDialogContents = 2000;
constexpr std::uint32_t kDialogNavigationBar = 3000;
constexpr std::uint32_t kDialogAbout = 4000;

// Controls of the navigation bar.
constexpr std::uint32_t kNavHome = 3001;
constexpr std::uint32_t kNavBack = 3002;
constexpr std::uint32_t kNavPrevious = 3003;
constexpr std::uint32_t kNavNext = 3004;
constexpr std::uint32_t kNavSearchBox = 3005;
constexpr std::uint32_t kNavSearch = 3006;
constexpr std::uint32_t kNavBookmark = 3007;
constexpr std::uint32_t kNavNote = 3008;
constexpr std::uint32_t kNavTitle = 3009;
constexpr std::uint32_t kNavNoteIndicator = 3010;
constexpr std::uint32_t kNavForward = 3011;

// Controls of the contents pane and the main window's children.
constexpr std::uint32_t kContentsTree = 2001;
constexpr std::uint32_t kSplitter = 2000;
constexpr std::uint32_t kStatusBar = 2001;
constexpr std::uint32_t kTopicView = 0;

// Controls of the Notes dialog.
constexpr std::uint32_t kNotesEdit = 1001;
constexpr std::uint32_t kNotesCopy = 1002;
constexpr std::uint32_t kNotesDelete = 1003;
constexpr std::uint32_t kNotesPaste = 1004;
constexpr std::uint32_t kNotesSave = 1005;

// Controls of the Bookmarks dialog.
constexpr std::uint32_t kBookmarksList = 1001;
constexpr std::uint32_t kBookmarksDelete = 1002;

// Controls of the About dialog.
constexpr std::uint32_t kAboutText = 4001;

// Other resources.
constexpr std::uint32_t kAcceleratorTable = 1;
constexpr std::uint32_t kCursorSplitter = 10;
constexpr std::uint32_t kIconMain = 11;
constexpr std::uint32_t kBitmapNote = 12;

}  // namespace vtome::ids
