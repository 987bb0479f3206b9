#pragma once
// In-memory panes: the contents tree, the topic view (wrapping at a fixed
// column so display-line arithmetic is real), the splitter, the status bar
// and dialog panes.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/headless_dialog.h"
#include "platform/panes.h"

namespace vtome::platform::headless {

class HeadlessPlatform;

// What every headless pane shares: visibility and placement.
template <typename Interface>
class HeadlessPane : public Interface {
public:
    void show() override { visible_ = true; }
    void place(const Rect& rect) override { placement_ = rect; }
    Rect placement() const override { return placement_; }
    bool isShown() const { return visible_; }

private:
    bool visible_ = false;
    Rect placement_;
};

class HeadlessContentsPane : public HeadlessPane<ContentsPane> {
public:
    HeadlessContentsPane(HeadlessPlatform& platform, ContentsTreeEvents& events);

    void setContents(const ContentsSource* source) override;
    void selectItem(TreeItem item) override;
    TreeItem selectedItem() const override { return selected_; }
    void expandItem(TreeItem item) override;
    bool isExpanded(TreeItem item) const override { return expanded_.count(item) > 0; }

    // SidePages::reloadContents, for the pages that hold this tree.
    void reload(bool filtered, TreeItem selected);
    bool isFiltered() const { return filtered_; }

    // --- for tests
    // Every item of the tree, opened or not.
    std::size_t itemCount() const;
    // The titles of the rows a user sees: the open branches, in order, each
    // indented by two blanks per level.
    std::vector<std::string> visibleRows() const;
    std::string title(TreeItem item) const;
    TreeItem parent(TreeItem item) const;
    std::vector<TreeItem> children(TreeItem parent) const;
    void* data(TreeItem item) const;
    // The user clicks an item.
    void click(TreeItem item);

private:
    bool exists(TreeItem item) const;
    // Whether `ancestor` lies on the way from `item` up to the top.
    bool isAncestorOrSelf(TreeItem ancestor, TreeItem item) const;

    HeadlessPlatform& platform_;
    ContentsTreeEvents& events_;
    const ContentsSource* source_ = nullptr;
    std::set<TreeItem> expanded_;
    TreeItem selected_ = kNoTreeItem;
    bool filtered_ = false;
};

// At the standard text size it wraps at kWrapColumn and shows kVisibleLines
// lines; at another size both scale inversely with it, rounded down (24
// pixels: 20 columns and 5 lines; 6 pixels: 80 and 20), as a window of one
// size holds fewer characters of a larger font.
class HeadlessTopicView : public HeadlessPane<TopicTextView> {
public:
    static constexpr std::uint32_t kWrapColumn = 40;
    static constexpr std::uint32_t kVisibleLines = 10;

    void setText(std::string_view text) override;
    void replaceSelection(std::string_view text) override;
    std::string text() const override { return text_; }
    void select(TextRange range) override;
    TextRange selection() const override { return selection_; }
    void scrollCaretIntoView() override;
    std::optional<TextRange> findForward(std::string_view text, std::uint32_t from) const override;
    std::uint32_t lineIndex(std::uint32_t line) const override;
    std::uint32_t firstVisibleLine() const override { return top_; }
    void scroll(ScrollAction action) override;
    void setFirstVisibleLine(std::uint32_t line) override { top_ = std::min(line, lastTop()); }
    void setTextSize(int pixels) override;
    int textSize() const override { return textSize_; }

    void setHighlightText(std::string_view text) override { highlight_ = std::string(text); }
    std::vector<TextRange> highlightsOnScreen() const override;
    HitCount countHits(std::string_view text, std::uint32_t position) const override;
    const std::string& highlightText() const { return highlight_; }

    std::uint32_t wrapColumn() const;
    std::uint32_t visibleLines() const;
    std::uint32_t displayLineCount() const { return static_cast<std::uint32_t>(lineStarts().size()); }
    // The display line holding a character position.
    std::uint32_t lineOf(std::uint32_t position) const;

private:
    // Start positions of the display lines: every line break starts one, and
    // every kWrapColumn characters of a long line start another.
    std::vector<std::uint32_t> lineStarts() const;
    std::uint32_t lastTop() const;

    std::string text_;
    TextRange selection_;
    std::uint32_t top_ = 0;
    std::string highlight_;
    int textSize_ = kStandardTextSize;
};

class HeadlessSplitter : public HeadlessPane<Splitter> {
public:
    explicit HeadlessSplitter(SplitterEvents& events) : events_(events) {}
    void setMouseCapture(bool captured) override { captured_ = captured; }
    bool captured() const { return captured_; }
    SplitterEvents& events() { return events_; }

private:
    SplitterEvents& events_;
    bool captured_ = false;
};

class HeadlessStatusBar : public HeadlessPane<StatusBar> {
public:
    void showText(std::string_view text) override { text_ = std::string(text); }
    std::string text() const override { return text_; }

private:
    std::string text_;
};

class HeadlessDialogPane : public HeadlessPane<DialogPane> {
public:
    HeadlessDialogPane(HeadlessPlatform& platform, const resources::DialogTemplate& layout, DialogEvents& events);
    DialogView& view() override { return dialog_; }
    bool hasFocus() const override;
    HeadlessDialog& dialog() { return dialog_; }

private:
    HeadlessPlatform& platform_;
    HeadlessDialog dialog_;
};

}  // namespace vtome::platform::headless
