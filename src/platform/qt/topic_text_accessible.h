#pragma once
// What a screen reader hears of the topic view: its text, the caret, the
// selection, and the text around an offset by character, word, line and
// paragraph. Offsets are counted as Qt's accessibility counts them (UTF-16
// units); the widget's positions are bytes of its UTF-8 text. The whole text
// as a QString, and a table to turn one kind of offset into the other, are
// made only while assistive technology asks, and made again when the text
// changes.

#include <QAccessibleWidget>

#include <cstdint>
#include <vector>

namespace vtome::platform::qt {

class TopicTextWidget;

class TopicTextAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TopicTextAccessible(TopicTextWidget* widget);

    // Makes Qt ask this class for every TopicTextWidget; once per process.
    static void install();
    // Tells assistive technology that the text or the caret changed.
    static void textChanged(TopicTextWidget* widget);
    static void caretMoved(TopicTextWidget* widget);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                             int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                            int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // Conversions between byte positions and UTF-16 offsets.
    int offsetOf(std::uint32_t position) const;
    std::uint32_t positionOf(int offset) const;

private:
    TopicTextWidget* view() const;
    // Brings the QString and the table up to the widget's text.
    void refresh() const;
    // The [start, end) of the unit holding `offset`.
    void unitAt(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const;

    struct Mark {
        std::uint32_t position;
        int offset;
    };
    mutable QString text_;
    mutable std::vector<Mark> marks_;  // every kMarkEvery characters
    mutable const char* seenData_ = nullptr;
    mutable std::size_t seenSize_ = 0;
    mutable std::uint64_t seenRevision_ = ~std::uint64_t{0};
};

}  // namespace vtome::platform::qt
