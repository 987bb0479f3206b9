#pragma once
// Byte-level scanning shared by the store and the text buffer: line ends,
// blanks, and substring search (exact and ASCII-case-insensitive) running at
// memory speed. All positions are offsets into the given view; npos is "not
// found".

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
#if defined(__SSE2__)
    // Sixteen bytes at a time while they are there: lines of text are
    // seldom shorter.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; pos < text.size() && text.size() - pos >= 16; pos += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + pos));
        const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf));
        const auto ends = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (ends != 0) return pos + static_cast<std::uint32_t>(__builtin_ctz(ends));
    }
#endif
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
    return text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n' ? pos + 2 : pos + 1;
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

namespace detail {

// A byte of a search text as the case-blind compare sees it: a letter
// matches both its cases, which differ only in bit 0x20, so the compare sets
// that bit (`mask`) in the text byte and expects the lower case (`key`).
// Any other byte matches only itself. Bytes of 128 and up are never letters.
struct FoldedByte {
    char key = 0;
    char mask = 0;
};

inline FoldedByte foldedByte(char c) {
    const char lower = foldCase(c);
    return lower >= 'a' && lower <= 'z' ? FoldedByte{lower, 0x20} : FoldedByte{c, 0};
}

inline bool sameFolded(char textByte, FoldedByte wanted) {
    return static_cast<char>(textByte | wanted.mask) == wanted.key;
}

// A byte of a search text that matches only itself.
inline FoldedByte exactByte(char c) { return FoldedByte{c, 0}; }

// Whether the needle stands at p, its first and last bytes already matched.
template <bool Fold>
inline bool innerMatches(const char* p, std::string_view needle) {
    if (needle.size() <= 2) return true;
    const std::size_t inner = needle.size() - 2;
    if constexpr (Fold) {
        return equalIgnoreCase(std::string_view(p + 1, inner), needle.substr(1, inner));
    } else {
        return std::memcmp(p + 1, needle.data() + 1, inner) == 0;
    }
}

// The portable scan: jumps between candidates with memchr on the first byte
// (both cases), so long texts still scan at memory speed where memchr does.
inline std::uint32_t findIgnoreCasePortable(std::string_view text, std::uint32_t from, std::string_view needle) {
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

#if defined(__SSE2__)
#define VTOME_SCAN_VECTOR 1

// Sixteen candidate starts at p, as bytes of all ones: those whose first,
// second and last bytes (at p, p + 1 and p + m - 1) all match the needle's.
// Reads p[0..16] and p[m - 1..m + 14]; for a needle of one or two bytes the
// second byte is the last one.
inline __m128i candidates(const char* p, std::size_t m, const __m128i keys[3], const __m128i masks[3]) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + (m > 2 ? 1 : m - 1)));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + m - 1));
    return _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, masks[0]), keys[0]),
                                       _mm_cmpeq_epi8(_mm_or_si128(b, masks[1]), keys[1])),
                         _mm_cmpeq_epi8(_mm_or_si128(c, masks[2]), keys[2]));
}

inline std::uint64_t bitsOf(__m128i bytes) { return static_cast<std::uint32_t>(_mm_movemask_epi8(bytes)); }

// The vector scan (SSE2, always there on x86-64): sixteen starts at a
// time are tested on the needle's first, second and last byte, and only the
// few that pass are compared whole, so a common first letter costs nothing
// extra. The text is read in place and never past its end. Fold: ASCII
// letters match in either case; otherwise every byte only itself. Prepared
// once per needle, for searches of many short texts.
template <bool Fold>
class VectorNeedle {
public:
    explicit VectorNeedle(std::string_view needle)
        : needle_(needle),
          first_(byteAt(needle, 0)),
          last_(byteAt(needle, needle.empty() ? 0 : needle.size() - 1)) {
        const FoldedByte tested[3] = {first_, byteAt(needle, needle.size() > 2 ? 1 : needle.size() - 1), last_};
        for (int k = 0; k < 3; ++k) {
            keys_[k] = _mm_set1_epi8(tested[k].key);
            masks_[k] = _mm_set1_epi8(tested[k].mask);
        }
    }

    std::uint32_t findIn(std::string_view text, std::uint32_t from) const {
        if (from > text.size()) return npos;
        const std::size_t m = needle_.size();
        if (m == 0) return from;
        if (text.size() - from < m) return npos;
        const char* const base = text.data();
        const std::size_t lastStart = text.size() - m;
        std::size_t i = from;
        if (lastStart - i + 1 < 16) {
            // Fewer than sixteen starts: one by one.
            for (; i <= lastStart; ++i) {
                if (sameFolded(base[i], first_) && sameFolded(base[i + m - 1], last_) &&
                    innerMatches<Fold>(base + i, needle_)) {
                    return static_cast<std::uint32_t>(i);
                }
            }
            return npos;
        }
        // Four blocks per round while 64 starts remain, tested together;
        // then one block at a time; then a last block that overlaps the one
        // before it.
        for (; lastStart - i + 1 >= 64; i += 64) {
            const __m128i b0 = block(base + i);
            const __m128i b1 = block(base + i + 16);
            const __m128i b2 = block(base + i + 32);
            const __m128i b3 = block(base + i + 48);
            if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(b0, b1), _mm_or_si128(b2, b3))) == 0) continue;
            const std::uint64_t bits = bitsOf(b0) | bitsOf(b1) << 16 | bitsOf(b2) << 32 | bitsOf(b3) << 48;
            if (const std::size_t at = firstMatchIn(base, i, bits); at != std::string_view::npos) {
                return static_cast<std::uint32_t>(at);
            }
        }
        for (; lastStart - i + 1 >= 16; i += 16) {
            if (const std::size_t at = firstMatchIn(base, i, bitsOf(block(base + i))); at != std::string_view::npos) {
                return static_cast<std::uint32_t>(at);
            }
        }
        if (i > lastStart) return npos;
        const std::size_t tail = lastStart - 15;
        // Starts before i were tested already.
        const std::uint64_t bits = bitsOf(block(base + tail)) & ~((std::uint64_t{1} << (i - tail)) - 1u);
        const std::size_t at = firstMatchIn(base, tail, bits);
        return at == std::string_view::npos ? npos : static_cast<std::uint32_t>(at);
    }

private:
    static FoldedByte byteAt(std::string_view needle, std::size_t at) {
        if (needle.empty()) return FoldedByte{};
        return Fold ? foldedByte(needle[at]) : exactByte(needle[at]);
    }
    __m128i block(const char* p) const { return candidates(p, needle_.size(), keys_, masks_); }
    std::size_t firstMatchIn(const char* base, std::size_t at, std::uint64_t bits) const {
        for (; bits != 0; bits &= bits - 1) {
            const std::size_t start = at + static_cast<std::size_t>(__builtin_ctzll(bits));
            if (innerMatches<Fold>(base + start, needle_)) return start;
        }
        return std::string_view::npos;
    }

    std::string_view needle_;
    FoldedByte first_;
    FoldedByte last_;
    // The first, second and last bytes, tested sixteen starts at a time.
    __m128i keys_[3];
    __m128i masks_[3];
};

template <bool Fold>
inline std::uint32_t findVector(std::string_view text, std::uint32_t from, std::string_view needle) {
    return VectorNeedle<Fold>(needle).findIn(text, from);
}

inline std::uint32_t findIgnoreCaseVector(std::string_view text, std::uint32_t from, std::string_view needle) {
    return findVector<true>(text, from, needle);
}
#endif

}  // namespace detail

// The first byte-exact occurrence of needle at or after from; from itself
// for an empty needle.
inline std::uint32_t find(std::string_view text, std::uint32_t from, std::string_view needle) {
    if (from > text.size()) return npos;
    if (needle.empty()) return from;
#if defined(VTOME_SCAN_VECTOR)
    return detail::findVector<false>(text, from, needle);
#else
    const void* hit = ::memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    return hit ? static_cast<std::uint32_t>(static_cast<const char*>(hit) - text.data()) : npos;
#endif
}

// The first occurrence of needle at or after from, ignoring the case of the
// ASCII letters only; from itself for an empty needle. Every byte, a byte 0
// included, is an ordinary byte here: callers with a stopping rule cut the
// text first.
inline std::uint32_t findIgnoreCase(std::string_view text, std::uint32_t from, std::string_view needle) {
#if defined(VTOME_SCAN_VECTOR)
    return detail::findIgnoreCaseVector(text, from, needle);
#else
    return detail::findIgnoreCasePortable(text, from, needle);
#endif
}

// A search text prepared for findIgnoreCase over many texts: the same
// answers, without preparing the needle again for each text. It points
// into the needle, which must outlive it.
class CaseBlindNeedle {
public:
    explicit CaseBlindNeedle(std::string_view needle) : needle_(needle) {}
    std::uint32_t findIn(std::string_view text, std::uint32_t from) const {
#if defined(VTOME_SCAN_VECTOR)
        return needle_.findIn(text, from);
#else
        return detail::findIgnoreCasePortable(text, from, needle_);
#endif
    }

private:
#if defined(VTOME_SCAN_VECTOR)
    detail::VectorNeedle<true> needle_;
#else
    std::string_view needle_;
#endif
};

}  // namespace vtome::scan
