#pragma once
// Where the topic view highlights the search text, and how it counts the
// hits: the occurrences in the shown text, found as the view's own find
// steps through them (ASCII letters folded, each search going on after the
// end of the one before), so that the highlights, the counts and the steps
// of F3 always agree.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/panes.h"

namespace vtome::platform {

// How far back from the stretch the stepping may start: the beginning of the
// line holding `from`, unless that lies further back than this.
constexpr std::uint32_t kHighlightLookBack = 64 * 1024;

// Calls `each` with every occurrence of `needle` that starts in [from, to),
// stepping from `from`, until it returns false. One pass over the stretch:
// the next place of either case of the first letter is found once and kept
// until passed, so a letter that occurs in one case only costs no rescans.
void forEachOccurrence(std::string_view text, std::string_view needle, std::uint32_t from, std::uint32_t to,
                       const std::function<bool(TextRange)>& each);

// The occurrences of `needle` in `text` that overlap [from, to), in order.
// The stepping starts at the beginning of the line (after the last CR or LF)
// that holds `from`, so a line's highlights do not depend on how far it is
// scrolled. An empty needle highlights nothing.
std::vector<TextRange> highlightRanges(std::string_view text, std::string_view needle, std::uint32_t from,
                                       std::uint32_t to);

// The occurrences of `needle` stepped through from the start of `text`.
HitCount countHits(std::string_view text, std::string_view needle, std::uint32_t position);

}  // namespace vtome::platform
