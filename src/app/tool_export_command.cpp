// vtome-tool's document commands: the text export and the contents listing,
// through the same code as the viewer's Save As and contents tree.

#include <cstdio>
#include <memory>
#include <string>

#include "app/tool_command.h"
#include "document/contents.h"
#include "document/help_document.h"
#include "document/text_export.h"
#include "store/file_io.h"

namespace vtome::tool {

namespace {

// The document named by a command-line word, as the viewer finds it: the
// word itself, else the word with ".vtome" added. Null, with the viewer's
// message on standard error, when neither exists.
std::unique_ptr<KeyedStore> openDocument(const std::string& argument, std::string& path) {
    path = argument;
    if (!pathExists(path)) path += ".vtome";
    if (!pathExists(path)) {
        std::fprintf(stderr, "File Not Found :%s\n", path.c_str());
        return nullptr;
    }
    return KeyedStore::loadFromFile(path);
}

int exportDocument(const Arguments& a) {
    std::string path;
    auto document = openDocument(a[0], path);
    if (!document) return kFalse;
    writeTextExport(*document, a[1]);
    return kSuccess;
}

int contents(const Arguments& a) {
    std::string path;
    auto document = openDocument(a[0], path);
    if (!document) return kFalse;
    // The viewer's own build of the index, without a tree to show it in.
    TopicIndex index;
    buildContents(*document, fileNameOf(path), index, nullptr);
    for (const TopicEntry* entry = index.firstTopic(); entry != nullptr; entry = entry->nextTopic()) {
        writeOut(std::to_string(entry->depth));
        writeOut("\t");
        writeOut(entry->name);
        writeOut("\t");
        writeOut(entry->title);
        writeOut("\n");
    }
    return kSuccess;
}

constexpr ToolCommand kExportCommands[] = {
    {"contents", "DOC                         (DEPTH<TAB>NAME<TAB>TITLE per topic)", 1, contents},
    {"export", "DOC OUT                       (the document as plain text)", 2, exportDocument},
};

}  // namespace

std::span<const ToolCommand> exportCommands() { return kExportCommands; }

}  // namespace vtome::tool
