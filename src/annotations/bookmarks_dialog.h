#pragma once
// The logic of the Bookmarks dialog: one line per bookmark, OK or a
// double-click jumps to the selected one, Delete removes it. The caller
// writes the list however the dialog was closed.

#include <cstdint>
#include <string>
#include <vector>

#include "annotations/bookmark_list.h"
#include "platform/dialog.h"

namespace vtome {

class Bookmarks;

// The line shown for a bookmark: its topic's title, or for a bookmark whose
// topic is not in the document the stored name marked as missing.
std::string bookmarkLineText(const Bookmark& bookmark);

class BookmarksDialog : public platform::DialogEvents {
public:
    explicit BookmarksDialog(Bookmarks& bookmarks) : bookmarks_(bookmarks) {}

    void onInit(platform::DialogView& view) override;
    void onCommand(platform::DialogView& view, std::uint32_t control, std::uint32_t notification) override;

private:
    // The bookmark of the selected line, or none.
    Bookmark* selectedBookmark(const platform::DialogView& view) const;
    void jumpToSelected(platform::DialogView& view);
    void deleteSelected(platform::DialogView& view);
    // OK and Delete act on a selected line: with no line they are disabled.
    void enableLineButtons(platform::DialogView& view, bool enabled);

    Bookmarks& bookmarks_;
    // The bookmark of each line of the list box, in line order.
    std::vector<Bookmark*> lines_;
};

}  // namespace vtome
