#include "platform/highlight_ranges.h"

#include <algorithm>

#include "runtime/text_scan.h"

namespace vtome::platform {

std::vector<TextRange> highlightRanges(std::string_view text, std::string_view needle, std::uint32_t from,
                                       std::uint32_t to) {
    std::vector<TextRange> ranges;
    const auto size = static_cast<std::uint32_t>(text.size());
    to = std::min(to, size);
    if (needle.empty() || from >= to) return ranges;
    // Occurrences never cross a line end (a search text holds none), so the
    // line's start is where the stepping of the view's find would be in
    // step with this one.
    const std::uint32_t floor = from > kHighlightLookBack ? from - kHighlightLookBack : 0;
    std::uint32_t at = from;
    while (at > floor && !scan::isLineEnd(text[at - 1])) --at;
    const auto length = static_cast<std::uint32_t>(needle.size());
    for (at = scan::findIgnoreCase(text, at, needle); at != scan::npos && at < to;
         at = scan::findIgnoreCase(text, at + length, needle)) {
        if (at + length > from) ranges.push_back({at, at + length});
    }
    return ranges;
}

}  // namespace vtome::platform
