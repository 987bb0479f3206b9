#pragma once
// The panes of the main window: the contents tree, the topic text view, the
// splitter, the status bar and the modeless dialog panes (navigation bar).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog.h"
#include "platform/geometry.h"

namespace vtome::platform {

// Every child window of the main window can be shown and placed.
class Pane {
public:
    virtual ~Pane() = default;
    virtual void show() = 0;
    // Client coordinates of the main window.
    virtual void place(const Rect& rect) = 0;
    virtual Rect placement() const = 0;
};

// A tree item; 0 is none (the root when used as a parent).
using TreeItem = std::uint32_t;
constexpr TreeItem kNoTreeItem = 0;

class ContentsTreeEvents {
public:
    virtual ~ContentsTreeEvents() = default;
    // The selection moved to `item`, by the user or by selectItem. Called
    // synchronously, before the call that caused it returns.
    virtual void onSelectionChanged(TreeItem item, void* data) = 0;
};

// What the contents tree shows. The pane reads it as it draws: only the
// items of the branches on screen are ever asked for, so a tree of a million
// items costs no more to show than a small one. Items are numbered from 1.
class ContentsSource {
public:
    virtual ~ContentsSource() = default;
    // The items under `parent` (kNoTreeItem: the top level), in order.
    virtual std::uint32_t childCount(TreeItem parent) const = 0;
    virtual TreeItem child(TreeItem parent, std::uint32_t row) const = 0;
    // kNoTreeItem for an item of the top level.
    virtual TreeItem parentOf(TreeItem item) const = 0;
    // Its place among its parent's children.
    virtual std::uint32_t rowOf(TreeItem item) const = 0;
    virtual std::string_view title(TreeItem item) const = 0;
    // What the selection change reports with the item.
    virtual void* data(TreeItem item) const = 0;
};

// The "Contents" pane: a tree where selecting an item expands it and
// collapses the branch selected before.
class ContentsPane : public Pane {
public:
    // Shows the items of `source`, all branches closed, nothing selected;
    // none empties the tree. The source must outlive its use here.
    virtual void setContents(const ContentsSource* source) = 0;
    // Selects the item; when the selection changes, onSelectionChanged runs
    // before this returns. Selecting the selected item does nothing.
    virtual void selectItem(TreeItem item) = 0;
    virtual TreeItem selectedItem() const = 0;
    virtual void expandItem(TreeItem item) = 0;
    virtual bool isExpanded(TreeItem item) const = 0;
};

enum class ScrollAction { LineDown, LineUp, PageDown, PageUp };

struct TextRange {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    bool operator==(const TextRange&) const = default;
};

// The occurrences of a text in the topic view, stepped through from its
// start as findForward finds them one after another.
struct HitCount {
    std::uint32_t total = 0;
    std::uint32_t before = 0;  // of those, the ones starting before a position
};

// The read-only topic text view. Positions are character positions in the
// shown text; line numbers are display lines after wrapping, 0 first.
class TopicTextView : public Pane {
public:
    static constexpr std::uint32_t kNoPosition = 0xFFFFFFFFu;

    // Replaces the whole text (bytes shown as UTF-8 where valid).
    virtual void setText(std::string_view text) = 0;
    virtual void replaceSelection(std::string_view text) = 0;
    virtual std::string text() const = 0;
    virtual void select(TextRange range) = 0;
    virtual TextRange selection() const = 0;
    virtual void scrollCaretIntoView() = 0;
    // The first match at or after `from`, ignoring letter case, not
    // whole-word; none when there is none.
    virtual std::optional<TextRange> findForward(std::string_view text, std::uint32_t from) const = 0;
    // Position of the first character of a display line, or kNoPosition.
    virtual std::uint32_t lineIndex(std::uint32_t line) const = 0;
    virtual std::uint32_t firstVisibleLine() const = 0;
    // Scrolls the visible part only; the caret and the selection stay.
    virtual void scroll(ScrollAction action) = 0;

    // Highlights every occurrence of `text`, as findForward finds them one
    // after another; an empty text highlights nothing. The highlights are
    // found for the lines on screen as they are drawn, so a topic of any
    // size costs only what is shown. The text stays when the view's text is
    // replaced. The selection is drawn over them.
    virtual void setHighlightText(std::string_view text) = 0;
    // The highlighted ranges of the display lines on screen, in order.
    virtual std::vector<TextRange> highlightsOnScreen() const = 0;
    // How often `text` occurs (as the highlights and findForward find it),
    // and how many of those start before `position`: one pass over the text.
    virtual HitCount countHits(std::string_view text, std::uint32_t position) const = 0;

    // Scrolls so that the display line is the first visible one, or as near
    // the top as the end of the text allows; the caret stays.
    virtual void setFirstVisibleLine(std::uint32_t line) = 0;
    // The text's font size in pixels (kStandardTextSize at first); the font
    // stays fixed-pitch. The text wraps anew, and the line that was at the
    // top keeps its text on top.
    virtual void setTextSize(int pixels) = 0;
    virtual int textSize() const = 0;

    static constexpr int kStandardTextSize = 12;
};

class SplitterEvents {
public:
    virtual ~SplitterEvents() = default;
    virtual void onMouseMove() = 0;
    virtual void onButtonDown() = 0;
    virtual void onButtonUp() = 0;
};

// The thin bar between the contents and the text. The platform captures the
// mouse while the application asks it to.
class Splitter : public Pane {
public:
    virtual void setMouseCapture(bool captured) = 0;
};

class StatusBar : public Pane {
public:
    // A short plain message; an empty text clears it.
    virtual void showText(std::string_view text) = 0;
    virtual std::string text() const = 0;
};

// A modeless dialog pane (the navigation bar).
class DialogPane : public Pane {
public:
    virtual DialogView& view() = 0;
    // Whether the keyboard focus is on one of its controls.
    virtual bool hasFocus() const = 0;
};

}  // namespace vtome::platform
