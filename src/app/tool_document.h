#pragma once
// A help document opened for a vtome-tool command, as the viewer opens it:
// the same path rule, the same contents build (without a tree).

#include <memory>
#include <optional>
#include <string>

#include "document/topic_index.h"
#include "store/keyed_store.h"

namespace vtome::tool {

struct ToolDocument {
    std::string path;
    std::unique_ptr<KeyedStore> store;
    std::unique_ptr<TopicIndex> index;
};

// The path of the document an argument names, by the viewer's rule (".vtome"
// is tried too); none, with the viewer's own message on standard error,
// when there is nothing under either path.
std::optional<std::string> findToolDocument(const std::string& argument);

// The document loaded as the viewer loads it (an Info manual is converted)
// and its contents built; none when it cannot be found. Mapped, the file's
// pages are read in place under the guard of tool_mapped_document.h; the
// mapping must not be read while the tool itself rewrites the file.
std::optional<ToolDocument> openToolDocument(const std::string& argument, FileReading reading);
// The two steps of openToolDocument, for a command that may not need the
// contents: the document loaded (its index still empty), then its contents
// built.
std::optional<ToolDocument> loadToolDocument(const std::string& argument, FileReading reading);
void buildToolContents(ToolDocument& document);

}  // namespace vtome::tool
