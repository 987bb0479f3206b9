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
// A topic whose name holds "]" or a line end is read directly: no header
// found by those rules can stand for it.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "document/topic_index.h"
#include "document/topic_search.h"
#include "store/section_index.h"

namespace vtome {

// The one pass over a document's text the search needs: every occurrence of
// the search text and every mark the sections' extents depend on, up to the
// first byte 0 (which the pass finds too). It reads the text only, so it may
// run on another thread while the contents are built; text and search text
// must outlive it.
class RareTextScan {
public:
    using Offsets = std::vector<std::uint32_t>;
    struct Marks {
        Offsets brackets;                  // every "["
        std::vector<std::uint64_t> heads;  // the eight bytes after each of them
        Offsets sectionStarts;             // every "[" after an LF
        Offsets textOpenings;              // "<text>" at a line start
        Offsets textClosings;              // "</text>" at a line start
        Offsets byteOpenings;              // "<bin>" at a line start
    };

    // `text` is a store's whole text; the scan is of its visible part.
    RareTextScan(std::string_view text, std::string_view wanted);

    // The text up to its first byte 0, as the store's lookups see it.
    std::string_view visible() const { return visible_; }
    std::string_view wanted() const { return wanted_; }
    // In text order; past the most the search uses, one more than that.
    const Offsets& occurrences() const { return occurrences_; }
    const Marks& marks() const { return marks_; }

private:
    std::string_view visible_;
    std::string_view wanted_;
    Offsets occurrences_;
    Marks marks_;
};

// The topics' names as the search matches them, worked out once per topic
// index (by vtome-tool while the scan runs): each name's hash, and whether
// it is one no header place can stand for, to be read directly.
class TopicNames {
public:
    struct Named {
        const TopicEntry* topic;
        std::uint32_t hash;
        bool readDirectly;
    };

    explicit TopicNames(const TopicIndex& index);

    const TopicIndex& index() const { return index_; }
    // In contents order.
    const std::vector<Named>& named() const { return named_; }

private:
    const TopicIndex& index_;
    std::vector<Named> named_;
};

// The topics containing the scan's search text, as the walk over every
// topic finds them; none when the text is too common for this way, or the
// scan is of other bytes than the store's.
std::optional<std::vector<TopicMatch>> topicsContainingRareText(SectionIndex& sections, const TopicNames& names,
                                                                const RareTextScan& scan);
// The same, from the walk when this way has none.
std::vector<TopicMatch> topicsContaining(SectionIndex& sections, const TopicNames& names, const RareTextScan& scan);

}  // namespace vtome
