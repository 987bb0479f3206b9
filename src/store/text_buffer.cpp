#include "store/text_buffer.h"

#include "runtime/text_scan.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <utility>

#include <sys/mman.h>

#include "runtime/failure.h"
#include "store/file_io.h"

namespace vtome {

namespace {

// What dataStart() hands out while there is no data block: room for the
// terminating byte only, so a caller that honours capacity 0 never writes.
char noData[TextBuffer::kSpareBytes] = {};

// Bytes looked at per step of a case-blind search.
constexpr std::size_t kSearchWindow = 64 * 1024;

CharSet defaultDelimiters() {
    return CharSet{'\0', '\t', '\n', '\r', ' ', ',', '-', '/', '<', '>', '\\', '_', '|'};
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Whitespace or the content's edge on both sides of [at, at + n).
bool standsAlone(std::string_view content, std::size_t at, std::size_t n) {
    const bool before = at == 0 || isSpace(content[at - 1]);
    const bool after = at + n == content.size() || isSpace(content[at + n]);
    return before && after;
}

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c; }

// Bytes match when equal or when both are letters differing only in case. A
// byte 0 never matches, so it ends every case-blind comparison.
bool sameIgnoringCase(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == '\0' || foldAscii(a[i]) != foldAscii(b[i])) return false;
    }
    return true;
}

// The first place in [from, stop) where text starts, ignoring case; the text
// may run past stop up to `limit`, but never over a byte 0.
const char* scanIgnoringCase(const char* from, const char* stop, const char* limit, std::string_view text) {
    const char* zero = static_cast<const char*>(std::memchr(stop, 0, static_cast<std::size_t>(limit - stop)));
    const std::string_view span(from, static_cast<std::size_t>((zero ? zero : limit) - from));
    const std::uint32_t at = scan::findIgnoreCase(span, 0, text);
    return at != scan::npos && at < static_cast<std::size_t>(stop - from) ? from + at : nullptr;
}

// A large block (a document of tens of megabytes) is backed by huge pages
// where the system offers them: the kernel then fills it for a read in a
// fraction of the page faults, which halves the time a large file takes to
// load. Only the 2 MB-aligned part inside the block is asked for.
void preferHugePages(char* block, std::size_t size) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    constexpr std::size_t kWorthIt = 8u << 20;
    if (size < kWorthIt) return;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t begin = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (start + size) & ~(kHugePage - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)block;
    (void)size;
#endif
}

TextBlock newBlock(std::uint32_t capacity) {
    const std::size_t size = std::size_t{capacity} + TextBuffer::kSpareBytes;
    char* block = new (std::nothrow) char[size];
    if (block == nullptr) fail(FailureCode::MemoryAllocationFailure);
    preferHugePages(block, size);
    block[0] = '\0';
    return TextBlock(block);
}

}  // namespace

// --- construction

TextBuffer::TextBuffer() : TextBuffer(kDefaultCapacity) {}

TextBuffer::TextBuffer(std::uint32_t capacity) : delimiters_(defaultDelimiters()) {
    if (capacity > kMaxLength) fail(FailureCode::MemoryAllocationFailure);
    allocate(capacity == 0 ? kDefaultCapacity : capacity);
}

TextBuffer::TextBuffer(NoBlock) : delimiters_(defaultDelimiters()) {}

TextBuffer TextBuffer::empty() { return TextBuffer(NoBlock{}); }

TextBuffer TextBuffer::fromFile(const std::string& path, FileReading reading) {
    if (reading == FileReading::Map) return mapFile(path);
    TextBuffer buffer{NoBlock{}};
    buffer.loadFile(path);
    return buffer;
}

TextBuffer TextBuffer::mapFile(const std::string& path) {
    InputFile file(path);
    const InputFile::Mapping mapping = file.mapPrivately(kSpareBytes);
    TextBuffer buffer{NoBlock{}};
    if (mapping.block == nullptr) {
        buffer.allocate(file.size());
        file.readInto(buffer.data_.get(), file.size());
    } else {
        buffer.data_ = TextBlock(mapping.block, TextBlockRelease{mapping.size});
    }
    buffer.capacity_ = buffer.length_ = file.size();
    // A file that grew since it was measured has more bytes in its last page.
    buffer.terminate();
    return buffer;
}

void TextBlockRelease::operator()(char* block) const noexcept {
    if (mappedSize > 0) {
        ::munmap(block, mappedSize);
    } else {
        delete[] block;
    }
}

TextBuffer::TextBuffer(TextBuffer&& other) noexcept
    : data_(std::move(other.data_)),
      capacity_(std::exchange(other.capacity_, 0)),
      length_(std::exchange(other.length_, 0)),
      cursor_(std::exchange(other.cursor_, 0)),
      selectionStart_(std::exchange(other.selectionStart_, 0)),
      selectionActive_(std::exchange(other.selectionActive_, false)),
      skipDelimiters_(other.skipDelimiters_),
      delimiters_(other.delimiters_),
      floatDecimals_(other.floatDecimals_) {}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept {
    if (this != &other) {
        data_ = std::move(other.data_);
        capacity_ = std::exchange(other.capacity_, 0);
        length_ = std::exchange(other.length_, 0);
        cursor_ = std::exchange(other.cursor_, 0);
        selectionStart_ = std::exchange(other.selectionStart_, 0);
        selectionActive_ = std::exchange(other.selectionActive_, false);
        skipDelimiters_ = other.skipDelimiters_;
        delimiters_ = other.delimiters_;
        floatDecimals_ = other.floatDecimals_;
    }
    return *this;
}

TextBuffer::~TextBuffer() = default;

void TextBuffer::allocate(std::uint32_t capacity) {
    data_ = newBlock(capacity);
    capacity_ = capacity;
}

void TextBuffer::terminate() {
    if (data_) data_[length_] = '\0';
}

bool TextBuffer::ownsBytes(const void* p) const {
    if (!data_) return false;
    // std::less orders pointers into different blocks too, unlike <.
    const char* c = static_cast<const char*>(p);
    std::less<const char*> before;
    return !before(c, data_.get()) && before(c, data_.get() + capacity_ + kSpareBytes);
}

// --- lifetime

// The object itself belongs to its owner; what is left behaves as empty().
void TextBuffer::destroy() {
    data_.reset();
    capacity_ = length_ = cursor_ = selectionStart_ = 0;
    selectionActive_ = false;
}

void TextBuffer::reset() {
    allocate(kDefaultCapacity);
    length_ = cursor_ = selectionStart_ = 0;
    selectionActive_ = false;
}

// --- storage

void TextBuffer::reserveFor(std::uint64_t needed) {
    if (needed <= capacity_) return;
    if (needed > kMaxLength) fail(FailureCode::MemoryAllocationFailure);
    // At least double the room needed, so appending stays amortised linear.
    std::uint64_t grown = std::uint64_t{capacity_} + 2 * needed;
    std::uint32_t newCapacity = static_cast<std::uint32_t>(std::min<std::uint64_t>(grown, kMaxLength));
    TextBlock block = newBlock(newCapacity);
    if (length_ > 0) std::memcpy(block.get(), data_.get(), length_);
    data_ = std::move(block);
    capacity_ = newCapacity;
    terminate();
}

void TextBuffer::resize(std::uint32_t newCapacity) {
    newCapacity = std::min(std::max(newCapacity, length_), kMaxLength);
    if (data_ && newCapacity == capacity_) return;
    TextBlock block = newBlock(newCapacity);
    if (length_ > 0) std::memcpy(block.get(), data_.get(), length_);
    data_ = std::move(block);
    capacity_ = newCapacity;
    terminate();
}

void TextBuffer::openGap(std::uint32_t count) {
    if (count == 0) return;
    reserveFor(std::uint64_t{length_} + count);
    char* at = data_.get() + cursor_;
    std::memmove(at + count, at, length_ - cursor_);
    length_ += count;
    terminate();
}

void TextBuffer::closeGap(std::uint32_t count) {
    count = std::min(count, length_ - cursor_);
    if (count == 0) return;
    char* at = data_.get() + cursor_;
    std::memmove(at, at + count, length_ - cursor_ - count);
    length_ -= count;
    terminate();
}

void TextBuffer::setLength(std::uint32_t length) {
    length_ = std::min(length, capacity_);
    cursor_ = std::min(cursor_, length_);
    terminate();
}

// --- copy out

void TextBuffer::copyRangeInto(std::uint32_t from, std::uint32_t to, CountedString& dest) const {
    to = std::min(to, length_);
    if (from >= to) {
        dest.clear();
        return;
    }
    dest.assign(view().substr(from, to - from));
}

std::optional<std::string> TextBuffer::newStringFromRange(std::uint32_t from, std::uint32_t to) const {
    if (from > length_) return std::nullopt;
    to = std::min(to, length_);
    return std::string(from < to ? view().substr(from, to - from) : std::string_view());
}

// The destination's content is replaced and its cursor put at its start.
void TextBuffer::copyRangeToBuffer(std::uint32_t from, std::uint32_t to, TextBuffer& dest) const {
    to = std::min(to, length_);
    std::string bytes(from < to ? view().substr(from, to - from) : std::string_view());
    dest.length_ = dest.cursor_ = 0;
    dest.insertBytes(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    dest.cursor_ = 0;
}

// --- insert at cursor

void TextBuffer::insertBytes(const void* bytes, std::uint32_t count) {
    if (count == 0) return;
    if (ownsBytes(bytes)) {
        // Growing or opening the gap would move the source under our feet.
        std::string copy(static_cast<const char*>(bytes), count);
        insertBytes(copy.data(), count);
        return;
    }
    openGap(count);
    std::memcpy(data_.get() + cursor_, bytes, count);
    cursor_ += count;
}

void TextBuffer::insertString(std::string_view text) {
    if (text.size() > kMaxLength) fail(FailureCode::MemoryAllocationFailure);
    insertBytes(text.data(), static_cast<std::uint32_t>(text.size()));
}

void TextBuffer::insertCharRepeated(char c, std::uint32_t count) {
    openGap(count);
    if (count > 0) std::memset(data_.get() + cursor_, c, count);
    cursor_ += count;
}

void TextBuffer::insertChar(char c) { insertBytes(&c, 1); }

void TextBuffer::putChar(char c) { insertBytes(&c, 1); }

void TextBuffer::insertRaw16(std::uint16_t value) { insertBytes(&value, sizeof value); }

void TextBuffer::insertRaw32(std::uint32_t value) { insertBytes(&value, sizeof value); }

void TextBuffer::insertBuffer(const TextBuffer& other) { insertBytes(other.data(), other.length_); }

void TextBuffer::insertFile(const std::string& path) {
    InputFile file(path);
    const std::uint32_t size = file.size();
    if (size == 0) return;
    openGap(size);
    try {
        file.readInto(data_.get() + cursor_, size);
    } catch (...) {
        closeGap(size);
        throw;
    }
    cursor_ += size;
}

void TextBuffer::loadFile(const std::string& path) {
    InputFile file(path);
    const std::uint32_t size = file.size();
    if (!data_ || size > capacity_) {
        // Read into the new block first, so a failed read keeps the old text.
        TextBlock block = newBlock(size);
        file.readInto(block.get(), size);
        data_ = std::move(block);
        capacity_ = size;
    } else {
        length_ = 0;
        file.readInto(data_.get(), size);
    }
    length_ = size;
    cursor_ = 0;
    terminate();
}

// --- delete

void TextBuffer::deleteChars(std::uint32_t count) { closeGap(count); }

void TextBuffer::deleteLine() {
    std::uint32_t start = lineStartAt(cursor_);
    deleteRange(start, nextLineAt(cursor_));
}

void TextBuffer::deleteToLineEnd() { deleteRange(cursor_, nextLineAt(cursor_)); }

void TextBuffer::deleteRange(std::uint32_t from, std::uint32_t to) {
    from = std::min(from, length_);
    to = std::max(std::min(to, length_), from);
    cursor_ = from;
    closeGap(to - from);
}

void TextBuffer::overwriteAtCursor(std::string_view text) { overwriteAt(cursor_, text); }

// Bytes past the end of the content are appended; the cursor stays.
void TextBuffer::overwriteAt(std::uint32_t offset, std::string_view text) {
    if (text.empty()) return;
    if (ownsBytes(text.data())) {
        std::string copy(text);
        overwriteAt(offset, copy);
        return;
    }
    if (text.size() > kMaxLength) fail(FailureCode::MemoryAllocationFailure);
    offset = std::min(offset, length_);
    std::uint32_t inside = std::min(static_cast<std::uint32_t>(text.size()), length_ - offset);
    if (inside > 0) std::memcpy(data_.get() + offset, text.data(), inside);
    if (inside < text.size()) {
        std::uint32_t saved = cursor_;
        cursor_ = length_;
        insertBytes(text.data() + inside, static_cast<std::uint32_t>(text.size() - inside));
        cursor_ = saved;
    }
}

void TextBuffer::replaceWithRepeated(std::uint32_t count, char c) {
    count = std::min(count, length_ - cursor_);
    if (count > 0) std::memset(data_.get() + cursor_, c, count);
}

void TextBuffer::trim() {
    std::uint32_t end = length_;
    while (end > 0 && isSpace(data_[end - 1])) --end;
    length_ = end;
    cursor_ = std::min(cursor_, length_);
    terminate();
    trimLeading();
}

void TextBuffer::trimLeading() {
    std::uint32_t lead = 0;
    while (lead < length_ && isSpace(data_[lead])) ++lead;
    if (lead == 0) return;
    std::memmove(data_.get(), data_.get() + lead, length_ - lead);
    length_ -= lead;
    // The cursor stays on the byte it was on, or the first one kept.
    cursor_ = cursor_ > lead ? cursor_ - lead : 0;
    terminate();
}

void TextBuffer::shortenBy(std::uint32_t count) {
    length_ -= std::min(count, length_);
    cursor_ = std::min(cursor_, length_);
    terminate();
}

// --- case

void TextBuffer::toUpper(std::uint32_t count) {
    count = std::min(count, length_ - cursor_);
    for (std::uint32_t i = cursor_; i < cursor_ + count; ++i) data_[i] = upperAscii(data_[i]);
}

void TextBuffer::toLower(std::uint32_t count) {
    count = std::min(count, length_ - cursor_);
    for (std::uint32_t i = cursor_; i < cursor_ + count; ++i) data_[i] = foldAscii(data_[i]);
}

// --- selection

void TextBuffer::select(std::uint32_t from, std::uint32_t to) {
    from = std::min(from, length_);
    to = std::max(std::min(to, length_), from);
    selectionStart_ = from;
    cursor_ = to;
    selectionActive_ = true;
}

std::uint32_t TextBuffer::selectionStart() const { return selectionStart_; }

// Edits since select() may have moved the cursor before the start or
// shortened the content, so the range is recomputed at every use.
void TextBuffer::selectionRange(std::uint32_t& from, std::uint32_t& to) const {
    from = std::min(selectionStart_, length_);
    to = cursor_;
    if (to < from) std::swap(from, to);
}

bool TextBuffer::copySelection(CountedString& dest) const {
    if (!selectionActive_) return false;
    std::uint32_t from, to;
    selectionRange(from, to);
    copyRangeInto(from, to, dest);
    return true;
}

bool TextBuffer::deleteSelection() {
    if (!selectionActive_) return false;
    std::uint32_t from, to;
    selectionRange(from, to);
    deleteRange(from, to);
    selectionActive_ = false;
    return true;
}

bool TextBuffer::replaceSelection(std::string_view text) {
    if (!selectionActive_) return false;
    std::string copy;
    if (ownsBytes(text.data())) {
        copy.assign(text);
        text = copy;
    }
    deleteSelection();
    insertString(text);
    return true;
}

bool TextBuffer::replaceSelectionWithBuffer(const TextBuffer& other) {
    return replaceSelection(other.view());
}

// --- search

// An empty text is never found: there is nothing to look for.
std::uint32_t TextBuffer::find(std::string_view text) {
    std::size_t at = text.empty() ? std::string_view::npos : view().find(text, cursor_);
    if (at == std::string_view::npos) {
        cursor_ = length_;
        return npos;
    }
    cursor_ = static_cast<std::uint32_t>(at);
    return cursor_;
}

std::uint32_t TextBuffer::findIgnoreCase(std::string_view text) {
    const std::size_t m = text.size();
    if (m > 0 && text[0] != '\0' && m <= length_ - cursor_) {
        const char* base = data();
        const char* lastStart = base + length_ - m;
        for (const char* p = base + cursor_; p <= lastStart;) {
            // The byte 0 that ends the search is looked for a window at a
            // time, so an early match does not pay for scanning the whole text.
            const std::size_t left = static_cast<std::size_t>(lastStart - p) + 1;
            const std::size_t window = std::min(kSearchWindow, left);
            const char* windowEnd = p + window;
            const char* zero = static_cast<const char*>(std::memchr(p, 0, window));
            const char* stop = zero ? zero : windowEnd;
            // A match starting in this window may end up to m - 1 bytes past it.
            if (const char* match = scanIgnoringCase(p, stop, zero ? zero : windowEnd + (m - 1), text)) {
                cursor_ = static_cast<std::uint32_t>(match - base);
                return cursor_;
            }
            if (zero) break;
            p = windowEnd;
        }
    }
    cursor_ = length_;
    return npos;
}

std::uint32_t TextBuffer::findBackward(std::string_view text) {
    std::size_t at = text.empty() ? std::string_view::npos : view().rfind(text, cursor_);
    if (at == std::string_view::npos) {
        cursor_ = 0;
        return npos;
    }
    cursor_ = static_cast<std::uint32_t>(at);
    return cursor_;
}

std::uint32_t TextBuffer::findBackwardIgnoreCase(std::string_view text) {
    const std::size_t m = text.size();
    if (m > 0 && m <= length_) {
        const char* base = data();
        std::uint32_t at = std::min(cursor_, static_cast<std::uint32_t>(length_ - m));
        // Going backward, the first byte 0 before the cursor ends the search.
        if (std::memchr(base + at, 0, cursor_ - at) == nullptr) {
            const char first = foldAscii(text[0]);
            for (; base[at] != '\0'; --at) {
                if (foldAscii(base[at]) == first && sameIgnoringCase(base + at, text.data(), m)) {
                    cursor_ = at;
                    return at;
                }
                if (at == 0) break;
            }
        }
    }
    cursor_ = 0;
    return npos;
}

std::uint32_t TextBuffer::matchAtCursor(std::string_view text) const {
    if (text.empty() || !view().substr(cursor_).starts_with(text)) return npos;
    return cursor_;
}

std::uint32_t TextBuffer::matchAtCursorIgnoreCase(std::string_view text) const {
    if (text.empty() || text.size() > length_ - cursor_) return npos;
    return sameIgnoringCase(data() + cursor_, text.data(), text.size()) ? cursor_ : npos;
}

std::uint32_t TextBuffer::matchWordAtCursor(std::string_view text) const {
    if (matchAtCursor(text) == npos || !standsAlone(view(), cursor_, text.size())) return npos;
    return cursor_;
}

std::uint32_t TextBuffer::matchWordAtCursorIgnoreCase(std::string_view text) const {
    if (matchAtCursorIgnoreCase(text) == npos || !standsAlone(view(), cursor_, text.size())) return npos;
    return cursor_;
}

int TextBuffer::compare(const TextBuffer& other) const {
    int order = view().compare(other.view());
    return (order > 0) - (order < 0);
}

int TextBuffer::compareIgnoreCase(const TextBuffer& other) const {
    std::uint32_t n = std::min(length_, other.length_);
    for (std::uint32_t i = 0; i < n; ++i) {
        unsigned char a = static_cast<unsigned char>(foldAscii(data_[i]));
        unsigned char b = static_cast<unsigned char>(foldAscii(other.data_[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    return (length_ > other.length_) - (length_ < other.length_);
}

// --- skip by set (backward forms look at the bytes before the cursor)

std::uint32_t TextBuffer::skipWhileInSet(const CharSet& set) {
    while (cursor_ < length_ && set.contains(data_[cursor_])) ++cursor_;
    return cursor_ < length_ ? cursor_ : npos;
}

std::uint32_t TextBuffer::skipUntilInSet(const CharSet& set) {
    while (cursor_ < length_ && !set.contains(data_[cursor_])) ++cursor_;
    return cursor_ < length_ ? cursor_ : npos;
}

std::uint32_t TextBuffer::skipBackWhileInSet(const CharSet& set) {
    while (cursor_ > 0) {
        if (!set.contains(data_[--cursor_])) return cursor_;
    }
    return npos;
}

std::uint32_t TextBuffer::skipBackUntilInSet(const CharSet& set) {
    while (cursor_ > 0) {
        if (set.contains(data_[--cursor_])) return cursor_;
    }
    return npos;
}

// --- lines

std::uint32_t TextBuffer::lineStartAt(std::uint32_t pos) const {
    while (pos > 0 && !isLineEnd(data_[pos - 1])) --pos;
    return pos;
}

std::uint32_t TextBuffer::lineEndAt(std::uint32_t pos) const {
    while (pos < length_ && !isLineEnd(data_[pos])) ++pos;
    return pos;
}

std::uint32_t TextBuffer::nextLineAt(std::uint32_t pos) const {
    pos = lineEndAt(pos);
    if (pos == length_) return pos;
    if (data_[pos] == '\r' && pos + 1 < length_ && data_[pos + 1] == '\n') return pos + 2;
    return pos + 1;
}

// --- cursor

std::uint32_t TextBuffer::toEnd() { return cursor_ = length_; }

std::uint32_t TextBuffer::toStart() { return cursor_ = 0; }

std::uint32_t TextBuffer::lineStart() { return cursor_ = lineStartAt(cursor_); }

std::uint32_t TextBuffer::lineEnd() { return cursor_ = lineEndAt(cursor_); }

std::uint32_t TextBuffer::wordStart() {
    while (cursor_ > 0 && !isSpace(data_[cursor_ - 1])) --cursor_;
    return cursor_;
}

std::uint32_t TextBuffer::wordEnd() {
    while (cursor_ < length_ && !isSpace(data_[cursor_])) ++cursor_;
    return cursor_;
}

std::uint32_t TextBuffer::setPosition(std::uint32_t offset) {
    return cursor_ = std::min(offset, length_);
}

std::uint32_t TextBuffer::moveBack(std::uint32_t count) { return cursor_ -= std::min(count, cursor_); }

std::uint32_t TextBuffer::moveForward(std::uint32_t count) {
    return cursor_ += std::min(count, length_ - cursor_);
}

std::uint32_t TextBuffer::linesUp(std::uint32_t count) {
    std::uint32_t start = lineStartAt(cursor_);
    const std::uint32_t column = cursor_ - start;
    for (; count > 0 && start > 0; --count) {
        // Step onto the previous line's end, over a CR LF pair as one.
        std::uint32_t end = start - 1;
        if (data_[end] == '\n' && end > 0 && data_[end - 1] == '\r') --end;
        start = lineStartAt(end);
    }
    return cursor_ = std::min(start + column, lineEndAt(start));
}

std::uint32_t TextBuffer::linesDown(std::uint32_t count) {
    std::uint32_t start = lineStartAt(cursor_);
    const std::uint32_t column = cursor_ - start;
    for (; count > 0 && lineEndAt(start) < length_; --count) start = nextLineAt(start);
    return cursor_ = std::min(start + column, lineEndAt(start));
}

std::uint32_t TextBuffer::nextLine() {
    if (lineEndAt(cursor_) == length_) {
        cursor_ = length_;
        return npos;
    }
    return cursor_ = nextLineAt(cursor_);
}

std::uint32_t TextBuffer::previousLine() {
    std::uint32_t start = lineStartAt(cursor_);
    if (start == 0) {
        cursor_ = 0;
        return npos;
    }
    cursor_ = start;
    return linesUp(1);
}

// --- whole content

void TextBuffer::writeToStdout() const { std::fwrite(data(), 1, length_, stdout); }

void TextBuffer::writeToFile(const std::string& path) const { writeFileSafely(path, view()); }

std::optional<std::string> TextBuffer::toString(CountedString* dest) {
    terminate();
    if (dest == nullptr) return std::string(view());
    dest->assign(view());
    return std::nullopt;
}

// --- settings

void TextBuffer::setFloatDecimals(std::uint32_t decimals) { floatDecimals_ = decimals; }

void TextBuffer::setDelimiters(const CharSet& set) { delimiters_ = set; }

void TextBuffer::setSkipDelimiters(bool skip) { skipDelimiters_ = skip; }

// --- queries

std::uint32_t TextBuffer::capacity() const { return capacity_; }

std::uint32_t TextBuffer::length() const { return length_; }

std::uint32_t TextBuffer::cursor() const { return cursor_; }

char* TextBuffer::cursorAddress() { return dataStart() + cursor_; }

int TextBuffer::peekChar() const {
    return cursor_ < length_ ? static_cast<unsigned char>(data_[cursor_]) : -1;
}

char* TextBuffer::dataStart() { return data_ ? data_.get() : noData; }

char* TextBuffer::dataEnd() { return dataStart() + length_; }

// Counted as an editor counts them: an empty content is one empty line, and
// a line end at the very end opens another.
std::uint32_t TextBuffer::lineCount() const {
    std::uint32_t lines = 1;
    for (std::uint32_t pos = 0; (pos = lineEndAt(pos)) < length_; pos = nextLineAt(pos)) ++lines;
    return lines;
}

// 0 for the first line.
std::uint32_t TextBuffer::currentLineNumber() const {
    std::uint32_t line = 0;
    for (std::uint32_t end = lineEndAt(0); end < cursor_; end = lineEndAt(nextLineAt(end))) ++line;
    return line;
}

std::uint32_t TextBuffer::bytesAfterCursor() const { return length_ - cursor_; }

bool TextBuffer::atEnd() const { return cursor_ >= length_; }

}  // namespace vtome
