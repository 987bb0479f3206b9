#include "annotations/bookmark_list.h"

#include <limits>

#include "runtime/counted_string.h"
#include "runtime/text_scan.h"

namespace vtome {

namespace {
// Bookmark values are assembled in the shared scratch text.
constexpr std::size_t kWorkCapacity = 4096;
}  // namespace

Bookmark* BookmarkList::appendBookmark(std::uint32_t line, TopicEntry* topic) {
    auto* bookmark = new Bookmark();
    bookmark->topic = topic;
    bookmark->line = line;
    append(bookmark);
    return bookmark;
}

Bookmark* BookmarkList::findByTopic(const TopicEntry* topic) const {
    if (topic == nullptr) return nullptr;
    for (Bookmark* b = firstBookmark(); b != nullptr; b = b->nextBookmark()) {
        if (b->topic == topic) return b;
    }
    return nullptr;
}

Bookmark* BookmarkList::appendMissing(std::string_view storedName, std::string_view storedValue) {
    auto* bookmark = new Bookmark();
    bookmark->storedName = std::string(storedName);
    bookmark->storedValue = std::string(storedValue);
    append(bookmark);
    return bookmark;
}

std::optional<BookmarkValue> parseBookmarkValue(std::string_view value) {
    BookmarkValue parsed;
    std::string_view name = value;
    const std::size_t comma = value.rfind(',');
    if (comma != std::string_view::npos) {
        name = value.substr(0, comma);
        const std::string_view digits = scan::trimBlanks(value.substr(comma + 1));
        std::uint64_t line = 0;
        bool valid = !digits.empty();
        for (char c : digits) {
            if (c < '0' || c > '9') {
                valid = false;
                break;
            }
            line = line * 10 + static_cast<std::uint64_t>(c - '0');
            if (line > std::numeric_limits<std::uint32_t>::max()) {
                valid = false;
                break;
            }
        }
        if (valid) parsed.line = static_cast<std::uint32_t>(line);
    }
    if (scan::trimBlanks(name).empty()) return std::nullopt;
    parsed.name = name;
    return parsed;
}

std::string bookmarkValueFor(std::uint32_t key, const Bookmark& bookmark) {
    CountedString work(kWorkCapacity);
    work.assign(std::to_string(key)).append("=");
    const std::size_t valueStart = work.length();
    if (bookmark.isMissing()) {
        work.append(bookmark.storedValue);
    } else {
        work.append(bookmark.topic->name()).append(",").append(std::to_string(bookmark.line));
    }
    return work.str().substr(valueStart);
}

}  // namespace vtome
