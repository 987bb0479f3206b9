#include "shell/recent_documents.h"

#include <algorithm>
#include <filesystem>

#include "document/contents.h"
#include "document/document_location.h"
#include "resources/ids.h"
#include "runtime/failure.h"
#include "store/file_io.h"

namespace vtome::shell {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool needsEscape(unsigned char c) { return c == '%' || c == '[' || c == ']' || c < 0x20 || c == 0x7F; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Every line of the key: a hand-edited file may hold it twice, and the
// second would be read once the first is gone.
void deleteAll(KeyedStore& settings, const std::string& key) {
    while (settings.deleteKey(kRecentSection, key)) {
    }
}

std::string pathKey(std::size_t k) { return std::to_string(k); }
std::string topicKey(std::size_t k) { return "Topic" + std::to_string(k); }
std::string lineKey(std::size_t k) { return "Line" + std::to_string(k); }

// A value that cannot be read (a line longer than the lookups' working
// text) counts as missing, as every setting does.
std::optional<std::string> readString(KeyedStore& settings, const std::string& key) {
    try {
        return settings.getString(kRecentSection, key);
    } catch (const RuntimeFailure&) {
        return std::nullopt;
    }
}

std::optional<std::uint32_t> readLine(KeyedStore& settings, const std::string& key) {
    try {
        if (!settings.hasKey(kRecentSection, key)) return std::nullopt;
        return settings.getUns32(kRecentSection, key);
    } catch (const RuntimeFailure&) {
        return std::nullopt;
    }
}

// "&" would mark a mnemonic and a tab start the shortcut column.
std::string menuText(std::string_view path) {
    std::string text;
    for (const char c : path) {
        if (c == '&') {
            text += "&&";
        } else {
            text += c == '\t' ? ' ' : c;
        }
    }
    return text;
}

}  // namespace

std::string encodeStoredText(std::string_view text) {
    std::string stored;
    stored.reserve(text.size());
    // Blanks that end a value are the first thing a hand edit loses: many
    // editors strip them.
    std::size_t trailingBlanks = text.size();
    while (trailingBlanks > 0 && text[trailingBlanks - 1] == ' ') --trailingBlanks;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (needsEscape(byte) || i >= trailingBlanks) {
            stored += '%';
            stored += kHexDigits[byte >> 4];
            stored += kHexDigits[byte & 0x0F];
        } else {
            stored += c;
        }
    }
    return stored;
}

std::string decodeStoredText(std::string_view stored) {
    std::string text;
    text.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '%' && i + 2 < stored.size() && hexValue(stored[i + 1]) >= 0 && hexValue(stored[i + 2]) >= 0) {
            text += static_cast<char>(hexValue(stored[i + 1]) * 16 + hexValue(stored[i + 2]));
            i += 2;
        } else {
            text += stored[i];
        }
    }
    return text;
}

std::string listedPath(std::string_view path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::path(path), error);
    if (error) return std::string(path);
    return absolute.lexically_normal().string();
}

void RecentDocuments::load(KeyedStore& settings) {
    entries_.clear();
    for (std::size_t k = 1; k <= kMaxRecentDocuments; ++k) {
        const std::optional<std::string> stored = readString(settings, pathKey(k));
        if (!stored || stored->empty()) continue;
        const std::string path = decodeStoredText(*stored);
        if (path.size() > kPathCapacity || find(path) != nullptr) continue;
        RecentDocument entry{path, std::nullopt};
        // A name no contents line can hold is no place (and could not be
        // written back within a line the lookups read).
        const std::optional<std::string> topic = readString(settings, topicKey(k));
        if (topic && topic->size() <= kTopicNameCapacity) entry.place = TopicPlace{decodeStoredText(*topic), readLine(settings, lineKey(k)).value_or(0)};
        entries_.push_back(std::move(entry));
    }
}

void RecentDocuments::save(KeyedStore& settings) const {
    if (entries_.empty() && !settings.hasSection(kRecentSection)) return;
    for (std::size_t k = 1; k <= kMaxRecentDocuments; ++k) {
        if (k > entries_.size()) {
            deleteAll(settings, pathKey(k));
            deleteAll(settings, topicKey(k));
            deleteAll(settings, lineKey(k));
            continue;
        }
        const RecentDocument& entry = entries_[k - 1];
        settings.setString(kRecentSection, pathKey(k), encodeStoredText(entry.path));
        if (entry.place) {
            settings.setString(kRecentSection, topicKey(k), encodeStoredText(entry.place->topicName));
            settings.setUns32(kRecentSection, lineKey(k), entry.place->line);
        } else {
            deleteAll(settings, topicKey(k));
            deleteAll(settings, lineKey(k));
        }
    }
}

void RecentDocuments::add(std::string_view path) {
    if (path.empty() || path.size() > kPathCapacity) return;
    RecentDocument entry{std::string(path), std::nullopt};
    const auto listed = std::find_if(entries_.begin(), entries_.end(),
                                     [&](const RecentDocument& e) { return e.path == path; });
    if (listed != entries_.end()) {
        entry = std::move(*listed);
        entries_.erase(listed);
    }
    entries_.insert(entries_.begin(), std::move(entry));
    if (entries_.size() > kMaxRecentDocuments) entries_.resize(kMaxRecentDocuments);
}

void RecentDocuments::remove(std::string_view path) {
    std::erase_if(entries_, [&](const RecentDocument& e) { return e.path == path; });
}

bool RecentDocuments::dropMissing() {
    return std::erase_if(entries_, [](const RecentDocument& e) { return !pathExists(e.path); }) > 0;
}

void RecentDocuments::setPlace(std::string_view path, const TopicPlace& place) {
    for (RecentDocument& entry : entries_) {
        if (entry.path == path) entry.place = place;
    }
}

const RecentDocument* RecentDocuments::find(std::string_view path) const {
    for (const RecentDocument& entry : entries_) {
        if (entry.path == path) return &entry;
    }
    return nullptr;
}

std::vector<platform::MenuEntry> RecentDocuments::menuEntries() const {
    using platform::MenuEntry;
    std::vector<MenuEntry> items;
    if (entries_.empty()) return items;
    items.push_back({MenuEntry::Kind::Separator, {}, 0});
    for (std::size_t k = 0; k < entries_.size(); ++k) {
        items.push_back({MenuEntry::Kind::Command, "&" + std::to_string(k + 1) + " " + menuText(entries_[k].path),
                         ids::kFirstRecentCommand + static_cast<std::uint32_t>(k)});
    }
    items.push_back({MenuEntry::Kind::Separator, {}, 0});
    return items;
}

}  // namespace vtome::shell
