// The topic text view: positions, display lines after wrapping, scrolling
// and case-insensitive search.

#include <QScrollBar>
#include <QAccessible>
#include <QTest>

#include "gui_support.h"
#include "platform/qt/topic_view.h"

namespace vtome::gui_test {
namespace {

constexpr std::uint32_t kNoPosition = TopicTextView::kNoPosition;

class QtTopicView : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        view = platform().createTopicView();
        ASSERT_NE(view, nullptr);
        view->place(Rect::fromSize(0, 0, 300, 200));
        view->show();
        showActive();
    }

    qt::TopicTextWidget* editor() { return dynamic_cast<qt::QtTopicView&>(*view).editor(); }

    static std::string numberedLines(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\r\n";
        return text;
    }

    // The starts of all display lines, in order.
    std::vector<std::uint32_t> lineStarts() {
        std::vector<std::uint32_t> starts;
        for (std::uint32_t line = 0; view->lineIndex(line) != kNoPosition; ++line)
            starts.push_back(view->lineIndex(line));
        return starts;
    }

    TopicTextView* view = nullptr;
};

TEST_F(QtTopicView, ALongLineWrapsAtWordsIntoSeveralDisplayLines) {
    std::string longLine;
    for (int i = 0; i < 30; ++i) longLine += "wrapping words ";
    view->setText("\r\n" + longLine + "\r\nlast");

    const std::vector<std::uint32_t> starts = lineStarts();
    ASSERT_GE(starts.size(), 5u) << "the long line should take several display lines";
    EXPECT_EQ(starts[0], 0u);
    EXPECT_EQ(starts[1], 1u);
    EXPECT_EQ(starts.back(), 1 + longLine.size() + 1) << "a line break is one position";
    const QString shown = editor()->toPlainText();
    for (std::size_t i = 2; i + 1 < starts.size(); ++i) {
        EXPECT_GT(starts[i], starts[i - 1]);
        EXPECT_EQ(shown.at(starts[i] - 1), QChar(u' ')) << "wrapped inside a word at line " << i;
    }

    // Narrower view, more display lines.
    view->place(Rect::fromSize(0, 0, 150, 200));
    EXPECT_GT(lineStarts().size(), starts.size());
}

TEST_F(QtTopicView, ScrollingMovesTheViewNotTheCaretAndTheTopLineIsWhatIsShown) {
    view->setText(numberedLines(100));
    view->select({5, 7});
    view->scroll(ScrollAction::LineDown);
    EXPECT_EQ(view->firstVisibleLine(), 1u);
    view->scroll(ScrollAction::PageDown);
    const std::uint32_t afterPage = view->firstVisibleLine();
    EXPECT_GT(afterPage, 5u);
    // The line drawn at the top is the line the arithmetic names.
    EXPECT_EQ(view->lineIndex(afterPage), editor()->positionAt(QPoint(1, 1)));

    view->scroll(ScrollAction::PageUp);
    view->scroll(ScrollAction::LineUp);
    EXPECT_EQ(view->firstVisibleLine(), 0u);
    EXPECT_EQ(view->selection(), (TextRange{5, 7}));
}

TEST_F(QtTopicView, SelectingDoesNotScrollButScrollingTheCaretIntoViewDoes) {
    view->setText(numberedLines(100));
    const std::uint32_t line80 = view->lineIndex(80);
    view->select({line80, line80 + 4});
    EXPECT_EQ(view->firstVisibleLine(), 0u);
    EXPECT_EQ(view->selection(), (TextRange{line80, line80 + 4}));
    view->scrollCaretIntoView();
    EXPECT_GT(view->firstVisibleLine(), 40u);
    EXPECT_TRUE(editor()->viewport()->rect().contains(editor()->caretRect().center()));

    view->setText("new topic");
    EXPECT_EQ(view->firstVisibleLine(), 0u);
    EXPECT_EQ(view->selection(), (TextRange{0, 0}));
}

TEST_F(QtTopicView, ATopLineAskedForBeforeTheFirstDrawingIsTakenAtTheFinalWidth) {
    // A place restored at start-up: the view gets its text and top line
    // while the window still has its first, narrow size.
    TopicTextView* fresh = platform().createTopicView();
    ASSERT_NE(fresh, nullptr);
    fresh->place(Rect::fromSize(0, 0, 120, 200));
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + " with words enough to wrap when narrow\r\n";
    fresh->setText(text);
    fresh->setFirstVisibleLine(70);
    fresh->place(Rect::fromSize(0, 0, 900, 300));
    fresh->show();
    QTest::qWait(50);
    EXPECT_EQ(fresh->firstVisibleLine(), 70u);
    EXPECT_EQ(fresh->lineIndex(70), text.find("line 70 ") - 70) << "the 71st line of the text, one byte shorter per line end";

    // Once drawn, a change of width keeps the text on top, not the number.
    const std::uint32_t topText = fresh->lineIndex(70);
    fresh->place(Rect::fromSize(0, 0, 120, 300));
    QTest::qWait(50);
    EXPECT_EQ(fresh->lineIndex(fresh->firstVisibleLine()), topText);
}

TEST_F(QtTopicView, FindForwardFoldsAsciiLettersAndCountsALineBreakOnce) {
    view->setText("\r\nAbc\r\nxabc");
    EXPECT_EQ(view->findForward("ABC", 0), (TextRange{1, 4}));
    EXPECT_EQ(view->findForward("abc", 2), (TextRange{6, 9}));
    EXPECT_EQ(view->findForward("abc", 7), std::nullopt);
    EXPECT_EQ(view->findForward("", 0), std::nullopt);
    EXPECT_EQ(view->findForward("abc", 500), std::nullopt);
    EXPECT_EQ(view->text(), "\r\nAbc\r\nxabc");

    view->setText("a\rb\nc caf\xE9");
    EXPECT_EQ(view->text(), "a\r\nb\r\nc caf\xC3\xA9");
    // Only the letters A to Z are folded, as in the document search and on
    // the headless view: "CAF\xC3\x89" is not "caf\xC3\xA9". Positions are
    // bytes of the shown UTF-8.
    EXPECT_EQ(view->findForward("CAF\xC3\x89", 0), std::nullopt);
    EXPECT_EQ(view->findForward("CAF\xC3\xA9", 0), (TextRange{6, 11}));
}

TEST_F(QtTopicView, ReplacingTheSelectionKeepsTheRestOfTheText) {
    view->setText("one two three");
    view->select({4, 7});
    view->replaceSelection("2\r\n2");
    EXPECT_EQ(view->text(), "one 2\r\n2 three");
    EXPECT_EQ(view->selection(), (TextRange{7, 7}));
    view->select({kNoPosition, 0});
    EXPECT_EQ(view->selection(), (TextRange{7, 7}));
    EXPECT_EQ(editor()->text(), "one 2\n2 three") << "the view shows, it keeps no edits of its own";
}

}  // namespace
}  // namespace vtome::gui_test

namespace vtome::gui_test {
namespace {

// What a screen reader reads: offsets in UTF-16 units, whatever the bytes.
TEST_F(QtTopicView, AScreenReaderReadsTheTextTheCaretAndTheLines) {
    view->setText("caf\xC3\xA9 one\r\nsecond line \xF0\x9F\x98\x80 end");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(editor());
    ASSERT_NE(accessible, nullptr);
    QAccessibleTextInterface* text = accessible->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(accessible->state().readOnly);
    const QString all = QStringLiteral("caf\u00E9 one\nsecond line \U0001F600 end");
    EXPECT_EQ(text->characterCount(), all.size());
    EXPECT_EQ(text->text(0, -1), all);

    int start = 0;
    int end = 0;
    EXPECT_EQ(text->textAtOffset(2, QAccessible::WordBoundary, &start, &end), QStringLiteral("caf\u00E9"));
    EXPECT_EQ(text->textAtOffset(11, QAccessible::LineBoundary, &start, &end), QStringLiteral("second line \U0001F600 end"));
    EXPECT_EQ(text->textAfterOffset(0, QAccessible::ParagraphBoundary, &start, &end),
              QStringLiteral("second line \U0001F600 end"));
    EXPECT_EQ(text->textBeforeOffset(11, QAccessible::ParagraphBoundary, &start, &end), QStringLiteral("caf\u00E9 one\n"));

    // A selection made by the view is reported in UTF-16 offsets, and one
    // made by the reader lands on the right bytes.
    const auto smiley = static_cast<std::uint32_t>(std::string("caf\xC3\xA9 one\nsecond line ").size());
    view->select({smiley, smiley + 4});
    text->selection(0, &start, &end);
    EXPECT_EQ(all.mid(start, end - start), QStringLiteral("\U0001F600"));
    text->setSelection(0, 0, 4);
    EXPECT_EQ(view->selection(), (TextRange{0, 5}));
    text->setCursorPosition(all.indexOf(u'e', 5));
    EXPECT_EQ(text->cursorPosition(), all.indexOf(u'e', 5));
}

}  // namespace
}  // namespace vtome::gui_test
