#include "document/text_export.h"

#include "store/section_index.h"
#include "store/text_buffer.h"

namespace vtome {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kBlockEnd = "\r\n\r\n";

}  // namespace

void writeTextExport(KeyedStore& document, const ByteSink& sink) {
    // One lookup per section: found through the index, a large document
    // exports in one pass instead of one scan of the text per section.
    SectionIndex sections(document);
    TextBuffer decoded;
    sink(kLineEnd);
    // Sections are looked up in text order: the lookup of one some steps
    // on starts now.
    const SectionNameEntry* const first = document.firstSection();
    const SectionNameEntry* near = first;
    const SectionNameEntry* far = first;
    for (int i = 0; i < 8 && near != nullptr; ++i) near = near->nextName();
    for (int i = 0; i < 16 && far != nullptr; ++i) far = far->nextName();
    for (const SectionNameEntry* entry = first; entry != nullptr; entry = entry->nextName()) {
        if (far != nullptr) {
            sections.prefetch(far->name);
            far = far->nextName();
        }
        if (near != nullptr) {
            sections.prefetchSection(near->name);
            near = near->nextName();
        }
        const SectionText found = sections.locate(entry->name);
        std::string_view content;
        if (found.kind == SectionText::Kind::Text) {
            content = found.text;
        } else if (found.kind == SectionText::Kind::Bytes && sections.decodeBytes(entry->name, found, decoded)) {
            content = decoded.view();
        }
        sink(entry->name);
        sink(":");
        sink(kLineEnd);
        sink(content);
        sink(kBlockEnd);
    }
}

void writeTextExport(KeyedStore& document, const std::string& path) {
    writeFileStreamed(path, [&document](const ByteSink& sink) { writeTextExport(document, sink); });
}

}  // namespace vtome
