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
// the search text and every mark the sections' extents depend on. It reads
// the text only, so it may run on another thread while the contents are
// read; text and search text must outlive it.
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

    RareTextScan(std::string_view text, std::string_view wanted);

    std::string_view text() const { return text_; }
    std::string_view wanted() const { return wanted_; }
    // In text order; past the most the search uses, one more than that.
    const Offsets& occurrences() const { return occurrences_; }
    const Marks& marks() const { return marks_; }

private:
    std::string_view text_;
    std::string_view wanted_;
    Offsets occurrences_;
    Marks marks_;
};

// The topics containing the scan's search text, as the walk over every
// topic finds them, from a scan of the store's visible text; none when the
// text is too common for this way, or the scan is of other bytes.
std::optional<std::vector<TopicMatch>> topicsContainingRareText(SectionIndex& sections, const TopicIndex& index,
                                                                const RareTextScan& scan);
// The same, from the walk when this way has none.
std::vector<TopicMatch> topicsContaining(SectionIndex& sections, const TopicIndex& index, const RareTextScan& scan);

}  // namespace vtome
