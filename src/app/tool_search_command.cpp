// vtome-tool's search command: the topics whose text contains a text, by the
// same test the viewer's document search runs on each topic.

#include <cstdio>
#include <memory>
#include <string>

#include "app/tool_command.h"
#include "document/contents.h"
#include "document/help_document.h"
#include "document/topic_search.h"
#include "store/file_io.h"
#include "store/section_index.h"

namespace vtome::tool {

namespace {

// The document named by a command-line word, found as the viewer finds it:
// the word itself, else the word with ".vtome" added. Null, with the
// viewer's message on standard error, when neither exists.
std::unique_ptr<KeyedStore> openSearchedDocument(const std::string& argument, std::string& path) {
    path = argument;
    if (!pathExists(path)) path += ".vtome";
    if (!pathExists(path)) {
        std::fprintf(stderr, "File Not Found :%s\n", path.c_str());
        return nullptr;
    }
    return KeyedStore::loadFromFile(path);
}

int search(const Arguments& a) {
    std::string path;
    auto document = openSearchedDocument(a[0], path);
    if (!document) return kFalse;
    TopicIndex index;
    buildContents(*document, fileNameOf(path), index, nullptr);
    SectionIndex sections(*document);
    const std::vector<TopicMatch> matches = topicsContaining(sections, index, a[1]);
    for (const TopicMatch& match : matches) {
        writeOut(std::to_string(match.occurrences));
        writeOut("\t");
        writeOut(match.topic->name);
        writeOut("\t");
        writeOut(match.topic->title);
        writeOut("\n");
    }
    return matches.empty() ? kFalse : kSuccess;
}

constexpr ToolCommand kSearchCommands[] = {
    {"search", "DOC TEXT                      (COUNT<TAB>NAME<TAB>TITLE per topic holding TEXT)", 2, search},
};

}  // namespace

std::span<const ToolCommand> searchCommands() { return kSearchCommands; }

}  // namespace vtome::tool
