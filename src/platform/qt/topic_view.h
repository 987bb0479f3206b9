#pragma once
// The read-only topic text view.
//
// Positions are character positions (UTF-16 units) of the shown text in
// which every line break counts as ONE position, whether the bytes given to
// setText had CR LF, a lone CR or a lone LF there. text() returns the lines
// joined by CR LF. Line numbers are display lines: a long line wrapped at
// the view's right edge counts once per display line.

#include "platform/qt/widget_pane.h"

class QPlainTextEdit;

namespace vtome::platform::qt {

class QtTopicView final : public WidgetPane<TopicTextView> {
public:
    explicit QtTopicView(QWidget* parent);

    void setText(std::string_view text) override;
    void replaceSelection(std::string_view text) override;
    std::string text() const override;
    void select(TextRange range) override;
    TextRange selection() const override;
    void scrollCaretIntoView() override;
    std::optional<TextRange> findForward(std::string_view text, std::uint32_t from) const override;
    std::uint32_t lineIndex(std::uint32_t line) const override;
    std::uint32_t firstVisibleLine() const override;
    void scroll(ScrollAction action) override;

    QPlainTextEdit* editor() const { return editor_; }

private:
    // Qt lays out blocks lazily; display-line arithmetic needs them all.
    void layOutAllBlocks() const;
    QString shownText() const;

    QPlainTextEdit* editor_;
};

}  // namespace vtome::platform::qt
