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

// None, with the viewer's own message on standard error, when the document
// cannot be found.
std::optional<ToolDocument> openToolDocument(const std::string& argument);

}  // namespace vtome::tool
