#include "viewer/contents_tree.h"

#include <algorithm>

#include "runtime/text_scan.h"

namespace vtome {

using platform::kNoTreeItem;
using platform::TreeItem;

void ContentsTree::reset(const TopicIndex* index) {
    index_ = index;
    children_.clear();
    setFilter({});
}

std::uint32_t ContentsTree::setFilter(std::string_view text) {
    filterText_ = std::string(text);
    filteredChildren_.clear();
    matchCount_ = 0;
    filtered_ = !text.empty() && index_ != nullptr && index_->lastTopic() != nullptr;
    if (!filtered_) {
        shown_.clear();
        return 0;
    }
    shown_.assign(static_cast<std::size_t>(index_->lastTopic()->treeItem()) + 1, kHidden);
    // Each match, and the entries above it up to the first already listed.
    for (const TopicEntry* e = index_->firstTopic(); e != nullptr; e = e->nextTopic()) {
        if (scan::findIgnoreCase(e->title(), 0, text) == scan::npos) continue;
        shown_[e->treeItem()] = kMatch;
        ++matchCount_;
        for (const TopicEntry* up = e->parent; up != nullptr && shown_[up->treeItem()] == kHidden; up = up->parent) {
            shown_[up->treeItem()] = kAbove;
        }
    }
    // A branch's listed children in contents order, so each list is sorted.
    for (const TopicEntry* e = index_->firstTopic(); e != nullptr; e = e->nextTopic()) {
        if (e->parent != nullptr && shown_[e->treeItem()] != kHidden) {
            filteredChildren_[e->parent->treeItem()].push_back(e->treeItem());
        }
    }
    return matchCount_;
}

const std::vector<TreeItem>& ContentsTree::listedChildren(TreeItem parent) const {
    if (filtered_) {
        static const std::vector<TreeItem> none;
        const auto found = filteredChildren_.find(parent);
        return found != filteredChildren_.end() ? found->second : none;
    }
    return childrenOf(*index_->topicNumbered(parent));
}

bool ContentsTree::isListed(TreeItem item) const {
    if (index_ == nullptr || index_->topicNumbered(item) == nullptr) return false;
    return !filtered_ || shown_[item] != kHidden;
}

bool ContentsTree::isMatch(TreeItem item) const {
    if (index_ == nullptr || index_->topicNumbered(item) == nullptr) return false;
    return !filtered_ || shown_[item] == kMatch;
}

TreeItem ContentsTree::nextListed(TreeItem item) const {
    if (!isListed(item)) return kNoTreeItem;
    if (childCount(item) > 0) return child(item, 0);
    // Past the last child of a branch: on to the next child of the branch above.
    for (TreeItem at = item; at != kNoTreeItem; at = parentOf(at)) {
        const TreeItem up = parentOf(at);
        if (up == kNoTreeItem) return kNoTreeItem;
        const std::uint32_t row = rowOf(at);
        if (row + 1 < childCount(up)) return child(up, row + 1);
    }
    return kNoTreeItem;
}

TreeItem ContentsTree::previousListed(TreeItem item) const {
    if (!isListed(item)) return kNoTreeItem;
    const TreeItem up = parentOf(item);
    if (up == kNoTreeItem) return kNoTreeItem;
    const std::uint32_t row = rowOf(item);
    if (row == 0) return up;
    // The last row under the sibling before it.
    TreeItem at = child(up, row - 1);
    while (childCount(at) > 0) at = child(at, childCount(at) - 1);
    return at;
}

TreeItem ContentsTree::firstMatch() const {
    TreeItem at = child(kNoTreeItem, 0);
    while (at != kNoTreeItem && !isMatch(at)) at = nextListed(at);
    return at;
}

TreeItem ContentsTree::lastMatch() const {
    TreeItem at = child(kNoTreeItem, 0);
    if (at == kNoTreeItem) return kNoTreeItem;
    while (childCount(at) > 0) at = child(at, childCount(at) - 1);
    while (at != kNoTreeItem && !isMatch(at)) at = previousListed(at);
    return at;
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
    if (parent == kNoTreeItem) return index_->firstTopic() != nullptr && isListed(1) ? 1 : 0;
    const TopicEntry* entry = index_->topicNumbered(parent);
    if (entry == nullptr) return 0;
    return filtered_ ? static_cast<std::uint32_t>(listedChildren(parent).size()) : entry->childCount;
}

TreeItem ContentsTree::child(TreeItem parent, std::uint32_t row) const {
    if (index_ == nullptr) return kNoTreeItem;
    // The header topic is the only item of the top level.
    if (parent == kNoTreeItem) return row == 0 && index_->firstTopic() != nullptr && isListed(1) ? 1 : kNoTreeItem;
    if (index_->topicNumbered(parent) == nullptr) return kNoTreeItem;
    const std::vector<TreeItem>& children = listedChildren(parent);
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
    const std::vector<TreeItem>& siblings = listedChildren(entry->parent->treeItem());
    return static_cast<std::uint32_t>(std::lower_bound(siblings.begin(), siblings.end(), item) - siblings.begin());
}

std::string_view ContentsTree::title(TreeItem item) const {
    const TopicEntry* entry = index_ != nullptr ? index_->topicNumbered(item) : nullptr;
    return entry != nullptr ? entry->title() : std::string_view();
}

void* ContentsTree::data(TreeItem item) const { return index_ != nullptr ? index_->topicNumbered(item) : nullptr; }

}  // namespace vtome
