#pragma once
// The topic index as the contents pane reads it: each topic is the tree item
// numbered as its entry, under the entry it hangs under. The children of a
// branch are gathered the first time the branch is asked for, so a document
// of a million topics shows its tree without a pass over all of them.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "document/topic_index.h"
#include "platform/panes.h"

namespace vtome {

class ContentsTree final : public platform::ContentsSource {
public:
    // Reads `index` from now on; none shows nothing.
    void reset(const TopicIndex* index);

    std::uint32_t childCount(platform::TreeItem parent) const override;
    platform::TreeItem child(platform::TreeItem parent, std::uint32_t row) const override;
    platform::TreeItem parentOf(platform::TreeItem item) const override;
    std::uint32_t rowOf(platform::TreeItem item) const override;
    std::string_view title(platform::TreeItem item) const override;
    void* data(platform::TreeItem item) const override;

private:
    // The items under an entry, in contents order.
    const std::vector<platform::TreeItem>& childrenOf(const TopicEntry& parent) const;

    const TopicIndex* index_ = nullptr;
    mutable std::unordered_map<platform::TreeItem, std::vector<platform::TreeItem>> children_;
};

}  // namespace vtome
