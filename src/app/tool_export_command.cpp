// vtome-tool's document commands: the text export and the contents listing,
// through the same code as the viewer's Save As and contents tree.

#include <string>

#include "app/tool_command.h"
#include "app/tool_document.h"
#include "document/text_export.h"

namespace vtome::tool {

namespace {

int exportDocument(const Arguments& a) {
    // Even over the document itself the mapping is safe: a save writes a new
    // file, or one written in place only once every byte is made.
    const std::optional<ToolDocument> document = openToolDocument(a[0], FileReading::Map);
    if (!document) return kFalse;
    if (a[1] == kStandardOutputName) {
        writeTextExport(*document->store, [](std::string_view piece) { writeOut(piece); });
    } else {
        writeTextExport(*document->store, a[1]);
    }
    return kSuccess;
}

int contents(const Arguments& a) {
    const std::optional<ToolDocument> document = openToolDocument(a[0], FileReading::Map);
    if (!document) return kFalse;
    for (const TopicEntry* entry = document->index->firstTopic(); entry != nullptr; entry = entry->nextTopic()) {
        writeOut(std::to_string(entry->depth));
        writeOut("\t");
        writeOut(entry->name());
        writeOut("\t");
        writeOut(entry->title());
        writeOut("\n");
    }
    return kSuccess;
}

constexpr ToolCommand kExportCommands[] = {
    {"contents", "DOC                         (DEPTH<TAB>NAME<TAB>TITLE per topic)", 1, contents},
    {"export", "DOC OUT                       (the document as plain text; OUT - is standard output)", 2, exportDocument},
};

}  // namespace

std::span<const ToolCommand> exportCommands() { return kExportCommands; }

}  // namespace vtome::tool
