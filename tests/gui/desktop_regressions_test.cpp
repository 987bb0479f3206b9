// Faults found by using the viewer as a new user does, on real documents, a
// dark desktop theme and a 2x display scale; each test is named for what the
// user saw go wrong.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QImage>
#include <QApplication>
#include <QLineEdit>
#include <QTabBar>
#include <QColor>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <QPalette>
#include <QProcess>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTreeView>

#include <cmath>
#include <string>
#include <vector>

#include "gui_support.h"
#include "platform/qt/contents_pane.h"
#include "platform/qt/dialog_renderer.h"
#include "platform/qt/highlight_colour.h"
#include "platform/qt/main_window.h"
#include "platform/qt/side_pages.h"
#include "platform/qt/topic_view.h"
#include "resources/ids.h"
#include "shell/settings.h"

namespace vtome::gui_test {
namespace {

std::string lines(const std::string& label, int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += label + " " + std::to_string(i) + "\r\n";
    return text;
}

std::string topic(const std::string& name, const std::string& text) {
    return "[" + name + "]\r\n<text>\r\n" + text + "</text>\r\n\r\n";
}

// A title page and a topic of 500 lines each, and a small chapter tree.
const std::string kDocument = "[vTome Header]\r\n<text>\r\n" + lines("Title page line", 500) +
                              "</text>\r\n\r\n"
                              "[vTome Contents]\r\nLong=Long Topic\r\nA=Chapter A\r\n.A1\r\n.A2\r\n.A3\r\n.A4\r\n.A5\r\n"
                              "B=Chapter B\r\n.B1\r\n.B2\r\nC=Chapter C\r\nAmp=Save & <b>Load</b>\tnow\r\n\r\n" +
                              topic("Amp", "Markup in a title.\r\n") +
                              topic("Long", lines("Long topic line", 500)) + topic("A", "Chapter A.\r\n") +
                              topic("A1", "A1.\r\n") + topic("A2", "A2.\r\n") + topic("A3", "A3.\r\n") +
                              topic("A4", "A4.\r\n") + topic("A5", "A5.\r\n") + topic("B", "Chapter B.\r\n") +
                              topic("B1", "B1.\r\n") + topic("B2", "B2.\r\n") + topic("C", "Chapter C.\r\n");

class Regression : public ViewerWindowTest {
protected:
    Regression() : ViewerWindowTest(kDocument) {}

    qt::QtTopicView& topicView() { return dynamic_cast<qt::QtTopicView&>(*app_->viewer().panes().topicView); }
    qt::QtContentsPane& contents() { return dynamic_cast<qt::QtContentsPane&>(*app_->viewer().panes().contents); }
    qt::RenderedDialog& bar() { return dynamic_cast<qt::RenderedDialog&>(*app_->viewer().panes().navigationBar); }
    std::string currentTitle() {
        const TopicEntry* current = app_->viewer().document().currentTopic;
        return current != nullptr ? std::string(current->title()) : std::string("(none)");
    }
};

// --- a long topic opens at its top

class LongFirstTopic : public Regression {};

TEST_F(LongFirstTopic, TheTitlePageOpensAtItsFirstLine) {
    // Once the window has its final size and has painted, too.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(topicView().firstVisibleLine(), 0u) << "round " << round;
        EXPECT_EQ(topicView().selection(), (TextRange{0, 0}));
        QTest::qWait(50);
    }
}

class LongStartTopic : public Regression {
protected:
    std::vector<std::string> arguments() const override { return {documentPath(), "long topic"}; }
};

TEST_F(LongStartTopic, TheTopicNamedOnTheCommandLineOpensAtItsFirstLine) {
    ASSERT_EQ(currentTitle(), "Long Topic");
    QTest::qWait(50);
    EXPECT_EQ(topicView().firstVisibleLine(), 0u);
    EXPECT_EQ(topicView().selection(), (TextRange{0, 0}));
}

// --- a click in the tree highlights the topic it shows

TEST_F(Regression, AClickBelowABranchItClosesHighlightsTheClickedTopic) {
    QTreeView* tree = contents().tree();
    app_->viewer().selectTopic(app_->viewer().document().index->findByTitle("A3"));
    ASSERT_TRUE(tree->isExpanded(findTitle(*tree->model(), QStringLiteral("Chapter A"))));

    // Chapter B stands below the open chapter A; the click closes A, and
    // the rows below it move up under the pointer.
    const QModelIndex b = findTitle(*tree->model(), QStringLiteral("Chapter B"));
    const QPoint at = tree->visualRect(b).center();
    QTest::mousePress(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);

    EXPECT_EQ(currentTitle(), "Chapter B");
    EXPECT_EQ(tree->currentIndex().data().toString(), QStringLiteral("Chapter B"));
    const QModelIndexList selected = tree->selectionModel()->selectedIndexes();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front().data().toString(), QStringLiteral("Chapter B"));
}

// --- a dark theme

double luminance(const QColor& colour) {
    auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x2d));
    dark.setColor(QPalette::WindowText, QColor(0xe8, 0xe8, 0xe8));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::AlternateBase, QColor(0x2a, 0x2a, 0x2a));
    dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xe8, 0xe8, 0xe8));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Mid, QColor(0x40, 0x40, 0x40));
    dark.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Light, QColor(0x50, 0x50, 0x50));
    dark.setColor(QPalette::BrightText, Qt::white);
    return dark;
}

class DarkTheme : public Regression {
protected:
    void SetUp() override {
        previousStyle_ = QApplication::style()->name();
        previousPalette_ = QApplication::palette();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(darkPalette());
        Regression::SetUp();
    }
    void TearDown() override {
        Regression::TearDown();
        QApplication::setStyle(QStyleFactory::create(previousStyle_));
        QApplication::setPalette(previousPalette_);
    }

    // The colours a widget draws its text with, on the background it draws.
    static void expectReadable(const QWidget& widget, QPalette::ColorRole text, QPalette::ColorRole background,
                               const char* what) {
        const QPalette& palette = widget.palette();
        EXPECT_GE(contrast(palette.color(text), palette.color(background)), 4.5) << what;
    }

    QString previousStyle_;
    QPalette previousPalette_;
};

TEST_F(DarkTheme, EveryPaneDrawsItsTextReadably) {
    expectReadable(*topicView().widget(), QPalette::Text, QPalette::Base, "topic text");
    expectReadable(*contents().tree()->viewport(), QPalette::Text, QPalette::Base, "contents tree");
    const QWidget* title = bar().controlWidget(ids::kNavTitle);
    expectReadable(*title, QPalette::WindowText, QPalette::Window, "title field");
    // The small "Contents" caption of the pane.
    const QLabel* caption = nullptr;
    for (const QLabel* label : contents().widget()->findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("Contents")) caption = label;
    }
    ASSERT_NE(caption, nullptr);
    expectReadable(*caption, QPalette::WindowText, QPalette::Window, "pane caption");
    // The note picture's outline stands out from the bar it sits on.
    const auto* indicator = qobject_cast<const QAbstractButton*>(bar().controlWidget(ids::kNavNoteIndicator));
    ASSERT_NE(indicator, nullptr);
    const QImage note = indicator->icon().pixmap(16, 16).toImage();
    EXPECT_GE(contrast(note.pixelColor(1, 8), title->palette().color(QPalette::Window)), 3.0) << "note outline";
    // The topic text is drawn on a dark background, not a light one.
    EXPECT_LT(luminance(topicView().widget()->palette().color(QPalette::Base)), 0.1);
}

TEST_F(DarkTheme, TheFindingPanesAndTheHighlightsAreReadable) {
    const qt::QtSidePages& pages = *contents().pages();
    expectReadable(*pages.tabs(), QPalette::WindowText, QPalette::Window, "page tabs");
    expectReadable(*pages.filterField(), QPalette::Text, QPalette::Base, "filter field");
    expectReadable(*pages.resultsView()->viewport(), QPalette::Text, QPalette::Base, "results list");
    const QPalette& text = topicView().widget()->palette();
    const QColor mark = qt::hitHighlightColour(text);
    EXPECT_GE(contrast(text.color(QPalette::Text), mark), 4.5) << "text on a highlighted hit";
    EXPECT_LT(luminance(mark), 0.2) << "a dark theme's highlight is dark too";
}

TEST_F(DarkTheme, TheNotesDialogIsReadable) {
    show("Chapter A");
    pressOpening(Qt::Key_Space, Qt::NoModifier, [](QWidget& dialog) {
        for (const QWidget* child : dialog.findChildren<QWidget*>()) {
            if (child->inherits("QPlainTextEdit")) {
                expectReadable(*child, QPalette::Text, QPalette::Base, "note text");
            }
        }
        pressKey(Qt::Key_Escape);
    });
}

// --- text shown as text

TEST_F(Regression, MessageBoxesShowTheirTextAndTheFileAsWritten) {
    std::vector<std::pair<QString, Qt::TextFormat>> shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        for (const QLabel* label : box->findChildren<QLabel*>()) shown.emplace_back(label->text(), label->textFormat());
        box->accept();
    });
    poll.start(10);
    platform().showMessageBox("vTome", "File <b>write</b> error", MessageBoxIcon::Exclamation, false,
                              "/tmp/<i>x</i>.vinfo: Permission denied");
    poll.stop();
    bool text = false;
    bool detail = false;
    for (const auto& [label, format] : shown) {
        if (label.isEmpty()) continue;
        EXPECT_EQ(format, Qt::PlainText) << label.toStdString();
        text = text || label == QStringLiteral("File <b>write</b> error");
        detail = detail || label == QStringLiteral("/tmp/<i>x</i>.vinfo: Permission denied");
    }
    EXPECT_TRUE(text);
    EXPECT_TRUE(detail);
}

TEST_F(Regression, ABookmarkOfATitleWithMarkupShowsTheTitleAsWritten) {
    show("Save & <b>Load</b>\tnow");
    pressKey(Qt::Key_B);
    const QAction* item = nullptr;
    for (const QAction* menu : window().frame()->menuBar()->actions()) {
        if (menu->menu() == nullptr) continue;
        for (const QAction* action : menu->menu()->actions()) {
            if (action->text().contains(QStringLiteral("Load"))) item = action;
        }
    }
    ASSERT_NE(item, nullptr);
    // "&&" draws one "&" and makes no mnemonic; no tab splits the title.
    EXPECT_EQ(item->text(), QStringLiteral("Save && <b>Load</b> now"));
}

// --- the title field

TEST_F(Regression, TheTitleFieldIsABoldSansSerifFaceWithRoomForItsDescenders) {
    const auto* title = qobject_cast<const QLabel*>(bar().controlWidget(ids::kNavTitle));
    ASSERT_NE(title, nullptr);
    const QFontInfo font(title->font());
    EXPECT_TRUE(font.bold());
    EXPECT_FALSE(font.fixedPitch()) << font.family().toStdString();
    // The face the system itself gives for sans-serif text, not whatever
    // family happens to be listed first (here a serif face).
    QProcess fontconfig;
    fontconfig.start(QStringLiteral("fc-match"), {QStringLiteral("-f"), QStringLiteral("%{family[0]}"),
                                                  QStringLiteral("sans-serif")});
    ASSERT_TRUE(fontconfig.waitForFinished(10000));
    const QString sans = QString::fromUtf8(fontconfig.readAllStandardOutput()).trimmed();
    ASSERT_FALSE(sans.isEmpty());
    EXPECT_EQ(font.family().toStdString(), sans.toStdString());
    // Ascent and descent both fit the field: j, g, q, p and y are not cut.
    const QFontMetrics metrics(title->font());
    EXPECT_GE(title->height(), metrics.height());
    EXPECT_LE(title->geometry().bottom(), title->parentWidget()->height());
}

// --- a window stored on a larger or unscaled screen

std::string storedWindow(int left, int top, int width, int height) {
    shell::WindowPlacement placement{left, top, height, width, 0};
    std::string hex;
    for (const unsigned char byte : placement.toBytes()) {
        static const char digits[] = "0123456789ABCDEF";
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return "[vTome Settings]\r\nWinPos=" + hex + "\r\n";
}

class LargeStoredWindow : public Regression {
protected:
    void SetUp() override {
        testing::writeFile(settingsPath(), storedWindow(0, 0, 2400, 1800));
        Regression::SetUp();
    }
};

// Also run as a child with QT_SCALE_FACTOR=2 by the test below it.
TEST_F(LargeStoredWindow, IsRestoredWithinTheScreen) {
    const QRect frame = window().frame()->frameGeometry();
    const QScreen* screen = window().frame()->screen();
    ASSERT_NE(screen, nullptr);
    const QRect area = screen->availableGeometry();
    EXPECT_TRUE(area.contains(frame)) << "frame " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                      << frame.height() << " on a screen of " << area.width() << "x" << area.height();
}

TEST(ScaledDisplay, AStoredWindowIsRestoredWithinTheScreenAtTwiceTheScale) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=LargeStoredWindow.IsRestoredWithinTheScreen")});
    ASSERT_TRUE(child.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

}  // namespace
}  // namespace vtome::gui_test
