// Finding things in the real window: typing into the search box fills the
// Results page after the pause, a row chosen with the keyboard shows its
// topic, the contents filter narrows the tree as the user types, and every
// hit is drawn highlighted in a colour that reads in light and dark themes.

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <cmath>

#include "gui_support.h"
#include "platform/qt/contents_pane.h"
#include "platform/qt/dialog_renderer.h"
#include "platform/qt/highlight_colour.h"
#include "platform/qt/main_window.h"
#include "platform/qt/side_pages.h"
#include "platform/qt/topic_view.h"
#include "resources/ids.h"

namespace vtome::gui_test {
namespace {

const std::string kDocument =
    "[vTome Header]\r\n<text>\r\nFinding.\r\n</text>\r\n\r\n"
    "[vTome Contents]\r\nIntro=Introduction\r\n.Setup=Installing the viewer\r\n..Linux=On Linux\r\n"
    "..Win=On Windows\r\nUsage=Using it\r\n.Keys=Keys of the viewer\r\nLast=The end\r\n\r\n"
    "[Intro]\r\n<text>\r\nNothing here.\r\n</text>\r\n"
    "[Setup]\r\n<text>\r\nOne needle, then\r\nanother Needle at the end.\r\n</text>\r\n"
    "[Linux]\r\n<text>\r\nThe last NEEDLE.\r\n</text>\r\n"
    "[Win]\r\n<text>\r\nNo match.\r\n</text>\r\n"
    "[Usage]\r\n<text>\r\nneedle needle needle\r\n</text>\r\n"
    "[Keys]\r\n<text>\r\nNothing.\r\n</text>\r\n"
    "[Last]\r\n<text>\r\nA needle.\r\n</text>\r\n";

class QtFinding : public ViewerWindowTest {
protected:
    QtFinding() : ViewerWindowTest(kDocument) {}

    qt::QtContentsPane& contents() { return dynamic_cast<qt::QtContentsPane&>(*app_->viewer().panes().contents); }
    qt::QtSidePages& pages() { return *contents().pages(); }
    qt::QtTopicView& topicView() { return dynamic_cast<qt::QtTopicView&>(*app_->viewer().panes().topicView); }
    QComboBox* searchBox() {
        auto& bar = dynamic_cast<qt::RenderedDialog&>(*app_->viewer().panes().navigationBar);
        return qobject_cast<QComboBox*>(bar.controlWidget(ids::kNavSearchBox));
    }
    QString status() { return window().frame()->findChild<QStatusBar*>()->currentMessage(); }
    static bool focusOn(const QWidget* widget) {
        const QWidget* focus = QApplication::focusWidget();
        return focus != nullptr && (focus == widget || widget->isAncestorOf(focus));
    }

    // The rows of the results list as "title|hits".
    QStringList resultRows() {
        const QAbstractItemModel& model = *pages().resultsView()->model();
        QStringList rows;
        for (int row = 0; row < model.rowCount({}); ++row) {
            rows << model.index(row, 0).data().toString() + "|" + model.index(row, 1).data().toString();
        }
        return rows;
    }
    // The tree's rows a user sees, indented by two blanks per level.
    QStringList treeRows() {
        QTreeView* tree = contents().tree();
        QStringList rows;
        for (QModelIndex at = tree->model()->index(0, 0, {}); at.isValid(); at = tree->indexBelow(at)) {
            int depth = 0;
            for (QModelIndex up = at.parent(); up.isValid(); up = up.parent()) ++depth;
            rows << QString(2 * depth, ' ') + at.data().toString();
        }
        return rows;
    }
    void typeInSearchBox(const QString& text) {
        pressKey(Qt::Key_Insert);
        ASSERT_TRUE(focusOn(searchBox()));
        typeText(text);
    }
};

TEST_F(QtFinding, TheTabsReplaceTheCaptionInsideThePanesPlace) {
    QTabBar* tabs = pages().tabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Contents"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Results"));
    EXPECT_TRUE(tabs->isVisible());
    // The pane is where it always was, and everything stays inside it.
    const QWidget* pane = contents().widget();
    EXPECT_EQ(pane->geometry().topLeft(), QPoint(0, 52));
    EXPECT_EQ(pane->height(), window().client()->height() - 73);
    for (const QWidget* part : {static_cast<const QWidget*>(tabs), static_cast<const QWidget*>(pages().filterField()),
                                static_cast<const QWidget*>(contents().tree())}) {
        EXPECT_TRUE(pane->rect().contains(QRect(part->mapTo(pane, QPoint(0, 0)), part->size())));
    }
    EXPECT_TRUE(pages().filterField()->isVisible());
    EXPECT_TRUE(pages().filterField()->placeholderText().contains("Ctrl+L"));
    EXPECT_EQ(tabs->focusPolicy(), Qt::NoFocus);
}

TEST_F(QtFinding, TypingInTheSearchBoxFillsTheListAfterThePause) {
    QTest::mouseClick(pages().tabs(), Qt::LeftButton, {}, pages().tabs()->tabRect(1).center());
    EXPECT_EQ(app_->sidePages()->currentPage(), SidePage::Results);
    typeInSearchBox(QStringLiteral("needle"));
    // Typing goes on in the box while the list waits.
    EXPECT_TRUE(focusOn(searchBox()));
    EXPECT_NE(resultRows(), QStringList{"Installing the viewer|2"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return resultRows().size() == 4; }, 2000));
    EXPECT_EQ(resultRows(), (QStringList{"Installing the viewer|2", "On Linux|1", "Using it|3", "The end|1"}));
    EXPECT_EQ(status(), QStringLiteral("4 topics contain \"needle\""));
    // A text found nowhere says so in the list.
    typeText(QStringLiteral("zzz"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return resultRows().size() == 1 && resultRows()[0].startsWith("No topic"); }));
    EXPECT_EQ(resultRows()[0], QStringLiteral("No topic contains \"needlezzz\"|"));
    EXPECT_FALSE(pages().resultsModel().flags(pages().resultsModel().index(0, 0)) & Qt::ItemIsSelectable);
    EXPECT_EQ(status(), QStringLiteral("Not found: needlezzz"));
}

TEST_F(QtFinding, EnterInTheListShowsTheTopicAtItsFirstHitAndF3GoesOn) {
    typeInSearchBox(QStringLiteral("needle"));
    pressKey(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(focusOn(pages().resultsView()));
    ASSERT_EQ(resultRows().size(), 4);
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Return);  // Using it
    EXPECT_EQ(app_->viewer().document().currentTopic->title(), "Using it");
    qt::TopicTextWidget* editor = topicView().editor();
    const QString shown = editor->toPlainText();
    EXPECT_EQ(editor->selectedText(), QStringLiteral("needle"));
    EXPECT_EQ(topicView().selection().start, static_cast<std::uint32_t>(shown.indexOf("needle")));
    EXPECT_EQ(status(), QStringLiteral("Hit 1 of 3 in this topic"));
    EXPECT_TRUE(focusOn(pages().resultsView()));
    pressKey(Qt::Key_F3);
    EXPECT_EQ(topicView().selection().start, static_cast<std::uint32_t>(shown.indexOf("needle", 2)));
    EXPECT_EQ(status(), QStringLiteral("Hit 2 of 3 in this topic"));
    // A click chooses a row at once.
    const QRect row = pages().resultsView()->visualRect(pages().resultsView()->model()->index(0, 0));
    QTest::mouseClick(pages().resultsView()->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(app_->viewer().document().currentTopic->title(), "Installing the viewer");
    EXPECT_EQ(editor->selectedText(), QStringLiteral("needle"));
    // Ctrl+Shift+F from the list goes back to the contents.
    pressKey(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(app_->sidePages()->currentPage(), SidePage::Contents);
    EXPECT_TRUE(window().hasFocus());
}

TEST_F(QtFinding, TheFilterNarrowsTheTreeAsTheUserTypes) {
    show("Using it");
    pressKey(Qt::Key_L, Qt::ControlModifier);
    ASSERT_TRUE(focusOn(pages().filterField()));
    typeText(QStringLiteral("LINU"));
    EXPECT_EQ(treeRows(), (QStringList{"doc.vtome", "  Introduction", "    Installing the viewer", "      On Linux"}));
    EXPECT_EQ(status(), QStringLiteral("1 title contains \"LINU\""));
    // The topic on screen is hidden: no row is selected, yet it is the selection.
    EXPECT_FALSE(contents().tree()->currentIndex().isValid());
    EXPECT_EQ(contents().selectedItem(), app_->viewer().document().currentTopic->treeItem());
    // Backspace edits the field ("lin" is in "Installing" too); Page Down
    // still goes through every topic.
    pressKey(Qt::Key_Backspace);
    EXPECT_EQ(pages().filterField()->text(), QStringLiteral("LIN"));
    EXPECT_EQ(app_->viewer().document().history.count(), 2u);
    pressKey(Qt::Key_PageDown);
    EXPECT_EQ(app_->viewer().document().currentTopic->title(), "Keys of the viewer");
    // Down in the field takes the first row that matches; a click selects
    // a row and closes no branch.
    pages().filterField()->setFocus();
    pressKey(Qt::Key_Down);
    EXPECT_EQ(app_->viewer().document().currentTopic->title(), "Installing the viewer");
    EXPECT_TRUE(focusOn(pages().filterField()));
    const QModelIndex linux = findTitle(*contents().tree()->model(), QStringLiteral("On Linux"));
    QTest::mouseClick(contents().tree()->viewport(), Qt::LeftButton, {}, contents().tree()->visualRect(linux).center());
    EXPECT_EQ(app_->viewer().document().currentTopic->title(), "On Linux");
    EXPECT_EQ(treeRows().size(), 4);
    // Escape clears it: the whole tree, the topic on screen selected.
    pages().filterField()->setFocus();
    pressKey(Qt::Key_Escape);
    EXPECT_TRUE(pages().filterField()->text().isEmpty());
    EXPECT_EQ(contents().tree()->currentIndex().data().toString(), QStringLiteral("On Linux"));
    EXPECT_EQ(treeRows(), (QStringList{"doc.vtome", "  Introduction", "    Installing the viewer", "      On Linux",
                                       "      On Windows", "  Using it", "  The end"}));
    EXPECT_TRUE(window().hasFocus());
    EXPECT_TRUE(window().frame()->isVisible()) << "Escape in the field must not quit";
}

TEST_F(QtFinding, TypingInTheTreeStartsTheFilter) {
    contents().tree()->setFocus();
    typeText(QStringLiteral("win"));
    EXPECT_TRUE(focusOn(pages().filterField()));
    EXPECT_EQ(pages().filterField()->text(), QStringLiteral("win"));
    EXPECT_EQ(treeRows().last(), QStringLiteral("      On Windows"));
    // The field's clear button lists the whole tree again.
    QToolButton* clear = pages().filterField()->findChild<QToolButton*>();
    ASSERT_NE(clear, nullptr);
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_TRUE(pages().filterField()->text().isEmpty());
    EXPECT_EQ(treeRows(), (QStringList{"doc.vtome", "  Introduction", "  Using it", "  The end"}));
}

TEST_F(QtFinding, EveryHitOnScreenIsDrawnHighlighted) {
    show("Using it");
    typeInSearchBox(QStringLiteral("needle"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return topicView().highlightsOnScreen().size() == 3; }, 2000));
    qt::TopicTextWidget* editor = topicView().editor();
    const QColor mark = qt::hitHighlightColour(editor->palette());
    // The third hit, on the second display line, columns 14 to 19.
    const QImage shot = editor->viewport()->grab().toImage();
    const QFontMetricsF metrics(editor->font());
    const int line = static_cast<int>(std::ceil(metrics.lineSpacing()));
    const int x = qt::TopicTextWidget::kLeftMargin + static_cast<int>(metrics.horizontalAdvance('M') * 16.5);
    const int y = line + 1;
    EXPECT_EQ(shot.pixelColor(x, y).rgb(), mark.rgb());
    // Away from the hits the page is the palette's base.
    const int gap = qt::TopicTextWidget::kLeftMargin + static_cast<int>(metrics.horizontalAdvance('M') * 6.5);
    EXPECT_EQ(shot.pixelColor(gap, y).rgb(), editor->palette().color(QPalette::Base).rgb());
}

TEST(HitHighlightColour, ReadsInLightAndDarkThemesAndIsNoSelection) {
    QPalette light;
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Text, Qt::black);
    light.setColor(QPalette::Highlight, QColor(0x30, 0x8c, 0xc6));
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    QPalette yellowSelection = light;
    yellowSelection.setColor(QPalette::Highlight, QColor(0xff, 0xd7, 0x00));
    QPalette greyText = light;  // a softer text colour
    greyText.setColor(QPalette::Text, QColor(0x55, 0x55, 0x55));
    for (const QPalette& palette : {light, dark, yellowSelection, greyText, QApplication::palette()}) {
        const QColor mark = qt::hitHighlightColour(palette);
        const QColor text = palette.color(QPalette::Text);
        const QColor base = palette.color(QPalette::Base);
        const QColor selection = palette.color(QPalette::Highlight);
        EXPECT_GE(qt::contrastRatio(text, mark), 4.5) << mark.name().toStdString() << " on " << base.name().toStdString();
        EXPECT_GE(qt::contrastRatio(base, mark), 1.25) << mark.name().toStdString();
        const int hueGap = std::abs(mark.hslHue() - selection.hslHue());
        EXPECT_GE(std::min(hueGap, 360 - hueGap), 60) << mark.name().toStdString() << " vs "
                                                      << selection.name().toStdString();
    }
}

}  // namespace
}  // namespace vtome::gui_test
