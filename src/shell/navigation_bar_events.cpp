#include "shell/navigation_bar_events.h"

#include "resources/ids.h"
#include "shell/application.h"

namespace vtome::shell {

void NavigationBarEvents::onCommand(platform::DialogView& view, std::uint32_t control, std::uint32_t notification) {
    if (control == ids::kNavSearchBox) {
        if (notification == platform::notify::kComboEditChange) app_.search().onSearchTextChanged();
        if (notification == platform::notify::kComboSelEndOk) app_.search().restartSearch();
        // The results list and the highlights follow the text after a pause.
        if (notification == platform::notify::kComboEditChange || notification == platform::notify::kComboSelEndOk) {
            app_.results().onSearchTextChanged();
        }
        return;
    }
    if (notification != platform::notify::kButtonClicked) return;
    switch (control) {
        case ids::kNavHome: app_.viewer().goHome(); break;
        case ids::kNavBack: app_.viewer().goBack(); break;
        case ids::kNavForward: app_.viewer().goForward(); break;
        case ids::kNavPrevious: app_.viewer().goPrevious(); break;
        case ids::kNavNext: app_.viewer().goNext(); break;
        case ids::kNavSearch: app_.search().searchNext(); break;
        // Enter in the bar is a click on Search.
        case platform::kIdOk: onCommand(view, ids::kNavSearch, platform::notify::kButtonClicked); break;
        case ids::kNavNote:
        case ids::kNavNoteIndicator:
            app_.notes().openNotes();
            app_.mainWindow()->focus();
            break;
        case ids::kNavBookmark:
            app_.bookmarks().addBookmark();
            app_.mainWindow()->focus();
            break;
        default: break;
    }
}

}  // namespace vtome::shell
