#include "app/tool_document.h"

#include "app/tool_mapped_document.h"

#include <cstdio>

#include "document/contents.h"
#include "document/document_loading.h"
#include "document/document_location.h"
#include "store/file_io.h"

namespace vtome::tool {

std::optional<std::string> findToolDocument(const std::string& argument) {
    // No 260-character limit here: scripts may name any path the system allows.
    CountedString path(TextBuffer::kMaxLength);
    locateDocument(argument, path);
    if (!pathExists(path.str())) {
        std::fprintf(stderr, "%.*s%s\n", static_cast<int>(kFileNotFound.size()), kFileNotFound.data(),
                     path.c_str());
        return std::nullopt;
    }
    return path.str();
}

std::optional<ToolDocument> loadToolDocument(const std::string& argument, FileReading reading) {
    std::optional<std::string> path = findToolDocument(argument);
    if (!path) return std::nullopt;
    ToolDocument document{*path, loadDocumentStore(*path, reading), std::make_unique<TopicIndex>()};
    if (reading == FileReading::Map) guardMappedDocument(*path, document.store->text());
    return document;
}

void buildToolContents(ToolDocument& document) {
    buildContents(*document.store, fileNameOf(document.path), *document.index);
}

std::optional<ToolDocument> openToolDocument(const std::string& argument, FileReading reading) {
    std::optional<ToolDocument> document = loadToolDocument(argument, reading);
    if (document) buildToolContents(*document);
    return document;
}

}  // namespace vtome::tool
