#include "resources/dialog_template.h"
#include "resources/ids.h"

namespace vtome::resources {

namespace {

using K = ControlKind;
namespace s = style;

constexpr ControlTemplate kNotesControls[] = {
    {ids::kNotesDelete, K::PushButton, "Delete", 182, 94, 29, 15, s::kDisabled | s::kTabStop},
    {2, K::PushButton, "Cancel", 182, 131, 29, 15, s::kTabStop},
    {ids::kNotesCopy, K::PushButton, "Copy", 182, 38, 30, 15, s::kTabStop},
    {ids::kNotesPaste, K::PushButton, "Paste", 182, 57, 29, 15, s::kTabStop},
    {ids::kNotesSave, K::PushButton, "Save", 182, 3, 30, 15, s::kDisabled | s::kTabStop},
    {ids::kNotesEdit, K::Edit, "", 2, 1, 176, 144,
     s::kMultiLine | s::kWantReturn | s::kAutoHScroll | s::kVScroll | s::kTabStop | s::kClientEdge},
};

constexpr ControlTemplate kBookmarksControls[] = {
    {ids::kBookmarksList, K::ListBox, "", 4, 1, 132, 76, s::kNotify | s::kHScroll | s::kTabStop},
    {1, K::PushButton, "OK", 142, 5, 34, 13, s::kDisabled | s::kTabStop},
    {ids::kBookmarksDelete, K::PushButton, "Delete", 142, 22, 34, 13, s::kDisabled | s::kTabStop},
    {2, K::PushButton, "Cancel", 142, 38, 34, 13, s::kTabStop},
};

constexpr ControlTemplate kContentsControls[] = {
    {ids::kContentsTree, K::TreeView, "", 0, 0, 106, 170, s::kClientEdge | s::kTabStop},
};

// Forward sits right after Back; everything that was to the right of Back
// moved right by its width and the gap (kForwardShift), and the title field
// grew by as much, so that it still ends under the search box and the note
// indicator still follows it.
constexpr int kForwardShift = 32 + 3;

constexpr ControlTemplate kNavigationControls[] = {
    {ids::kNavHome, K::PushButton, "Home", 2, 1, 23, 13, s::kTabStop},
    {ids::kNavBack, K::PushButton, "Back", 28, 1, 23, 13, s::kTabStop},
    {ids::kNavForward, K::PushButton, "Forward", 54, 1, 32, 13, s::kTabStop},
    {ids::kNavPrevious, K::PushButton, "Prev", 54 + kForwardShift, 1, 23, 13, s::kTabStop},
    {ids::kNavNext, K::PushButton, "Next", 80 + kForwardShift, 1, 23, 13, s::kTabStop},
    {ids::kNavSearchBox, K::ComboBoxDropDown, "", 110 + kForwardShift, 1, 92, 70, s::kTabStop | s::kVScroll},
    {ids::kNavSearch, K::PushButton, "Search", 204 + kForwardShift, 1, 28, 13, s::kDisabled | s::kTabStop},
    {ids::kNavNote, K::PushButton, "Note", 240 + kForwardShift, 1, 28, 13, s::kDisabled | s::kTabStop},
    {ids::kNavBookmark, K::PushButton, "Bookmark", 272 + kForwardShift, 1, 36, 13, s::kTabStop},
    {ids::kNavTitle, K::StaticText, "", 4, 18, 198 + kForwardShift, 11, 0},
    {ids::kNavNoteIndicator, K::BitmapButton, "", 206 + kForwardShift, 17, 14, 13, s::kHidden},
    {0xFFFF, K::EtchedVertical, "", 106 + kForwardShift, 1, 1, 14, 0},
    {0xFFFF, K::EtchedVertical, "", 236 + kForwardShift, 1, 1, 14, 0},
    {0xFFFF, K::EtchedHorizontal, "", 2, 14, 306 + kForwardShift, 1, 0},
};

constexpr ControlTemplate kAboutControls[] = {
    {ids::kAboutText, K::Edit, "", 8, 3, 140, 59, s::kMultiLine | s::kClientEdge | s::kTabStop},
    {1, K::PushButton, "OK", 58, 70, 42, 15, s::kTabStop},
};

constexpr DialogTemplate kNotes{ids::kDialogNotes, "Notes", 0, 0, 213, 146, DialogFrame::ResizableToolWindow,
                                kNotesControls};
constexpr DialogTemplate kBookmarks{ids::kDialogBookmarks, "Bookmarks", 0, 0, 179, 80,
                                    DialogFrame::ResizableToolWindow, kBookmarksControls};
constexpr DialogTemplate kContents{ids::kDialogContents, "Contents", 6, 5, 103, 164, DialogFrame::ChildToolCaption,
                                   kContentsControls};
constexpr DialogTemplate kNavigation{ids::kDialogNavigationBar, "", 6, 5, 404 + kForwardShift, 32, DialogFrame::Child,
                                     kNavigationControls};
constexpr DialogTemplate kAbout{ids::kDialogAbout, "About vTome", 6, 5, 158, 88, DialogFrame::ToolWindow,
                                kAboutControls};

}  // namespace

const DialogTemplate& notesDialog() { return kNotes; }
const DialogTemplate& bookmarksDialog() { return kBookmarks; }
const DialogTemplate& contentsPane() { return kContents; }
const DialogTemplate& navigationBar() { return kNavigation; }
const DialogTemplate& aboutDialog() { return kAbout; }

}  // namespace vtome::resources
