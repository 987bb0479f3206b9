#include "viewer/contents_filter.h"

namespace vtome {

using platform::kNoTreeItem;
using platform::TreeItem;

namespace vk = platform::vk;

void ContentsFilter::onFilterChanged() {
    if (pages_) apply(pages_->filterText());
}

void ContentsFilter::apply(const std::string& text) {
    ContentsTree& tree = viewer_.contentsTree();
    platform::ContentsPane* pane = viewer_.panes().contents;
    if (pane == nullptr || text == tree.filterText()) return;
    const std::uint32_t matches = tree.setFilter(text);
    pages_->reloadContents(tree.isFiltered(), pane->selectedItem());
    if (!tree.isFiltered()) {
        feedback_.clearStatus();
    } else if (matches == 0) {
        feedback_.showStatus("No title contains \"" + text + "\"");
    } else {
        feedback_.showStatus(std::to_string(matches) + (matches == 1 ? " title contains \"" : " titles contain \"") +
                             text + "\"");
    }
}

void ContentsFilter::onFilterKey(std::uint32_t key) {
    if (pages_ == nullptr) return;
    ContentsTree& tree = viewer_.contentsTree();
    platform::ContentsPane* pane = viewer_.panes().contents;
    const TreeItem selected = pane != nullptr ? pane->selectedItem() : kNoTreeItem;
    const bool selectedListed = tree.isListed(selected);
    switch (key) {
        case vk::kEscape:
            clear();
            if (viewer_.panes().mainWindow) viewer_.panes().mainWindow->focus();
            break;
        case vk::kReturn:
            // A row listed only because a match hangs under it is not
            // what the text asked for: the first match is.
            if (!tree.isMatch(selected) && tree.firstMatch() != kNoTreeItem) {
                viewer_.selectTopic(static_cast<TopicEntry*>(tree.data(tree.firstMatch())));
            }
            if (viewer_.panes().mainWindow) viewer_.panes().mainWindow->focus();
            break;
        case vk::kDown:
            showItem(selectedListed ? tree.nextListed(selected) : tree.firstMatch());
            break;
        case vk::kUp:
            showItem(selectedListed ? tree.previousListed(selected) : tree.lastMatch());
            break;
        default: break;
    }
}

void ContentsFilter::showItem(TreeItem item) {
    if (item != kNoTreeItem) viewer_.selectTopic(static_cast<TopicEntry*>(viewer_.contentsTree().data(item)));
    pages_->focusFilter(false);
}

void ContentsFilter::focusFilter() {
    if (pages_ == nullptr) return;
    pages_->showPage(platform::SidePage::Contents);
    pages_->focusFilter(true);
}

void ContentsFilter::clear() {
    if (pages_ == nullptr) return;
    pages_->setFilterText({});
    apply({});
}

void ContentsFilter::onIndexReplaced() {
    // The tree was reset with the index: only the field still holds the text.
    if (pages_) pages_->setFilterText({});
}

}  // namespace vtome
