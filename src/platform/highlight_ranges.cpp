#include "platform/highlight_ranges.h"

#include <algorithm>

#include "runtime/text_scan.h"

namespace vtome::platform {

void forEachOccurrence(std::string_view text, std::string_view needle, std::uint32_t from, std::uint32_t to,
                       const std::function<bool(TextRange)>& each) {
    const std::size_t length = needle.size();
    if (length == 0 || length > text.size()) return;
    const std::size_t lastStart = std::min<std::size_t>(to == 0 ? 0 : to - 1, text.size() - length);
    if (from > lastStart || to == 0) return;
    // Only starts before `to` are wanted: the text searched ends where the
    // last of them would.
    const std::string_view searched = text.substr(0, lastStart + length);
    const scan::CaseBlindNeedle wanted(needle);
    const auto size = static_cast<std::uint32_t>(length);
    for (std::uint32_t at = wanted.findIn(searched, from); at != scan::npos; at = wanted.findIn(searched, at + size)) {
        if (!each({at, at + size})) return;
    }
}

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
    std::uint32_t start = from;
    while (start > floor && !scan::isLineEnd(text[start - 1])) --start;
    forEachOccurrence(text, needle, start, to, [&](TextRange range) {
        if (range.end > from) ranges.push_back(range);
        return true;
    });
    return ranges;
}

HitCount countHits(std::string_view text, std::string_view needle, std::uint32_t position) {
    HitCount count;
    forEachOccurrence(text, needle, 0, static_cast<std::uint32_t>(text.size()), [&](TextRange range) {
        ++count.total;
        if (range.start < position) ++count.before;
        return true;
    });
    return count;
}

}  // namespace vtome::platform
