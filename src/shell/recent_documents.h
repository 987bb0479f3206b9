#pragma once
// The documents opened last, most recent first, as the File menu lists
// them, each with the place it was left at (its topic by name and the line
// at the top of the text). Kept in vTome.ini in a section of their own,
// "[vTome Recent]":
//
//   1=/home/me/guide.vtome      the path, absolute
//   Topic1=Installation         where it was left: the topic's name...
//   Line1=37                    ...and the first visible display line
//   2=...                       up to 8
//
// Paths and topic names are written as they are, bytes of any kind (blanks,
// "=", ",", UTF-8 or not) included, except that "%", "[", "]", control
// characters and blanks at the end are written as "%" and two hex digits: a
// "[" in a value could be taken for a section's header, a line end would end
// the value, and blanks at its end are lost to editors that strip them.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/main_window.h"
#include "store/keyed_store.h"
#include "viewer/document_viewer.h"

namespace vtome::shell {

constexpr std::string_view kRecentSection = "vTome Recent";
constexpr std::size_t kMaxRecentDocuments = 8;

// A path or topic name as the section stores it, and back. A "%" not
// followed by two hex digits (a hand edit) reads as itself.
std::string encodeStoredText(std::string_view text);
std::string decodeStoredText(std::string_view stored);

// The form under which a document is listed: absolute and without "." or
// ".." steps (links are not followed: the path is the one the user chose).
std::string listedPath(std::string_view path);

struct RecentDocument {
    std::string path;
    std::optional<TopicPlace> place;
};

class RecentDocuments {
public:
    // Keys 1 to 8 of the section, in that order; a key missing, empty,
    // unreadable or naming a path listed before is passed over, and so is
    // a topic name longer than a contents line allows.
    void load(KeyedStore& settings);
    // Keys 1 to n for the list (existing keys keep their lines) and no keys
    // beyond; nothing at all while the list is empty and the file has no
    // such section.
    void save(KeyedStore& settings) const;

    // A document was opened: it goes to the top, keeping its place when it
    // was listed, and the ninth falls off. A path longer than a document's
    // path may be is not listed (it could not be opened from the menu).
    void add(std::string_view path);
    void remove(std::string_view path);
    // Drops the documents whose file is gone; true when one was.
    bool dropMissing();
    // Where a listed document was left; a path not listed keeps nothing.
    void setPlace(std::string_view path, const TopicPlace& place);
    const RecentDocument* find(std::string_view path) const;
    const std::vector<RecentDocument>& entries() const { return entries_; }

    // The items of the File menu: a separator, "&1 path" and so on (the
    // path shown as it is, "&" and tabs included), a separator; none for an
    // empty list. Item k has the command kFirstRecentCommand + k.
    std::vector<platform::MenuEntry> menuEntries() const;

private:
    std::vector<RecentDocument> entries_;
};

}  // namespace vtome::shell
