// vtome-tool's search command: the topics whose text contains a text, by the
// same test the viewer's document search runs on each topic.

#include <string>
#include <vector>

#include "app/tool_command.h"
#include "app/tool_document.h"
#include "document/contents.h"
#include "document/document_location.h"
#include "document/rare_text_search.h"
#include "store/section_index.h"

namespace vtome::tool {

namespace {

struct FoundTopic {
    std::uint32_t occurrences;
    std::string_view name;
    std::string_view title;
};

// A rare text is counted from one pass over the document, and the contents
// lines are then read against the counts: the topic index is built only when
// the text is too common for that.
std::vector<FoundTopic> topicsHolding(ToolDocument& document, SectionIndex& sections, const std::string& wanted) {
    const RareTextScan scan(document.store->text(), wanted);
    std::vector<FoundTopic> found;
    if (std::optional<RareTextCounts> counts = RareTextCounts::of(sections, scan)) {
        if (const std::uint32_t count = counts->in(kHeaderSection)) {
            found.push_back({count, kHeaderSection, fileNameOf(document.path)});
        }
        forEachContentsEntry(*document.store, [&](const ContentsEntry& entry) {
            if (const std::uint32_t count = counts->in(entry.name)) {
                found.push_back({count, entry.name, entry.shownTitle()});
            }
        });
        return found;
    }
    buildToolContents(document);
    TopicTexts texts(sections, *document.index);
    for (const TopicMatch& match : topicsContaining(texts, wanted)) {
        found.push_back({match.occurrences, match.topic->name(), match.topic->title()});
    }
    return found;
}

int search(const Arguments& a) {
    std::optional<ToolDocument> document = loadToolDocument(a[0], FileReading::Map);
    if (!document) return kFalse;
    SectionIndex sections(*document->store);
    // Written only once all are known: a contents line that fails the
    // document fails it before any line is out.
    const std::vector<FoundTopic> found = topicsHolding(*document, sections, a[1]);
    for (const FoundTopic& topic : found) {
        writeOut(std::to_string(topic.occurrences));
        writeOut("\t");
        writeOut(topic.name);
        writeOut("\t");
        writeOut(topic.title);
        writeOut("\n");
    }
    return found.empty() ? kFalse : kSuccess;
}

constexpr ToolCommand kSearchCommands[] = {
    {"search", "DOC TEXT                      (COUNT<TAB>NAME<TAB>TITLE per topic holding TEXT)", 2, search},
};

}  // namespace

std::span<const ToolCommand> searchCommands() { return kSearchCommands; }

}  // namespace vtome::tool
