#include "document/rare_text_search.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "document/contents.h"
#include "runtime/text_scan.h"

namespace vtome {

namespace {

// Past these the walk over every topic is as quick, and its cost is known.
constexpr std::size_t kMaxOccurrences = 4096;
constexpr std::size_t kMaxHeaderPlaces = 1024;

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
        // A text block: opened after the last closing line before the occurrence.
        const std::optional<std::uint32_t> closing = lastUpTo(marks_.textClosings, at);
        std::size_t opening = closing ? firstAtOrAfter(marks_.textOpenings, *closing + 1) : 0;
        const std::size_t openingsTo = firstAtOrAfter(marks_.textOpenings, at);
        for (opening = std::max(opening, openingsDone_); opening < openingsTo; ++opening) {
            if (!addLineBefore(marks_.textOpenings[opening])) return false;
        }
        openingsDone_ = std::max(openingsDone_, openingsTo);
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
    std::size_t openingsDone_ = 0;
};

// Whether HeaderPlaces can find the header of a topic of this name: one
// without "]" or a line end.
bool foundByHeaderPlaces(std::string_view name) {
    for (const char c : name) {
        if (c == ']' || scan::isLineEnd(c)) return false;
    }
    return true;
}

// The name in the "[" name "]" at `bracket`, when a topic found by header
// places could have it: short enough to be a topic's, and no line end.
std::optional<std::string_view> nameAfterBracket(std::string_view text, std::uint32_t bracket) {
    const std::size_t from = std::size_t{bracket} + 1;
    const std::size_t span = std::min(text.size() - from, kTopicNameCapacity + 1);
    const void* close = std::memchr(text.data() + from, ']', span);
    if (close == nullptr) return std::nullopt;
    const std::string_view name = text.substr(from, static_cast<std::size_t>(static_cast<const char*>(close) -
                                                                            (text.data() + from)));
    if (!foundByHeaderPlaces(name)) return std::nullopt;
    return name;
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
    std::vector<std::uint32_t> first(names.size(), KeyedStore::npos);
    std::size_t left = names.size();
    for (std::size_t b = 0; b < marks.brackets.size() && left > 0; ++b) {
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

RareTextScan::RareTextScan(std::string_view text, std::string_view wanted) : visible_(text), wanted_(wanted) {
    if (wanted.empty()) {
        // Found nowhere: nothing to scan for.
        visible_ = text.substr(0, text.find('\0'));
        return;
    }
    const MarkerPattern textOpen(kTextOpen);
    const MarkerPattern textClose(kTextClose);
    const MarkerPattern binOpen(kBinOpen);
    const scan::CaseBlindNeedle needle(wanted);
    std::size_t end = text.size();
    needle.scanWithMarks(
        text, '[', '<', '\0',
        [this](std::uint32_t at) {
            if (occurrences_.size() <= kMaxOccurrences) occurrences_.push_back(at);
        },
        [&](std::uint32_t at) {
            if (at >= end) return;
            if (text[at] == '[') {
                marks_.brackets.push_back(at);
                marks_.heads.push_back(headOf(text.data() + at + 1, text.size() - at - 1));
                if (at > 0 && text[at - 1] == '\n') marks_.sectionStarts.push_back(at);
                return;
            }
            if (text[at] == '\0') {
                end = at;
                return;
            }
            if (at == 0 || !scan::isLineEnd(text[at - 1])) return;
            // A marker's bytes are never 0, so one found stands in the visible text.
            const std::uint64_t head = headOf(text.data() + at, text.size() - at);
            if (textOpen.starts(head)) {
                marks_.textOpenings.push_back(at);
            } else if (textClose.starts(head)) {
                marks_.textClosings.push_back(at);
            } else if (binOpen.starts(head)) {
                marks_.byteOpenings.push_back(at);
            }
        });
    visible_ = text.substr(0, end);
    // Occurrences are noted a block ahead of the marks: those that reach
    // past the byte 0 go.
    while (!occurrences_.empty() && occurrences_.back() + wanted.size() > end) occurrences_.pop_back();
}

TopicNames::TopicNames(const TopicIndex& index) : index_(index) {
    named_.reserve(index.count());
    for (const TopicEntry* topic = index.firstTopic(); topic != nullptr; topic = topic->nextTopic()) {
        const std::string_view name = topic->name();
        named_.push_back({topic, sectionNameHash(name), !foundByHeaderPlaces(name)});
    }
}

std::optional<std::vector<TopicMatch>> topicsContainingRareText(SectionIndex& sections, const TopicNames& names,
                                                                const RareTextScan& scan) {
    const std::string_view text = scan.wanted();
    if (text.empty()) return std::vector<TopicMatch>{};
    const std::string_view all = sections.store().visibleText();
    // A scan of other bytes answers nothing here.
    if (scan.visible().data() != all.data() || scan.visible().size() != all.size()) return std::nullopt;
    const Offsets& occurrences = scan.occurrences();
    if (occurrences.size() > kMaxOccurrences) return std::nullopt;
    const scan::CaseBlindNeedle needle(text);
    const auto size = static_cast<std::uint32_t>(text.size());

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
        if (const std::optional<std::string_view> name = nameAfterBracket(all, marks.brackets[place])) {
            headerNames.push_back(*name);
        }
    }
    std::sort(headerNames.begin(), headerNames.end());
    headerNames.erase(std::unique(headerNames.begin(), headerNames.end()), headerNames.end());

    // Each name's count, read at the header the lookups find; only names
    // with occurrences are kept, by hash.
    const std::vector<std::uint32_t> headers = firstHeaders(all, marks, headerNames);
    struct Counted {
        std::uint32_t hash;
        std::uint32_t count;
        std::string_view name;
    };
    std::vector<Counted> counted;
    TextBuffer decoded;
    for (std::size_t i = 0; i < headerNames.size(); ++i) {
        const SectionText found = sections.locateAt(headers[i], headerNames[i]);
        std::uint32_t count = 0;
        if (found.kind == SectionText::Kind::Text) {
            const auto from = static_cast<std::uint32_t>(found.text.data() - all.data());
            count = countWithin(occurrences, from, from + static_cast<std::uint32_t>(found.text.size()), size);
        } else if (const std::optional<std::string_view> bytes =
                       byteBlockText(sections, headerNames[i], found, decoded)) {
            count = countInText(*bytes, needle, size);
        }
        if (count > 0) counted.push_back({sectionNameHash(headerNames[i]), count, headerNames[i]});
    }
    std::sort(counted.begin(), counted.end(), [](const Counted& a, const Counted& b) { return a.hash < b.hash; });

    std::vector<TopicMatch> matches;
    std::optional<TopicTexts> direct;
    for (const TopicNames::Named& named : names.named()) {
        std::uint32_t count = 0;
        if (named.readDirectly) {
            if (!direct) direct.emplace(sections, names.index());
            const std::optional<std::string_view> topicText = direct->text(*named.topic);
            if (topicText) count = countInText(*topicText, needle, size);
        } else if (!counted.empty()) {
            auto it = std::lower_bound(counted.begin(), counted.end(), named.hash,
                                       [](const Counted& c, std::uint32_t hash) { return c.hash < hash; });
            for (; it != counted.end() && it->hash == named.hash; ++it) {
                if (it->name == named.topic->name()) count = it->count;
            }
        }
        if (count > 0) matches.push_back({named.topic, count});
    }
    return matches;
}

std::vector<TopicMatch> topicsContaining(SectionIndex& sections, const TopicNames& names, const RareTextScan& scan) {
    if (std::optional<std::vector<TopicMatch>> matches = topicsContainingRareText(sections, names, scan)) {
        return std::move(*matches);
    }
    TopicTexts texts(sections, names.index());
    return topicsContaining(texts, scan.wanted());
}

}  // namespace vtome
