// A keyed file of any bytes, then a script of queries and edits on it.
//
// Checked on the way:
// - loading keeps every byte, and a save writes the text back byte for byte;
// - no query changes the text;
// - the section index answers exactly as the store's linear lookup does, and
//   the one-pass list of lines agrees with lineCount and getLineInto;
// - the bytes from the first byte 0 on are never touched by an edit;
// - an edit changes only what it names: setString leaves one splice of the
//   literal pieces it may write, the value reads back, and every section
//   whose header stands after the splice reads as before; a line inserted
//   or replaced stands on a line of its own.
// The checks that depend on the format's rules hold only for arguments the
// format can hold (no brackets, line ends or byte 0 in names and values);
// other arguments are still run, for crashes and sanitizer reports.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "runtime/counted_string.h"
#include "store/section_index.h"

namespace vtome::fuzz {
namespace {

bool hasAny(std::string_view text, std::string_view chars) { return text.find_first_of(chars) != text.npos; }

// Holds for names and values the format can store and read back.
bool plainName(std::string_view s) {
    return !s.empty() && s.size() < 200 && !hasAny(s, std::string_view("[]\r\n\0", 5));
}
bool plainKey(std::string_view k) {
    return plainName(k) && !hasAny(k, "=") && k.front() != ' ' && k.front() != '\t' && k.back() != ' ' &&
           k.back() != '\t' && k.front() != '<';
}
bool plainValue(std::string_view v) { return v.size() < 200 && !hasAny(v, std::string_view("[]\r\n\0;", 6)); }

struct Diff {
    std::size_t prefix;       // bytes equal at the start
    std::string_view removed;  // what the old text had in between
    std::string_view inserted; // what the new text has there
};

Diff diff(std::string_view before, std::string_view after) {
    std::size_t p = 0;
    while (p < before.size() && p < after.size() && before[p] == after[p]) ++p;
    std::size_t s = 0;
    while (s < before.size() - p && s < after.size() - p && before[before.size() - 1 - s] == after[after.size() - 1 - s]) {
        ++s;
    }
    return {p, before.substr(p, before.size() - p - s), after.substr(p, after.size() - p - s)};
}

class Session {
public:
    Session(Input& script, KeyedStore& store) : in_(script), store_(store) {}

    void run() {
        for (int step = 0; step < 24 && !in_.empty(); ++step) {
            try {
                one();
            } catch (const RuntimeFailure&) {
                // An allowed outcome; the text must still be whole.
                checkIndexAgrees();
            }
        }
        checkIndexAgrees();
    }

private:
    // A section name: one the text has, or one made up by the script.
    std::string name() {
        if (in_.flag()) {
            std::vector<std::string> names;
            for (const SectionNameEntry* e = store_.firstSection(); e != nullptr; e = e->nextName()) {
                names.push_back(e->name);
            }
            if (!names.empty()) return names[in_.below(static_cast<std::uint32_t>(names.size()))];
        }
        return std::string(in_.bytes(12));
    }
    // A key: the text before "=" of some line of the text, or made up.
    std::string key() {
        const std::string_view text = visiblePart(store_.text());
        if (in_.flag() && !text.empty()) {
            std::size_t at = in_.below(static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), 65535)));
            at = text.rfind('\n', at);
            at = at == text.npos ? 0 : at + 1;
            const std::size_t eq = text.find('=', at);
            const std::size_t end = text.find_first_of("\r\n", at);
            if (eq != text.npos && (end == text.npos || eq < end)) {
                std::string_view k = text.substr(at, eq - at);
                while (!k.empty() && (k.front() == ' ' || k.front() == '\t')) k.remove_prefix(1);
                while (!k.empty() && (k.back() == ' ' || k.back() == '\t')) k.remove_suffix(1);
                return std::string(k);
            }
        }
        return std::string(in_.bytes(8));
    }
    std::string value() { return std::string(in_.bytes(16)); }

    // A query must leave the text as it was.
    template <typename Query>
    void query(Query q) {
        const std::string before(store_.text());
        q();
        FUZZ_CHECK(store_.text() == before);
    }

    void one() {
        const std::string before(store_.text());
        const std::string tailBefore(store_.text().substr(visiblePart(store_.text()).size()));
        bool argsHoldZero = false;
        auto watch = [&argsHoldZero](const std::string& s) -> const std::string& {
            if (s.find('\0') != s.npos) argsHoldZero = true;
            return s;
        };

        const std::uint32_t op = in_.below(32);
        if (tracing()) std::fprintf(stderr, "--- op %u on:\n%s\n", op, shown(before).c_str());
        switch (op) {
            case 0: {
                const std::string s = name(), k = key(), v = value();
                checkedSetString(s, k, v);
                watch(s), watch(k), watch(v);
                break;
            }
            case 1: query([&] { CountedString dest(in_.below(64)); store_.getStringInto(name(), key(), &dest); });
                break;
            case 2: query([&] { store_.getString(name(), key()); }); break;
            case 3: query([&] {
                TextBuffer dest;
                const std::string s = name(), k = key();
                if (store_.getValueToBuffer(s, k, &dest)) {
                    const auto direct = store_.getString(s, k);
                    FUZZ_CHECK(direct.has_value());
                    if (!in_.flag()) return;
                }
            });
                break;
            case 4: query([&] { store_.getBool(name(), key()); }); break;
            case 5: query([&] { store_.getHex32(name(), key()); }); break;
            case 6: query([&] { store_.getInt32(name(), key()); }); break;
            case 7: query([&] { store_.getUns32(name(), key()); }); break;
            case 8: query([&] {
                unsigned char bytes[64];
                std::uint32_t stored = 0;
                const std::uint32_t count = in_.below(65);
                store_.getBytes(name(), key(), bytes, count, &stored);
                FUZZ_CHECK(stored <= count);
            });
                break;
            case 9: query([&] {
                CountedString dest(in_.below(128));
                store_.getSectionTextInto(name(), dest);
            });
                break;
            case 10: query([&] {
                const std::string s = name();
                const auto text = store_.getSectionText(s);
                TextBuffer buffer;
                const bool found = store_.getSectionToBuffer(s, buffer);
                // A section readable as text reads the same into a buffer.
                if (text) FUZZ_CHECK(found && buffer.view() == *text);
            });
                break;
            case 11: query([&] {
                std::uint32_t n = 0;
                for (const SectionNameEntry* e = store_.firstSection(); e != nullptr; e = e->nextName()) ++n;
                FUZZ_CHECK(n == store_.sectionCount());
            });
                break;
            case 12: query([&] { TextBuffer b; store_.getSectionBytes(name(), b); }); break;
            case 13: query([&] { checkLines(name()); }); break;
            case 14: query([&] {
                CountedString dest(64);
                store_.getField(name(), in_.below(8), in_.below(4), dest);
            });
                break;
            case 15: query([&] {
                const std::string s = name();
                const std::string line(in_.bytes(12));
                const std::int32_t at = store_.findLine(s, line);
                FUZZ_CHECK(at >= -1);
                if (at >= 0) FUZZ_CHECK(static_cast<std::uint32_t>(at) < store_.lineCount(s));
            });
                break;
            case 16: query([&] {
                const std::string s = name(), k = key();
                if (store_.hasKey(s, k)) FUZZ_CHECK(store_.hasSection(s) && store_.getString(s, k).has_value());
            });
                break;
            case 17: {
                const std::string s = watch(name()), k = watch(key());
                const bool had = store_.hasKey(s, k);
                const bool removed = store_.deleteKey(s, k);
                FUZZ_CHECK(removed == had);
                if (removed) {
                    // One line, and nothing else, went.
                    const Diff d = diff(before, store_.text());
                    FUZZ_CHECK(d.inserted.empty());
                    FUZZ_CHECK(std::count(d.removed.begin(), d.removed.end(), '\n') <= 1);
                }
                break;
            }
            case 18: {
                const std::string s = watch(name());
                store_.deleteSection(s);
                const std::string_view after = visiblePart(store_.text());
                if (store_.text() != before) {
                    FUZZ_CHECK(after.size() >= 2 && after.substr(after.size() - 2) == "\r\n");
                }
                break;
            }
            case 19: store_.deleteLine(watch(name()), in_.below(8)); break;
            case 20: {
                const std::string s = watch(name()), k = watch(key()), k2 = watch(key());
                const bool had = store_.hasKey(s, k);
                FUZZ_CHECK(store_.renameKey(s, k, k2) == had);
                break;
            }
            case 21: {
                const std::string s = watch(name()), s2 = watch(name());
                store_.renameSection(s, s2);
                break;
            }
            case 22:
            case 23: {
                const std::string s = watch(name());
                const std::string body = watch(std::string(in_.bytes(40)));
                checkedSetSection(s, body, in_.flag());
                break;
            }
            case 24:
            case 25: {
                const std::string s = watch(name());
                const std::string line = watch(std::string(in_.bytes(16)));
                checkedLineEdit(s, in_.below(10), line, in_.flag());
                break;
            }
            case 26: {
                const std::string s = watch(name()), k = watch(key());
                switch (in_.below(5)) {
                    case 0: store_.setBool(s, k, in_.flag()); break;
                    case 1: store_.setHex32(s, k, in_.below(65536) * 65537u); break;
                    case 2: store_.setInt32(s, k, static_cast<std::int32_t>(in_.below(65536) * 40503u)); break;
                    case 3: store_.setUns32(s, k, in_.below(65536) * 65599u); break;
                    default: {
                        const std::string_view data = in_.bytes(24);
                        store_.setBytes(s, k, data.data(), static_cast<std::uint32_t>(data.size()));
                        unsigned char back[24];
                        std::uint32_t stored = 0;
                        // Bytes written read back, where the key can be found again.
                        if (plainName(s) && plainKey(k) && store_.getBytes(s, k, back, 24, &stored)) {
                            FUZZ_CHECK(stored == data.size() && std::memcmp(data.data(), back, data.size()) == 0);
                        }
                    }
                }
                break;
            }
            case 27: store_.setStripComments(in_.flag()); break;
            case 28: {
                CharSet set;
                for (int i = 0; i < 3; ++i) set.add(static_cast<char>(in_.byte() & 0x7F));
                store_.setFieldDelimiters(set);
                break;
            }
            case 29: query([&] { TextBuffer b; store_.getLineToBuffer(name(), in_.below(8), b); }); break;
            case 30: query([&] {
                SectionIndex index(store_);
                const std::string s = name();
                TextBuffer a, b;
                const bool linear = store_.getSectionToBuffer(s, a);
                FUZZ_CHECK(index.getSectionToBuffer(s, b) == linear);
                FUZZ_CHECK(a.view() == b.view());
            });
                break;
            default: query([&] { CountedString d(200); store_.getLineInto(name(), in_.below(8), d); }); break;
        }
        // Edits see the text up to its first byte 0; what follows stays.
        if (!argsHoldZero) {
            const std::string_view now = store_.text();
            FUZZ_CHECK(now.size() >= tailBefore.size() &&
                       now.substr(now.size() - tailBefore.size()) == tailBefore);
        }
    }

    // The sections, by name, whose header stands wholly inside `from`, with
    // their texts: the ones an edit before them must not change.
    std::vector<std::pair<std::string, std::optional<std::string>>> sectionsFrom(std::size_t from) {
        std::vector<std::pair<std::string, std::optional<std::string>>> result;
        const std::string_view text = visiblePart(store_.text());
        for (const SectionNameEntry* e = store_.firstSection(); e != nullptr; e = e->nextName()) {
            if (!plainName(e->name)) continue;
            const std::size_t at = text.find("[" + e->name + "]");
            if (at != text.npos && at >= from) result.emplace_back(e->name, std::nullopt);
        }
        for (auto& [n, body] : result) body = store_.getSectionText(n);
        return result;
    }

    void checkedSetString(const std::string& s, const std::string& k, const std::string& v) {
        const bool plain = plainName(s) && plainKey(k) && plainValue(v);
        const std::string before(store_.text());
        const std::string_view visibleBefore = visiblePart(before);
        const bool hadSection = store_.hasSection(s);
        const bool hadKey = hadSection && store_.hasKey(s, k);
        std::string oldValue;
        if (hadKey) oldValue = *store_.getString(s, k);
        // Sections after the place the edit can touch.
        auto later = plain ? sectionsFrom(0) : decltype(sectionsFrom(0)){};

        store_.setString(s, k, v);
        if (!plain) return;

        const std::string_view after = store_.text();
        FUZZ_CHECK(store_.getString(s, k) == v);
        const Diff d = diff(before, after);
        if (!hadSection) {
            FUZZ_CHECK(after == std::string(visibleBefore) + "\r\n[" + s + "]\r\n" + k + "=" + v + "\r\n" +
                                    before.substr(visibleBefore.size()));
            return;
        }
        if (hadKey) {
            // Only value bytes changed, and the line end stayed.
            FUZZ_CHECK(!hasAny(d.removed, "\r\n") && !hasAny(d.inserted, "\r\n"));
            if (hasAny(d.removed, "[")) return;  // it may have held another header's first occurrence
        } else {
            FUZZ_CHECK(d.removed.empty() && d.inserted.size() == k.size() + v.size() + 3);
        }
        const std::size_t spliceEnd = d.prefix + d.removed.size();
        for (const auto& [n, body] : later) {
            const std::size_t at = visibleBefore.find("[" + n + "]");
            if (n == s || at < spliceEnd) continue;
            FUZZ_CHECK(store_.getSectionText(n) == body);
        }
    }

    void checkedSetSection(const std::string& s, const std::string& body, bool fromBuffer) {
        const bool hadSection = store_.hasSection(s);
        const bool located = store_.getSectionText(s).has_value() || [&] {
            TextBuffer b;
            return store_.getSectionBytes(s, b);
        }();
        if (fromBuffer) {
            TextBuffer source;
            source.insertBytes(body.data(), static_cast<std::uint32_t>(body.size()));
            store_.setSectionFromBuffer(s, source);
        } else {
            store_.setSectionText(s, body);
        }
        // A body without brackets, block markers or byte 0 reads back, with
        // the line end (and blank line before a following header) the edit adds.
        // One that starts with LF after a header line ended by a lone CR
        // makes a CR LF of the two, so its first byte goes to the header.
        if (!plainName(s) || hasAny(body, std::string_view("[<\0", 3)) || (hadSection && !located)) return;
        if (!body.empty() && body.front() == '\n') return;
        const auto text = store_.getSectionText(s);
        if (tracing()) {
            std::fprintf(stderr, "setSectionText [%s] body [%s] gives\n%s\n", shown(s).c_str(), shown(body).c_str(),
                         shown(store_.text()).c_str());
        }
        FUZZ_CHECK(text.has_value());
        FUZZ_CHECK(*text == body + "\r\n" || *text == body + "\r\n\r\n");
    }

    void checkedLineEdit(const std::string& s, std::uint32_t index, const std::string& line, bool replace) {
        auto linesEqual = [&line](std::string_view text) {
            std::size_t n = 0;
            for (std::size_t at = 0; at <= text.size();) {
                std::size_t end = text.find_first_of("\r\n", at);
                if (end == text.npos) end = text.size();
                if (text.substr(at, end - at) == line) ++n;
                if (end == text.size()) break;
                at = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
            }
            return n;
        };
        const bool plain = plainName(s) && !line.empty() && !hasAny(line, std::string_view("[\r\n\0", 4));
        const std::size_t before = plain ? linesEqual(visiblePart(store_.text())) : 0;
        if (replace) {
            store_.replaceLine(s, index, line);
        } else {
            store_.insertLine(s, index, line);
        }
        // The new line stands on a line of its own.
        if (plain) FUZZ_CHECK(linesEqual(visiblePart(store_.text())) >= (replace ? 1 : before + 1));
    }

    // The one-pass list of lines is what lineCount counts and getLineInto reads.
    void checkLines(const std::string& s) {
        const std::vector<std::string_view> lines = store_.listLines(s);
        const std::vector<std::string> copies(lines.begin(), lines.end());
        FUZZ_CHECK(copies.size() == store_.lineCount(s));
        for (std::uint32_t i = 0; i < copies.size() && i < 16; ++i) {
            CountedString dest(copies[i].size() + 1);
            FUZZ_CHECK(store_.getLineInto(s, i, dest) && dest.view() == copies[i]);
        }
        CountedString dest(4096);
        FUZZ_CHECK(!store_.getLineInto(s, static_cast<std::uint32_t>(copies.size()), dest));
    }

    // Every section the text names reads through the index as it reads linearly.
    void checkIndexAgrees() {
        SectionIndex index(store_);
        std::uint32_t checked = 0;
        for (const SectionNameEntry* e = store_.firstSection(); e != nullptr && checked < 32; e = e->nextName()) {
            ++checked;
            TextBuffer a, b;
            try {
                const bool linear = store_.getSectionToBuffer(e->name, a);
                FUZZ_CHECK(index.getSectionToBuffer(e->name, b) == linear);
                FUZZ_CHECK(a.view() == b.view());
            } catch (const RuntimeFailure&) {
            }
        }
    }

    Input& in_;
    KeyedStore& store_;
};

// Saves land in a fresh folder of the fuzzer's own, removed when it ends;
// in memory where there is such a place, since every save is flushed.
class SaveFolder {
public:
    SaveFolder() {
        char inMemory[] = "/dev/shm/vtome-fuzz-XXXXXX";
        char onDisk[] = "/tmp/vtome-fuzz-XXXXXX";
        const char* made = ::mkdtemp(inMemory);
        if (made == nullptr) made = ::mkdtemp(onDisk);
        if (made == nullptr) std::abort();
        folder_ = made;
    }
    ~SaveFolder() {
        ::unlink(file().c_str());
        ::rmdir(folder_.c_str());
    }
    std::string file() const { return folder_ + "/saved.ini"; }

private:
    std::string folder_;
};

std::string savePath() {
    static const SaveFolder folder;
    return folder.file();
}

}  // namespace
}  // namespace vtome::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vtome;
    using namespace vtome::fuzz;
    const ScriptAndFile input = splitInput(data, size);
    std::unique_ptr<KeyedStore> store;
    try {
        store = loadStore(input.file);
    } catch (const RuntimeFailure&) {
        return 0;
    }
    Input script(reinterpret_cast<const std::uint8_t*>(input.script.data()), input.script.size());
    // Now and then a real save: it must write the text back byte for byte.
    const bool save = (script.byte() & 15) == 0;
    Session(script, *store).run();
    if (save) {
        store->saveToFile(savePath());
        std::unique_ptr<KeyedStore> again = KeyedStore::loadFromFile(savePath());
        FUZZ_CHECK(again->text() == store->text());
    }
    return 0;
}
