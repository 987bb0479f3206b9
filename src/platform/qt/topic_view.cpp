#include "platform/qt/topic_view.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <algorithm>

#include "platform/qt/text_codec.h"

namespace vtome::platform::qt {

namespace {

QFont topicFont() {
    const QString preferred = QStringLiteral("Courier New");
    QFont font = QFontDatabase::families().contains(preferred) ? QFont(preferred)
                                                               : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(12);
    return font;
}

// Every kind of break a document holds, back to '\n'.
QString plainLines(const QString& raw) {
    QString text = raw;
    text.replace(QChar::ParagraphSeparator, QChar(u'\n'));
    text.replace(QChar::LineSeparator, QChar(u'\n'));
    return text;
}

// A plain-text edit with room on its left.
class MarginEdit final : public QPlainTextEdit {
public:
    MarginEdit(QWidget* parent, int leftMargin) : QPlainTextEdit(parent) { setViewportMargins(leftMargin, 0, 0, 0); }
};

}  // namespace

QtTopicView::QtTopicView(QWidget* parent) : WidgetPane(new MarginEdit(parent, 8)) {
    editor_ = static_cast<QPlainTextEdit*>(widget_);
    editor_->setReadOnly(true);
    editor_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    editor_->setUndoRedoEnabled(false);
    editor_->setFont(topicFont());
    editor_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    editor_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // An 8-pixel left margin in the text's own background colour.
    editor_->document()->setDocumentMargin(0);
    QPalette palette = editor_->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    palette.setColor(QPalette::Text, Qt::black);
    // A search match stays visibly selected while the focus is elsewhere.
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    editor_->setPalette(palette);
    editor_->setAutoFillBackground(true);
}

QString QtTopicView::shownText() const { return plainLines(editor_->document()->toRawText()); }

void QtTopicView::setText(std::string_view text) {
    // setPlainText puts the caret at the start and the view at the top.
    editor_->setPlainText(fromBytesAsLines(text));
}

void QtTopicView::replaceSelection(std::string_view text) {
    QTextCursor cursor = editor_->textCursor();
    cursor.insertText(fromBytesAsLines(text));
    editor_->setTextCursor(cursor);
}

std::string QtTopicView::text() const {
    QString text = shownText();
    text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
    return toBytes(text);
}

void QtTopicView::select(TextRange range) {
    QTextCursor cursor = editor_->textCursor();
    if (range.start == kNoPosition) {
        cursor.clearSelection();
    } else {
        const int last = editor_->document()->characterCount() - 1;
        cursor.setPosition(static_cast<int>(std::min<std::uint32_t>(range.start, static_cast<std::uint32_t>(last))));
        cursor.setPosition(static_cast<int>(std::min<std::uint32_t>(range.end, static_cast<std::uint32_t>(last))),
                           QTextCursor::KeepAnchor);
    }
    // Selecting does not scroll; scrollCaretIntoView is a separate step.
    QScrollBar* vertical = editor_->verticalScrollBar();
    const int top = vertical->value();
    editor_->setTextCursor(cursor);
    vertical->setValue(top);
}

TextRange QtTopicView::selection() const {
    const QTextCursor cursor = editor_->textCursor();
    return {static_cast<std::uint32_t>(cursor.selectionStart()), static_cast<std::uint32_t>(cursor.selectionEnd())};
}

void QtTopicView::scrollCaretIntoView() {
    layOutAllBlocks();
    editor_->ensureCursorVisible();
}

std::optional<TextRange> QtTopicView::findForward(std::string_view text, std::uint32_t from) const {
    const QString wanted = fromBytesAsLines(text);
    const QString shown = shownText();
    if (wanted.isEmpty() || from > static_cast<std::uint32_t>(shown.size())) return std::nullopt;
    const qsizetype at = shown.indexOf(wanted, static_cast<qsizetype>(from), Qt::CaseInsensitive);
    if (at < 0) return std::nullopt;
    return TextRange{static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(at + wanted.size())};
}

void QtTopicView::layOutAllBlocks() const {
    QTextDocument* document = editor_->document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.layout()->lineCount() == 0) layout->blockBoundingRect(block);
    }
}

std::uint32_t QtTopicView::lineIndex(std::uint32_t line) const {
    layOutAllBlocks();
    const QTextBlock block = editor_->document()->findBlockByLineNumber(static_cast<int>(line));
    if (!block.isValid()) return kNoPosition;
    const int within = static_cast<int>(line) - block.firstLineNumber();
    const QTextLayout* layout = block.layout();
    if (within < 0 || within >= layout->lineCount()) return kNoPosition;
    return static_cast<std::uint32_t>(block.position() + layout->lineAt(within).textStart());
}

std::uint32_t QtTopicView::firstVisibleLine() const {
    layOutAllBlocks();
    // The vertical scroll bar of a plain-text edit counts display lines.
    return static_cast<std::uint32_t>(std::max(0, editor_->verticalScrollBar()->value()));
}

void QtTopicView::scroll(ScrollAction action) {
    layOutAllBlocks();
    QScrollBar* vertical = editor_->verticalScrollBar();
    switch (action) {
        case ScrollAction::LineDown: vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case ScrollAction::LineUp: vertical->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case ScrollAction::PageDown: vertical->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
        case ScrollAction::PageUp: vertical->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    }
}

}  // namespace vtome::platform::qt
