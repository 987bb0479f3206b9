#include "annotations/bookmarks.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "annotations/bookmarks_dialog.h"
#include "platform/failure_report.h"
#include "resources/dialog_template.h"
#include "resources/ids.h"
#include "resources/menu.h"
#include "runtime/text_scan.h"

namespace vtome {

namespace {

// Command ids are 16 bits wide on their way through the window system.
constexpr std::uint32_t kLastCommandId = 0xFFFF;

struct StoredKey {
    std::uint64_t number;
    std::string_view key;
    std::string_view value;  // into the section's text
};

// The keys of the bookmark section in numeric order, with their values, in
// one pass over the section. Every key line of the section is read, not
// just 1 to the line count: a missing key or a blank line left by a hand
// edit must not drop the bookmarks after it, since the section is rewritten
// whole at the next save. Lines are read by the key lookup's rules but
// without its working text, so that one overlong line costs no other
// bookmark.
struct StoredSection {
    std::string text;
    std::vector<StoredKey> keys;
};

StoredSection storedKeys(KeyedStore& store) {
    StoredSection section;
    std::optional<std::string> body = store.getSectionText(kBookmarksSection);
    if (!body) return section;
    section.text = std::move(*body);
    const std::string_view text = section.text;
    std::vector<StoredKey>& keys = section.keys;
    for (std::uint32_t pos = 0; pos < text.size(); pos = scan::nextLineStart(text, pos)) {
        const std::string_view line = text.substr(pos, scan::lineEnd(text, pos) - pos);
        // An indented header ends the section for the key lookup too.
        const std::string_view trimmed = scan::trimBlanks(line);
        if (!trimmed.empty() && trimmed.front() == '[') break;
        const std::size_t equals = line.find('=');
        // A line the lookups could not read back once written is skipped.
        if (equals == std::string_view::npos || line.size() > KeyedStore::kLookupCapacity) continue;
        const std::string_view key = scan::trimBlanks(line.substr(0, equals));
        std::uint64_t number = 0;
        if (key.empty() || key.size() > 18 ||
            std::from_chars(key.data(), key.data() + key.size(), number).ptr != key.data() + key.size()) {
            continue;
        }
        keys.push_back({number, key, line.substr(equals + 1)});
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const StoredKey& a, const StoredKey& b) { return a.number < b.number; });
    // A repeated key reads as its first line, as every lookup does: the
    // same digits are the same number, so its lines are neighbours now, the
    // first one first.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        bool repeated = false;
        for (std::size_t j = kept; j-- > 0 && keys[j].number == keys[i].number;) {
            repeated = repeated || keys[j].key == keys[i].key;
        }
        if (!repeated) keys[kept++] = keys[i];
    }
    keys.resize(kept);
    return section;
}

// ASCII case folded away, for the second way a stored name finds its topic.
struct FoldedHash {
    std::size_t operator()(std::string_view name) const {
        std::size_t hash = 14695981039346656037ull;
        for (char c : name) hash = (hash ^ static_cast<unsigned char>(scan::foldCase(c))) * 1099511628211ull;
        return hash;
    }
};
struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const { return scan::equalIgnoreCase(a, b); }
};

// The topic a stored name means: the first entry of exactly that name, else
// the first whose name matches ignoring ASCII case. Two topics whose names
// differ only in case each keep their own bookmark. The names asked for are
// few and the topics many: one walk over the topics looks each topic's name
// up among the stored names (a table that stays in the cache) and keeps the
// first entry for each.
class TopicsByName {
public:
    TopicsByName(const TopicIndex& index, const std::vector<std::string_view>& names) {
        exact_.reserve(names.size());
        folded_.reserve(names.size());
        for (std::string_view name : names) {
            exact_.try_emplace(name, nullptr);
            folded_.try_emplace(name, nullptr);
            const std::uint32_t key = filterKey(name);
            filter_[key / 64] |= std::uint64_t{1} << (key % 64);
        }
        for (TopicEntry* e = index.firstTopic(); e != nullptr; e = e->nextTopic()) {
            // Most topics are no stored name: a few bytes of it tell.
            const std::uint32_t key = filterKey(e->name());
            if ((filter_[key / 64] >> (key % 64) & 1) == 0) continue;
            // A name equal to a stored one is equal ignoring case too.
            const auto folded = folded_.find(e->name());
            if (folded == folded_.end()) continue;
            if (folded->second == nullptr) folded->second = e;
            if (const auto exact = exact_.find(e->name()); exact != exact_.end() && exact->second == nullptr) {
                exact->second = e;
            }
        }
    }

    TopicEntry* resolve(std::string_view name) const {
        if (const auto found = exact_.find(name); found != exact_.end() && found->second != nullptr) {
            return found->second;
        }
        const auto found = folded_.find(name);
        return found == folded_.end() ? nullptr : found->second;
    }

private:
    // The length and up to four bytes at either end, folded and mixed:
    // names equal but for case have the same key.
    static std::uint32_t filterKey(std::string_view name) {
        std::uint64_t key = name.size();
        const std::size_t ends = std::min<std::size_t>(name.size(), 4);
        for (std::size_t i = 0; i < ends; ++i) {
            key = key << 8 ^ static_cast<unsigned char>(scan::foldCase(name[i]));
            key = key << 8 ^ static_cast<unsigned char>(scan::foldCase(name[name.size() - 1 - i]));
        }
        key *= 0x9E3779B97F4A7C15ull;
        return static_cast<std::uint32_t>(key >> 48) % kFilterBits;
    }
    static constexpr std::uint32_t kFilterBits = 1u << 16;

    std::vector<std::uint64_t> filter_ = std::vector<std::uint64_t>(kFilterBits / 64);
    std::unordered_map<std::string_view, TopicEntry*> exact_;
    // Names equal but for ASCII case share one key.
    std::unordered_map<std::string_view, TopicEntry*, FoldedHash, FoldedEqual> folded_;
};

// The topics the parsed values name, for resolving them; none when there
// are no values, so that only a document with bookmarks walks its topics.
template <typename Owner>
std::optional<TopicsByName> topicsNamedIn(const TopicIndex& index,
                                          const std::vector<std::pair<Owner, BookmarkValue>>& values) {
    if (values.empty()) return std::nullopt;
    std::vector<std::string_view> names;
    names.reserve(values.size());
    for (const auto& [owner, parsed] : values) names.push_back(parsed.name);
    return std::optional<TopicsByName>(std::in_place, index, names);
}

// Whether a blank ends the value: the store's rule for where a new key goes
// (after the last non-blank byte) would then put the next key in front of
// those blanks.
bool endsInBlank(std::string_view value) { return !value.empty() && scan::isBlank(value.back()); }

}  // namespace

void writeBookmarkSection(KeyedStore& store, const std::vector<std::string>& values) {
    store.deleteSection(kBookmarksSection);
    if (values.empty()) return;
    // Written as the key-by-key rule writes it: the section added at the end
    // with key 1, each further key on a line of its own after the one
    // before. Where that rule would do something else (another section of
    // that name still in the text, or a value ending in blanks that the next
    // key goes in front of), it is followed key by key.
    const bool keyByKey = store.hasSection(kBookmarksSection) ||
                          std::any_of(values.begin(), values.end() - 1, endsInBlank);
    if (keyByKey) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            store.setString(kBookmarksSection, std::to_string(i + 1), values[i]);
        }
        return;
    }
    std::string body;
    std::size_t size = 0;
    for (const std::string& value : values) size += value.size() + 24;
    body.reserve(size);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) body.append("\r\n");
        body.append(std::to_string(i + 1)).append("=").append(values[i]);
    }
    store.setSectionText(kBookmarksSection, body);
}

std::vector<platform::MenuEntry> bookmarkMenuEntries(const BookmarkList& list,
                                                     std::vector<BookmarkMenuTarget>& targets) {
    using platform::MenuEntry;
    std::vector<MenuEntry> items;
    targets.clear();
    items.push_back({MenuEntry::Kind::Command, std::string(kManageBookmarksCaption), ids::kCmdManageBookmarks});
    items.push_back({MenuEntry::Kind::Separator, {}, 0});
    std::uint32_t k = 1;
    for (Bookmark* b = list.firstBookmark(); b != nullptr; b = b->nextBookmark(), ++k) {
        if (b->isMissing()) continue;
        const std::uint32_t command = ids::kFirstBookmarkCommand + k;
        if (command > kLastCommandId) break;
        items.push_back({MenuEntry::Kind::Command, std::string(b->topic->title()), command, true});
        targets.push_back({command, b});
    }
    return items;
}

void Bookmarks::addBookmark() {
    TopicEntry* topic = viewer_.document().currentTopic;
    if (topic == nullptr || !list_ || !userData_.isOpen()) return;
    const std::uint32_t line = viewer_.firstVisibleLine();
    if (Bookmark* existing = list_->findByTopic(topic)) {
        existing->line = line;
    } else {
        list_->appendBookmark(line, topic);
    }
    rebuildBookmarkMenu();
    saveBookmarks();
}

void Bookmarks::loadBookmarks() {
    list_ = std::make_unique<BookmarkList>();
    if (userData_.isOpen()) {
        const StoredSection section = storedKeys(*userData_.store());
        std::vector<std::pair<StoredKey, BookmarkValue>> stored;
        stored.reserve(section.keys.size());
        for (const StoredKey& key : section.keys) {
            // A value that names no topic carries nothing to keep.
            if (const std::optional<BookmarkValue> parsed = parseBookmarkValue(key.value)) {
                stored.emplace_back(key, *parsed);
            }
        }
        const std::optional<TopicsByName> topics = topicsNamedIn(*viewer_.document().index, stored);
        for (const auto& [key, parsed] : stored) {
            if (TopicEntry* topic = topics->resolve(parsed.name)) {
                list_->appendBookmark(parsed.line, topic);
            } else {
                list_->appendMissing(parsed.name, key.value);
            }
        }
    }
    rebuildBookmarkMenu();
}

void Bookmarks::clear() {
    list_.reset();
    rebuildBookmarkMenu();
}

void Bookmarks::releaseTopics() {
    if (!list_) return;
    for (Bookmark* b = list_->firstBookmark(); b != nullptr; b = b->nextBookmark()) {
        if (b->isMissing()) continue;
        b->storedName = std::string(b->topic->name());
        b->storedValue = b->storedName + "," + std::to_string(b->line);
        b->topic = nullptr;
    }
    menuTargets_.clear();
}

void Bookmarks::resolveTopics() {
    if (!list_) return;
    std::vector<std::pair<Bookmark*, BookmarkValue>> missing;
    for (Bookmark* b = list_->firstBookmark(); b != nullptr; b = b->nextBookmark()) {
        if (!b->isMissing()) continue;
        if (const std::optional<BookmarkValue> parsed = parseBookmarkValue(b->storedValue)) {
            missing.emplace_back(b, *parsed);
        }
    }
    const std::optional<TopicsByName> topics = topicsNamedIn(*viewer_.document().index, missing);
    // The names point into the stored values: those are let go only once
    // every name is resolved.
    std::vector<std::pair<Bookmark*, TopicEntry*>> found;
    for (const auto& [b, parsed] : missing) {
        if (TopicEntry* topic = topics->resolve(parsed.name)) {
            b->line = parsed.line;
            found.emplace_back(b, topic);
        }
    }
    for (const auto& [b, topic] : found) {
        b->topic = topic;
        b->storedName.clear();
        b->storedValue.clear();
    }
    rebuildBookmarkMenu();
}

void Bookmarks::saveBookmarks() {
    if (!list_ || !userData_.isOpen()) return;
    // Every value is built before the store changes, so a value that does
    // not fit leaves the user data as it was.
    std::vector<std::string> values;
    std::uint32_t k = 1;
    for (Bookmark* b = list_->firstBookmark(); b != nullptr; b = b->nextBookmark(), ++k) {
        values.push_back(bookmarkValueFor(k, *b));
    }
    try {
        userData_.commit([&](KeyedStore& store) { writeBookmarkSection(store, values); });
    } catch (const RuntimeFailure& failure) {
        if (!failure.isAboutFile()) throw;
        // Written nowhere: the list keeps the change, and the next save
        // that succeeds writes it.
        platform::reportFileFailure(platform_, failure);
    }
}

void Bookmarks::rebuildBookmarkMenu() {
    menuTargets_.clear();
    if (menuBar_ == nullptr) return;
    static const BookmarkList kNoBookmarks;
    const std::vector<platform::MenuEntry> items = bookmarkMenuEntries(list_ ? *list_ : kNoBookmarks, menuTargets_);
    menuBar_->replacePopup(resources::kBookmarksMenuPosition, kBookmarksMenuTitle, items);
}

void Bookmarks::onBookmarkCommand(std::uint32_t command) {
    for (const BookmarkMenuTarget& target : menuTargets_) {
        if (target.command == command) {
            jumpToBookmark(*target.bookmark);
            return;
        }
    }
}

void Bookmarks::jumpToBookmark(const Bookmark& bookmark) {
    if (bookmark.isMissing()) return;
    viewer_.selectTopic(bookmark.topic);
    viewer_.scrollToLine(bookmark.line);
}

void Bookmarks::removeBookmark(Bookmark* bookmark) {
    if (!list_ || bookmark == nullptr || list_->indexOf(bookmark) < 0) return;
    list_->remove(bookmark);
    rebuildBookmarkMenu();
}

void Bookmarks::openBookmarkManager() {
    BookmarksDialog dialog(*this);
    platform_.runModalDialog(resources::bookmarksDialog(), dialog);
    // Every way of closing the dialog writes the list, deletions included.
    saveBookmarks();
}

}  // namespace vtome
