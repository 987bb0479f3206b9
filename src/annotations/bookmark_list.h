#pragma once
// The open document's bookmarks in the order they were first added (after
// loading: the numeric order of the keys in the user-data file), and the
// text of one stored bookmark value: the topic name, ",", the line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/topic_index.h"
#include "lists/node_list.h"

namespace vtome {

struct Bookmark : ListEntry {
    // The bookmarked topic entry, or none when the stored topic name matches
    // no topic of the document (renamed or removed since).
    TopicEntry* topic = nullptr;
    // Zero-based first visible display line of the topic view.
    std::uint32_t line = 0;
    // For a bookmark without a topic: the name it was stored under and its
    // whole stored value, written back unchanged so that it survives a
    // document that lost the topic for a while.
    std::string storedName;
    std::string storedValue;

    bool isMissing() const { return topic == nullptr; }
    Bookmark* nextBookmark() const { return static_cast<Bookmark*>(next); }
};

class BookmarkList : public NodeList {
public:
    // Appends a bookmark of an existing topic.
    virtual Bookmark* appendBookmark(std::uint32_t line, TopicEntry* topic);  // slot 11
    // The first bookmark whose topic is this entry (identity, not name).
    virtual Bookmark* findByTopic(const TopicEntry* topic) const;             // slot 12

    // Appends a bookmark whose topic is not in the document.
    Bookmark* appendMissing(std::string_view storedName, std::string_view storedValue);
    Bookmark* firstBookmark() const { return static_cast<Bookmark*>(first()); }
};

// One stored bookmark value taken apart. The name points into the value it
// was taken from.
struct BookmarkValue {
    std::string_view name;
    std::uint32_t line = 0;
};

// Splits a stored value at its last ",": a topic name may itself hold commas,
// the line number never does. A value without a comma is all name; a line
// that is not an unsigned 32-bit decimal number reads as 0 (the top of the
// topic). None when the value names no topic at all.
std::optional<BookmarkValue> parseBookmarkValue(std::string_view value);

// The value written for a bookmark under `key`: "name,line", or for a
// bookmark without a topic its value as it was read. The key line is built
// in the 4096-character scratch text; a longer line could not be looked up
// again, so it fails with "String Overflow" before anything is written.
std::string bookmarkValueFor(std::uint32_t key, const Bookmark& bookmark);

}  // namespace vtome
