// KeyedStore: construction, the lookup steps and every reading operation.
// The writing operations are in keyed_store_edit.cpp.

#include "store/keyed_store.h"

#include <algorithm>
#include <cstring>

#include "runtime/failure.h"
#include "store/number_syntax.h"
#include "runtime/text_scan.h"

namespace vtome {

namespace {

bool isBodyLine(std::string_view text, std::uint32_t pos) {
    return pos < text.size() && !scan::isLineEnd(text[pos]) && text[pos] != '[';
}

std::string_view lineAt(std::string_view text, std::uint32_t pos) {
    return text.substr(pos, scan::lineEnd(text, pos) - pos);
}

// The bracketed form of a section name, as the lookups search for it. The
// name passes through a working string of limited capacity.
std::string bracketed(std::string_view name, std::size_t capacity) {
    if (name.size() + 2 > capacity) fail(FailureCode::StringOverflow);
    std::string needle;
    needle.reserve(name.size() + 2);
    needle.append("[").append(name).append("]");
    return needle;
}

// Whether "[" section "]" stands at offset.
bool headerStandsAt(std::string_view text, std::uint32_t offset, std::string_view section) {
    return offset <= text.size() && text.size() - offset >= section.size() + 2 && text[offset] == '[' &&
           text.substr(offset + 1, section.size()) == section && text[offset + 1 + section.size()] == ']';
}

// The first closing marker at or after `from` that stands at the start of a
// line; a marker in mid-line is skipped when `skipMidLine`, else ends the search.
std::uint32_t findClosingMarker(std::string_view text, std::uint32_t from, std::string_view marker,
                                bool skipMidLine) {
    for (std::uint32_t at = scan::findIgnoreCase(text, from, marker); at != scan::npos;
         at = scan::findIgnoreCase(text, at + 1, marker)) {
        if (at > 0 && scan::isLineEnd(text[at - 1])) return at;
        if (!skipMidLine) return scan::npos;
    }
    return scan::npos;
}

}  // namespace

KeyedStore::KeyedStore(TextBuffer text) : text_(std::move(text)) {}

std::unique_ptr<KeyedStore> KeyedStore::newEmpty() {
    return std::unique_ptr<KeyedStore>(new KeyedStore(TextBuffer()));
}

std::unique_ptr<KeyedStore> KeyedStore::loadFromFile(const std::string& path, FileReading reading) {
    return std::unique_ptr<KeyedStore>(new KeyedStore(TextBuffer::fromFile(path, reading)));
}

std::unique_ptr<KeyedStore> KeyedStore::fromText(std::string_view bytes) {
    TextBuffer text(static_cast<std::uint32_t>(std::max<std::size_t>(bytes.size(), 1)));
    text.insertBytes(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    text.toStart();
    return fromBuffer(std::move(text));
}

std::unique_ptr<KeyedStore> KeyedStore::fromBuffer(TextBuffer text) {
    return std::unique_ptr<KeyedStore>(new KeyedStore(std::move(text)));
}

void KeyedStore::destroy() {
    text_.destroy();
    sectionList_.destroy();
    visibleLength_.reset();
}

void KeyedStore::saveToFile(const std::string& path) const { text_.writeToFile(path); }

std::string_view KeyedStore::visible() const {
    const std::string_view all = text_.view();
    if (!visibleLength_) {
        const void* zero = std::memchr(all.data(), '\0', all.size());
        visibleLength_ = zero ? static_cast<std::uint32_t>(static_cast<const char*>(zero) - all.data())
                              : static_cast<std::uint32_t>(all.size());
    }
    return all.substr(0, *visibleLength_);
}

void KeyedStore::noteVisibleLength(std::uint32_t length) const {
    const std::string_view all = text_.view();
    if (visibleLength_ || length > all.size() || (length < all.size() && all[length] != '\0')) return;
    visibleLength_ = length;
}

// --- lookup steps

bool KeyedStore::findSection(std::string_view section) {
    const std::string needle = bracketed(section, kLookupCapacity);
    const std::string_view text = visible();
    const std::uint32_t at = scan::find(text, 0, needle);
    if (at == scan::npos) return false;
    headerPos_ = at;
    bodyStart_ = scan::nextLineStart(text, at + static_cast<std::uint32_t>(needle.size()));
    return true;
}

bool KeyedStore::locateSection(std::string_view section) {
    textBlock_ = false;
    byteBlock_ = false;
    if (!findSection(section)) return false;
    return locateSectionAt(headerPos_, section.size());
}

bool KeyedStore::locateSectionAt(std::uint32_t headerOffset, std::size_t nameLength) {
    textBlock_ = false;
    byteBlock_ = false;
    const std::string_view text = visible();
    headerPos_ = headerOffset;
    bodyStart_ = scan::nextLineStart(text, headerOffset + static_cast<std::uint32_t>(nameLength + 2));

    if (bodyStart_ < text.size() && text[bodyStart_] == '[') {
        bodyEnd_ = bodyStart_;
        nextSection_ = bodyStart_;
        return true;
    }

    std::uint32_t searchFrom = bodyStart_;
    // The block flags are set as soon as the opening marker is seen, so that
    // a failed lookup still tells which kind of block could not be read.
    if (scan::startsWithIgnoreCase(text, bodyStart_, kTextOpen)) {
        textBlock_ = true;
        const std::uint32_t contentStart = scan::nextLineStart(text, bodyStart_);
        const std::uint32_t close = findClosingMarker(text, contentStart, kTextClose, true);
        if (close == scan::npos) return false;
        // The content ends where the line end before the marker begins.
        std::uint32_t end = close - 1;
        if (text[end] == '\n' && end > contentStart && text[end - 1] == '\r') --end;
        bodyStart_ = contentStart;
        bodyEnd_ = end < contentStart ? contentStart : end;
        closingMarker_ = close;
        searchFrom = bodyEnd_;
    } else if (scan::startsWithIgnoreCase(text, bodyStart_, kBinOpen)) {
        byteBlock_ = true;
        const std::uint32_t dataStart = bodyStart_ + static_cast<std::uint32_t>(kBinOpen.size());
        const std::uint32_t close = findClosingMarker(text, dataStart, kBinClose, false);
        if (close == scan::npos) return false;
        bodyStart_ = dataStart;
        bodyEnd_ = close - 1;
        closingMarker_ = close;
        searchFrom = bodyEnd_;
    }

    // The next section begins at the first "[" directly after an LF.
    const std::uint32_t lf = scan::find(text, searchFrom, "\n[");
    nextSection_ = lf == scan::npos ? npos : lf + 1;
    return true;
}

bool KeyedStore::findKey(std::string_view key) {
    const std::string_view text = visible();
    std::uint32_t pos = bodyStart_;
    while (pos < text.size()) {
        const std::string_view line = lineAt(text, pos);
        if (line.size() > kLookupCapacity) fail(FailureCode::StringOverflow);
        // A body may begin with an empty line: only a line that starts with
        // "[" ends the section.
        if (!line.empty() && line.front() == '[') break;
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos && scan::trimBlanks(line.substr(0, equals)) == key) {
            std::uint32_t lineStart = pos;
            while (lineStart > bodyStart_ && scan::isBlank(text[lineStart - 1])) --lineStart;
            keyLineStart_ = lineStart;
            valueStart_ = pos + static_cast<std::uint32_t>(equals) + 1;
            return true;
        }
        pos = scan::skipWhitespace(text, pos + static_cast<std::uint32_t>(line.size()));
    }
    keyScanStop_ = pos;
    return false;
}

std::string_view KeyedStore::locatedBody() const {
    const std::string_view text = visible();
    if (textBlock_) return text.substr(bodyStart_, bodyEnd_ - bodyStart_);
    const std::uint32_t end = nextSection_ == npos ? static_cast<std::uint32_t>(text.size()) : nextSection_;
    return text.substr(bodyStart_, end - bodyStart_);
}

// --- key reads

std::optional<std::string_view> KeyedStore::findValue(std::string_view section, std::string_view key) {
    if (!findSection(section) || !findKey(key)) return std::nullopt;
    return lineAt(visible(), valueStart_);
}

std::optional<std::string> KeyedStore::readValueText(std::string_view section, std::string_view key) {
    const std::optional<std::string_view> value = findValue(section, key);
    if (!value) return std::nullopt;
    const std::size_t semicolon = stripComments_ ? value->find(';') : std::string_view::npos;
    if (semicolon == std::string_view::npos) return std::string(*value);
    return std::string(scan::trimBlanks(value->substr(0, semicolon)));
}

bool KeyedStore::getStringInto(std::string_view section, std::string_view key, CountedString* dest) {
    if (dest == nullptr) return false;
    const std::optional<std::string> value = readValueText(section, key);
    if (!value) return false;
    dest->assign(*value);
    return true;
}

std::optional<std::string> KeyedStore::getString(std::string_view section, std::string_view key) {
    return readValueText(section, key);
}

bool KeyedStore::getValueToBuffer(std::string_view section, std::string_view key, TextBuffer* dest) {
    if (dest == nullptr) return false;
    std::optional<std::string_view> value = findValue(section, key);
    if (!value) return false;
    if (stripComments_) value = value->substr(0, value->find(';'));
    dest->reset();
    dest->insertBytes(value->data(), static_cast<std::uint32_t>(value->size()));
    dest->toStart();
    return true;
}

bool KeyedStore::getBool(std::string_view section, std::string_view key) {
    const std::optional<std::string> value = readValueText(section, key);
    if (!value) return false;
    if (value->size() > kBoolCapacity) fail(FailureCode::StringOverflow);
    return *value == "true";
}

template <typename Number, typename Parse>
Number KeyedStore::readNumber(std::string_view section, std::string_view key, Parse parse) {
    const std::optional<std::string> value = readValueText(section, key);
    if (!value) return 0;
    try {
        return parse(*value);
    } catch (const RuntimeFailure& failure) {
        // The one failure the store handles itself: an unreadable number is 0.
        if (failure.code() == FailureCode::ConversionError) return 0;
        throw;
    }
}

std::uint32_t KeyedStore::getHex32(std::string_view section, std::string_view key) {
    return readNumber<std::uint32_t>(section, key, parseHex32);
}

std::int32_t KeyedStore::getInt32(std::string_view section, std::string_view key) {
    return readNumber<std::int32_t>(section, key, parseInt32);
}

std::uint32_t KeyedStore::getUns32(std::string_view section, std::string_view key) {
    return readNumber<std::uint32_t>(section, key, parseUns32);
}

bool KeyedStore::getBytes(std::string_view section, std::string_view key, void* dest, std::uint32_t count,
                          std::uint32_t* stored) {
    std::uint32_t done = 0;
    if (stored != nullptr) *stored = 0;
    if (!findSection(section) || !findKey(key)) return false;
    const std::string_view text = visible();
    auto* out = static_cast<unsigned char*>(dest);
    for (std::uint32_t pos = valueStart_;; pos += 2) {
        while (pos < text.size() && scan::isBlank(text[pos])) ++pos;
        if (done == count || (pos < text.size() && scan::isLineEnd(text[pos]))) break;
        const int byte = scan::hexPair(text, pos);
        if (byte < 0) return false;  // the end of the text, or not a hex pair
        out[done++] = static_cast<unsigned char>(byte);
        if (stored != nullptr) *stored = done;
    }
    return true;
}

// --- section reads

bool KeyedStore::getSectionTextInto(std::string_view section, CountedString& dest) {
    if (!locateSection(section) || byteBlock_) return false;
    dest.assign(locatedBody());
    return true;
}

std::optional<std::string> KeyedStore::getSectionText(std::string_view section) {
    if (!locateSection(section) || byteBlock_) return std::nullopt;
    return std::string(locatedBody());
}

bool KeyedStore::getSectionToBuffer(std::string_view section, TextBuffer& dest) {
    if (!locateSection(section)) return false;
    return readLocatedSection(dest);
}

bool KeyedStore::getSectionToBufferAt(std::uint32_t headerOffset, std::string_view section, TextBuffer& dest) {
    if (!headerStandsAt(visible(), headerOffset, section)) return false;
    if (!locateSectionAt(headerOffset, section.size())) return false;
    return readLocatedSection(dest);
}

std::optional<SectionLayout> KeyedStore::sectionLayoutAt(std::uint32_t headerOffset, std::string_view section) {
    const std::string_view text = visible();
    if (!headerStandsAt(text, headerOffset, section)) return std::nullopt;
    SectionLayout layout;
    layout.closed = locateSectionAt(headerOffset, section.size());
    layout.bodyStart = bodyStart_;
    if (textBlock_) {
        layout.kind = SectionLayout::Kind::TextBlock;
    } else if (byteBlock_) {
        layout.kind = SectionLayout::Kind::ByteBlock;
    } else if (bodyStart_ < text.size() && text[bodyStart_] == '[') {
        layout.kind = SectionLayout::Kind::Empty;
    }
    if (layout.closed && (textBlock_ || byteBlock_)) {
        layout.bodyEnd = bodyEnd_;
        layout.closingMarker = closingMarker_;
    }
    if (layout.closed) layout.extentEnd = nextSection_ == npos ? static_cast<std::uint32_t>(text.size()) : nextSection_;
    return layout;
}

bool KeyedStore::readLocatedSection(TextBuffer& dest) {
    if (byteBlock_) return decodeLocatedBytes(dest);
    const std::string_view body = locatedBody();
    dest.reset();
    dest.insertBytes(body.data(), static_cast<std::uint32_t>(body.size()));
    dest.setLength(dest.length());  // writes the byte 0 after the content
    dest.toStart();
    return true;
}

bool KeyedStore::getSectionBytes(std::string_view section, TextBuffer& dest) {
    if (!locateSection(section) || !byteBlock_) return false;
    return decodeLocatedBytes(dest);
}

bool KeyedStore::decodeLocatedBytes(TextBuffer& dest) {
    const std::string_view data = visible().substr(bodyStart_, bodyEnd_ - bodyStart_);
    dest.reset();
    for (std::size_t pos = 0; pos < data.size();) {
        if (scan::isWhitespace(data[pos])) {
            ++pos;
            continue;
        }
        const int byte = scan::hexPair(data, static_cast<std::uint32_t>(pos));
        if (byte < 0) return false;
        dest.insertChar(static_cast<char>(byte));
        pos += 2;
    }
    return true;
}

const SectionNameEntry* KeyedStore::firstSection() {
    buildSectionList();
    return static_cast<const SectionNameEntry*>(sectionList_.first());
}

std::uint32_t KeyedStore::sectionCount() {
    buildSectionList();
    return sectionList_.count();
}

void KeyedStore::buildSectionList() {
    sectionList_.destroy();
    const std::string_view text = visible();
    std::uint32_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '[') {
            const std::size_t close = text.find(']', pos + 1);
            if (close != std::string_view::npos) {
                auto* entry = new SectionNameEntry();
                entry->name = std::string(text.substr(pos + 1, close - pos - 1));
                entry->value = pos;
                sectionList_.append(entry);
            }
        } else if (text.substr(pos, kTextOpen.size()) == kTextOpen) {
            // Headers quoted inside a text block are not sections; an
            // unclosed block swallows the rest of the text.
            std::uint32_t close = scan::find(text, pos + static_cast<std::uint32_t>(kTextOpen.size()), kTextClose);
            while (close != scan::npos && !scan::isLineEnd(text[close - 1])) {
                close = scan::find(text, close + 1, kTextClose);
            }
            if (close == scan::npos) break;
            pos = close;
        }
        pos = scan::nextLineStart(text, pos);
    }
}

// --- line reads

std::uint32_t KeyedStore::walkToBodyLine(std::string_view section, std::uint32_t index) {
    if (!findSection(section)) return npos;
    const std::string_view text = visible();
    std::uint32_t pos = bodyStart_;
    for (std::uint32_t i = 0; i < index; ++i) {
        if (!isBodyLine(text, pos)) return npos;
        pos = scan::nextLineStart(text, pos);
    }
    return isBodyLine(text, pos) ? pos : npos;
}

bool KeyedStore::getLineInto(std::string_view section, std::uint32_t index, CountedString& dest) {
    const std::uint32_t pos = walkToBodyLine(section, index);
    if (pos == npos) return false;
    dest.assign(lineAt(visible(), pos));
    return true;
}

bool KeyedStore::getLineToBuffer(std::string_view section, std::uint32_t index, TextBuffer& dest) {
    const std::uint32_t pos = walkToBodyLine(section, index);
    if (pos == npos) return false;
    const std::string_view line = lineAt(visible(), pos);
    dest.reset();
    dest.insertBytes(line.data(), static_cast<std::uint32_t>(line.size()));
    return true;
}

void KeyedStore::setFieldDelimiters(const CharSet& set) { fieldDelimiters_ = set; }

bool KeyedStore::getField(std::string_view section, std::uint32_t lineIndex, std::uint32_t fieldIndex,
                          CountedString& dest) {
    TextBuffer line;
    if (!getLineToBuffer(section, lineIndex, line)) return false;
    line.setDelimiters(fieldDelimiters_);
    line.toStart();
    for (std::uint32_t i = 0; i <= fieldIndex; ++i) {
        if (!line.getToken(dest)) return false;
    }
    return true;
}

std::int32_t KeyedStore::findLine(std::string_view section, std::string_view wanted) {
    if (!findSection(section)) return -1;
    const std::string_view text = visible();
    std::int32_t index = 0;
    for (std::uint32_t pos = bodyStart_; isBodyLine(text, pos); pos = scan::nextLineStart(text, pos), ++index) {
        if (scan::equalIgnoreCase(lineAt(text, pos), wanted)) return index;
    }
    return -1;
}

std::uint32_t KeyedStore::lineCount(std::string_view section) {
    return static_cast<std::uint32_t>(listLines(section).size());
}

std::vector<std::string_view> KeyedStore::listLines(std::string_view section) {
    std::vector<std::string_view> lines;
    forEachListLine(section, [&lines](std::string_view line) { lines.push_back(line); });
    return lines;
}

void KeyedStore::forEachListLine(std::string_view section, const std::function<void(std::string_view)>& visit) {
    if (!findSection(section)) return;
    const std::string_view text = visible();
    for (std::uint32_t pos = bodyStart_; isBodyLine(text, pos);) {
        const std::uint32_t end = scan::lineEnd(text, pos);
        visit(text.substr(pos, end - pos));
        pos = scan::skipLineEnd(text, end);
    }
}

bool KeyedStore::hasSection(std::string_view section) { return findSection(section); }

bool KeyedStore::hasKey(std::string_view section, std::string_view key) {
    return findSection(section) && findKey(key);
}

void KeyedStore::setStripComments(bool strip) { stripComments_ = strip; }

}  // namespace vtome
