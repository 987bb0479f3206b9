#include "annotations/bookmarks.h"

namespace vtome {

void Bookmarks::addBookmark() {}
void Bookmarks::loadBookmarks() {}
void Bookmarks::clear() {}
void Bookmarks::onBookmarkCommand(std::uint32_t) {}
void Bookmarks::openBookmarkManager() {}

}  // namespace vtome
