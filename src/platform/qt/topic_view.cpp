#include "platform/qt/topic_view.h"

#include <QFontDatabase>
#include <QScrollBar>

#include <algorithm>

#include "platform/highlight_ranges.h"
#include "platform/qt/text_codec.h"
#include "runtime/text_scan.h"

namespace vtome::platform::qt {

namespace {

QFont topicFont() {
    const QString preferred = QStringLiteral("Courier New");
    QFont font = QFontDatabase::families().contains(preferred) ? QFont(preferred)
                                                               : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(TopicTextView::kStandardTextSize);
    return font;
}

}  // namespace

QtTopicView::QtTopicView(QWidget* parent) : WidgetPane(new TopicTextWidget(parent)) {
    editor_ = static_cast<TopicTextWidget*>(widget_);
    editor_->setFont(topicFont());
}

void QtTopicView::setText(std::string_view text) { editor_->setShownText(toShownText(text)); }

void QtTopicView::replaceSelection(std::string_view text) {
    // Built in one piece: a topic of tens of megabytes is copied once.
    const TextRange selected = selection();
    const std::string& old = editor_->text();
    std::string replaced;
    replaced.reserve(old.size() + text.size());
    replaced.append(old, 0, selected.start);
    appendShownText(replaced, text);
    const auto caret = static_cast<std::uint32_t>(replaced.size());
    replaced.append(old, selected.end);
    editor_->replaceText(std::move(replaced), caret);
}

std::string QtTopicView::text() const {
    const std::string& shown = editor_->text();
    std::string text;
    text.reserve(shown.size() + static_cast<std::size_t>(std::count(shown.begin(), shown.end(), '\n')));
    for (const char c : shown) {
        if (c == '\n') text += '\r';
        text += c;
    }
    return text;
}

void QtTopicView::select(TextRange range) {
    if (range.start == kNoPosition) {
        editor_->setSelection(editor_->caret(), editor_->caret());
    } else {
        editor_->setSelection(range.start, std::max(range.start, range.end));
    }
}

TextRange QtTopicView::selection() const {
    const std::uint32_t anchor = editor_->anchor();
    const std::uint32_t caret = editor_->caret();
    return {std::min(anchor, caret), std::max(anchor, caret)};
}

void QtTopicView::scrollCaretIntoView() { editor_->ensureCaretVisible(); }

std::optional<TextRange> QtTopicView::findForward(std::string_view text, std::uint32_t from) const {
    const std::string wanted = toShownText(text);
    const std::string& shown = editor_->text();
    if (wanted.empty() || from > shown.size()) return std::nullopt;
    const std::uint32_t at = scan::findIgnoreCase(shown, from, wanted);
    if (at == scan::npos) return std::nullopt;
    return TextRange{at, at + static_cast<std::uint32_t>(wanted.size())};
}

std::uint32_t QtTopicView::lineIndex(std::uint32_t line) const {
    const WrappedLines& lines = editor_->lines();
    return line < lines.count() ? lines.start(line) : kNoPosition;
}

std::uint32_t QtTopicView::firstVisibleLine() const { return editor_->topLine(); }

void QtTopicView::setHighlightText(std::string_view text) {
    // In the shown form, as findForward looks for it.
    editor_->setHighlight(toShownText(text));
}

HitCount QtTopicView::countHits(std::string_view text, std::uint32_t position) const {
    return platform::countHits(editor_->text(), toShownText(text), position);
}

void QtTopicView::setFirstVisibleLine(std::uint32_t line) { editor_->setTopLine(line); }

void QtTopicView::setTextSize(int pixels) {
    QFont font = editor_->font();
    if (font.pixelSize() == pixels) return;
    // The widget wraps anew on the font change, keeping its top line's text on top.
    font.setPixelSize(std::max(1, pixels));
    editor_->setFont(font);
}

int QtTopicView::textSize() const { return editor_->font().pixelSize(); }

void QtTopicView::scroll(ScrollAction action) {
    QScrollBar* vertical = editor_->verticalScrollBar();
    switch (action) {
        case ScrollAction::LineDown: vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case ScrollAction::LineUp: vertical->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case ScrollAction::PageDown: vertical->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
        case ScrollAction::PageUp: vertical->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    }
}

}  // namespace vtome::platform::qt
