#pragma once
// The whole-document search for a text that occurs seldom, worked out from
// where the text occurs rather than from every topic: the document's text is
// searched once for every occurrence, and only the topics whose sections
// could hold one are read. The answer is exactly the walk over every topic's
// text; when the text occurs too often for this to pay, or the document's
// layout leaves too many sections that could hold its occurrences, there is
// none, and the caller walks the topics.
//
// Which sections could hold an occurrence follows from the store's rules:
// - a plain body runs from the line after its header up to the next "[" after
//   an LF, so the header of one holding an occurrence stands between the
//   last such "[" before the occurrence and the occurrence;
// - a text block's content runs from the line after its "<text>" line to the
//   first "</text>" at a line start, so its "<text>" line comes after the
//   last such "</text>" before the occurrence, and its header is on the
//   line before;
// - a byte block's text is decoded, so the header before every "<bin>" line
//   is read, occurrences or not.
// A "[" found so stands for the name up to each "]" after it on its line
// (a name may hold "]"). A topic's name holds no line end: it comes from one
// contents line.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "document/topic_index.h"
#include "document/topic_search.h"
#include "store/section_index.h"

namespace vtome {

// The one pass over a document's text the search needs: every occurrence of
// the search text, every "[" and every byte block's marker, up to the first
// byte 0 (which the pass finds too). The text blocks an occurrence may stand
// in are read later, around it. A text of 8 MiB or more is read in two
// halves at once, the second on another thread. Text and search text must
// outlive the scan.
class RareTextScan {
public:
    using Offsets = std::vector<std::uint32_t>;
    struct Marks {
        Offsets brackets;                  // every "["
        std::vector<std::uint64_t> heads;  // the eight bytes after each of them
        Offsets sectionStarts;             // every "[" after an LF
        Offsets byteOpenings;              // "<bin>" at a line start
    };

    // `text` is a store's whole text; the scan is of its visible part.
    RareTextScan(std::string_view text, std::string_view wanted);

    // The text up to its first byte 0, as the store's lookups see it.
    std::string_view visible() const { return visible_; }
    std::string_view wanted() const { return wanted_; }
    // In text order. Past the most the search uses, the pass stopped soon
    // after: there are more, and the marks are not all there.
    const Offsets& occurrences() const { return occurrences_; }
    const Marks& marks() const { return marks_; }

private:
    std::string_view visible_;
    std::string_view wanted_;
    Offsets occurrences_;
    Marks marks_;
};

// How often the scan's text occurs in each topic's text, worked out from the
// scan: the sections that hold an occurrence are read once, and a topic's
// count is then looked up by its name, so the topics need not be known
// before (vtome-tool reads its contents only after the scan). Valid while
// the store and the search text are.
class RareTextCounts {
public:
    // None when the text is too common for this way, the layout leaves too
    // many places, or the scan is of other bytes than the store's.
    static std::optional<RareTextCounts> of(SectionIndex& sections, const RareTextScan& scan);

    // The occurrences, without overlaps, in the text of the topic whose
    // section is `topicName` (a name without line ends, as every contents
    // line gives): the count the walk over every topic gives.
    std::uint32_t in(std::string_view topicName) const;

private:
    struct Counted {
        std::uint32_t hash;
        std::uint32_t count;
        std::string_view name;
    };

    RareTextCounts() = default;
    void add(std::string_view name, std::uint32_t count);
    // A test of a topic's name that passes every counted name and few
    // others, before the name is hashed: its length and its first and last
    // bytes.
    static std::uint32_t endsOf(std::string_view name);
    bool mayBeCounted(std::string_view name) const;

    std::vector<Counted> counted_;  // by hash: only sections holding an occurrence
    std::vector<std::uint64_t> countedEnds_ = std::vector<std::uint64_t>(65536 / 64);
    std::uint64_t countedLengths_ = 0;  // bit 63 for 63 bytes and more
};

// The topics of the index containing the scan's search text, in contents
// order, as the walk over every topic finds them; none when RareTextCounts
// has none.
std::optional<std::vector<TopicMatch>> topicsContainingRareText(SectionIndex& sections, const TopicIndex& index,
                                                                const RareTextScan& scan);

}  // namespace vtome
