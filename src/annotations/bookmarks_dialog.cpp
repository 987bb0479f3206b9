#include "annotations/bookmarks_dialog.h"

#include "annotations/bookmarks.h"
#include "resources/messages.h"
#include "resources/ids.h"

namespace vtome {

namespace {
constexpr std::string_view kMissingMark = " (missing)";
}  // namespace

std::string bookmarkLineText(const Bookmark& bookmark) {
    if (bookmark.isMissing()) return bookmark.storedName + std::string(kMissingMark);
    return std::string(bookmark.topic->title());
}

void BookmarksDialog::onInit(platform::DialogView& view) {
    lines_.clear();
    if (BookmarkList* list = bookmarks_.list()) {
        for (Bookmark* b = list->firstBookmark(); b != nullptr; b = b->nextBookmark()) {
            view.addItem(ids::kBookmarksList, bookmarkLineText(*b));
            lines_.push_back(b);
        }
    }
    if (!lines_.empty()) {
        enableLineButtons(view, true);
        view.selectItem(ids::kBookmarksList, 0);
    }
    // As in any dialog, the keyboard starts on the first control.
    view.focus(ids::kBookmarksList);
}

void BookmarksDialog::onCommand(platform::DialogView& view, std::uint32_t control, std::uint32_t notification) {
    if (control == ids::kBookmarksList) {
        if (notification == platform::notify::kListDoubleClick) jumpToSelected(view);
        return;
    }
    if (notification != platform::notify::kButtonClicked) return;
    switch (control) {
        case platform::kIdOk: jumpToSelected(view); break;
        case ids::kBookmarksDelete: deleteSelected(view); break;
        case platform::kIdCancel: view.close(platform::kIdCancel); break;
        default: break;
    }
}

Bookmark* BookmarksDialog::selectedBookmark(const platform::DialogView& view) const {
    const std::optional<std::uint32_t> line = view.selectedItem(ids::kBookmarksList);
    if (!line || *line >= lines_.size()) return nullptr;
    return lines_[*line];
}

void BookmarksDialog::jumpToSelected(platform::DialogView& view) {
    Bookmark* bookmark = selectedBookmark(view);
    // No line, or a bookmark whose topic is gone: there is nowhere to go, and
    // the dialog stays open for Delete or Cancel.
    if (bookmark == nullptr || bookmark->isMissing()) return;
    bookmarks_.jumpToBookmark(*bookmark);
    view.close(platform::kIdOk);
}

void BookmarksDialog::deleteSelected(platform::DialogView& view) {
    const std::optional<std::uint32_t> line = view.selectedItem(ids::kBookmarksList);
    if (!line || *line >= lines_.size()) return;
    Bookmark* bookmark = lines_[*line];
    lines_.erase(lines_.begin() + *line);
    view.removeItem(ids::kBookmarksList, *line);
    bookmarks_.removeBookmark(bookmark);
    if (lines_.empty()) {
        enableLineButtons(view, false);
        // The focus must not stay on a button that is now disabled.
        view.focus(ids::kBookmarksList);
    } else {
        view.selectItem(ids::kBookmarksList, 0);
    }
}

void BookmarksDialog::enableLineButtons(platform::DialogView& view, bool enabled) {
    view.setEnabled(platform::kIdOk, enabled);
    view.setEnabled(ids::kBookmarksDelete, enabled);
}

}  // namespace vtome
