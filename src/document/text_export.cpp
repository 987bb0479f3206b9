#include "document/text_export.h"

#include "store/section_index.h"

namespace vtome {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kBlockEnd = "\r\n\r\n";

}  // namespace

void buildTextExport(KeyedStore& document, TextBuffer& output) {
    // One lookup per section: found through the index, a large document
    // exports in one pass instead of one scan of the text per section.
    SectionIndex sections(document);
    TextBuffer section;
    output.toEnd();
    output.insertString(kLineEnd);
    for (const SectionNameEntry* entry = document.firstSection(); entry != nullptr; entry = entry->nextName()) {
        // A failed lookup leaves the previous section's text in the buffer,
        // or half-decoded bytes of a malformed byte block: export nothing.
        if (!sections.getSectionToBuffer(entry->name, section)) section.reset();
        output.toEnd();
        output.insertString(entry->name);
        output.insertChar(':');
        output.insertString(kLineEnd);
        output.insertBuffer(section);
        output.insertString(kBlockEnd);
    }
}

void writeTextExport(KeyedStore& document, const std::string& path) {
    TextBuffer output;
    buildTextExport(document, output);
    output.writeToFile(path);
}

}  // namespace vtome
