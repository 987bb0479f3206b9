#include "viewer/contents_tree.h"

#include <algorithm>

namespace vtome {

using platform::kNoTreeItem;
using platform::TreeItem;

void ContentsTree::reset(const TopicIndex* index) {
    index_ = index;
    children_.clear();
}

const std::vector<TreeItem>& ContentsTree::childrenOf(const TopicEntry& parent) const {
    auto [found, added] = children_.try_emplace(parent.treeItem());
    std::vector<TreeItem>& children = found->second;
    if (added) {
        // Children follow their parent in contents order, though not always
        // next to it (an entry hangs under the latest entry one level up).
        children.reserve(parent.childCount);
        for (const TopicEntry* e = parent.nextTopic(); e != nullptr && children.size() < parent.childCount;
             e = e->nextTopic()) {
            if (e->parent == &parent) children.push_back(e->treeItem());
        }
    }
    return children;
}

std::uint32_t ContentsTree::childCount(TreeItem parent) const {
    if (index_ == nullptr) return 0;
    if (parent == kNoTreeItem) return index_->firstTopic() != nullptr ? 1 : 0;
    const TopicEntry* entry = index_->topicNumbered(parent);
    return entry != nullptr ? entry->childCount : 0;
}

TreeItem ContentsTree::child(TreeItem parent, std::uint32_t row) const {
    if (index_ == nullptr) return kNoTreeItem;
    // The header topic is the only item of the top level.
    if (parent == kNoTreeItem) return row == 0 && index_->firstTopic() != nullptr ? 1 : kNoTreeItem;
    const TopicEntry* entry = index_->topicNumbered(parent);
    if (entry == nullptr) return kNoTreeItem;
    const std::vector<TreeItem>& children = childrenOf(*entry);
    return row < children.size() ? children[row] : kNoTreeItem;
}

TreeItem ContentsTree::parentOf(TreeItem item) const {
    const TopicEntry* entry = index_ != nullptr ? index_->topicNumbered(item) : nullptr;
    return entry != nullptr && entry->parent != nullptr ? entry->parent->treeItem() : kNoTreeItem;
}

std::uint32_t ContentsTree::rowOf(TreeItem item) const {
    const TopicEntry* entry = index_ != nullptr ? index_->topicNumbered(item) : nullptr;
    if (entry == nullptr || entry->parent == nullptr) return 0;
    // Items are numbered in contents order, so a branch's list is sorted.
    const std::vector<TreeItem>& siblings = childrenOf(*entry->parent);
    return static_cast<std::uint32_t>(std::lower_bound(siblings.begin(), siblings.end(), item) - siblings.begin());
}

std::string_view ContentsTree::title(TreeItem item) const {
    const TopicEntry* entry = index_ != nullptr ? index_->topicNumbered(item) : nullptr;
    return entry != nullptr ? entry->title() : std::string_view();
}

void* ContentsTree::data(TreeItem item) const { return index_ != nullptr ? index_->topicNumbered(item) : nullptr; }

}  // namespace vtome
