// vtome-tool's search command: the topics whose text contains a text, by the
// same test the viewer's document search runs on each topic.

#include <future>
#include <string>

#include "app/tool_command.h"
#include "app/tool_document.h"
#include "document/rare_text_search.h"
#include "store/section_index.h"

namespace vtome::tool {

namespace {

int search(const Arguments& a) {
    std::optional<ToolDocument> document = loadToolDocument(a[0], FileReading::Map);
    if (!document) return kFalse;
    // The pass over the text needs no contents: it runs while they are built.
    const std::string_view text = document->store->text();
    const std::string& wanted = a[1];
    std::future<RareTextScan> scan =
        std::async(std::launch::async, [text, &wanted] { return RareTextScan(text, wanted); });
    buildToolContents(*document);
    const TopicNames names(*document->index);
    SectionIndex sections(*document->store);
    const std::vector<TopicMatch> matches = topicsContaining(sections, names, scan.get());
    for (const TopicMatch& match : matches) {
        writeOut(std::to_string(match.occurrences));
        writeOut("\t");
        writeOut(match.topic->name());
        writeOut("\t");
        writeOut(match.topic->title());
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
