#include "platform/highlight_ranges.h"

#include <algorithm>
#include <cstring>

#include "runtime/text_scan.h"

namespace vtome::platform {

void forEachOccurrence(std::string_view text, std::string_view needle, std::uint32_t from, std::uint32_t to,
                       const std::function<bool(TextRange)>& each) {
    const std::size_t length = needle.size();
    if (length == 0 || length > text.size()) return;
    const std::size_t lastStart = std::min<std::size_t>(to == 0 ? 0 : to - 1, text.size() - length);
    if (from > lastStart || to == 0) return;
    const char lower = scan::foldCase(needle[0]);
    const char upper = (lower >= 'a' && lower <= 'z') ? static_cast<char>(lower - 32) : lower;
    const char* const begin = text.data();
    const char* const end = begin + lastStart + 1;
    auto nextOf = [end](const char* p, char c) {
        const char* hit = static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)));
        return hit != nullptr ? hit : end;
    };
    const char* p = begin + from;
    const char* nextLower = nextOf(p, lower);
    const char* nextUpper = upper == lower ? end : nextOf(p, upper);
    while (p < end) {
        if (nextLower < p) nextLower = nextOf(p, lower);
        if (upper != lower && nextUpper < p) nextUpper = nextOf(p, upper);
        const char* candidate = std::min(nextLower, nextUpper);
        if (candidate >= end) return;
        if (scan::equalIgnoreCase(std::string_view(candidate, length), needle)) {
            const auto at = static_cast<std::uint32_t>(candidate - begin);
            if (!each({at, at + static_cast<std::uint32_t>(length)})) return;
            p = candidate + length;
        } else {
            p = candidate + 1;
        }
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
