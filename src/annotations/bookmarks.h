#pragma once
// Bookmarks: a topic and the line at the top of the text view, kept per
// document in the user-data file and listed in the Bookmarks menu.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "annotations/bookmark_list.h"
#include "annotations/user_data.h"
#include "viewer/document_viewer.h"
#include "platform/main_window.h"
#include "platform/platform.h"

namespace vtome {

// The section of the user-data file that holds the bookmarks.
inline constexpr std::string_view kBookmarksSection = "vTome Bookmarks";
// The first item of the Bookmarks menu (three spaces, no tab).
inline constexpr std::string_view kManageBookmarksCaption = "Manage Bookmarks   Ctrl+B";
inline constexpr std::string_view kBookmarksMenuTitle = "Bookmarks";

// A bookmark item of the menu and the bookmark it leads to.
struct BookmarkMenuTarget {
    std::uint32_t command;
    Bookmark* bookmark;
};

// The Bookmarks pop-up for a list: Manage Bookmarks, a separator, then one
// item per bookmark whose topic is in the document, with the command id
// 10000 + its position in the list. Bookmarks without a topic get no item
// (there is nothing to jump to), and neither do positions whose id would not
// fit the 16-bit command ids (the command would arrive as another item's).
std::vector<platform::MenuEntry> bookmarkMenuEntries(const BookmarkList& list,
                                                     std::vector<BookmarkMenuTarget>& targets);

// Replaces the bookmark section of a user-data store with keys 1 to n
// holding `values`, in one edit: the same bytes as removing the section and
// setting each key in turn.
void writeBookmarkSection(KeyedStore& store, const std::vector<std::string>& values);

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
    // The open document is read anew (it changed on disk): before its
    // topic index goes, the bookmarks hold their topics by name alone, as
    // the file stores them; afterwards they are found again in the new
    // index by the rules of loadBookmarks, and the menu is rebuilt. Nothing
    // is written, and a change not yet saved is kept.
    void releaseTopics();
    void resolveTopics();
    // A Bookmarks menu item (ids from 10000 up).
    void onBookmarkCommand(std::uint32_t command);
    // The Bookmarks dialog (Ctrl+B).
    void openBookmarkManager();

    // --- used by the Bookmarks dialog
    // None before a document is opened and after it was closed.
    BookmarkList* list() { return list_.get(); }
    // Shows the bookmark's topic scrolled to its line; a bookmark without a
    // topic leads nowhere.
    void jumpToBookmark(const Bookmark& bookmark);
    // Removes a bookmark of the list and rebuilds the menu; written on save.
    void removeBookmark(Bookmark* bookmark);
    // Writes the list to the user data and the user data to its file.
    // Without a list (no document) nothing is written.
    void saveBookmarks();
    void rebuildBookmarkMenu();

    // The items of the current menu, for tests.
    const std::vector<BookmarkMenuTarget>& menuTargets() const { return menuTargets_; }

private:
    DocumentViewer& viewer_;
    UserDataFile& userData_;
    platform::Platform& platform_;
    platform::MenuBar* menuBar_ = nullptr;
    std::unique_ptr<BookmarkList> list_;
    std::vector<BookmarkMenuTarget> menuTargets_;
};

}  // namespace vtome
