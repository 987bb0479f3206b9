#pragma once
// The read-only topic text view: the pane around a TopicTextWidget.
//
// Positions are byte offsets of the shown text, which is the given bytes as
// UTF-8 (converted from Windows-1252 when they are not UTF-8) with every
// line break, CR LF, lone CR or lone LF, as one '\n'. text() returns the
// lines joined by CR LF. Line numbers are display lines: a long line wrapped
// at the view's right edge counts once per display line.

#include "platform/qt/topic_text_widget.h"
#include "platform/qt/widget_pane.h"

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
    // Folds the letters A to Z only, as the document search does, and
    // searches the shown text where it lies.
    std::optional<TextRange> findForward(std::string_view text, std::uint32_t from) const override;
    std::uint32_t lineIndex(std::uint32_t line) const override;
    std::uint32_t firstVisibleLine() const override;
    void scroll(ScrollAction action) override;
    void setHighlightText(std::string_view text) override;
    std::vector<TextRange> highlightsOnScreen() const override { return editor_->highlightsOnScreen(); }
    HitCount countHits(std::string_view text, std::uint32_t position) const override;
    void setFirstVisibleLine(std::uint32_t line) override;
    void setTextSize(int pixels) override;
    int textSize() const override;

    TopicTextWidget* editor() const { return editor_; }

private:
    TopicTextWidget* editor_;
};

}  // namespace vtome::platform::qt
