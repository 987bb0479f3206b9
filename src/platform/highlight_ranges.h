#pragma once
// Where the topic view highlights the search text: the occurrences in a
// stretch of the shown text, found as the view's own find steps through them
// (ASCII letters folded, each search going on after the end of the one
// before), so that the highlights and the steps of F3 always agree.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/panes.h"

namespace vtome::platform {

// How far back from the stretch the stepping may start: the beginning of the
// line holding `from`, unless that lies further back than this.
constexpr std::uint32_t kHighlightLookBack = 64 * 1024;

// The occurrences of `needle` in `text` that overlap [from, to), in order.
// The stepping starts at the beginning of the line (after the last CR or LF)
// that holds `from`, so a line's highlights do not depend on how far it is
// scrolled. An empty needle highlights nothing.
std::vector<TextRange> highlightRanges(std::string_view text, std::string_view needle, std::uint32_t from,
                                       std::uint32_t to);

}  // namespace vtome::platform
