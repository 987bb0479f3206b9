#pragma once
// The topic index as the contents pane reads it: each topic is the tree item
// numbered as its entry, under the entry it hangs under. The children of a
// branch are gathered the first time the branch is asked for, so a document
// of a million topics shows its tree without a pass over all of them.
//
// A filter narrows what the tree lists to the entries whose title contains
// a text, each with the entries it hangs under, for context. The matching
// set is found here, in two passes over the index, so the pane only ever
// asks for the branches it shows.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/topic_index.h"
#include "platform/panes.h"

namespace vtome {

class ContentsTree final : public platform::ContentsSource {
public:
    // Reads `index` from now on; none shows nothing. The filter is cleared.
    void reset(const TopicIndex* index);

    // Lists only the entries whose title contains `text` (ASCII letters
    // folded), each with the entries above it; an empty text lists every
    // entry again. The number of entries whose title matches.
    std::uint32_t setFilter(std::string_view text);
    bool isFiltered() const { return filtered_; }
    std::string_view filterText() const { return filterText_; }
    std::uint32_t matchCount() const { return matchCount_; }
    // Whether the filter lets the item's own title through (every item
    // when nothing is filtered).
    bool isMatch(platform::TreeItem item) const;
    // The first and last listed item whose title matches, in the order the
    // tree shows them; none when there is none.
    platform::TreeItem firstMatch() const;
    platform::TreeItem lastMatch() const;
    // The listed item after or before `item` in the order the tree shows
    // them with every branch open; none past either end.
    platform::TreeItem nextListed(platform::TreeItem item) const;
    platform::TreeItem previousListed(platform::TreeItem item) const;
    // Whether the item is one of those the tree lists.
    bool isListed(platform::TreeItem item) const;

    std::uint32_t childCount(platform::TreeItem parent) const override;
    platform::TreeItem child(platform::TreeItem parent, std::uint32_t row) const override;
    platform::TreeItem parentOf(platform::TreeItem item) const override;
    std::uint32_t rowOf(platform::TreeItem item) const override;
    std::string_view title(platform::TreeItem item) const override;
    void* data(platform::TreeItem item) const override;

private:
    // The items under an entry, in contents order.
    const std::vector<platform::TreeItem>& childrenOf(const TopicEntry& parent) const;

    // The listed items under `parent` (an item, not the top level).
    const std::vector<platform::TreeItem>& listedChildren(platform::TreeItem parent) const;

    const TopicIndex* index_ = nullptr;
    mutable std::unordered_map<platform::TreeItem, std::vector<platform::TreeItem>> children_;

    // While filtered: per item number, kHidden, kAbove (listed for an entry
    // under it) or kMatch; and the listed children of every listed branch.
    enum : std::uint8_t { kHidden = 0, kAbove = 1, kMatch = 2 };
    bool filtered_ = false;
    std::string filterText_;
    std::uint32_t matchCount_ = 0;
    std::vector<std::uint8_t> shown_;
    std::unordered_map<platform::TreeItem, std::vector<platform::TreeItem>> filteredChildren_;
};

}  // namespace vtome
