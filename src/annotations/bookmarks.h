#pragma once
// Bookmarks: a topic and the line at the top of the text view, kept per
// document in the user-data file and listed in the Bookmarks menu.

#include <cstdint>

#include "annotations/user_data.h"
#include "document/document_viewer.h"
#include "platform/platform.h"

namespace vtome {

class Bookmarks {
public:
    Bookmarks(DocumentViewer& viewer, UserDataFile& userData, platform::Platform& platform)
        : viewer_(viewer), userData_(userData), platform_(platform) {}

    void setMenuBar(platform::MenuBar* menuBar) { menuBar_ = menuBar; }
    // B key and Bookmark button: bookmark the current topic at the first visible line.
    void addBookmark();
    // After a document was opened: the stored bookmarks, resolved by topic name.
    void loadBookmarks();
    // The document was closed: no bookmark may lead into it any more.
    void clear();
    // A Bookmarks menu item (ids from 10000 up).
    void onBookmarkCommand(std::uint32_t command);
    // The Bookmarks dialog (Ctrl+B).
    void openBookmarkManager();

private:
    DocumentViewer& viewer_;
    UserDataFile& userData_;
    platform::Platform& platform_;
    platform::MenuBar* menuBar_ = nullptr;
};

}  // namespace vtome
