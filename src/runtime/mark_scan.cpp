#include "runtime/mark_scan.h"

#include <algorithm>

#if defined(__SSE2__)
#include <immintrin.h>
#define VTOME_MARK_SCAN_X86 1
#endif

namespace vtome::scan {

namespace {

using Setup = MarkScan::Setup;
using Buffers = MarkScan::Buffers;
using detail::FoldedByte;

// A test that every byte passes: a byte with every bit set.
constexpr FoldedByte kAnyByte{'\xFF', '\xFF'};
// A test that no byte passes: none is 0 with bit 0x20 set.
constexpr FoldedByte kNoByte{'\0', 0x20};

// Each of the needle's starts among the set bits, the first bit at `at`.
inline void noteStarts(const Setup& setup, const char* base, std::uint64_t bits, std::uint32_t at, Buffers& found) {
    for (; bits != 0; bits &= bits - 1) {
        const std::uint32_t start = at + static_cast<std::uint32_t>(__builtin_ctzll(bits));
        if (detail::innerMatches<true>(base + start, setup.needle)) found.starts[found.startCount++] = start;
    }
}

// The set bits' offsets, the first bit at `at`. A piece seldom holds more
// than a few marks, so four are written whether they are there or not (the
// lists have room past their end) and the count moves on by as many as
// there are: no branch for the marks' places to mislead.
inline void noteMarks(std::uint64_t bits, std::uint32_t at, std::uint32_t* out, std::uint32_t& count) {
    const auto marks = static_cast<std::uint32_t>(__builtin_popcountll(bits));
    std::uint32_t* const to = out + count;
    for (int i = 0; i < 4; ++i) {
        to[i] = at + static_cast<std::uint32_t>(bits == 0 ? 64 : __builtin_ctzll(bits));
        bits &= bits - 1;
    }
    for (std::uint32_t i = 4; bits != 0; ++i, bits &= bits - 1) {
        to[i] = at + static_cast<std::uint32_t>(__builtin_ctzll(bits));
    }
    count += marks;
}

// A byte at a time: the way on CPUs without vectors, and the tail of every
// round that the vectors leave.
std::uint32_t plainRound(const Setup& setup, std::string_view text, std::uint32_t from, std::uint32_t to,
                         Buffers& found) {
    const std::size_t m = setup.needle.size();
    for (std::uint32_t at = from; at < to; ++at) {
        const char byte = text[at];
        if (byte == '\0') return at;
        const char then = at + 1 < text.size() ? text[at + 1] : '\0';
        if (byte == setup.mark) found.marks[found.markCount++] = at;
        if (byte == setup.pairFirst && at + 1 < text.size() && detail::sameFolded(then, setup.pairSecond)) {
            found.pairs[found.pairCount++] = at;
        }
        if (m > 0 && text.size() - at >= m && detail::sameFolded(byte, setup.first) &&
            detail::sameFolded(then, setup.second) && detail::sameFolded(text[at + setup.lastOffset], setup.last) &&
            detail::innerMatches<true>(text.data() + at, setup.needle)) {
            found.starts[found.startCount++] = at;
        }
    }
    return to;
}

#if defined(VTOME_MARK_SCAN_X86)

// The vector ways work in two steps per round: a first loop, without a
// branch, notes the 64-byte pieces holding a mark, a pair, a byte 0 or a
// likely start; a second works out what each noted piece holds, while it is
// still in cache.
constexpr std::uint32_t kPiece = 64;
constexpr std::size_t kPiecesPerRound = MarkScan::kRoundBytes / kPiece;

// What a piece holds, a bit per byte, the first byte's bit 0.
struct PieceBits {
    std::uint64_t starts;
    std::uint64_t marks;
    std::uint64_t pairs;
    std::uint64_t zeros;
};

// Notes the piece's finds before its first byte 0; whether it has one.
inline bool noteUpToZero(const Setup& setup, const char* base, std::uint32_t piece, PieceBits bits, Buffers& found) {
    const std::uint64_t before = bits.zeros == 0 ? ~std::uint64_t{0} : (bits.zeros & -bits.zeros) - 1;
    noteStarts(setup, base, bits.starts & before, piece, found);
    noteMarks(bits.marks & before, piece, found.marks.get(), found.markCount);
    noteMarks(bits.pairs & before, piece, found.pairs.get(), found.pairCount);
    return bits.zeros != 0;
}

// The bytes past a piece's start that its tests read.
std::size_t pieceReach(const Setup& setup) { return std::max<std::uint32_t>(setup.lastOffset, 1) + kPiece; }

struct Sse2Tests {
    struct Test {
        __m128i fold;
        __m128i key;
        explicit Test(FoldedByte byte) : fold(_mm_set1_epi8(byte.mask)), key(_mm_set1_epi8(byte.key)) {}
        __m128i of(__m128i bytes) const { return _mm_cmpeq_epi8(_mm_or_si128(bytes, fold), key); }
    };
    Test first, second, last, pairSecond;
    __m128i mark, pairFirst;
    std::size_t lastOffset;

    explicit Sse2Tests(const Setup& setup)
        : first(setup.first),
          second(setup.second),
          last(setup.last),
          pairSecond(setup.pairSecond),
          mark(_mm_set1_epi8(setup.mark)),
          pairFirst(_mm_set1_epi8(setup.pairFirst)),
          lastOffset(setup.lastOffset) {}

    static __m128i load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    // The likely starts, the marks, the pairs and the bytes 0 among the
    // sixteen bytes at p.
    void test(const char* p, __m128i& starts, __m128i& marks, __m128i& pairs, __m128i& zeros) const {
        const __m128i bytes = load(p);
        const __m128i then = load(p + 1);
        starts = _mm_and_si128(_mm_and_si128(first.of(bytes), second.of(then)), last.of(load(p + lastOffset)));
        marks = _mm_cmpeq_epi8(bytes, mark);
        pairs = _mm_and_si128(_mm_cmpeq_epi8(bytes, pairFirst), pairSecond.of(then));
        zeros = _mm_cmpeq_epi8(bytes, _mm_setzero_si128());
    }
    static std::uint64_t bits(__m128i bytes) { return static_cast<std::uint32_t>(_mm_movemask_epi8(bytes)); }
    // Whether the piece at p holds anything, and what.
    bool anyIn(const char* p) const {
        __m128i any = _mm_setzero_si128();
        for (std::uint32_t q = 0; q < kPiece; q += 16) {
            __m128i starts, marks, pairs, zeros;
            test(p + q, starts, marks, pairs, zeros);
            any = _mm_or_si128(any, _mm_or_si128(_mm_or_si128(starts, zeros), _mm_or_si128(marks, pairs)));
        }
        return _mm_movemask_epi8(any) != 0;
    }
    PieceBits bitsIn(const char* p) const {
        PieceBits bits{};
        for (std::uint32_t q = 0; q < kPiece; q += 16) {
            __m128i starts, marks, pairs, zeros;
            test(p + q, starts, marks, pairs, zeros);
            bits.starts |= Sse2Tests::bits(starts) << q;
            bits.marks |= Sse2Tests::bits(marks) << q;
            bits.pairs |= Sse2Tests::bits(pairs) << q;
            bits.zeros |= Sse2Tests::bits(zeros) << q;
        }
        return bits;
    }
};

// The same with 32 bytes at a time. Every function that touches these
// vectors carries the target itself, for the rest of the program is built
// for CPUs without them.
struct Avx2Tests {
    struct Test {
        __m256i fold;
        __m256i key;
        __attribute__((target("avx2"))) explicit Test(FoldedByte byte)
            : fold(_mm256_set1_epi8(byte.mask)), key(_mm256_set1_epi8(byte.key)) {}
        __attribute__((target("avx2"))) __m256i of(__m256i bytes) const {
            return _mm256_cmpeq_epi8(_mm256_or_si256(bytes, fold), key);
        }
    };
    Test first, second, last, pairSecond;
    __m256i mark, pairFirst;
    std::size_t lastOffset;

    __attribute__((target("avx2"))) explicit Avx2Tests(const Setup& setup)
        : first(setup.first),
          second(setup.second),
          last(setup.last),
          pairSecond(setup.pairSecond),
          mark(_mm256_set1_epi8(setup.mark)),
          pairFirst(_mm256_set1_epi8(setup.pairFirst)),
          lastOffset(setup.lastOffset) {}

    __attribute__((target("avx2"))) static __m256i load(const char* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    __attribute__((target("avx2"))) void test(const char* p, __m256i& starts, __m256i& marks, __m256i& pairs,
                                              __m256i& zeros) const {
        const __m256i bytes = load(p);
        const __m256i then = load(p + 1);
        starts =
            _mm256_and_si256(_mm256_and_si256(first.of(bytes), second.of(then)), last.of(load(p + lastOffset)));
        marks = _mm256_cmpeq_epi8(bytes, mark);
        pairs = _mm256_and_si256(_mm256_cmpeq_epi8(bytes, pairFirst), pairSecond.of(then));
        zeros = _mm256_cmpeq_epi8(bytes, _mm256_setzero_si256());
    }
    __attribute__((target("avx2"))) static std::uint64_t bits(__m256i bytes) {
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(bytes));
    }
    __attribute__((target("avx2"))) bool anyIn(const char* p) const {
        __m256i any = _mm256_setzero_si256();
        for (std::uint32_t q = 0; q < kPiece; q += 32) {
            __m256i starts, marks, pairs, zeros;
            test(p + q, starts, marks, pairs, zeros);
            any = _mm256_or_si256(any, _mm256_or_si256(_mm256_or_si256(starts, zeros), _mm256_or_si256(marks, pairs)));
        }
        return _mm256_testz_si256(any, any) == 0;
    }
    __attribute__((target("avx2"))) PieceBits bitsIn(const char* p) const {
        PieceBits bits{};
        for (std::uint32_t q = 0; q < kPiece; q += 32) {
            __m256i starts, marks, pairs, zeros;
            test(p + q, starts, marks, pairs, zeros);
            bits.starts |= Avx2Tests::bits(starts) << q;
            bits.marks |= Avx2Tests::bits(marks) << q;
            bits.pairs |= Avx2Tests::bits(pairs) << q;
            bits.zeros |= Avx2Tests::bits(zeros) << q;
        }
        return bits;
    }
};

// The round of both: inlined into each way's own function, so that it is
// built for that way's vectors. Only the tests touch vectors.
template <typename Tests>
[[gnu::always_inline]] inline std::uint32_t vectorRound(const Setup& setup, std::string_view text,
                                                        std::uint32_t from, std::uint32_t to, Buffers& found) {
    const Tests tests(setup);
    const char* const base = text.data();
    const std::size_t reach = pieceReach(setup);
    std::uint32_t noted[kPiecesPerRound];
    std::size_t count = 0;
    std::uint32_t at = from;
    for (; to - at >= kPiece && text.size() - at >= reach; at += kPiece) {
        noted[count] = at;
        count += tests.anyIn(base + at);
    }
    for (std::size_t n = 0; n < count; ++n) {
        const std::uint32_t piece = noted[n];
        const PieceBits bits = tests.bitsIn(base + piece);
        if (noteUpToZero(setup, base, piece, bits, found)) {
            return piece + static_cast<std::uint32_t>(__builtin_ctzll(bits.zeros));
        }
    }
    return plainRound(setup, text, at, to, found);
}

std::uint32_t sse2Round(const Setup& setup, std::string_view text, std::uint32_t from, std::uint32_t to,
                        Buffers& found) {
    return vectorRound<Sse2Tests>(setup, text, from, to, found);
}

__attribute__((target("avx2"))) std::uint32_t avx2Round(const Setup& setup, std::string_view text,
                                                        std::uint32_t from, std::uint32_t to, Buffers& found) {
    return vectorRound<Avx2Tests>(setup, text, from, to, found);
}

// With AVX-512 a compare gives its bits at once, so the first loop keeps
// them for the second instead of testing the piece again.
struct Avx512Tests {
    struct Test {
        __m512i fold;
        __m512i key;
        __attribute__((target("avx512bw"))) explicit Test(FoldedByte byte)
            : fold(_mm512_set1_epi8(byte.mask)), key(_mm512_set1_epi8(byte.key)) {}
        __attribute__((target("avx512bw"))) std::uint64_t of(__m512i bytes) const {
            return _mm512_cmpeq_epi8_mask(_mm512_or_si512(bytes, fold), key);
        }
    };
    Test first, second, last, pairSecond;
    __m512i mark, pairFirst;
    std::size_t lastOffset;

    __attribute__((target("avx512bw"))) explicit Avx512Tests(const Setup& setup)
        : first(setup.first),
          second(setup.second),
          last(setup.last),
          pairSecond(setup.pairSecond),
          mark(_mm512_set1_epi8(setup.mark)),
          pairFirst(_mm512_set1_epi8(setup.pairFirst)),
          lastOffset(setup.lastOffset) {}

    __attribute__((target("avx512bw"))) static __m512i load(const char* p) { return _mm512_loadu_si512(p); }
    __attribute__((target("avx512bw"))) PieceBits test(const char* p) const {
        const __m512i bytes = load(p);
        const __m512i then = load(p + 1);
        return {first.of(bytes) & second.of(then) & last.of(load(p + lastOffset)),
                _mm512_cmpeq_epi8_mask(bytes, mark), _mm512_cmpeq_epi8_mask(bytes, pairFirst) & pairSecond.of(then),
                _mm512_testn_epi8_mask(bytes, bytes)};
    }
};

__attribute__((target("avx512bw"))) std::uint32_t avx512Round(const Setup& setup, std::string_view text,
                                                             std::uint32_t from, std::uint32_t to, Buffers& found) {
    const Avx512Tests tests(setup);
    const char* const base = text.data();
    const std::size_t reach = pieceReach(setup);
    struct Noted {
        std::uint32_t piece;
        PieceBits bits;
    };
    Noted noted[kPiecesPerRound];
    std::size_t count = 0;
    std::uint32_t at = from;
    for (; to - at >= kPiece && text.size() - at >= reach; at += kPiece) {
        const PieceBits bits = tests.test(base + at);
        noted[count] = {at, bits};
        count += (bits.starts | bits.marks | bits.pairs | bits.zeros) != 0;
    }
    for (std::size_t n = 0; n < count; ++n) {
        if (noteUpToZero(setup, base, noted[n].piece, noted[n].bits, found)) {
            return noted[n].piece + static_cast<std::uint32_t>(__builtin_ctzll(noted[n].bits.zeros));
        }
    }
    return plainRound(setup, text, at, to, found);
}

bool hasAvx2() { return __builtin_cpu_supports("avx2"); }
bool hasAvx512() { return __builtin_cpu_supports("avx512bw"); }

#endif

MarkScan::RoundScan roundScanFor(MarkScan::Lanes lanes) {
#if defined(VTOME_MARK_SCAN_X86)
    if (lanes == MarkScan::Lanes::Plain) return plainRound;
    if (lanes == MarkScan::Lanes::Sse2 || !hasAvx2()) return sse2Round;
    if (lanes == MarkScan::Lanes::Avx2 || !hasAvx512()) return avx2Round;
    return avx512Round;
#else
    static_cast<void>(lanes);
    return plainRound;
#endif
}

}  // namespace

std::vector<MarkScan::Lanes> MarkScan::available() {
    std::vector<Lanes> ways{Lanes::Plain};
#if defined(VTOME_MARK_SCAN_X86)
    ways.push_back(Lanes::Sse2);
    if (hasAvx2()) ways.push_back(Lanes::Avx2);
    if (hasAvx512()) ways.push_back(Lanes::Avx512);
#endif
    return ways;
}

MarkScan::MarkScan(std::string_view needle, char mark, std::string_view pair, Lanes lanes)
    : roundScan_(roundScanFor(lanes)) {
    setup_.needle = needle;
    setup_.first = kNoByte;
    setup_.second = kAnyByte;
    setup_.last = kAnyByte;
    if (!needle.empty()) {
        setup_.lastOffset = static_cast<std::uint32_t>(needle.size() - 1);
        setup_.first = detail::foldedByte(needle.front());
        if (needle.size() > 1) setup_.second = detail::foldedByte(needle[1]);
        setup_.last = detail::foldedByte(needle.back());
    }
    setup_.mark = mark;
    setup_.pairFirst = pair[0];
    setup_.pairSecond = detail::foldedByte(pair[1]);
}

MarkScan::Round MarkScan::scanRound(std::string_view text, std::uint32_t from, std::uint32_t to) {
    found_.startCount = 0;
    found_.markCount = 0;
    found_.pairCount = 0;
    const std::uint32_t end = roundScan_(setup_, text, from, to, found_);
    return {from,
            end,
            {found_.starts.get(), found_.startCount},
            {found_.marks.get(), found_.markCount},
            {found_.pairs.get(), found_.pairCount}};
}

}  // namespace vtome::scan
