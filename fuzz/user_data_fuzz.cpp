// A .vinfo file of any bytes: its bookmarks and notes, read as the viewer
// reads them and written back as the viewer writes them.
//
// Checked: a stored bookmark value taken apart by parseBookmarkValue names a
// topic and reads its line from the digits after the last comma; the value
// written for that bookmark takes it apart to the same name and line; a
// bookmark section rewritten whole (delete, then one key per bookmark) reads
// back value for value; a note's section is the topic name with
// "_vTomeNote", and hasNote tells whether that section exists.

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "annotations/bookmark_list.h"
#include "annotations/notes.h"
#include "fuzz_support.h"

namespace vtome::fuzz {
namespace {

constexpr std::string_view kBookmarks = "vTome Bookmarks";

bool blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

void checkValue(std::string_view value) {
    const std::optional<BookmarkValue> parsed = parseBookmarkValue(value);
    const std::size_t comma = value.rfind(',');
    const std::string_view name = comma == value.npos ? value : value.substr(0, comma);
    if (trimmed(name).empty()) {
        FUZZ_CHECK(!parsed);
        return;
    }
    FUZZ_CHECK(parsed && parsed->name == name);
    std::uint64_t line = 0;
    bool number = comma != value.npos && !trimmed(value.substr(comma + 1)).empty();
    if (number) {
        for (char c : trimmed(value.substr(comma + 1))) {
            number = number && c >= '0' && c <= '9' && line <= std::numeric_limits<std::uint32_t>::max();
            if (number) line = line * 10 + static_cast<std::uint64_t>(c - '0');
        }
        number = number && line <= std::numeric_limits<std::uint32_t>::max();
    }
    FUZZ_CHECK(parsed->line == (number ? line : 0));

    // Written for a topic of that name, it reads back the same.
    TopicIndex index;
    Bookmark bookmark;
    bookmark.topic = index.addTopic(index.keepText(parsed->name), {});
    bookmark.line = parsed->line;
    const std::string written = bookmarkValueFor(7, bookmark);
    const std::optional<BookmarkValue> again = parseBookmarkValue(written);
    FUZZ_CHECK(again && again->name == parsed->name && again->line == parsed->line);
}

void check(KeyedStore& store, std::string_view script) {
    // The values of the bookmark keys, in the order the section lists them.
    std::vector<std::string> values;
    if (const std::optional<std::string> body = store.getSectionText(kBookmarks)) {
        std::string_view rest = *body;
        while (!rest.empty() && values.size() < 64) {
            const std::size_t end = std::min(rest.find_first_of("\r\n"), rest.size());
            const std::string_view line = rest.substr(0, end);
            rest.remove_prefix(std::min(end + 1, rest.size()));
            const std::size_t eq = line.find('=');
            if (eq == line.npos) continue;
            const std::string_view key = trimmed(line.substr(0, eq));
            if (key.empty() || !std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                continue;
            }
            TextBuffer value;
            if (!store.getValueToBuffer(kBookmarks, key, &value)) continue;
            checkValue(value.view());
            if (parseBookmarkValue(value.view())) values.emplace_back(value.view());
        }
    }
    for (std::size_t at = 0; at < script.size() && at < 64; at += 16) checkValue(script.substr(at, 16));

    // Rewritten the way the viewer saves bookmarks, the values read back,
    // as long as no earlier text holds the section's bracketed name (the
    // first occurrence of a name is the section; see the note in the report
    // of this target).
    const std::string header = "[" + std::string(kBookmarks) + "]";
    store.deleteSection(kBookmarks);
    for (std::size_t i = 0; i < values.size(); ++i) store.setString(kBookmarks, std::to_string(i + 1), values[i]);
    const std::string_view text = visiblePart(store.text());
    const std::size_t first = text.find(header);
    const bool headerIsLast = first != text.npos && text.find(header, first + 1) == text.npos &&
                              (first == 0 || text[first - 1] == '\n');
    if (headerIsLast || values.empty()) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            FUZZ_CHECK(store.getString(kBookmarks, std::to_string(i + 1)) == values[i]);
        }
    }

    // Notes: the section named after the topic.
    for (const SectionNameEntry* e = store.firstSection(); e != nullptr; e = e->nextName()) {
        std::string_view topic = e->name;
        if (topic.size() < 10 || topic.substr(topic.size() - 10) != "_vTomeNote") continue;
        topic.remove_suffix(10);
        FUZZ_CHECK(noteSectionName(topic) == e->name);
        FUZZ_CHECK(hasNote(store, topic) == store.hasSection(e->name));
    }
    const std::string_view made = script.substr(0, std::min<std::size_t>(script.size(), 24));
    FUZZ_CHECK(hasNote(store, made) == store.hasSection(std::string(made) + "_vTomeNote"));
}

}  // namespace
}  // namespace vtome::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vtome;
    const fuzz::ScriptAndFile input = fuzz::splitInput(data, size);
    try {
        std::unique_ptr<KeyedStore> store = fuzz::loadStore(input.file);
        fuzz::check(*store, input.script);
    } catch (const RuntimeFailure&) {
    }
    return 0;
}
