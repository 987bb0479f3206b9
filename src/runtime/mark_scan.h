#pragma once
// One pass over a long text that finds every start of a search text (ASCII
// letters in either case, as findIgnoreCase finds them, overlapping starts
// too), every byte equal to a mark, and every place of a pair of bytes whose
// second matches in either case when it is a letter. The text ends at its
// first byte 0, as the store's lookups see it. The text is handled in
// rounds of a few KiB, each handed to the caller while its bytes are still
// in the CPU's cache.
//
// On x86-64 the pass tests 64 bytes at a time where the CPU has AVX-512,
// 32 where it has AVX2 and 16 (SSE2) where it has neither; elsewhere it is
// plain code. All of them give the same finds.

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "runtime/text_scan.h"

namespace vtome::scan {

class MarkScan {
public:
    static constexpr std::uint32_t kRoundBytes = 8192;

    // The ways of testing bytes; Widest is the best this CPU has.
    enum class Lanes : std::uint8_t { Widest, Plain, Sse2, Avx2, Avx512 };
    // Every way this build and this CPU can run, for tests to compare.
    static std::vector<Lanes> available();

    // What one round found in [from, to) of the text, as offsets into it,
    // each list in text order. A start or a pair may end past `to`, even
    // past a byte 0 at `to`: the round that holds one ends there.
    struct Round {
        std::uint32_t from = 0;
        std::uint32_t to = 0;
        std::span<const std::uint32_t> starts;
        std::span<const std::uint32_t> marks;
        std::span<const std::uint32_t> pairs;
    };

    // Points into the needle, which must outlive the scan. An empty needle
    // starts nowhere. `pair` is two bytes. A way this CPU lacks runs as
    // Widest.
    MarkScan(std::string_view needle, char mark, std::string_view pair, Lanes lanes = Lanes::Widest);

    // Calls visit(round) for the rounds of `text` from its start, in order,
    // up to its first byte 0 and while visit returns true. Gives where the
    // pass ended: at that byte 0, at the text's end, or at the end of the
    // round visit stopped at. Texts of up to 4 GiB.
    template <typename Visit>
    std::uint32_t scan(std::string_view text, Visit&& visit) {
        return scan(text, 0, static_cast<std::uint32_t>(text.size()), visit);
    }
    // The same for the places in [from, to) of the text only; their tests
    // read the bytes after `to` too.
    template <typename Visit>
    std::uint32_t scan(std::string_view text, std::uint32_t from, std::uint32_t to, Visit&& visit) {
        while (from < to) {
            const auto end = static_cast<std::uint32_t>(std::min<std::uint64_t>(to, std::uint64_t{from} + kRoundBytes));
            const Round round = scanRound(text, from, end);
            if (!visit(round) || round.to < end) return round.to;
            from = end;
        }
        return to;
    }

    // What a round tests, prepared once: the needle's first, second and last
    // bytes (a test every byte passes stands for the second byte of a needle
    // of one, and one no byte passes for the first of an empty needle), and
    // the mark and the pair's two bytes. Every test but the last reads the
    // bytes at a start and the one after it.
    struct Setup {
        std::string_view needle;
        detail::FoldedByte first{};
        detail::FoldedByte second{};
        detail::FoldedByte last{};
        std::uint32_t lastOffset = 0;
        char mark = 0;
        char pairFirst = 0;
        detail::FoldedByte pairSecond{};
    };
    // The lists one round fills: a round's bytes, and room for entries
    // written past the last one.
    struct Buffers {
        static constexpr std::uint32_t kCapacity = kRoundBytes + 8;
        std::unique_ptr<std::uint32_t[]> starts = std::make_unique<std::uint32_t[]>(kCapacity);
        std::unique_ptr<std::uint32_t[]> marks = std::make_unique<std::uint32_t[]>(kCapacity);
        std::unique_ptr<std::uint32_t[]> pairs = std::make_unique<std::uint32_t[]>(kCapacity);
        std::uint32_t startCount = 0;
        std::uint32_t markCount = 0;
        std::uint32_t pairCount = 0;
    };
    // Scans [from, to) and gives where it ended: `to`, or a byte 0 before it.
    using RoundScan = std::uint32_t (*)(const Setup& setup, std::string_view text, std::uint32_t from,
                                        std::uint32_t to, Buffers& found);

private:
    Round scanRound(std::string_view text, std::uint32_t from, std::uint32_t to);

    Setup setup_;
    Buffers found_;
    RoundScan roundScan_;
};

}  // namespace vtome::scan
