#include "document/info_import.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "document/contents.h"
#include "document/document_loading.h"
#include "runtime/text_scan.h"
#include "store/section_index.h"

namespace vtome {

namespace {

// Menus nested deeper than this (a chain of menus leading ever on) keep
// their nodes at this depth, so that no contents line grows past its limit.
constexpr std::size_t kMaxDepth = 64;
constexpr std::size_t kNameLimit = 200;
constexpr std::size_t kTitleLimit = 1000;
using namespace std::string_view_literals;
constexpr std::string_view kMarkupStart = "\0\b["sv;
constexpr std::string_view kMarkupEnd = "\0\b]"sv;

std::string folded(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = scan::foldCase(c);
    return out;
}

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7f'; }

// At most limit bytes, not cutting a UTF-8 sequence in two.
std::string_view cutAt(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

// A section name for a node: it must survive a contents line (the name ends
// at the first "=", leading full stops are the depth, blanks are trimmed)
// and a header ("[" name "]", ended by the first "]").
std::string safeName(std::string_view nodeName) {
    std::string name;
    for (const char c : nodeName) {
        name.push_back(c == '=' ? '-' : c == '[' ? '(' : c == ']' ? ')' : isControl(c) ? ' ' : c);
    }
    const std::size_t start = name.find_first_not_of(". \t");
    name = start == std::string::npos ? std::string() : std::string(cutAt(std::string_view(name).substr(start), kNameLimit));
    name = std::string(scan::trimBlanks(name));
    return name.empty() ? std::string("Node") : name;
}

// The title a reader sees: the node name on one line. The contents list
// stands before the title page's header, so a title may not mention it.
std::string safeTitle(std::string_view nodeName) {
    std::string title;
    for (const char c : nodeName) title.push_back(isControl(c) ? ' ' : c);
    title = std::string(scan::trimBlanks(cutAt(title, kTitleLimit)));
    if (title.find("[" + std::string(kHeaderSection) + "]") != std::string::npos) {
        std::replace(title.begin(), title.end(), '[', '(');
        std::replace(title.begin(), title.end(), ']', ')');
    }
    return title;
}

// The alt text of an image marker's attributes, or nothing.
std::string_view altText(std::string_view attributes) {
    const std::size_t alt = attributes.find("alt=\"");
    if (alt == std::string_view::npos) return {};
    const std::string_view rest = attributes.substr(alt + 5);
    return rest.substr(0, rest.find('"'));
}

// A node's text as the content of a text block: CR LF line ends, no leading
// empty lines or trailing blank space, and every line that begins with
// </text> indented by one blank so that only the block's own closing line
// ends it.
std::string blockContent(std::string_view nodeText) {
    const std::string text = stripInfoMarkup(nodeText);
    std::string_view rest = text;
    while (!rest.empty() && scan::isLineEnd(rest.front())) rest.remove_prefix(1);
    while (!rest.empty() && scan::isWhitespace(rest.back())) rest.remove_suffix(1);
    std::string out;
    out.reserve(rest.size() + rest.size() / 32);
    for (std::uint32_t pos = 0; pos < rest.size();) {
        const std::uint32_t end = scan::lineEnd(rest, pos);
        if (pos > 0) out.append("\r\n");
        if (scan::startsWithIgnoreCase(rest, pos, kTextClose)) out.push_back(' ');
        out.append(rest.substr(pos, end - pos));
        if (end >= rest.size()) break;
        pos = scan::nextLineStart(rest, end);
    }
    return out;
}

void appendBlock(std::string& out, std::string_view name, const std::string& content) {
    out.append("[").append(name).append("]\r\n<text>\r\n").append(content).append("\r\n</text>\r\n\r\n");
}

class Conversion {
public:
    Conversion(const InfoManual& manual, std::string_view sourceName) : nodes_(manual.nodes), source_(sourceName) {
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            exact_.try_emplace(nodes_[i].name, i);
            byFold_.try_emplace(folded(nodes_[i].name), i);
        }
    }

    std::string run() {
        arrange();
        taken_ = {folded(kHeaderSection), folded(kContentsSection)};
        for (const Topic& topic : topics_) names_.push_back(uniqueName(safeName(nodes_[topic.node].name)));
        for (const Topic& topic : topics_) {
            titles_.push_back(safeTitle(nodes_[topic.node].name));
            contents_.push_back(blockContent(nodes_[topic.node].text));
        }
        // Rendering and the store's own lookup agree on every header, or
        // the names a mention would take over are renamed and it is tried
        // again; every round uses names never tried before, and the text
        // can mention only so many.
        while (true) {
            std::vector<std::uint32_t> headers;
            std::string text = render(headers);
            const std::unique_ptr<KeyedStore> store = storeFromText(text);
            SectionIndex sections(*store);
            bool sound = true;
            for (std::size_t k = 0; k < topics_.size(); ++k) {
                if (sections.findHeader(names_[k]) != headers[k]) {
                    names_[k] = uniqueName(safeName(nodes_[topics_[k].node].name));
                    sound = false;
                }
            }
            if (sound) return text;
        }
    }

private:
    struct Topic {
        std::size_t node;
        std::size_t depth;
    };

    std::optional<std::size_t> resolve(const std::string& name) const {
        if (const auto found = exact_.find(name); found != exact_.end()) return found->second;
        if (const auto found = byFold_.find(folded(name)); found != byFold_.end()) return found->second;
        return std::nullopt;
    }

    // The contents order: depth first along the menus from Top, each node
    // where a menu first names it; then every node no menu reached.
    void arrange() {
        if (nodes_.empty()) return;
        top_ = resolve("Top").value_or(0);
        placed_.assign(nodes_.size(), false);
        placed_[top_] = true;
        follow(top_, 0);
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            if (placed_[i]) continue;
            placed_[i] = true;
            topics_.push_back({i, 0});
            follow(i, 1);
        }
    }

    // Places the nodes the menus below root lead to, root's own at depth.
    // An index's menu lists index entries, not parts of the manual.
    void follow(std::size_t root, std::size_t depth) {
        struct Frame {
            std::size_t node;
            std::size_t next;
            std::size_t depth;
        };
        std::vector<Frame> stack{{root, 0, depth}};
        while (!stack.empty()) {
            Frame& frame = stack.back();
            const InfoNode& node = nodes_[frame.node];
            if (node.isIndex || frame.next >= node.menu.size()) {
                stack.pop_back();
                continue;
            }
            const std::optional<std::size_t> target = resolve(node.menu[frame.next++]);
            if (!target || placed_[*target]) continue;
            placed_[*target] = true;
            const std::size_t at = frame.depth;
            topics_.push_back({*target, at});
            stack.push_back({*target, 0, std::min(at + 1, kMaxDepth)});
        }
    }

    std::string uniqueName(const std::string& base) {
        std::string name = base;
        for (unsigned number = 2; !taken_.insert(folded(name)).second; ++number) {
            name = base + " (" + std::to_string(number) + ")";
        }
        return name;
    }

    // The document, and in `headers` the offset of each topic's header.
    std::string render(std::vector<std::uint32_t>& headers) const {
        std::string out;
        std::string source;
        for (const char c : source_) source.push_back(c == '[' ? '(' : c == ']' ? ')' : isControl(c) ? '?' : c);
        out.append("Converted by vTome from the Info manual ").append(source).append(".\r\n");
        out.append("Lines of its text that begin with </text> are indented by one blank.\r\n\r\n");

        out.append("[").append(kContentsSection).append("]\r\n");
        for (std::size_t k = 0; k < topics_.size(); ++k) {
            out.append(topics_[k].depth, '.').append(names_[k]).append("=").append(titles_[k]).append("\r\n");
        }
        out.append("\r\n");
        appendBlock(out, kHeaderSection, nodes_.empty() ? std::string() : blockContent(nodes_[top_].text));
        for (std::size_t k = 0; k < topics_.size(); ++k) {
            headers.push_back(static_cast<std::uint32_t>(out.size()));
            appendBlock(out, names_[k], contents_[k]);
        }
        return out;
    }

    const std::vector<InfoNode>& nodes_;
    std::string_view source_;
    std::unordered_map<std::string, std::size_t> exact_;
    std::unordered_map<std::string, std::size_t> byFold_;
    std::size_t top_ = 0;
    std::vector<bool> placed_;
    std::vector<Topic> topics_;
    std::unordered_set<std::string> taken_;  // section names, letter case folded
    std::vector<std::string> names_;
    std::vector<std::string> titles_;
    std::vector<std::string> contents_;
};

}  // namespace

std::string stripInfoMarkup(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, kMarkupStart.size()) == kMarkupStart) {
            const std::size_t close = text.find(kMarkupEnd, i + kMarkupStart.size());
            if (close != std::string_view::npos) {
                const std::string_view inner = text.substr(i + kMarkupStart.size(), close - i - kMarkupStart.size());
                if (inner.substr(0, 5) == "image") out.append(altText(inner));
                i = close + kMarkupEnd.size();
                continue;
            }
        }
        const char c = text[i++];
        if (c != '\0' && c != '\b' && c != '\x7f' && c != '\x1f') out.push_back(c);
    }
    return out;
}

std::string convertInfoManual(const InfoManual& manual, std::string_view sourceName) {
    return Conversion(manual, sourceName).run();
}

}  // namespace vtome
