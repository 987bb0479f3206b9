#pragma once
// Byte-level scanning shared by the store and the text buffer: line ends,
// blanks, and substring search (exact and ASCII-case-insensitive) running at
// memory speed. All positions are offsets into the given view; npos is "not
// found".

#include <cstdint>
#include <cstring>
#include <string_view>

namespace vtome::scan {

constexpr std::uint32_t npos = 0xFFFFFFFFu;

inline bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
inline bool isBlank(char c) { return c == ' ' || c == '\t'; }
inline bool isWhitespace(char c) { return isBlank(c) || isLineEnd(c); }

// The value of one hex digit, or -1 when c is not one.
inline int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The byte written as two hex digits at pos, or -1 when there is no such pair.
inline int hexPair(std::string_view text, std::uint32_t pos) {
    if (pos >= text.size() || text.size() - pos < 2) return -1;
    const int high = hexDigit(text[pos]);
    const int low = hexDigit(text[pos + 1]);
    return high < 0 || low < 0 ? -1 : high << 4 | low;
}

inline char foldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Position of the first CR or LF at or after pos, or the end of the text.
inline std::uint32_t lineEnd(std::string_view text, std::uint32_t pos) {
    while (pos < text.size() && !isLineEnd(text[pos])) ++pos;
    return pos;
}

// Start of the line after the one containing pos: past CR LF, a lone LF or a
// lone CR; the end of the text when pos is on the last line.
inline std::uint32_t nextLineStart(std::string_view text, std::uint32_t pos) {
    pos = lineEnd(text, pos);
    if (pos >= text.size()) return static_cast<std::uint32_t>(text.size());
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') return pos + 2;
    return pos + 1;
}

// Past the line end at pos (CR LF counts as one), or pos itself when there is none.
inline std::uint32_t skipLineEnd(std::string_view text, std::uint32_t pos) {
    if (pos >= text.size() || !isLineEnd(text[pos])) return pos;
    return nextLineStart(text, pos);
}

inline std::uint32_t skipWhitespace(std::string_view text, std::uint32_t pos) {
    while (pos < text.size() && isWhitespace(text[pos])) ++pos;
    return pos;
}

inline std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

inline bool equalIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    }
    return true;
}

inline bool startsWithIgnoreCase(std::string_view text, std::uint32_t pos, std::string_view prefix) {
    return pos <= text.size() && text.size() - pos >= prefix.size() &&
           equalIgnoreCase(text.substr(pos, prefix.size()), prefix);
}

inline std::uint32_t find(std::string_view text, std::uint32_t from, std::string_view needle) {
    if (from > text.size()) return npos;
    if (needle.empty()) return from;
    const void* hit = ::memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    return hit ? static_cast<std::uint32_t>(static_cast<const char*>(hit) - text.data()) : npos;
}

// Case-insensitive for ASCII letters only. Jumps between candidates with
// memchr on the first byte (both cases), so long texts scan at memory speed.
inline std::uint32_t findIgnoreCase(std::string_view text, std::uint32_t from, std::string_view needle) {
    if (from > text.size()) return npos;
    if (needle.empty()) return from;
    if (text.size() - from < needle.size()) return npos;
    const char lower = foldCase(needle[0]);
    const char upper = (lower >= 'a' && lower <= 'z') ? static_cast<char>(lower - 32) : lower;
    const char* const begin = text.data();
    const char* const end = begin + (text.size() - needle.size()) + 1;  // last start + 1
    // The next occurrence of each case at or after p, found once and reused
    // until passed, so no stretch of text is scanned twice.
    auto nextOf = [end](const char* p, char c) {
        const char* hit = static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)));
        return hit ? hit : end;
    };
    const char* p = begin + from;
    const char* nextLower = nextOf(p, lower);
    const char* nextUpper = upper == lower ? end : nextOf(p, upper);
    while (p < end) {
        if (nextLower < p) nextLower = nextOf(p, lower);
        if (upper != lower && nextUpper < p) nextUpper = nextOf(p, upper);
        const char* candidate = nextLower < nextUpper ? nextLower : nextUpper;
        if (candidate >= end) return npos;
        if (equalIgnoreCase(std::string_view(candidate, needle.size()), needle)) {
            return static_cast<std::uint32_t>(candidate - begin);
        }
        p = candidate + 1;
    }
    return npos;
}

}  // namespace vtome::scan
