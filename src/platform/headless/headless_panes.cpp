#include "platform/headless/headless_panes.h"

#include <algorithm>

#include "platform/headless/headless_platform.h"
#include "runtime/text_scan.h"

namespace vtome::platform::headless {

// --- contents tree

HeadlessContentsPane::HeadlessContentsPane(HeadlessPlatform& platform, ContentsTreeEvents& events)
    : platform_(platform), events_(events) {}

const HeadlessContentsPane::Item* HeadlessContentsPane::find(TreeItem item) const {
    if (item == kNoTreeItem || item > items_.size() || !items_[item - 1].alive) return nullptr;
    return &items_[item - 1];
}

void HeadlessContentsPane::clear() {
    // Handles are never reused, so a stale one can never name a new item.
    for (Item& item : items_) item.alive = false;
    selected_ = kNoTreeItem;
}

TreeItem HeadlessContentsPane::insertItem(TreeItem parent, std::string_view title, void* data) {
    items_.push_back(Item{find(parent) ? parent : kNoTreeItem, std::string(title), data, false, true});
    return static_cast<TreeItem>(items_.size());
}

bool HeadlessContentsPane::isAncestor(TreeItem ancestor, TreeItem item) const {
    for (const Item* i = find(item); i != nullptr; i = find(i->parent)) {
        if (i->parent == ancestor) return true;
    }
    return false;
}

void HeadlessContentsPane::selectItem(TreeItem item) {
    if (find(item) == nullptr || item == selected_) return;
    // Single-expand: the branch selected before closes unless it leads to
    // the new selection, and the new item opens.
    for (TreeItem old = selected_; find(old) != nullptr && old != item && !isAncestor(old, item);
         old = find(old)->parent) {
        items_[old - 1].expanded = false;
    }
    // The selected item is made visible, so its branch opens down to it.
    for (TreeItem open = item; find(open) != nullptr; open = find(open)->parent) items_[open - 1].expanded = true;
    selected_ = item;
    events_.onSelectionChanged(item, items_[item - 1].data);
}

void HeadlessContentsPane::expandItem(TreeItem item) {
    if (find(item) != nullptr) items_[item - 1].expanded = true;
}

bool HeadlessContentsPane::isExpanded(TreeItem item) const {
    const Item* i = find(item);
    return i != nullptr && i->expanded;
}

std::size_t HeadlessContentsPane::itemCount() const {
    return static_cast<std::size_t>(std::count_if(items_.begin(), items_.end(), [](const Item& i) { return i.alive; }));
}

std::string HeadlessContentsPane::title(TreeItem item) const {
    const Item* i = find(item);
    return i ? i->title : std::string();
}

TreeItem HeadlessContentsPane::parent(TreeItem item) const {
    const Item* i = find(item);
    return i ? i->parent : kNoTreeItem;
}

std::vector<TreeItem> HeadlessContentsPane::children(TreeItem parent) const {
    std::vector<TreeItem> result;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].alive && items_[i].parent == parent) result.push_back(static_cast<TreeItem>(i + 1));
    }
    return result;
}

void* HeadlessContentsPane::data(TreeItem item) const {
    const Item* i = find(item);
    return i ? i->data : nullptr;
}

void HeadlessContentsPane::click(TreeItem item) {
    platform_.guard([&] { selectItem(item); });
}

// --- topic view

std::vector<std::uint32_t> HeadlessTopicView::lineStarts() const {
    std::vector<std::uint32_t> starts{0};
    std::uint32_t column = 0;
    for (std::uint32_t pos = 0; pos < text_.size();) {
        if (scan::isLineEnd(text_[pos])) {
            pos = scan::skipLineEnd(text_, pos);
            starts.push_back(pos);
            column = 0;
            continue;
        }
        if (column == kWrapColumn) {
            starts.push_back(pos);
            column = 0;
        }
        ++column;
        ++pos;
    }
    return starts;
}

std::uint32_t HeadlessTopicView::lineOf(std::uint32_t position) const {
    const std::vector<std::uint32_t> starts = lineStarts();
    const auto after = std::upper_bound(starts.begin(), starts.end(), position);
    return static_cast<std::uint32_t>(after - starts.begin()) - 1;
}

std::uint32_t HeadlessTopicView::lastTop() const {
    const std::uint32_t lines = displayLineCount();
    return lines > kVisibleLines ? lines - kVisibleLines : 0;
}

void HeadlessTopicView::setText(std::string_view text) {
    text_ = std::string(text);
    selection_ = {0, 0};
    top_ = 0;
}

void HeadlessTopicView::replaceSelection(std::string_view text) {
    text_.replace(selection_.start, selection_.end - selection_.start, text);
    const auto caret = selection_.start + static_cast<std::uint32_t>(text.size());
    selection_ = {caret, caret};
}

void HeadlessTopicView::select(TextRange range) {
    const auto length = static_cast<std::uint32_t>(text_.size());
    range.start = std::min(range.start, length);
    range.end = std::min(range.end, length);
    selection_ = range;
}

void HeadlessTopicView::scrollCaretIntoView() {
    const std::uint32_t caretLine = lineOf(selection_.end);
    if (caretLine < top_) top_ = caretLine;
    if (caretLine >= top_ + kVisibleLines) top_ = caretLine - kVisibleLines + 1;
}

std::optional<TextRange> HeadlessTopicView::findForward(std::string_view text, std::uint32_t from) const {
    const std::uint32_t at = scan::findIgnoreCase(text_, from, text);
    if (text.empty() || at == scan::npos) return std::nullopt;
    return TextRange{at, at + static_cast<std::uint32_t>(text.size())};
}

std::uint32_t HeadlessTopicView::lineIndex(std::uint32_t line) const {
    const std::vector<std::uint32_t> starts = lineStarts();
    return line < starts.size() ? starts[line] : kNoPosition;
}

void HeadlessTopicView::scroll(ScrollAction action) {
    switch (action) {
        case ScrollAction::LineDown: top_ = std::min(top_ + 1, lastTop()); break;
        case ScrollAction::LineUp: top_ = top_ > 0 ? top_ - 1 : 0; break;
        case ScrollAction::PageDown: top_ = std::min(top_ + kVisibleLines, lastTop()); break;
        case ScrollAction::PageUp: top_ = top_ > kVisibleLines ? top_ - kVisibleLines : 0; break;
    }
}

// --- dialog pane

HeadlessDialogPane::HeadlessDialogPane(HeadlessPlatform& platform, const resources::DialogTemplate& layout,
                                       DialogEvents& events)
    : platform_(platform), dialog_(platform, layout, events, false) {}

bool HeadlessDialogPane::hasFocus() const { return platform_.focusedDialog() == &dialog_; }

}  // namespace vtome::platform::headless
