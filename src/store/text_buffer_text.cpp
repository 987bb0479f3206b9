// TextBuffer: the token reader, number insertion and the reads at the cursor.

#include <algorithm>
#include <cstring>

#include "runtime/failure.h"
#include "store/text_buffer.h"

namespace vtome {

namespace {

// Numbers are formatted into a working string of this many characters.
constexpr int kWorkLength = 100;
// Floating-point numbers are formatted this wide before the blanks go.
constexpr int kFloatWidth = 50;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Digits of an unsigned 128-bit value, written backward from `end`.
char* decimalDigits(Uint128 value, char* end) {
    do {
        *--end = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    return end;
}

}  // namespace

// --- tokens

bool TextBuffer::nextToken(std::uint32_t& start, std::uint32_t& end) {
    if (skipDelimiters_) {
        while (cursor_ < length_ && delimiters_.contains(data_[cursor_])) ++cursor_;
    }
    // A delimiter here ended the previous token.
    if (cursor_ < length_ && delimiters_.contains(data_[cursor_])) ++cursor_;
    start = end = cursor_;
    if (cursor_ >= length_) return false;
    const char c = data_[cursor_];
    // Again a delimiter: an empty field, and the cursor stays on it.
    if (delimiters_.contains(c)) return true;
    if (c == '"' || c == '\'') {
        start = cursor_ + 1;
        const char* text = data_.get();
        const char* close = static_cast<const char*>(std::memchr(text + start, c, length_ - start));
        end = close ? static_cast<std::uint32_t>(close - text) : length_;
        cursor_ = close ? end + 1 : length_;
        return true;
    }
    while (cursor_ < length_ && !delimiters_.contains(data_[cursor_])) ++cursor_;
    end = cursor_;
    return true;
}

bool TextBuffer::getToken(CountedString& dest) {
    std::uint32_t start, end;
    const bool found = nextToken(start, end);
    dest.assign(view().substr(start, end - start));
    return found;
}

std::optional<std::string> TextBuffer::newToken() {
    std::uint32_t start, end;
    if (!nextToken(start, end)) return std::nullopt;
    return std::string(view().substr(start, end - start));
}

std::uint32_t TextBuffer::skipDelimiters() { return skipWhileInSet(delimiters_); }

// --- number insertion

void TextBuffer::insertNumberText(const char* text, int written) {
    if (written < 0 || written > kWorkLength) fail(FailureCode::StringOverflow);
    std::string_view number(text, static_cast<std::size_t>(written));
    std::size_t first = number.find_first_not_of(" \t");
    if (first == std::string_view::npos) return;
    number = number.substr(first, number.find_last_not_of(" \t") + 1 - first);
    insertString(number);
}

void TextBuffer::insertBool(bool flag) { insertString(flag ? "true" : "false"); }

void TextBuffer::insertHex8(std::uint8_t value) {
    char work[kWorkLength + 1];
    insertNumberText(work, std::snprintf(work, sizeof work, "%02X", static_cast<unsigned>(value)));
}

void TextBuffer::insertHex16(std::uint16_t value) {
    char work[kWorkLength + 1];
    insertNumberText(work, std::snprintf(work, sizeof work, "%04X", static_cast<unsigned>(value)));
}

void TextBuffer::insertHex32(std::uint32_t value) {
    char work[kWorkLength + 1];
    insertNumberText(work, std::snprintf(work, sizeof work, "%08X", static_cast<unsigned>(value)));
}

void TextBuffer::insertHex64(std::uint64_t value) {
    char work[kWorkLength + 1];
    const auto wide = static_cast<unsigned long long>(value);
    insertNumberText(work, std::snprintf(work, sizeof work, "%016llX", wide));
}

void TextBuffer::insertHex128(Uint128 value) {
    char work[kWorkLength + 1];
    const auto high = static_cast<unsigned long long>(value >> 64);
    const auto low = static_cast<unsigned long long>(value);
    insertNumberText(work, std::snprintf(work, sizeof work, "%016llX%016llX", high, low));
}

void TextBuffer::insertUns8(std::uint8_t value) { insertUns64(value); }

void TextBuffer::insertUns16(std::uint16_t value) { insertUns64(value); }

void TextBuffer::insertUns32(std::uint32_t value) { insertUns64(value); }

void TextBuffer::insertUns64(std::uint64_t value) {
    char work[kWorkLength + 1];
    const auto wide = static_cast<unsigned long long>(value);
    insertNumberText(work, std::snprintf(work, sizeof work, "%llu", wide));
}

void TextBuffer::insertUns128(Uint128 value) {
    char work[kWorkLength];
    char* end = work + sizeof work;
    char* digits = decimalDigits(value, end);
    insertNumberText(digits, static_cast<int>(end - digits));
}

void TextBuffer::insertInt8(std::int8_t value) { insertInt64(value); }

void TextBuffer::insertInt16(std::int16_t value) { insertInt64(value); }

void TextBuffer::insertInt32(std::int32_t value) { insertInt64(value); }

void TextBuffer::insertInt64(std::int64_t value) {
    char work[kWorkLength + 1];
    insertNumberText(work, std::snprintf(work, sizeof work, "%lld", static_cast<long long>(value)));
}

void TextBuffer::insertInt128(Int128 value) {
    char work[kWorkLength];
    char* end = work + sizeof work;
    // The magnitude is taken unsigned so that the most negative value survives.
    const Uint128 bits = static_cast<Uint128>(value);
    const Uint128 magnitude = value < 0 ? Uint128{0} - bits : bits;
    char* digits = decimalDigits(magnitude, end);
    if (value < 0) *--digits = '-';
    insertNumberText(digits, static_cast<int>(end - digits));
}

void TextBuffer::insertFloat32(float value) { insertFloat80(value); }

void TextBuffer::insertFloat64(double value) { insertFloat80(value); }

// With no decimals set, the shortest general form; a value too long for the
// working string fails as any overfull string does.
void TextBuffer::insertFloat80(long double value) {
    char work[kWorkLength + 1];
    int written;
    if (floatDecimals_ == 0) {
        written = std::snprintf(work, sizeof work, "%*Lg", kFloatWidth, value);
    } else {
        int decimals = static_cast<int>(std::min<std::uint32_t>(floatDecimals_, kWorkLength + 1));
        written = std::snprintf(work, sizeof work, "%*.*Lf", kFloatWidth, decimals, value);
    }
    insertNumberText(work, written);
}

// The members as characters, in order of their codes.
void TextBuffer::insertCharSet(const CharSet& set) {
    std::string members;
    for (int code = 0; code < 128; ++code) {
        if (set.contains(static_cast<char>(code))) members += static_cast<char>(code);
    }
    insertString(members);
}

// --- read at cursor

bool TextBuffer::readLine(CountedString& dest) {
    if (cursor_ >= length_) {
        dest.clear();
        return false;
    }
    std::uint32_t end = lineEndAt(cursor_);
    dest.assign(view().substr(cursor_, end - cursor_));
    cursor_ = nextLineAt(cursor_);
    return true;
}

bool TextBuffer::readChar(char& dest) {
    if (cursor_ >= length_) return false;
    dest = data_[cursor_++];
    return true;
}

// A word is a run of bytes other than whitespace; leading whitespace is passed.
bool TextBuffer::readWord(CountedString& dest) {
    std::uint32_t start = cursor_;
    while (start < length_ && isSpace(data_[start])) ++start;
    if (start >= length_) {
        dest.clear();
        cursor_ = length_;
        return false;
    }
    std::uint32_t end = start;
    while (end < length_ && !isSpace(data_[end])) ++end;
    dest.assign(view().substr(start, end - start));
    cursor_ = end;
    return true;
}

// The destination's content is replaced by the bytes after the cursor.
bool TextBuffer::readRest(TextBuffer& dest) {
    if (cursor_ >= length_) {
        if (&dest != this) dest.length_ = dest.cursor_ = 0;
        dest.terminate();
        return false;
    }
    copyRangeToBuffer(cursor_, length_, dest);
    if (&dest != this) cursor_ = length_;
    return true;
}

// Only whole reads: fewer bytes than asked left means failure and no move.
bool TextBuffer::readBytes(void* dest, std::uint32_t count) {
    if (cursor_ >= length_ || count > length_ - cursor_) return false;
    if (count > 0) std::memcpy(dest, data_.get() + cursor_, count);
    cursor_ += count;
    return true;
}

int TextBuffer::getChar() {
    if (cursor_ >= length_) return -1;
    return static_cast<unsigned char>(data_[cursor_++]);
}

bool TextBuffer::readRaw16(std::uint16_t& dest) { return readBytes(&dest, sizeof dest); }

bool TextBuffer::readRaw32(std::uint32_t& dest) { return readBytes(&dest, sizeof dest); }

// --- line and word reads

bool TextBuffer::currentWord(CountedString& dest) const {
    std::uint32_t start = cursor_;
    while (start > 0 && !isSpace(data_[start - 1])) --start;
    std::uint32_t end = cursor_;
    while (end < length_ && !isSpace(data_[end])) ++end;
    copyRangeInto(start, end, dest);
    return start < end;
}

bool TextBuffer::currentLine(CountedString& dest) const {
    copyRangeInto(lineStartAt(cursor_), lineEndAt(cursor_), dest);
    return true;
}

bool TextBuffer::restOfLine(CountedString& dest) const {
    copyRangeInto(cursor_, lineEndAt(cursor_), dest);
    return cursor_ < length_;
}

std::optional<std::string> TextBuffer::restOfLineAsNew() const {
    if (cursor_ >= length_) return std::nullopt;
    return std::string(view().substr(cursor_, lineEndAt(cursor_) - cursor_));
}

bool TextBuffer::restOfWord(CountedString& dest) const {
    std::uint32_t end = cursor_;
    while (end < length_ && !isSpace(data_[end])) ++end;
    copyRangeInto(cursor_, end, dest);
    return cursor_ < end;
}

// Printable members as themselves, the others as #code, for debugging.
void TextBuffer::writeSetMembers(const CharSet& set, std::FILE* out) const {
    if (out == nullptr) out = stdout;
    for (int code = 0; code < 128; ++code) {
        if (!set.contains(static_cast<char>(code))) continue;
        if (code > 32 && code < 127) {
            std::fputc(code, out);
        } else {
            std::fprintf(out, "#%d", code);
        }
    }
}

}  // namespace vtome
