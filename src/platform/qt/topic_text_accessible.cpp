#include "platform/qt/topic_text_accessible.h"

#include <QAccessible>

#include <algorithm>

#include "platform/qt/topic_text_widget.h"

namespace vtome::platform::qt {

namespace {

constexpr int kMarkEvery = 1024;

// UTF-16 units of the UTF-8 character at `at`, and the position after it.
std::pair<int, std::uint32_t> unitsAt(const std::string& text, std::uint32_t at) {
    const Decoded c = decodeAt(text, at);
    return {c.code >= 0x10000 ? 2 : 1, c.next};
}

bool isWordCharacter(QChar c) { return c.isLetterOrNumber() || c == u'_' || c.isMark(); }

}  // namespace

TopicTextAccessible::TopicTextAccessible(TopicTextWidget* widget)
    : QAccessibleWidget(widget, QAccessible::EditableText) {}

void TopicTextAccessible::install() {
    QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
        if (auto* widget = dynamic_cast<TopicTextWidget*>(object)) return new TopicTextAccessible(widget);
        return nullptr;
    });
}

TopicTextWidget* TopicTextAccessible::view() const { return static_cast<TopicTextWidget*>(widget()); }

void TopicTextAccessible::textChanged(TopicTextWidget* widget) {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent event(widget, QAccessible::VisibleDataChanged);
    QAccessible::updateAccessibility(&event);
    caretMoved(widget);
}

void TopicTextAccessible::caretMoved(TopicTextWidget* widget) {
    if (!QAccessible::isActive()) return;
    auto* self = dynamic_cast<TopicTextAccessible*>(QAccessible::queryAccessibleInterface(widget));
    if (self == nullptr) return;
    QAccessibleTextCursorEvent event(widget, self->offsetOf(widget->caret()));
    QAccessible::updateAccessibility(&event);
}

void* TopicTextAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State TopicTextAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString TopicTextAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Name) return QAccessibleWidget::text(kind).isEmpty() ? QStringLiteral("Topic text")
                                                                                   : QAccessibleWidget::text(kind);
    return QAccessibleWidget::text(kind);
}

void TopicTextAccessible::refresh() const {
    const std::string& text = view()->text();
    if (seenRevision_ == view()->revision() && seenData_ == text.data() && seenSize_ == text.size()) return;
    seenRevision_ = view()->revision();
    seenData_ = text.data();
    seenSize_ = text.size();
    text_ = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    marks_.clear();
    int offset = 0;
    int characters = 0;
    for (std::uint32_t at = 0; at < text.size(); ++characters) {
        if (characters % kMarkEvery == 0) marks_.push_back({at, offset});
        const auto [units, next] = unitsAt(text, at);
        offset += units;
        at = next;
    }
    if (marks_.empty()) marks_.push_back({0, 0});
}

int TopicTextAccessible::offsetOf(std::uint32_t position) const {
    refresh();
    const std::string& text = view()->text();
    auto mark = std::upper_bound(marks_.begin(), marks_.end(), position,
                                 [](std::uint32_t p, const Mark& m) { return p < m.position; });
    --mark;
    int offset = mark->offset;
    for (std::uint32_t at = mark->position; at < position && at < text.size();) {
        const auto [units, next] = unitsAt(text, at);
        offset += units;
        at = next;
    }
    return offset;
}

std::uint32_t TopicTextAccessible::positionOf(int offset) const {
    refresh();
    const std::string& text = view()->text();
    auto mark = std::upper_bound(marks_.begin(), marks_.end(), offset, [](int o, const Mark& m) { return o < m.offset; });
    --mark;
    int at16 = mark->offset;
    std::uint32_t at = mark->position;
    while (at16 < offset && at < text.size()) {
        const auto [units, next] = unitsAt(text, at);
        at16 += units;
        at = next;
    }
    return at;
}

void TopicTextAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0) return;
    *startOffset = offsetOf(std::min(view()->anchor(), view()->caret()));
    *endOffset = offsetOf(std::max(view()->anchor(), view()->caret()));
}

int TopicTextAccessible::selectionCount() const { return view()->anchor() != view()->caret() ? 1 : 0; }

void TopicTextAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void TopicTextAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) view()->setSelection(view()->caret(), view()->caret());
}

void TopicTextAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0) view()->setSelection(positionOf(startOffset), positionOf(endOffset));
}

int TopicTextAccessible::cursorPosition() const { return offsetOf(view()->caret()); }

void TopicTextAccessible::setCursorPosition(int position) {
    const std::uint32_t at = positionOf(position);
    view()->setSelection(at, at);
    view()->ensureCaretVisible();
}

QString TopicTextAccessible::text(int startOffset, int endOffset) const {
    refresh();
    const auto count = static_cast<int>(text_.size());
    startOffset = std::clamp(startOffset, 0, count);
    endOffset = endOffset < 0 ? count : std::clamp(endOffset, startOffset, count);
    return text_.mid(startOffset, endOffset - startOffset);
}

void TopicTextAccessible::unitAt(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const {
    refresh();
    const auto count = static_cast<int>(text_.size());
    offset = std::clamp(offset, 0, std::max(0, count - 1));
    *start = offset;
    *end = std::min(count, offset + 1);
    switch (boundary) {
        case QAccessible::CharBoundary:
            if (text_.at(offset).isHighSurrogate() && *end < count) ++*end;
            break;
        case QAccessible::WordBoundary:
            if (count > 0 && isWordCharacter(text_.at(offset))) {
                while (*start > 0 && isWordCharacter(text_.at(*start - 1))) --*start;
                while (*end < count && isWordCharacter(text_.at(*end))) ++*end;
            }
            break;
        case QAccessible::SentenceBoundary:
        case QAccessible::ParagraphBoundary:
            *start = offset > 0 ? static_cast<int>(text_.lastIndexOf(QChar(u'\n'), offset - 1)) + 1 : 0;
            if (count > 0 && text_.at(offset) == u'\n') {
                *end = offset + 1;
            } else {
                const auto next = text_.indexOf(QChar(u'\n'), offset);
                *end = next < 0 ? count : static_cast<int>(next) + 1;
            }
            break;
        case QAccessible::LineBoundary: {
            const WrappedLines& lines = view()->lines();
            const std::uint32_t line = lines.lineOf(positionOf(offset));
            *start = offsetOf(lines.start(line));
            *end = line + 1 < lines.count() ? offsetOf(lines.start(line + 1)) : count;
            break;
        }
        case QAccessible::NoBoundary:
            *start = 0;
            *end = count;
            break;
    }
}

QString TopicTextAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                                          int* endOffset) const {
    unitAt(offset, boundary, startOffset, endOffset);
    return text_.mid(*startOffset, *endOffset - *startOffset);
}

QString TopicTextAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                                              int* endOffset) const {
    int start = 0;
    int end = 0;
    unitAt(offset, boundary, &start, &end);
    if (start == 0) {
        *startOffset = *endOffset = 0;
        return {};
    }
    return textAtOffset(start - 1, boundary, startOffset, endOffset);
}

QString TopicTextAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                                             int* endOffset) const {
    int start = 0;
    int end = 0;
    unitAt(offset, boundary, &start, &end);
    if (end >= characterCount()) {
        *startOffset = *endOffset = characterCount();
        return {};
    }
    return textAtOffset(end, boundary, startOffset, endOffset);
}

int TopicTextAccessible::characterCount() const {
    refresh();
    return static_cast<int>(text_.size());
}

QRect TopicTextAccessible::characterRect(int offset) const {
    const QRect local = view()->positionRect(positionOf(offset));
    return QRect(view()->viewport()->mapToGlobal(local.topLeft()), local.size());
}

int TopicTextAccessible::offsetAtPoint(const QPoint& point) const {
    return offsetOf(view()->positionAt(view()->viewport()->mapFromGlobal(point)));
}

void TopicTextAccessible::scrollToSubstring(int startIndex, int endIndex) {
    view()->setSelection(positionOf(startIndex), positionOf(endIndex));
    view()->ensureCaretVisible();
}

QString TopicTextAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = offset;
    return {};
}

}  // namespace vtome::platform::qt
