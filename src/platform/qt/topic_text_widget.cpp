#include "platform/qt/topic_text_widget.h"

#include "platform/qt/topic_text_accessible.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "platform/highlight_ranges.h"
#include "platform/qt/highlight_colour.h"

namespace vtome::platform::qt {

namespace {

int widthAt(char32_t code, int column) {
    return code == U'\t' ? kTabColumns - column % kTabColumns : columnsOf(code);
}

// What a double click takes as one word.
bool isWordCharacter(char32_t c) {
    return c >= 0x80 || c == U'_' || (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

}  // namespace

TopicTextWidget::TopicTextWidget(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::StyledPanel);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::ClickFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    measureFont();
    lines_.wrap(text_, fittingColumns());
    updateScrollRange();
}

void TopicTextWidget::measureFont() {
    const QFontMetricsF metrics(font());
    columnWidth_ = std::max<qreal>(1, metrics.horizontalAdvance(QLatin1Char('M')));
    lineHeight_ = std::max(1, static_cast<int>(std::ceil(metrics.lineSpacing())));
    ascent_ = static_cast<int>(std::ceil(metrics.ascent()));
}

int TopicTextWidget::fittingColumns() const {
    return static_cast<int>((viewport()->width() - kLeftMargin) / columnWidth_);
}

int TopicTextWidget::pageLines() const { return std::max(1, viewport()->height() / lineHeight_); }

std::uint32_t TopicTextWidget::topLine() const { return static_cast<std::uint32_t>(verticalScrollBar()->value()); }

void TopicTextWidget::updateScrollRange() {
    QScrollBar* bar = verticalScrollBar();
    const int page = pageLines();
    bar->setRange(0, std::max(0, static_cast<int>(lines_.count()) - page));
    bar->setPageStep(page);
    bar->setSingleStep(1);
}

void TopicTextWidget::rewrap() {
    const std::uint32_t topLine = this->topLine();
    const std::uint32_t topPosition = topLine < lines_.count() ? lines_.start(topLine) : 0;
    lines_.wrap(text_, fittingColumns());
    updateScrollRange();
    verticalScrollBar()->setValue(static_cast<int>(lines_.lineOf(topPosition)));
    viewport()->update();
}

void TopicTextWidget::setTopLine(std::uint32_t line) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(static_cast<int>(std::min(line, static_cast<std::uint32_t>(bar->maximum()))));
    if (!drawn_) pendingTopLine_ = line;
}

void TopicTextWidget::setShownText(std::string text) {
    text_ = std::move(text);
    ++revision_;
    pendingTopLine_.reset();
    anchor_ = caret_ = 0;
    lines_.wrap(text_, fittingColumns());
    updateScrollRange();
    verticalScrollBar()->setValue(0);
    viewport()->update();
    TopicTextAccessible::textChanged(this);
}

void TopicTextWidget::replaceText(std::string text, std::uint32_t caret) {
    text_ = std::move(text);
    ++revision_;
    anchor_ = caret_ = std::min(caret, static_cast<std::uint32_t>(text_.size()));
    rewrap();
    TopicTextAccessible::textChanged(this);
}

void TopicTextWidget::setSelection(std::uint32_t anchor, std::uint32_t caret) {
    const auto size = static_cast<std::uint32_t>(text_.size());
    anchor_ = std::min(anchor, size);
    caret_ = std::min(caret, size);
    viewport()->update();
    TopicTextAccessible::caretMoved(this);
}

void TopicTextWidget::ensureCaretVisible() {
    const auto line = static_cast<int>(lines_.lineOf(caret_));
    QScrollBar* bar = verticalScrollBar();
    if (line < bar->value()) {
        bar->setValue(line);
    } else if (line >= bar->value() + pageLines()) {
        bar->setValue(line - pageLines() + 1);
    }
}

int TopicTextWidget::columnOf(std::uint32_t line, std::uint32_t position) const {
    int column = 0;
    for (std::uint32_t at = lines_.start(line); at < position && at < lines_.end(line);) {
        const Decoded c = decodeAt(text_, at);
        column += widthAt(c.code, column);
        at = c.next;
    }
    return column;
}

std::uint32_t TopicTextWidget::positionAt(QPoint point) const {
    const std::uint32_t last = lines_.count() - 1;
    const int row = point.y() < 0 ? -1 : point.y() / lineHeight_;
    const std::uint32_t line = static_cast<std::uint32_t>(
        std::clamp<long long>(static_cast<long long>(topLine()) + row, 0, static_cast<long long>(last)));
    const qreal wanted = (point.x() - kLeftMargin) / columnWidth_;
    int column = 0;
    const std::uint32_t end = lines_.end(line);
    for (std::uint32_t at = lines_.start(line); at < end;) {
        const Decoded c = decodeAt(text_, at);
        const int width = widthAt(c.code, column);
        if (wanted < column + width / 2.0) return at;
        column += width;
        at = c.next;
    }
    return end;
}

QRect TopicTextWidget::caretRect() const {
    QRect rect = positionRect(caret_);
    rect.setWidth(1);
    return rect;
}

QRect TopicTextWidget::positionRect(std::uint32_t position) const {
    const std::uint32_t line = lines_.lineOf(position);
    const int y = (static_cast<int>(line) - static_cast<int>(topLine())) * lineHeight_;
    const int x = kLeftMargin + static_cast<int>(columnOf(line, position) * columnWidth_);
    return {x, y, std::max(1, static_cast<int>(columnWidth_)), lineHeight_};
}

QString TopicTextWidget::selectedText() const {
    const std::uint32_t from = std::min(anchor_, caret_);
    const std::uint32_t to = std::max(anchor_, caret_);
    return QString::fromUtf8(text_.data() + from, static_cast<qsizetype>(to - from));
}

void TopicTextWidget::copySelection() const {
    if (anchor_ != caret_) QGuiApplication::clipboard()->setText(selectedText());
}

void TopicTextWidget::setHighlight(std::string text) {
    if (text == highlight_) return;
    highlight_ = std::move(text);
    viewport()->update();
}

std::uint32_t TopicTextWidget::linesOnScreen() const {
    return static_cast<std::uint32_t>(viewport()->height() / lineHeight_) + 1;
}

std::vector<TextRange> TopicTextWidget::highlightsOnScreen() const {
    const std::uint32_t first = topLine();
    if (highlight_.empty() || first >= lines_.count()) return {};
    const std::uint32_t last = std::min(lines_.count() - 1, first + linesOnScreen());
    return highlightRanges(text_, highlight_, lines_.start(first), lines_.end(last) + 1);
}

void TopicTextWidget::paintEvent(QPaintEvent*) {
    drawn_ = true;
    pendingTopLine_.reset();
    QPainter painter(viewport());
    painter.setFont(font());
    const std::uint32_t from = std::min(anchor_, caret_);
    const std::uint32_t to = std::max(anchor_, caret_);
    const std::uint32_t first = topLine();
    const std::uint32_t shown = linesOnScreen();
    const std::vector<TextRange> marks = highlightsOnScreen();
    std::size_t mark = 0;
    for (std::uint32_t line = first; line < lines_.count() && line - first <= shown; ++line) {
        drawLine(painter, line, static_cast<int>(line - first) * lineHeight_, from, to, marks, mark);
    }
}

void TopicTextWidget::drawLine(QPainter& painter, std::uint32_t line, int y, std::uint32_t selectionStart,
                               std::uint32_t selectionEnd, const std::vector<TextRange>& marks,
                               std::size_t& mark) const {
    // A search match stays visibly selected while the focus is elsewhere.
    const QColor text = palette().color(QPalette::Text);
    const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);
    const QColor highlighted = palette().color(QPalette::Active, QPalette::HighlightedText);
    const QColor hit = marks.empty() ? QColor() : hitHighlightColour(palette());
    const int baseline = y + ascent_;

    QString run;
    int runColumn = 0;
    bool runSelected = false;
    auto flush = [&] {
        if (run.isEmpty()) return;
        painter.setPen(runSelected ? highlighted : text);
        painter.drawText(QPointF(kLeftMargin + runColumn * columnWidth_, baseline), run);
        run.clear();
    };

    int column = 0;
    const std::uint32_t end = lines_.end(line);
    for (std::uint32_t at = lines_.start(line); at < end;) {
        const Decoded c = decodeAt(text_, at);
        const int width = widthAt(c.code, column);
        const bool selected = at >= selectionStart && at < selectionEnd;
        while (mark < marks.size() && marks[mark].end <= at) ++mark;
        const bool marked = mark < marks.size() && marks[mark].start <= at;
        if ((selected || marked) && width > 0) {
            // The selection (the current hit) is drawn over the other hits.
            painter.fillRect(QRectF(kLeftMargin + column * columnWidth_, y, width * columnWidth_, lineHeight_),
                             selected ? highlight : hit);
        }
        if (width == 0) {
            // A combining mark belongs to the character drawn before it.
            if (c.code >= 0x20 && c.code != 0x7F) run.append(QString::fromUcs4(&c.code, 1));
        } else if (c.code == U'\t' || width > 1) {
            flush();
            if (width > 1) {
                // A wide character is placed alone, so that nothing after it
                // depends on how wide its face draws it.
                runColumn = column;
                runSelected = selected;
                run.append(QString::fromUcs4(&c.code, 1));
                flush();
            }
        } else {
            if (selected != runSelected) {
                flush();
                runSelected = selected;
            }
            if (run.isEmpty()) runColumn = column;
            run.append(QString::fromUcs4(&c.code, 1));
        }
        column += width;
        at = c.next;
    }
    flush();
    // A selection that goes on past the line's end shows its line break.
    if (end < text_.size() && end >= selectionStart && end < selectionEnd) {
        painter.fillRect(QRectF(kLeftMargin + column * columnWidth_, y, columnWidth_, lineHeight_), highlight);
    }
}

void TopicTextWidget::scrollContentsBy(int, int) {
    // The scroll bar counts display lines, not pixels: draw the lines anew.
    viewport()->update();
}

void TopicTextWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (fittingColumns() != lines_.columns()) {
        rewrap();
    } else {
        updateScrollRange();
    }
    if (pendingTopLine_) setTopLine(*pendingTopLine_);
}

void TopicTextWidget::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        measureFont();
        rewrap();
    }
}

void TopicTextWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const std::uint32_t at = positionAt(event->position().toPoint());
    setSelection(event->modifiers() & Qt::ShiftModifier ? anchor_ : at, at);
}

void TopicTextWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint point = event->position().toPoint();
    // Dragging past the top or the bottom scrolls on.
    if (point.y() < 0) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    if (point.y() >= viewport()->height()) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    setSelection(anchor_, positionAt(point));
    if (anchor_ != caret_ && QGuiApplication::clipboard()->supportsSelection()) {
        QGuiApplication::clipboard()->setText(selectedText(), QClipboard::Selection);
    }
}

void TopicTextWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) selectWordAt(positionAt(event->position().toPoint()));
}

void TopicTextWidget::selectWordAt(std::uint32_t position) {
    const auto size = static_cast<std::uint32_t>(text_.size());
    std::uint32_t from = std::min(position, size);
    std::uint32_t to = from;
    while (from > 0) {
        std::uint32_t previous = from - 1;
        while (previous > 0 && (static_cast<unsigned char>(text_[previous]) & 0xC0) == 0x80) --previous;
        if (!isWordCharacter(decodeAt(text_, previous).code)) break;
        from = previous;
    }
    while (to < size && isWordCharacter(decodeAt(text_, to).code)) to = decodeAt(text_, to).next;
    setSelection(from, to);
}

void TopicTextWidget::moveCaret(int key) {
    const auto size = static_cast<std::uint32_t>(text_.size());
    const std::uint32_t line = lines_.lineOf(caret_);
    std::uint32_t to = caret_;
    switch (key) {
        case Qt::Key_Left:
            if (to > 0) --to;
            while (to > 0 && (static_cast<unsigned char>(text_[to]) & 0xC0) == 0x80) --to;
            break;
        case Qt::Key_Right:
            if (to < size) to = decodeAt(text_, to).next;
            break;
        case Qt::Key_Home: to = lines_.start(line); break;
        case Qt::Key_End: to = lines_.end(line); break;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const bool up = key == Qt::Key_Up;
            if ((up && line == 0) || (!up && line + 1 >= lines_.count())) break;
            // The same column on the line above or below.
            const QRect caret = caretRect();
            to = positionAt(QPoint(caret.x(), caret.center().y() + (up ? -lineHeight_ : lineHeight_)));
            break;
        }
        default: return;
    }
    setSelection(anchor_, to);
    ensureCaretVisible();
}

void TopicTextWidget::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool caretKey = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down ||
                          key == Qt::Key_Home || key == Qt::Key_End;
    if (caretKey && event->modifiers() == Qt::ShiftModifier) {
        // Shift with the arrows, Home and End selects; without Shift those
        // keys belong to the main window and scroll or navigate.
        moveCaret(key);
    } else if (event->matches(QKeySequence::Copy)) {
        copySelection();
    } else if (event->matches(QKeySequence::SelectAll)) {
        setSelection(0, static_cast<std::uint32_t>(text_.size()));
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void TopicTextWidget::wheelEvent(QWheelEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier || !wheelHandler_) {
        wheelRest_ = 0;
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    constexpr int kNotch = 120;
    wheelRest_ += event->angleDelta().y();
    const int notches = wheelRest_ / kNotch;
    wheelRest_ -= notches * kNotch;
    if (notches == 0 || wheelHandler_(notches, modifiers)) {
        event->accept();
    } else {
        QAbstractScrollArea::wheelEvent(event);
    }
}

void TopicTextWidget::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QApplication::translate("TopicTextWidget", "&Copy"), [this] { copySelection(); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(anchor_ != caret_);
    QAction* all = menu.addAction(QApplication::translate("TopicTextWidget", "Select &All"),
                                  [this] { setSelection(0, static_cast<std::uint32_t>(text_.size())); });
    all->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

}  // namespace vtome::platform::qt
