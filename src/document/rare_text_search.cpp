#include "document/rare_text_search.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <future>

#include "document/contents.h"
#include "runtime/mark_scan.h"
#include "runtime/text_scan.h"

namespace vtome {

namespace {

// Past these the walk over every topic is as quick, and its cost is known.
constexpr std::size_t kMaxOccurrences = 4096;
constexpr std::size_t kMaxHeaderPlaces = 1024;
constexpr std::size_t kMaxHeaderNames = 4096;
// A text this long is scanned in two halves at once.
constexpr std::uint32_t kHalvedBytes = 8 * 1024 * 1024;

using Offsets = RareTextScan::Offsets;

// Up to eight bytes from `bytes` as one number, zeros after the end: equal
// numbers for equal starts, on any byte order.
std::uint64_t headOf(const char* bytes, std::size_t count) {
    std::uint64_t head = 0;
    std::memcpy(&head, bytes, std::min<std::size_t>(count, 8));
    return head;
}

std::uint64_t headMask(std::size_t count) {
    static constexpr char kAllSet[8] = {'\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF', '\xFF'};
    return headOf(kAllSet, count);
}

std::size_t firstAtOrAfter(const Offsets& offsets, std::uint32_t at) {
    return static_cast<std::size_t>(std::lower_bound(offsets.begin(), offsets.end(), at) - offsets.begin());
}

// The last offset at or before `at`, if any.
std::optional<std::uint32_t> lastUpTo(const Offsets& offsets, std::uint32_t at) {
    const auto after = std::upper_bound(offsets.begin(), offsets.end(), at);
    if (after == offsets.begin()) return std::nullopt;
    return *(after - 1);
}

// A block marker of up to eight bytes, told from the head of the bytes
// where it may stand: letters match in either case, as the store's lookups
// match markers, since a letter's two cases differ only in bit 0x20.
class MarkerPattern {
public:
    explicit MarkerPattern(std::string_view marker) {
        char fold[8] = {};
        char lower[8] = {};
        for (std::size_t i = 0; i < marker.size(); ++i) {
            const bool letter = scan::foldCase(marker[i]) == scan::foldCase(static_cast<char>(marker[i] ^ 0x20));
            fold[i] = letter ? 0x20 : 0;
            lower[i] = scan::foldCase(marker[i]);
        }
        fold_ = headOf(fold, 8);
        mask_ = headMask(marker.size());
        key_ = headOf(lower, 8);
    }
    bool starts(std::uint64_t head) const { return ((head | fold_) & mask_) == key_; }

private:
    std::uint64_t fold_ = 0;
    std::uint64_t mask_ = 0;
    std::uint64_t key_ = 0;
};

// Whether `at` begins a line that has one before it: a block's marker on
// the first line has no header line.
bool startsLine(std::string_view text, std::uint32_t at) { return at > 0 && scan::isLineEnd(text[at - 1]); }

// The "[" that could begin the header of a section holding an occurrence,
// as indices into the marks' brackets; none past the limit.
class HeaderPlaces {
public:
    HeaderPlaces(std::string_view text, const RareTextScan::Marks& marks) : text_(text), marks_(marks) {}

    bool addForOccurrence(std::uint32_t at) {
        // A plain body: from the last section start before the occurrence.
        const std::uint32_t sectionStart = lastUpTo(marks_.sectionStarts, at).value_or(0);
        const std::size_t from = std::max(firstAtOrAfter(marks_.brackets, sectionStart), plainDone_);
        const std::size_t to = firstAtOrAfter(marks_.brackets, at);
        if (!add(from, to)) return false;
        plainDone_ = std::max(plainDone_, to);
        return addTextBlocksBefore(at);
    }

    // A text block: its "<text>" line comes after the last "</text>" line at
    // or before the occurrence. The text since the previous occurrence is
    // read backwards, once; the blocks opened before that were added for it.
    bool addTextBlocksBefore(std::uint32_t at) {
        openings_.clear();
        for (std::uint32_t end = at + 1; end > blocksDone_;) {
            const void* angle = ::memrchr(text_.data() + blocksDone_, '<', end - blocksDone_);
            if (angle == nullptr) break;
            end = static_cast<std::uint32_t>(static_cast<const char*>(angle) - text_.data());
            if (!startsLine(text_, end)) continue;
            const std::uint64_t head = headOf(text_.data() + end, text_.size() - end);
            if (textClose_.starts(head)) break;
            if (end < at && textOpen_.starts(head)) openings_.push_back(end);
        }
        blocksDone_ = at;
        for (auto opening = openings_.rbegin(); opening != openings_.rend(); ++opening) {
            if (!addLineBefore(*opening)) return false;
        }
        return true;
    }

    // The header line of the section whose body starts at `bodyStart`.
    bool addLineBefore(std::uint32_t bodyStart) {
        std::uint32_t lineEnd = bodyStart - 1;
        if (text_[lineEnd] == '\n' && lineEnd > 0 && text_[lineEnd - 1] == '\r') --lineEnd;
        std::uint32_t lineStart = lineEnd;
        while (lineStart > 0 && !scan::isLineEnd(text_[lineStart - 1])) --lineStart;
        return add(firstAtOrAfter(marks_.brackets, lineStart), firstAtOrAfter(marks_.brackets, lineEnd));
    }

    // The places in text order, each once.
    std::vector<std::size_t> take() {
        std::sort(places_.begin(), places_.end());
        places_.erase(std::unique(places_.begin(), places_.end()), places_.end());
        return std::move(places_);
    }

private:
    bool add(std::size_t from, std::size_t to) {
        if (from >= to) return true;
        if (places_.size() + (to - from) > kMaxHeaderPlaces) return false;
        for (std::size_t i = from; i < to; ++i) places_.push_back(i);
        return true;
    }

    std::string_view text_;
    const RareTextScan::Marks& marks_;
    std::vector<std::size_t> places_;
    std::size_t plainDone_ = 0;
    const MarkerPattern textOpen_{kTextOpen};
    const MarkerPattern textClose_{kTextClose};
    std::uint32_t blocksDone_ = 0;  // the text from here on is still to be read for blocks
    std::vector<std::uint32_t> openings_;
};

// The names a "[" ... "]" at `bracket` can stand for: the text up to each
// "]" after it on its line, within a topic name's length. Past `limit`
// names in all, none are added and the answer is false.
bool addNamesAfterBracket(std::string_view text, std::uint32_t bracket, std::vector<std::string_view>& names,
                          std::size_t limit) {
    const std::size_t from = std::size_t{bracket} + 1;
    const std::size_t end = from + std::min(text.size() - from, kTopicNameCapacity + 1);
    for (std::size_t at = from; at < end && !scan::isLineEnd(text[at]); ++at) {
        if (text[at] != ']') continue;
        if (names.size() == limit) return false;
        names.push_back(text.substr(from, at - from));
    }
    return true;
}

std::uint32_t pairOf(char first, char second) {
    return std::uint32_t{static_cast<unsigned char>(first)} | std::uint32_t{static_cast<unsigned char>(second)} << 8;
}

// The first two bytes of a head, in text order.
std::uint32_t firstPairOf(std::uint64_t head) {
    char bytes[8];
    std::memcpy(bytes, &head, 8);
    return pairOf(bytes[0], bytes[1]);
}

// Where "[" name "]" first occurs for each of `names`, by the marks' heads:
// the text itself is read only where a head agrees.
std::vector<std::uint32_t> firstHeaders(std::string_view text, const RareTextScan::Marks& marks,
                                        const std::vector<std::string_view>& names) {
    struct Wanted {
        std::uint64_t head;
        std::size_t name;
    };
    // Grouped by how many bytes of the head they fill: name and "]", up to eight.
    std::vector<Wanted> byFill[9];
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string key = std::string(names[i]) + "]";
        byFill[std::min<std::size_t>(key.size(), 8)].push_back({headOf(key.data(), key.size()), i});
    }
    std::vector<std::size_t> fills;
    for (std::size_t fill = 1; fill <= 8; ++fill) {
        auto& group = byFill[fill];
        if (group.empty()) continue;
        std::sort(group.begin(), group.end(), [](const Wanted& a, const Wanted& b) { return a.head < b.head; });
        fills.push_back(fill);
    }
    // Most brackets start no wanted key: one bit per pair of first bytes
    // passes them over. The empty name's key, "]", pairs with any byte.
    std::vector<std::uint64_t> firstPairs(65536 / 64);
    const auto notePair = [&](std::uint32_t pair) { firstPairs[pair >> 6] |= std::uint64_t{1} << (pair & 63); };
    for (const std::string_view name : names) {
        if (!name.empty()) {
            notePair(pairOf(name[0], name.size() > 1 ? name[1] : ']'));
        } else {
            for (std::uint32_t second = 0; second < 256; ++second) notePair(pairOf(']', static_cast<char>(second)));
        }
    }
    std::vector<std::uint32_t> first(names.size(), KeyedStore::npos);
    std::size_t left = names.size();
    for (std::size_t b = 0; b < marks.brackets.size() && left > 0; ++b) {
        const std::uint32_t pair = firstPairOf(marks.heads[b]);
        if ((firstPairs[pair >> 6] >> (pair & 63) & 1) == 0) continue;
        for (const std::size_t fill : fills) {
            const std::uint64_t head = marks.heads[b] & headMask(fill);
            const auto& group = byFill[fill];
            auto it = std::lower_bound(group.begin(), group.end(), head,
                                       [](const Wanted& w, std::uint64_t h) { return w.head < h; });
            for (; it != group.end() && it->head == head; ++it) {
                const std::string_view name = names[it->name];
                const std::size_t at = std::size_t{marks.brackets[b]} + 1;
                if (first[it->name] != KeyedStore::npos || text.size() - at < name.size() + 1 ||
                    text.compare(at, name.size(), name) != 0 || text[at + name.size()] != ']') {
                    continue;
                }
                first[it->name] = marks.brackets[b];
                --left;
            }
        }
    }
    return first;
}

// The occurrences that do not overlap, taken from the left, within [from, to).
std::uint32_t countWithin(const Offsets& occurrences, std::uint32_t from, std::uint32_t to, std::uint32_t size) {
    std::uint32_t count = 0;
    std::uint32_t free = from;
    for (std::size_t i = firstAtOrAfter(occurrences, from); i < occurrences.size(); ++i) {
        const std::uint32_t at = occurrences[i];
        if (std::uint64_t{at} + size > to) break;
        if (at < free) continue;
        ++count;
        free = at + size;
    }
    return count;
}

}  // namespace

namespace {

// What the pass finds among the places of one stretch of the text.
struct PassPart {
    Offsets occurrences;
    RareTextScan::Marks marks;
    std::uint32_t end = 0;  // where the stretch ended: its end, or a byte 0
    bool whole = true;      // false when it stopped at too many occurrences
};

// `room` is the length of text the part's lists make room for: the whole
// text's for a part the rest is joined to.
PassPart scanPart(std::string_view text, std::string_view wanted, std::uint32_t from, std::uint32_t to,
                  std::uint32_t room) {
    PassPart part;
    const MarkerPattern binOpen(kBinOpen);
    // A byte block's marker is found by its first two bytes: "<" alone
    // begins every text block's lines.
    scan::MarkScan pass(wanted, '[', kBinOpen.substr(0, 2));
    // Room for a "[" in every 64 bytes, which a help document seldom passes:
    // only what is written costs memory, and the lists are not copied as
    // they grow.
    const std::size_t expected = room / 64;
    part.marks.brackets.reserve(expected);
    part.marks.heads.reserve(expected);
    part.marks.sectionStarts.reserve(expected);
    part.end = pass.scan(text, from, to, [&](const scan::MarkScan::Round& round) {
        part.occurrences.insert(part.occurrences.end(), round.starts.begin(), round.starts.end());
        for (const std::uint32_t at : round.marks) {
            part.marks.brackets.push_back(at);
            part.marks.heads.push_back(headOf(text.data() + at + 1, text.size() - at - 1));
            if (at > 0 && text[at - 1] == '\n') part.marks.sectionStarts.push_back(at);
        }
        for (const std::uint32_t at : round.pairs) {
            // A marker's bytes are never 0, so one found stands in the visible text.
            if (startsLine(text, at) && binOpen.starts(headOf(text.data() + at, text.size() - at))) {
                part.marks.byteOpenings.push_back(at);
            }
        }
        // Past this many occurrences the marks are not needed.
        part.whole = part.occurrences.size() <= kMaxOccurrences;
        return part.whole;
    });
    return part;
}

template <typename T>
void append(std::vector<T>& to, const std::vector<T>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

}  // namespace

RareTextScan::RareTextScan(std::string_view text, std::string_view wanted) : visible_(text), wanted_(wanted) {
    if (wanted.empty()) {
        // Found nowhere: nothing to scan for.
        visible_ = text.substr(0, text.find('\0'));
        return;
    }
    const auto size = static_cast<std::uint32_t>(text.size());
    PassPart found;
    if (size < kHalvedBytes) {
        found = scanPart(text, wanted, 0, size, size);
    } else {
        // Two halves at once: one CPU alone waits on memory most of the time.
        const std::uint32_t half = size / 2;
        std::future<PassPart> second =
            std::async(std::launch::async, [&] { return scanPart(text, wanted, half, size, size - half); });
        found = scanPart(text, wanted, 0, half, size);
        const PassPart rest = second.get();
        // What follows a byte 0, or the first half's fill, is not wanted.
        if (found.whole && found.end == half) {
            append(found.occurrences, rest.occurrences);
            append(found.marks.brackets, rest.marks.brackets);
            append(found.marks.heads, rest.marks.heads);
            append(found.marks.sectionStarts, rest.marks.sectionStarts);
            append(found.marks.byteOpenings, rest.marks.byteOpenings);
            found.end = rest.end;
            found.whole = rest.whole && found.occurrences.size() <= kMaxOccurrences;
        }
    }
    occurrences_ = std::move(found.occurrences);
    marks_ = std::move(found.marks);
    visible_ = text.substr(0, found.whole ? found.end : text.find('\0'));
    // An occurrence may reach past the byte 0.
    while (!occurrences_.empty() && occurrences_.back() + wanted.size() > visible_.size()) occurrences_.pop_back();
}

std::optional<RareTextCounts> RareTextCounts::of(SectionIndex& sections, const RareTextScan& scan) {
    RareTextCounts counts;
    const std::string_view wanted = scan.wanted();
    if (wanted.empty()) return counts;
    const KeyedStore& store = sections.store();
    // A scan of the store's text has found where its visible part ends.
    if (scan.visible().data() == store.text().data()) {
        store.noteVisibleLength(static_cast<std::uint32_t>(scan.visible().size()));
    }
    const std::string_view all = store.visibleText();
    // A scan of other bytes answers nothing here.
    if (scan.visible().data() != all.data() || scan.visible().size() != all.size()) return std::nullopt;
    const Offsets& occurrences = scan.occurrences();
    if (occurrences.size() > kMaxOccurrences) return std::nullopt;
    const auto size = static_cast<std::uint32_t>(wanted.size());

    const RareTextScan::Marks& marks = scan.marks();
    HeaderPlaces places(all, marks);
    for (const std::uint32_t at : occurrences) {
        if (!places.addForOccurrence(at)) return std::nullopt;
    }
    for (const std::uint32_t opening : marks.byteOpenings) {
        if (!places.addLineBefore(opening)) return std::nullopt;
    }

    std::vector<std::string_view> headerNames;
    for (const std::size_t place : places.take()) {
        if (!addNamesAfterBracket(all, marks.brackets[place], headerNames, kMaxHeaderNames)) return std::nullopt;
    }
    std::sort(headerNames.begin(), headerNames.end());
    headerNames.erase(std::unique(headerNames.begin(), headerNames.end()), headerNames.end());

    // Each name's count, read at the header the lookups find; only names
    // with occurrences are kept.
    const std::vector<std::uint32_t> headers = firstHeaders(all, marks, headerNames);
    const scan::CaseBlindNeedle needle(wanted);
    TextBuffer decoded;
    for (std::size_t i = 0; i < headerNames.size(); ++i) {
        const SectionText found = sections.locateAt(headers[i], headerNames[i]);
        if (found.kind == SectionText::Kind::Text) {
            const auto from = static_cast<std::uint32_t>(found.text.data() - all.data());
            counts.add(headerNames[i],
                       countWithin(occurrences, from, from + static_cast<std::uint32_t>(found.text.size()), size));
        } else if (const std::optional<std::string_view> bytes =
                       byteBlockText(sections, headerNames[i], found, decoded)) {
            counts.add(headerNames[i], countInText(*bytes, needle, size));
        }
    }
    std::sort(counts.counted_.begin(), counts.counted_.end(),
              [](const Counted& a, const Counted& b) { return a.hash < b.hash; });
    return counts;
}

std::uint32_t RareTextCounts::in(std::string_view topicName) const {
    if (!mayBeCounted(topicName)) return 0;
    const std::uint32_t hash = sectionNameHash(topicName);
    auto it = std::lower_bound(counted_.begin(), counted_.end(), hash,
                               [](const Counted& c, std::uint32_t h) { return c.hash < h; });
    for (; it != counted_.end() && it->hash == hash; ++it) {
        if (it->name == topicName) return it->count;
    }
    return 0;
}

std::uint32_t RareTextCounts::endsOf(std::string_view name) {
    return name.empty() ? 0 : pairOf(name.front(), name.back());
}

void RareTextCounts::add(std::string_view name, std::uint32_t count) {
    if (count == 0) return;
    counted_.push_back({sectionNameHash(name), count, name});
    const std::uint32_t ends = endsOf(name);
    countedEnds_[ends >> 6] |= std::uint64_t{1} << (ends & 63);
    countedLengths_ |= std::uint64_t{1} << std::min<std::size_t>(name.size(), 63);
}

bool RareTextCounts::mayBeCounted(std::string_view name) const {
    const std::uint32_t ends = endsOf(name);
    return (countedLengths_ >> std::min<std::size_t>(name.size(), 63) & 1) != 0 &&
           (countedEnds_[ends >> 6] >> (ends & 63) & 1) != 0;
}

std::optional<std::vector<TopicMatch>> topicsContainingRareText(SectionIndex& sections, const TopicIndex& index,
                                                                const RareTextScan& scan) {
    std::optional<RareTextCounts> counts = RareTextCounts::of(sections, scan);
    if (!counts) return std::nullopt;
    std::vector<TopicMatch> matches;
    for (const TopicEntry* topic = index.firstTopic(); topic != nullptr; topic = topic->nextTopic()) {
        if (const std::uint32_t count = counts->in(topic->name())) matches.push_back({topic, count});
    }
    return matches;
}

}  // namespace vtome
