#pragma once
// A GNU Info manual read as data: its nodes in file order, each with its
// name, its text and the nodes its menu leads to. The files are read as
// installed: plain or gzip-compressed, whole or split into parts that an
// indirect table in the main file names.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vtome {

struct InfoNode {
    std::string name;               // as its node line gives it, quoting removed
    std::string text;               // what follows the node line, as in the file
    std::vector<std::string> menu;  // the nodes of this manual its menu names, in order
    bool isIndex = false;           // an index node, whose menu lists index entries
};

struct InfoFile {
    std::vector<InfoNode> nodes;
    std::vector<std::string> parts;  // the indirect table's file names, in order
};

struct InfoManual {
    std::vector<InfoNode> nodes;  // every node of every part, in file order
};

// Whether text is an Info file: its first node separator (a line beginning
// with the byte 0x1F) is followed by a node line, an indirect table or a tag
// table.
bool looksLikeInfo(std::string_view text);

// The nodes and the indirect table of one Info file's text.
InfoFile parseInfoFile(std::string_view text);

// The manual whose main file is at path and holds `bytes`: none when those
// bytes are not an Info file, plain or gzip-compressed. The parts of a split
// manual are looked for beside the main file under the names the table
// gives, each plain or with ".gz" added ("File open failure" when a part is
// missing); data that is not valid gzip fails with "File read error".
std::optional<InfoManual> readInfoManual(const std::string& path, std::string_view bytes);

// Node names as Info compares them: blanks and line ends collapsed into one
// space, none at either end.
std::string normalizeNodeName(std::string_view name);

}  // namespace vtome
