#pragma once
// The widget that shows a topic: read-only text in a fixed-pitch font,
// wrapped at the view's width, with a caret and a selection the user can
// make with the mouse and copy.
//
// It is built for topics of any size. The text is held once, as UTF-8 with
// '\n' line ends; positions are byte offsets into it. Wrapping is one pass
// over the text (WrappedLines), and only the lines on screen are ever
// decoded and drawn, so a topic of tens of megabytes shows at once and
// scrolls as fast as a short one. All colours come from the palette. The
// search text's occurrences are highlighted by the same rule: found for the
// lines on screen as they are drawn, never for the whole text.

#include <QAbstractScrollArea>
#include <QFont>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/panes.h"
#include "platform/qt/wrapped_lines.h"

namespace vtome::platform::qt {

class TopicTextWidget final : public QAbstractScrollArea {
public:
    explicit TopicTextWidget(QWidget* parent);

    // The shown text (UTF-8, '\n' line ends).
    const std::string& text() const { return text_; }
    QString toPlainText() const { return QString::fromUtf8(text_.data(), static_cast<qsizetype>(text_.size())); }
    void setShownText(std::string text);
    // A new text with the caret at `caret`, nothing selected; the line at
    // the top stays on top.
    void replaceText(std::string text, std::uint32_t caret);

    // The selection runs from the anchor to the caret.
    std::uint32_t anchor() const { return anchor_; }
    std::uint32_t caret() const { return caret_; }
    void setSelection(std::uint32_t anchor, std::uint32_t caret);
    // Scrolls as little as needed to bring the caret's line into view.
    void ensureCaretVisible();

    // Every occurrence of `text` (in the shown form) is highlighted where
    // it is drawn; empty: none.
    void setHighlight(std::string text);
    const std::string& highlight() const { return highlight_; }
    // The highlighted ranges of the lines on screen, as they are drawn.
    std::vector<TextRange> highlightsOnScreen() const;

    const WrappedLines& lines() const { return lines_; }
    std::uint32_t topLine() const;
    // Scrolls so that display line `line` is on top, as far as the scroll
    // bar goes. Asked before the view is first drawn (a place restored at
    // start-up), the line is taken again once the view has its final width,
    // since display lines are counted at the width they are shown at.
    void setTopLine(std::uint32_t line);
    // Lines wholly on screen: what a page scroll moves.
    int pageLines() const;

    // The position nearest a point of the viewport, and where the caret is drawn.
    std::uint32_t positionAt(QPoint point) const;
    QRect caretRect() const;
    // Where the character at a position is drawn, one column wide.
    QRect positionRect(std::uint32_t position) const;
    // Counts every change of the text, for those that keep copies of it.
    std::uint64_t revision() const { return revision_; }
    QString selectedText() const;
    void copySelection() const;

    // What a turn of the wheel held with a modifier does, by whole notches
    // (positive away from the user): the text size, say. A turn without
    // modifiers scrolls; one the handler declines (false) scrolls too.
    void setWheelHandler(std::function<bool(int notches, Qt::KeyboardModifiers modifiers)> handler) {
        wheelHandler_ = std::move(handler);
    }

    static constexpr int kLeftMargin = 8;

protected:
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Wraps for the current width and font, keeping the top line's text on top.
    void rewrap();
    void updateScrollRange();
    // Columns that fit the viewport, and the pixel metrics of a column and a line.
    int fittingColumns() const;
    qreal columnWidth() const { return columnWidth_; }
    int lineHeight() const { return lineHeight_; }
    // The column where a position of a display line is drawn.
    int columnOf(std::uint32_t line, std::uint32_t position) const;
    // The display lines on screen, the last one perhaps in part.
    std::uint32_t linesOnScreen() const;
    // `marks` are the highlights of the lines on screen; `mark` the first
    // of them that may still reach this line.
    void drawLine(QPainter& painter, std::uint32_t line, int y, std::uint32_t selectionStart,
                  std::uint32_t selectionEnd, const std::vector<TextRange>& marks, std::size_t& mark) const;
    void selectWordAt(std::uint32_t position);
    // Moves the caret for an arrow, Home or End key, keeping the anchor.
    void moveCaret(int key);
    void measureFont();

    std::string text_;
    std::uint64_t revision_ = 0;
    std::string highlight_;
    WrappedLines lines_;
    std::uint32_t anchor_ = 0;
    std::uint32_t caret_ = 0;
    qreal columnWidth_ = 7;
    int lineHeight_ = 14;
    int ascent_ = 11;
    std::function<bool(int, Qt::KeyboardModifiers)> wheelHandler_;
    // Eighths of a degree turned with a modifier and not yet a whole notch
    // (touchpads turn in small steps).
    int wheelRest_ = 0;
    // The top line asked for before the first drawing, and whether that
    // has happened.
    std::optional<std::uint32_t> pendingTopLine_;
    bool drawn_ = false;
};

}  // namespace vtome::platform::qt
