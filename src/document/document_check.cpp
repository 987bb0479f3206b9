#include "document/document_check.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>

#include "document/contents.h"
#include "runtime/failure.h"
#include "runtime/text_scan.h"
#include "store/section_index.h"

namespace vtome {

namespace {

using Severity = CheckFinding::Severity;
using Kind = SectionLayout::Kind;

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string folded(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = scan::foldCase(c);
    return out;
}

bool hasNonBlank(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return !scan::isWhitespace(c); });
}

// Offset of the first byte that is not part of valid UTF-8 (overlong forms,
// surrogates and values past Unicode included), or npos.
std::uint32_t firstInvalidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        std::uint32_t code = 0;
        std::uint32_t smallest = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2, code = lead & 0x1Fu, smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, code = lead & 0x0Fu, smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, code = lead & 0x07u, smallest = 0x10000;
        } else {
            return static_cast<std::uint32_t>(i);
        }
        if (bytes.size() - i < length) return static_cast<std::uint32_t>(i);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return static_cast<std::uint32_t>(i);
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return static_cast<std::uint32_t>(i);
        }
        i += length;
    }
    return scan::npos;
}

// A contents line as the contents build reads it.
struct Entry {
    ContentsEntry parsed;
    std::uint32_t line;
};

// A line that begins with "[" and names a section: a header as the author
// wrote it, outside every block.
struct Header {
    std::string name;
    std::uint32_t offset;
    SectionLayout layout;
};

class Checker {
public:
    explicit Checker(KeyedStore& document) : document_(document), sections_(document) {
        const std::string_view all = document.text();
        const void* zero = std::memchr(all.data(), '\0', all.size());
        zeroAt_ = zero ? static_cast<std::uint32_t>(static_cast<const char*>(zero) - all.data()) : scan::npos;
        text_ = zero ? all.substr(0, zeroAt_) : all;
        lineStarts_.push_back(0);
        for (std::uint32_t pos = scan::lineEnd(text_, 0); pos < text_.size(); pos = scan::lineEnd(text_, pos)) {
            pos = scan::nextLineStart(text_, pos);
            lineStarts_.push_back(pos);
        }
    }

    std::vector<CheckFinding> run() {
        checkByteZero();
        checkLineEnds();
        checkEncoding();
        readContents();
        walkSections();
        checkLookups();
        checkTree();
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const CheckFinding& a, const CheckFinding& b) { return a.line < b.line; });
        return std::move(findings_);
    }

private:
    void report(Severity severity, std::uint32_t offset, std::string message) {
        findings_.push_back({severity, lineOf(offset), std::move(message)});
    }
    void error(std::uint32_t offset, std::string message) { report(Severity::Error, offset, std::move(message)); }
    void warning(std::uint32_t offset, std::string message) {
        report(Severity::Warning, offset, std::move(message));
    }

    std::size_t lineIndexOf(std::uint32_t offset) const {
        return static_cast<std::size_t>(std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset) -
                                        lineStarts_.begin()) - 1;
    }
    std::uint32_t lineOf(std::uint32_t offset) const { return static_cast<std::uint32_t>(lineIndexOf(offset) + 1); }
    std::string lineText(std::uint32_t offset) const { return std::to_string(lineOf(offset)); }
    std::uint32_t offsetOf(std::string_view inText) const {
        return static_cast<std::uint32_t>(inText.data() - text_.data());
    }
    bool beginsWithBracket(std::size_t lineIndex) const {
        const std::uint32_t start = lineStarts_[lineIndex];
        return start < text_.size() && text_[start] == '[';
    }
    // The first line at or after lineIndex that begins with "[", or the line count.
    std::size_t nextBracketLine(std::size_t lineIndex) const {
        while (lineIndex < lineStarts_.size() && !beginsWithBracket(lineIndex)) ++lineIndex;
        return lineIndex;
    }
    std::uint32_t startOfLine(std::size_t lineIndex) const {
        return lineIndex < lineStarts_.size() ? lineStarts_[lineIndex] : static_cast<std::uint32_t>(text_.size());
    }

    bool isReadByViewer(std::string_view name) const {
        return name == kHeaderSection || name == kContentsSection || entryNames_.count(std::string(name)) != 0;
    }

    // --- the file as a whole

    void checkByteZero() {
        if (zeroAt_ != scan::npos) {
            error(zeroAt_, "this line holds a byte 0: the viewer sees nothing of the file after it");
        }
    }

    void checkLineEnds() {
        enum EndKind { CrLf, Lf, Cr };
        static constexpr const char* kNames[] = {"CR LF", "LF alone", "CR alone"};
        std::optional<EndKind> first;
        bool onlyCr = true;
        bool any = false;
        for (std::uint32_t pos = scan::lineEnd(text_, 0); pos < text_.size();
             pos = scan::lineEnd(text_, scan::nextLineStart(text_, pos))) {
            const EndKind kind = text_[pos] == '\n'                                          ? Lf
                                 : (pos + 1 < text_.size() && text_[pos + 1] == '\n') ? CrLf
                                                                                      : Cr;
            any = true;
            if (kind != Cr) onlyCr = false;
            if (!first) {
                first = kind;
            } else if (kind != *first) {
                warning(pos, std::string("line ends are mixed: this line ends with ") + kNames[kind] +
                                 ", the lines before it with " + kNames[*first]);
                return;
            }
        }
        if (any && onlyCr) {
            warning(0, "the lines end with CR alone: a section without a text block then runs on to the end of "
                       "the file");
        }
    }

    void checkEncoding() {
        const std::uint32_t bad = firstInvalidUtf8(text_);
        if (bad != scan::npos) {
            warning(bad, "this line is neither UTF-8 nor plain ASCII: the viewer shows its topic as Windows-1252 "
                         "text");
        }
    }

    // --- the contents list, line by line

    void readContents() {
        const std::vector<std::string_view> lines = document_.listLines(kContentsSection);
        for (std::string_view line : lines) {
            const std::uint32_t offset = offsetOf(line);
            if (line.size() > kContentsLineCapacity) {
                error(offset, "this contents line is " + std::to_string(line.size()) +
                                  " characters long: the viewer stops with \"String Overflow\" on a line over " +
                                  std::to_string(kContentsLineCapacity));
                contentsOverflow_ = true;
                continue;
            }
            try {
                ContentsEntry parsed = parseContentsEntry(line);
                entryNames_.insert(std::string(parsed.name));
                entries_.push_back({std::move(parsed), offset});
            } catch (const RuntimeFailure& failure) {
                if (failure.code() != FailureCode::StringOverflow) throw;
                error(offset, "the topic name on this line is longer than " + std::to_string(kTopicNameCapacity) +
                                  " characters: the viewer stops with \"String Overflow\"");
                contentsOverflow_ = true;
            }
        }
        checkContentsEnd(lines);
    }

    // An empty line ends the list; entries written after it are lost.
    void checkContentsEnd(const std::vector<std::string_view>& lines) {
        const std::uint32_t header = sections_.findHeader(kContentsSection);
        if (header == scan::npos) return;
        const std::uint32_t end =
            lines.empty() ? scan::nextLineStart(text_, header + static_cast<std::uint32_t>(kContentsSection.size()) + 2)
                          : scan::nextLineStart(text_, offsetOf(lines.back()));
        if (end >= text_.size() || !scan::isLineEnd(text_[end])) return;
        for (std::size_t i = lineIndexOf(end) + 1; i < lineStarts_.size() && !beginsWithBracket(i); ++i) {
            const std::uint32_t start = lineStarts_[i];
            if (hasNonBlank(text_.substr(start, scan::lineEnd(text_, start) - start))) {
                error(end, "the contents list ends at this empty line: the entries after it, from line " +
                               lineText(start) + " on, are not listed");
                return;
            }
        }
    }

    // --- the sections as written, in file order

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    void walkSections() {
        std::size_t i = 0;
        std::size_t plain = kNone;  // the plain section being walked
        while (i < lineStarts_.size()) {
            if (!beginsWithBracket(i)) {
                ++i;
                continue;
            }
            const std::uint32_t start = lineStarts_[i];
            const std::uint32_t end = scan::lineEnd(text_, start);
            const std::size_t close = text_.substr(0, end).find(']', start + 1);
            if (close == std::string_view::npos) {  // no name: it only ends the section before
                plain = kNone;
                ++i;
                continue;
            }
            const std::string_view name = text_.substr(start + 1, close - start - 1);
            if (plain != kNone && !isReadByViewer(name) && hasNonBlank(text_.substr(close + 1, end - close - 1))) {
                warning(start, "this line begins with \"[\" and starts a section " + quoted(name) +
                                   ", which cuts the text of section " + quoted(headers_[plain].name) +
                                   " short: write that section as a text block to keep the line in its text");
            }
            const std::optional<SectionLayout> layout = document_.sectionLayoutAt(start, name);
            headers_.push_back({std::string(name), start, *layout});
            const auto [first, isFirst] = firstHeader_.try_emplace(std::string(name), headers_.size() - 1);
            if (!isFirst) {
                warning(start, "section " + quoted(name) + " appears again: the viewer reads only the first one, at "
                                   "line " + lineText(headers_[first->second].offset));
            }
            plain = kNone;
            switch (layout->kind) {
                case Kind::Empty:
                    ++i;
                    break;
                case Kind::Plain:
                    plain = headers_.size() - 1;
                    ++i;
                    break;
                case Kind::TextBlock:
                    if (!layout->closed) {
                        i = reportUnclosed(name, *layout, i);
                    } else if (const std::size_t inner = headerInsideBlock(*layout); inner != kNone) {
                        error(scan::nextLineStart(text_, start),
                              "the text block of section " + quoted(name) +
                                  " has no closing </text> line before the section at line " +
                                  std::to_string(inner + 1) + ": it runs on to the </text> at line " +
                                  lineText(layout->closingMarker) + ", with everything between as its text");
                        i = inner;  // the sections in it are still found, by their headers
                    } else {
                        i = checkTextBlockEnd(name, *layout);
                    }
                    break;
                case Kind::ByteBlock:
                    i = layout->closed ? checkByteData(name, *layout) : reportUnclosed(name, *layout, i);
                    break;
            }
        }
    }

    // The header of a section the viewer reads, followed by the opening of
    // a text block, inside a block's content: the block lacks its closing
    // line and was closed by a later section's. The line of that header, or
    // kNone. (A header quoted as an example names no topic.)
    std::size_t headerInsideBlock(const SectionLayout& layout) const {
        const std::size_t last = lineIndexOf(layout.closingMarker);
        for (std::size_t i = lineIndexOf(layout.bodyStart); i + 1 < last; ++i) {
            if (!beginsWithBracket(i) || !scan::startsWithIgnoreCase(text_, lineStarts_[i + 1], kTextOpen)) continue;
            const std::uint32_t start = lineStarts_[i];
            const std::size_t close = text_.substr(0, scan::lineEnd(text_, start)).find(']', start + 1);
            if (close != std::string_view::npos && isReadByViewer(text_.substr(start + 1, close - start - 1))) return i;
        }
        return kNone;
    }

    std::size_t reportUnclosed(std::string_view name, const SectionLayout& layout, std::size_t headerLine) {
        if (layout.kind == Kind::TextBlock) {
            error(layout.bodyStart, "the text block of section " + quoted(name) +
                                        " has no closing </text> line, so the section has no text at all");
        } else {
            error(layout.bodyStart, "the byte block of section " + quoted(name) +
                                        " has no closing </bin> at the start of a line, so it cannot be read");
        }
        // The viewer still finds every later header, so the walk goes on.
        return headerLine + 1;
    }

    // The first line that begins with </text> closes the block. What stands
    // after it, up to the next header, belongs to no topic: when that is
    // text, the closing line was meant as a line of the text.
    std::size_t checkTextBlockEnd(std::string_view name, const SectionLayout& layout) {
        const std::uint32_t marker = layout.closingMarker;
        const std::uint32_t markerLineEnd = scan::lineEnd(text_, marker);
        const std::size_t after = lineIndexOf(marker) + 1;
        const std::size_t next = nextBracketLine(after);
        const std::string_view lost = text_.substr(startOfLine(after), startOfLine(next) - startOfLine(after));
        std::size_t last = lost.size();
        while (last > 0 && scan::isWhitespace(lost[last - 1])) --last;
        if (last > 0) {
            error(marker, "this line begins with </text> and ends the text block of section " + quoted(name) +
                              " here: the text after it, up to line " + lineText(offsetOf(lost) + static_cast<std::uint32_t>(last - 1)) +
                              ", is lost (indent the line by a blank if it belongs to the text)");
        } else {
            const std::uint32_t rest = marker + static_cast<std::uint32_t>(kTextClose.size());
            if (rest < markerLineEnd && hasNonBlank(text_.substr(rest, markerLineEnd - rest))) {
                warning(marker, "the text after </text> on the closing line of section " + quoted(name) +
                                    " is ignored");
            }
        }
        return next;
    }

    std::size_t checkByteData(std::string_view name, const SectionLayout& layout) {
        const std::string_view data = text_.substr(layout.bodyStart, layout.bodyEnd - layout.bodyStart);
        for (std::uint32_t pos = 0; pos < data.size();) {
            if (scan::isWhitespace(data[pos])) {
                ++pos;
            } else if (scan::hexPair(data, pos) < 0) {
                error(layout.bodyStart + pos, "the byte block of section " + quoted(name) +
                                                  " cannot be decoded: this line holds something other than pairs "
                                                  "of hex digits");
                break;
            } else {
                pos += 2;
            }
        }
        return lineIndexOf(layout.closingMarker) + 1;
    }

    // --- the sections the viewer looks up

    void checkLookups() {
        if (checkLookup(kHeaderSection) == nullptr) {
            error(0, "the document has no [vTome Header] section, so its title page is empty");
        }
        if (checkLookup(kContentsSection) == nullptr) {
            error(0, "the document has no [vTome Contents] section, so it lists no topics");
        }
        std::set<std::string_view> seen = {kHeaderSection, kContentsSection};
        for (const Entry& entry : entries_) {
            const std::string name(entry.parsed.name);
            if (!seen.insert(entry.parsed.name).second) continue;
            const Header* header = checkLookup(name);
            if (header == nullptr) {
                error(entry.line, "contents entry " + quoted(name) + " has no section [" + name +
                                      "]: the topic shows an empty page");
            } else if (header->layout.kind == Kind::ByteBlock && header->layout.closed) {
                error(entry.line, "the section of contents entry " + quoted(name) +
                                      " is a byte block, which the viewer does not show: the topic shows an empty "
                                      "page");
            }
        }
    }

    // The header the viewer finds for name when it is the author's own;
    // reports a mention that stands in for it. None when there is neither.
    const Header* checkLookup(std::string_view name) {
        const std::uint32_t found = sections_.findHeader(name);
        const auto own = firstHeader_.find(std::string(name));
        const Header* ownHeader = own == firstHeader_.end() ? nullptr : &headers_[own->second];
        if (found == scan::npos) return nullptr;
        if (ownHeader != nullptr && ownHeader->offset == found) return ownHeader;

        const auto owner = std::upper_bound(headers_.begin(), headers_.end(), found,
                                            [](std::uint32_t at, const Header& h) { return at < h.offset; });
        const std::string where =
            owner == headers_.begin() ? "before the first section" : "inside section " + quoted((owner - 1)->name);
        const std::string real = ownHeader != nullptr ? "whose own header is at line " + lineText(ownHeader->offset)
                                                      : "which has no header of its own";
        error(found, "[" + std::string(name) + "] " + where + " is taken for the header of section " + quoted(name) +
                         ", " + real + ": the viewer reads that section from the line after this one");
        return ownHeader != nullptr ? ownHeader : &kShadowed;
    }

    // --- the contents tree

    void checkTree() {
        if (contentsOverflow_ || entries_.empty()) return;
        TopicIndex index;
        buildContents(document_, "", index);
        std::unordered_map<const TopicEntry*, std::uint32_t> lineOfEntry;
        std::map<std::string, std::uint32_t> names;                      // name -> its first line
        std::map<std::string, std::pair<std::string, std::uint32_t>> foldedNames;
        std::map<std::pair<const TopicEntry*, std::string>, std::uint32_t> titles;
        int previousDepth = -1;
        const TopicEntry* topic = index.firstTopic()->nextTopic();
        for (const Entry& entry : entries_) {
            lineOfEntry[topic] = entry.line;
            const std::string name(entry.parsed.name);
            const int depth = static_cast<int>(entry.parsed.depth);
            const std::string under = topic->parent->parent == nullptr
                                          ? "the title page"
                                          : quoted(topic->parent->title()) + " at line " +
                                                lineText(lineOfEntry[topic->parent]);
            if (topic->depth < entry.parsed.depth + 1) {
                warning(entry.line, "contents entry " + quoted(name) + " is at depth " + std::to_string(depth) +
                                        ", but no entry one level up stands before it: it hangs under " + under);
            } else if (depth - previousDepth >= 2) {
                warning(entry.line, "contents entry " + quoted(name) + " is " + std::to_string(depth - previousDepth) +
                                        " levels deeper than the entry before it: it hangs under " + under);
            }
            previousDepth = depth;

            const auto [sameName, newName] = names.try_emplace(name, entry.line);
            const auto [sameFolded, newFolded] = foldedNames.try_emplace(folded(name), name, entry.line);
            if (!newName) {
                warning(entry.line, "topic name " + quoted(name) + " is listed twice (first at line " +
                                        lineText(sameName->second) + "): both entries show the same section");
            } else if (!newFolded) {
                warning(entry.line, "topic name " + quoted(name) + " differs only in letter case from " +
                                        quoted(sameFolded->second.first) + " at line " +
                                        lineText(sameFolded->second.second));
            }
            const auto [sameTitle, newTitle] = titles.try_emplace({topic->parent, folded(topic->title())}, entry.line);
            if (!newTitle && newName && newFolded) {
                warning(entry.line, "title " + quoted(topic->title()) + " is used twice under " +
                                        (topic->parent->parent == nullptr ? std::string("the title page")
                                                                          : quoted(topic->parent->title())) +
                                        " (first at line " + lineText(sameTitle->second) +
                                        "): readers cannot tell the two topics apart");
            }
            topic = topic->nextTopic();
        }
    }

    // Stands for a section that is reached only through a mention.
    static inline const Header kShadowed{};

    KeyedStore& document_;
    SectionIndex sections_;
    std::string_view text_;  // what the lookups see: up to the first byte 0
    std::uint32_t zeroAt_ = scan::npos;
    std::vector<std::uint32_t> lineStarts_;
    std::vector<Entry> entries_;
    std::set<std::string> entryNames_;
    bool contentsOverflow_ = false;
    std::vector<Header> headers_;                            // in file order
    std::unordered_map<std::string, std::size_t> firstHeader_;  // name -> its first entry in headers_
    std::vector<CheckFinding> findings_;
};

}  // namespace

std::vector<CheckFinding> checkDocument(KeyedStore& document) { return Checker(document).run(); }

}  // namespace vtome
