#include "platform/headless/headless_panes.h"

#include <algorithm>

#include "platform/headless/headless_platform.h"
#include "platform/highlight_ranges.h"
#include "runtime/text_scan.h"

namespace vtome::platform::headless {

// --- contents tree

HeadlessContentsPane::HeadlessContentsPane(HeadlessPlatform& platform, ContentsTreeEvents& events)
    : platform_(platform), events_(events) {}

bool HeadlessContentsPane::exists(TreeItem item) const {
    if (source_ == nullptr || item == kNoTreeItem) return false;
    // An item exists where its parent lists it.
    const TreeItem up = source_->parentOf(item);
    const std::uint32_t row = source_->rowOf(item);
    return row < source_->childCount(up) && source_->child(up, row) == item;
}

void HeadlessContentsPane::setContents(const ContentsSource* source) {
    source_ = source;
    expanded_.clear();
    selected_ = kNoTreeItem;
    filtered_ = false;
}

bool HeadlessContentsPane::isAncestorOrSelf(TreeItem ancestor, TreeItem item) const {
    for (TreeItem at = item; at != kNoTreeItem; at = source_->parentOf(at)) {
        if (at == ancestor) return true;
    }
    return false;
}

void HeadlessContentsPane::selectItem(TreeItem item) {
    if (item == selected_ || item == kNoTreeItem || source_ == nullptr) return;
    if (!exists(item)) {
        // A topic the filter hides is selected without a row.
        if (filtered_ && source_->data(item) != nullptr) {
            selected_ = item;
            events_.onSelectionChanged(item, source_->data(item));
        }
        return;
    }
    // Single-expand: the branch selected before closes up to the first item
    // it shares with the new selection, and the new item opens. A filtered
    // tree keeps every branch open.
    if (!filtered_ && exists(selected_)) {
        for (TreeItem old = selected_; old != kNoTreeItem && !isAncestorOrSelf(old, item); old = source_->parentOf(old)) {
            expanded_.erase(old);
        }
    }
    // The selected item is made visible, so its branch opens down to it.
    for (TreeItem open = item; open != kNoTreeItem; open = source_->parentOf(open)) expanded_.insert(open);
    selected_ = item;
    events_.onSelectionChanged(item, source_->data(item));
}

void HeadlessContentsPane::expandItem(TreeItem item) {
    if (exists(item)) expanded_.insert(item);
}

void HeadlessContentsPane::reload(bool filtered, TreeItem selected) {
    filtered_ = filtered;
    expanded_.clear();
    if (source_ == nullptr) {
        selected_ = kNoTreeItem;
        return;
    }
    if (filtered) {
        std::vector<TreeItem> open{kNoTreeItem};
        while (!open.empty()) {
            const TreeItem parent = open.back();
            open.pop_back();
            if (parent != kNoTreeItem && source_->childCount(parent) > 0) expanded_.insert(parent);
            for (std::uint32_t row = 0; row < source_->childCount(parent); ++row) open.push_back(source_->child(parent, row));
        }
    } else if (source_->childCount(kNoTreeItem) > 0) {
        expanded_.insert(source_->child(kNoTreeItem, 0));
    }
    selected_ = kNoTreeItem;
    if (selected == kNoTreeItem) return;
    if (exists(selected)) {
        for (TreeItem open = source_->parentOf(selected); open != kNoTreeItem; open = source_->parentOf(open)) {
            expanded_.insert(open);
        }
        selected_ = selected;
    } else if (source_->data(selected) != nullptr) {
        selected_ = selected;
    }
}

std::vector<std::string> HeadlessContentsPane::visibleRows() const {
    std::vector<std::string> rows;
    if (source_ == nullptr) return rows;
    // Depth first, in order: a stack of the rows still to visit.
    std::vector<std::pair<TreeItem, std::size_t>> pending;
    for (std::uint32_t row = source_->childCount(kNoTreeItem); row > 0; --row) {
        pending.push_back({source_->child(kNoTreeItem, row - 1), 0});
    }
    while (!pending.empty()) {
        const auto [item, depth] = pending.back();
        pending.pop_back();
        rows.push_back(std::string(2 * depth, ' ') + std::string(source_->title(item)));
        if (!isExpanded(item)) continue;
        for (std::uint32_t row = source_->childCount(item); row > 0; --row) {
            pending.push_back({source_->child(item, row - 1), depth + 1});
        }
    }
    return rows;
}

std::size_t HeadlessContentsPane::itemCount() const {
    std::size_t count = 0;
    std::vector<TreeItem> open{kNoTreeItem};
    while (!open.empty() && source_ != nullptr) {
        const TreeItem parent = open.back();
        open.pop_back();
        const std::uint32_t n = source_->childCount(parent);
        count += n;
        for (std::uint32_t row = 0; row < n; ++row) open.push_back(source_->child(parent, row));
    }
    return count;
}

std::string HeadlessContentsPane::title(TreeItem item) const {
    return exists(item) ? std::string(source_->title(item)) : std::string();
}

TreeItem HeadlessContentsPane::parent(TreeItem item) const { return exists(item) ? source_->parentOf(item) : kNoTreeItem; }

std::vector<TreeItem> HeadlessContentsPane::children(TreeItem parent) const {
    std::vector<TreeItem> result;
    if (source_ == nullptr || (parent != kNoTreeItem && !exists(parent))) return result;
    for (std::uint32_t row = 0; row < source_->childCount(parent); ++row) result.push_back(source_->child(parent, row));
    return result;
}

void* HeadlessContentsPane::data(TreeItem item) const { return exists(item) ? source_->data(item) : nullptr; }

void HeadlessContentsPane::click(TreeItem item) {
    platform_.guard([&] { selectItem(item); });
}

// --- topic view

std::vector<std::uint32_t> HeadlessTopicView::lineStarts() const {
    std::vector<std::uint32_t> starts{0};
    const std::uint32_t columns = wrapColumn();
    std::uint32_t column = 0;
    for (std::uint32_t pos = 0; pos < text_.size();) {
        if (scan::isLineEnd(text_[pos])) {
            pos = scan::skipLineEnd(text_, pos);
            starts.push_back(pos);
            column = 0;
            continue;
        }
        if (column == columns) {
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
    return lines > visibleLines() ? lines - visibleLines() : 0;
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
    if (caretLine >= top_ + visibleLines()) top_ = caretLine - visibleLines() + 1;
}

std::optional<TextRange> HeadlessTopicView::findForward(std::string_view text, std::uint32_t from) const {
    const std::uint32_t at = scan::findIgnoreCase(text_, from, text);
    if (text.empty() || at == scan::npos) return std::nullopt;
    return TextRange{at, at + static_cast<std::uint32_t>(text.size())};
}

std::vector<TextRange> HeadlessTopicView::highlightsOnScreen() const {
    const std::vector<std::uint32_t> starts = lineStarts();
    const std::uint32_t from = starts[std::min<std::size_t>(top_, starts.size() - 1)];
    const std::size_t past = static_cast<std::size_t>(top_) + kVisibleLines;
    const auto to = past < starts.size() ? starts[past] : static_cast<std::uint32_t>(text_.size());
    return highlightRanges(text_, highlight_, from, to);
}

HitCount HeadlessTopicView::countHits(std::string_view text, std::uint32_t position) const {
    return platform::countHits(text_, text, position);
}

std::uint32_t HeadlessTopicView::lineIndex(std::uint32_t line) const {
    const std::vector<std::uint32_t> starts = lineStarts();
    return line < starts.size() ? starts[line] : kNoPosition;
}

void HeadlessTopicView::scroll(ScrollAction action) {
    switch (action) {
        case ScrollAction::LineDown: top_ = std::min(top_ + 1, lastTop()); break;
        case ScrollAction::LineUp: top_ = top_ > 0 ? top_ - 1 : 0; break;
        case ScrollAction::PageDown: top_ = std::min(top_ + visibleLines(), lastTop()); break;
        case ScrollAction::PageUp: top_ = top_ > visibleLines() ? top_ - visibleLines() : 0; break;
    }
}

std::uint32_t HeadlessTopicView::wrapColumn() const {
    return std::max<std::uint32_t>(1, kWrapColumn * kStandardTextSize / static_cast<std::uint32_t>(textSize_));
}

std::uint32_t HeadlessTopicView::visibleLines() const {
    return std::max<std::uint32_t>(1, kVisibleLines * kStandardTextSize / static_cast<std::uint32_t>(textSize_));
}

void HeadlessTopicView::setTextSize(int pixels) {
    const std::vector<std::uint32_t> before = lineStarts();
    const std::uint32_t topPosition = top_ < before.size() ? before[top_] : 0;
    textSize_ = std::max(1, pixels);
    top_ = std::min(lineOf(topPosition), lastTop());
}

// --- dialog pane

HeadlessDialogPane::HeadlessDialogPane(HeadlessPlatform& platform, const resources::DialogTemplate& layout,
                                       DialogEvents& events)
    : platform_(platform), dialog_(platform, layout, events, false) {}

bool HeadlessDialogPane::hasFocus() const { return platform_.focusedDialog() == &dialog_; }

}  // namespace vtome::platform::headless
