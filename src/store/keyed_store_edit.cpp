// KeyedStore: the writing operations. Each edit inserts or removes exact
// byte sequences at positions found by the lookup steps; everything else in
// the text stays as it was. Every line end the store writes is CR LF.

#include <string>

#include "runtime/failure.h"
#include "store/keyed_store.h"
#include "store/number_syntax.h"
#include "runtime/text_scan.h"

namespace vtome {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string keyLine(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append("=").append(value);
    return line;
}

}  // namespace

void KeyedStore::replaceRange(std::uint32_t from, std::uint32_t to, std::string_view bytes) {
    text_.setPosition(from);
    if (to > from) text_.deleteChars(to - from);
    if (!bytes.empty()) text_.insertBytes(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    visibleLength_.reset();
}

void KeyedStore::appendSection(std::string_view section, std::string_view firstLine) {
    std::string added;
    added.reserve(section.size() + firstLine.size() + 8);
    added.append(kLineEnd).append("[").append(section).append("]").append(kLineEnd);
    added.append(firstLine).append(kLineEnd);
    insertAt(static_cast<std::uint32_t>(visible().size()), added);
}

std::uint32_t KeyedStore::afterLastNonBlank(std::uint32_t pos) const {
    const std::string_view text = visible();
    while (pos > 0 && scan::isWhitespace(text[pos - 1])) --pos;
    return pos;
}

std::uint32_t KeyedStore::endOfLastNonBlankLine(std::uint32_t pos) const {
    // Blanks that end that line belong to it (the last value of a section
    // may end in spaces): a new line goes after them, not between.
    const std::string_view text = visible();
    pos = afterLastNonBlank(pos);
    while (pos < text.size() && scan::isBlank(text[pos])) ++pos;
    return pos;
}

// --- values

void KeyedStore::setString(std::string_view section, std::string_view key, std::string_view value) {
    if (!findSection(section)) {
        appendSection(section, keyLine(key, value));
    } else if (findKey(key)) {
        replaceRange(valueStart_, scan::lineEnd(visible(), valueStart_), value);
    } else {
        // A new key follows the section's last non-blank line, so blank lines
        // that separate it from the next header stay where they are.
        std::string added(kLineEnd);
        added.append(keyLine(key, value));
        insertAt(endOfLastNonBlankLine(keyScanStop_), added);
    }
}

void KeyedStore::setBool(std::string_view section, std::string_view key, bool flag) {
    setString(section, key, flag ? "true" : "false");
}

void KeyedStore::setHex32(std::string_view section, std::string_view key, std::uint32_t value) {
    setString(section, key, formatHex32(value));
}

void KeyedStore::setBytes(std::string_view section, std::string_view key, const void* bytes, std::uint32_t count) {
    setString(section, key, formatHexBytes(bytes, count));
}

void KeyedStore::setInt32(std::string_view section, std::string_view key, std::int32_t value) {
    setString(section, key, std::to_string(value));
}

void KeyedStore::setUns32(std::string_view section, std::string_view key, std::uint32_t value) {
    setString(section, key, std::to_string(value));
}

// --- removals

bool KeyedStore::deleteKey(std::string_view section, std::string_view key) {
    if (!findSection(section) || !findKey(key)) return false;
    const std::string_view text = visible();
    replaceRange(keyLineStart_, scan::skipLineEnd(text, scan::lineEnd(text, valueStart_)), {});
    return true;
}

void KeyedStore::deleteSection(std::string_view section) {
    if (!locateSection(section)) return;
    const std::uint32_t extentEnd = nextSection_ == npos ? static_cast<std::uint32_t>(visible().size()) : nextSection_;
    replaceRange(headerPos_, extentEnd, {});

    // Tidy up: no blanks at either end, and exactly one final line end.
    replaceRange(0, scan::skipWhitespace(visible(), 0), {});
    const std::uint32_t end = static_cast<std::uint32_t>(visible().size());
    replaceRange(afterLastNonBlank(end), end, kLineEnd);
}

bool KeyedStore::deleteLine(std::string_view section, std::uint32_t index) {
    if (!findSection(section)) return false;
    std::string_view text = visible();
    auto endsList = [&text](std::uint32_t pos) { return pos >= text.size() || text[pos] == '['; };
    std::uint32_t pos = bodyStart_;
    for (std::uint32_t i = 0; i < index; ++i) {
        if (endsList(pos)) return false;
        pos = scan::nextLineStart(text, pos);
    }
    if (endsList(pos)) return false;
    replaceRange(pos, scan::nextLineStart(text, pos), {});
    // Keep an empty line between the section and the header that now follows.
    text = visible();
    if (pos < text.size() && text[pos] == '[') insertAt(pos, kLineEnd);
    return true;
}

// --- renames

bool KeyedStore::renameKey(std::string_view section, std::string_view key, std::string_view newKey) {
    if (!findSection(section) || !findKey(key)) return false;
    const std::string_view text = visible();
    std::uint32_t keyStart = keyLineStart_;
    while (scan::isBlank(text[keyStart])) ++keyStart;
    replaceRange(keyStart, keyStart + static_cast<std::uint32_t>(key.size()), newKey);
    return true;
}

bool KeyedStore::renameSection(std::string_view section, std::string_view newName) {
    if (section.size() + 2 > kRenameCapacity) fail(FailureCode::StringOverflow);
    std::string needle;
    needle.append("[").append(section).append("]");
    const std::uint32_t at = scan::find(visible(), 0, needle);
    if (at == scan::npos) return false;
    replaceRange(at + 1, at + 1 + static_cast<std::uint32_t>(section.size()), newName);
    return true;
}

// --- section bodies

void KeyedStore::setSectionText(std::string_view section, std::string_view body) {
    if (!locateSection(section)) {
        appendSection(section, body);
        return;
    }
    const std::uint32_t next = nextSection_;
    findSection(section);  // the body start before any block marker
    const std::string_view text = visible();
    const std::uint32_t start = bodyStart_;
    const std::uint32_t end = next == npos ? static_cast<std::uint32_t>(text.size()) : next;

    std::string replacement;
    replacement.reserve(body.size() + 6);
    // A header on the last line without a line end would otherwise swallow
    // the first line of the new body.
    if (start == text.size() && !scan::isLineEnd(text[start - 1])) replacement.append(kLineEnd);
    replacement.append(body);
    replacement.append(next == npos ? "\r\n" : "\r\n\r\n");
    replaceRange(start, end, replacement);
}

void KeyedStore::setSectionFromBuffer(std::string_view section, const TextBuffer& source) {
    setSectionText(section, source.view());
}

// --- line lists

void KeyedStore::editLine(std::string_view section, std::uint32_t index, std::string_view line, bool replace) {
    if (!findSection(section)) {
        appendSection(section, line);
        return;
    }
    const std::string_view text = visible();
    auto endsList = [&text](std::uint32_t pos) { return pos >= text.size() || text[pos] == '['; };
    std::uint32_t pos = bodyStart_;
    bool reached = true;
    for (std::uint32_t i = 0; i < index && reached; ++i) {
        if (endsList(pos)) {
            reached = false;
        } else {
            pos = scan::nextLineStart(text, pos);
        }
    }
    if (endsList(pos)) reached = false;

    std::string added(line);
    added.append(kLineEnd);
    std::uint32_t at;
    if (reached) {
        at = pos;
        replaceRange(at, replace ? scan::nextLineStart(text, pos) : at, added);
    } else {
        // Past the end of the list: the line goes after the last non-blank one.
        // When that line ends the text without a line end, it gets one first.
        const std::uint32_t lastEnd = endOfLastNonBlankLine(pos);
        if (lastEnd >= text.size()) added.insert(0, kLineEnd);
        at = scan::skipLineEnd(text, lastEnd);
        insertAt(at, added);
    }
    const std::uint32_t after = at + static_cast<std::uint32_t>(added.size());
    if (replace && after < visible().size() && visible()[after] == '[') insertAt(after, kLineEnd);
}

void KeyedStore::replaceLine(std::string_view section, std::uint32_t index, std::string_view line) {
    editLine(section, index, line, true);
}

void KeyedStore::insertLine(std::string_view section, std::uint32_t index, std::string_view line) {
    editLine(section, index, line, false);
}

}  // namespace vtome
