#include "document/info_manual.h"

#include <cerrno>
#include <cstring>

#include "document/document_location.h"
#include "document/gzip_data.h"
#include "runtime/failure.h"
#include "runtime/text_scan.h"
#include "store/file_io.h"

namespace vtome {

namespace {

using namespace std::string_view_literals;

constexpr char kSeparator = '\x1f';
// Info quotes a node name that holds ",", ":" or "." between two DEL bytes.
constexpr char kQuote = '\x7f';
// Marks an index node; its menu lists index entries.
constexpr std::string_view kIndexMarker = "\0\b[index\0\b]"sv;

std::string_view lineAt(std::string_view text, std::uint32_t pos) {
    return text.substr(pos, scan::lineEnd(text, pos) - pos);
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool isSeparatorAt(std::string_view text, std::size_t pos) {
    return text[pos] == kSeparator && (pos == 0 || scan::isLineEnd(text[pos - 1]));
}

// Offset of the first node separator at or after from, or the text's size.
std::size_t nextSeparator(std::string_view text, std::size_t from) {
    for (std::size_t at = text.find(kSeparator, from); at != std::string_view::npos;
         at = text.find(kSeparator, at + 1)) {
        if (isSeparatorAt(text, at)) return at;
    }
    return text.size();
}

// The node name written at the start of `field`: between quotes, or up to
// the first of `ends`.
std::string_view leadingName(std::string_view field, std::string_view ends) {
    if (!field.empty() && field.front() == kQuote) {
        const std::size_t close = field.find(kQuote, 1);
        return field.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
    }
    return field.substr(0, field.find_first_of(ends));
}

std::string_view skipBlanks(std::string_view text) {
    while (!text.empty() && scan::isBlank(text.front())) text.remove_prefix(1);
    return text;
}

// The node a menu entry leads to: "* Node::" or "* Label: Node." with the
// node name ended by a tab, a comma or a full stop before a blank or the line
// end. `following` is the next line, where a long entry's node name may stand.
std::string_view menuTarget(std::string_view entry, std::string_view following) {
    std::string_view rest = entry;
    if (!rest.empty() && rest.front() == kQuote) {
        const std::size_t close = rest.find(kQuote, 1);
        if (close == std::string_view::npos) return {};
        const std::string_view label = rest.substr(1, close - 1);
        rest.remove_prefix(close + 1);
        if (rest.substr(0, 2) == "::") return label;
        if (rest.empty() || rest.front() != ':') return {};
        rest.remove_prefix(1);
    } else {
        const std::size_t colon = rest.find(':');
        if (colon == std::string_view::npos) return {};
        if (rest.substr(colon, 2) == "::") return rest.substr(0, colon);
        rest.remove_prefix(colon + 1);
    }
    rest = skipBlanks(rest);
    if (rest.empty()) rest = skipBlanks(following);
    if (!rest.empty() && rest.front() == kQuote) return leadingName(rest, "");
    std::size_t end = 0;
    while (end < rest.size() && rest[end] != '\t' && rest[end] != ',' &&
           !(rest[end] == '.' && (end + 1 == rest.size() || scan::isBlank(rest[end + 1])))) {
        ++end;
    }
    return rest.substr(0, end);
}

std::vector<std::string> parseMenu(std::string_view text) {
    std::vector<std::string> targets;
    bool inMenu = false;
    for (std::uint32_t pos = 0; pos < text.size(); pos = scan::nextLineStart(text, pos)) {
        const std::string_view line = lineAt(text, pos);
        if (scan::startsWithIgnoreCase(line, 0, "* Menu:")) {
            inMenu = true;
            continue;
        }
        if (!inMenu || !startsWith(line, "* ")) continue;
        const std::uint32_t next = scan::nextLineStart(text, pos);
        const std::string_view target = menuTarget(skipBlanks(line.substr(2)), lineAt(text, next));
        // "(file)node" leads into another manual.
        if (target.empty() || target.front() == '(') continue;
        std::string name = normalizeNodeName(target);
        if (!name.empty()) targets.push_back(std::move(name));
    }
    return targets;
}

std::string readWholeFile(const std::string& path) {
    InputFile file(path);
    std::string bytes(file.size(), '\0');
    file.readInto(bytes.data(), file.size());
    return bytes;
}

// The text of an Info file's bytes, decompressed when they are gzip data.
std::string infoText(const std::string& path, std::string bytes) {
    if (!isGzipData(bytes)) return bytes;
    std::optional<std::string> text = gunzip(bytes);
    if (!text) failOnFile(FailureCode::FileReadError, path, "Not a valid gzip file");
    return std::move(*text);
}

}  // namespace

std::string normalizeNodeName(std::string_view name) {
    std::string out;
    bool blank = false;
    for (const char c : name) {
        if (scan::isWhitespace(c)) {
            blank = !out.empty();
            continue;
        }
        if (blank) out.push_back(' ');
        blank = false;
        out.push_back(c);
    }
    return out;
}

bool looksLikeInfo(std::string_view text) {
    const std::size_t separator = nextSeparator(text, 0);
    if (separator == text.size()) return false;
    const std::string_view line =
        lineAt(text, scan::nextLineStart(text, static_cast<std::uint32_t>(separator)));
    return (startsWith(line, "File:") && line.find("Node:") != std::string_view::npos) ||
           startsWith(line, "Indirect:") || startsWith(line, "Tag Table:");
}

InfoFile parseInfoFile(std::string_view text) {
    InfoFile file;
    for (std::size_t at = nextSeparator(text, 0); at < text.size();) {
        const std::size_t end = nextSeparator(text, at + 1);
        const std::uint32_t start = scan::nextLineStart(text, static_cast<std::uint32_t>(at));
        const std::string_view chunk = text.substr(start, end > start ? end - start : 0);
        const std::string_view first = lineAt(chunk, 0);
        const std::string_view body = chunk.substr(scan::nextLineStart(chunk, 0));
        at = end;

        if (startsWith(first, "Indirect:")) {
            for (std::uint32_t pos = 0; pos < body.size(); pos = scan::nextLineStart(body, pos)) {
                const std::string_view line = lineAt(body, pos);
                const std::size_t colon = line.rfind(':');
                if (colon == std::string_view::npos) continue;
                const std::string_view part = scan::trimBlanks(line.substr(0, colon));
                if (!part.empty()) file.parts.emplace_back(part);
            }
            continue;
        }
        const std::size_t nodeField = first.find("Node:");
        if (!startsWith(first, "File:") || nodeField == std::string_view::npos) continue;
        InfoNode node;
        node.name = normalizeNodeName(leadingName(skipBlanks(first.substr(nodeField + 5)), ",\t"));
        node.text = std::string(body);
        node.menu = parseMenu(body);
        node.isIndex = body.find(kIndexMarker) != std::string_view::npos;
        file.nodes.push_back(std::move(node));
    }
    return file;
}

std::optional<InfoManual> readInfoManual(const std::string& path, std::string_view bytes) {
    const std::string text = infoText(path, std::string(bytes));
    if (!looksLikeInfo(text)) return std::nullopt;
    InfoFile file = parseInfoFile(text);
    InfoManual manual{std::move(file.nodes)};

    const std::string_view name = fileNameOf(path);
    const std::string folder = path.substr(0, path.size() - name.size());
    for (const std::string& part : file.parts) {
        // A part lies beside the main file, whatever path the table gives.
        const std::string partPath = folder + std::string(fileNameOf(part));
        if (partPath == path) continue;
        std::string found = partPath;
        if (!pathExists(found)) found = partPath + ".gz";
        if (!pathExists(found)) failOnFile(FailureCode::FileOpenFailure, partPath, ENOENT);
        InfoFile piece = parseInfoFile(infoText(found, readWholeFile(found)));
        for (InfoNode& node : piece.nodes) manual.nodes.push_back(std::move(node));
    }
    return manual;
}

}  // namespace vtome
