// Reading comfort on the real widgets: the recent documents in the real File
// menu, the Forward button and Alt+arrows, the text size from the keys and
// Ctrl+wheel, a file dropped on the window, and a document rewritten on disk
// read again through the file system's own notices.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

#include <filesystem>
#include <string>
#include <vector>

#include "gui_support.h"
#include "platform/qt/dialog_renderer.h"
#include "platform/qt/main_window.h"
#include "platform/qt/menu_bar.h"
#include "platform/qt/topic_view.h"
#include "resources/ids.h"
#include "resources/menu.h"

namespace vtome::gui_test {
namespace {

using testing::readFile;
using testing::writeFile;

std::string numberedLines(int count) {
    std::string lines;
    for (int i = 1; i <= count; ++i) lines += "Line " + std::to_string(i) + "\r\n";
    return lines;
}

std::string book(const std::string& longText) {
    return "[vTome Header]\r\n<text>\r\nThe book.\r\n</text>\r\n\r\n"
           "[vTome Contents]\r\nIntro=Introduction\r\nLong=Long Lines\r\nUsage\r\n\r\n"
           "[Intro]\r\n<text>\r\nWhat it does.\r\n</text>\r\n\r\n"
           "[Long]\r\n<text>\r\n" +
           longText + "</text>\r\n\r\n[Usage]\r\n<text>\r\nUse it.\r\n</text>\r\n";
}

class QtComfort : public ViewerWindowTest {
protected:
    QtComfort() : ViewerWindowTest(book(numberedLines(80))) {}

    qt::TopicTextWidget* editor() {
        return dynamic_cast<qt::QtTopicView&>(*app_->viewer().panes().topicView).editor();
    }
    qt::RenderedDialog& bar() { return dynamic_cast<qt::RenderedDialog&>(*app_->viewer().panes().navigationBar); }
    std::string currentTitle() {
        const TopicEntry* current = app_->viewer().document().currentTopic;
        return current != nullptr ? std::string(current->title()) : std::string("(none)");
    }
    std::string documentPathShown() { return app_->viewer().document().documentPath.str(); }
    QString statusText() { return window().frame()->findChild<QStatusBar*>()->currentMessage(); }
    // The texts of the File menu as it shows when opened.
    QStringList fileMenuTexts(QMenu& file) {
        QStringList texts;
        for (const QAction* action : file.actions()) {
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        return texts;
    }
    void sendWheel(QWidget* target, int angle, Qt::KeyboardModifiers modifiers) {
        const QPointF at(20, 20);
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
};

TEST_F(QtComfort, TheFileMenuListsTheRecentDocumentsBetweenSaveAsAndQuit) {
    const std::string other = dir_.file("other.vtome");
    writeFile(other, book("Other.\r\n"));
    ASSERT_TRUE(app_->openChosenDocument(other));

    // Alt+F still opens the File menu: Alt with a letter stays the menus'.
    window().frame()->activateWindow();
    app_->mainWindow()->focus();
    QMenu* file = window().qtMenuBar().popup(resources::kFileMenuPosition);
    ASSERT_NE(file, nullptr);
    pressKey(Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == file; }));
    EXPECT_EQ(fileMenuTexts(*file),
              (QStringList{"&Open...\tCtrl+O", "&Save As...", "-", QString::fromStdString("&1 " + other),
                           QString::fromStdString("&2 " + documentPath()), "-", "&Quit\tAlt+F4"}));

    // "2" chooses the second document, as its mnemonic says.
    QTest::keyClick(file, Qt::Key_2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return documentPathShown() == documentPath(); }));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(currentTitle(), "doc.vtome");

    // A document that is gone is not shown the next time.
    std::filesystem::remove(other);
    pressKey(Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == file; }));
    EXPECT_EQ(fileMenuTexts(*file), (QStringList{"&Open...\tCtrl+O", "&Save As...", "-",
                                                 QString::fromStdString("&1 " + documentPath()), "-",
                                                 "&Quit\tAlt+F4"}));
    QTest::keyClick(file, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == nullptr; }));
    EXPECT_TRUE(app_->viewer().document().isOpen()) << "Escape closed the menu, not the window";
}

TEST_F(QtComfort, ReopenAtLastPlaceIsACheckedItem) {
    QAction* item = window().qtMenuBar().action(ids::kCmdReopenAtLastPlace);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(app_->reopensAtLastPlace());
    item->trigger();
    EXPECT_FALSE(item->isChecked());
}

TEST_F(QtComfort, ForwardSitsAfterBackAndAltArrowsWalkTheHistory) {
    auto* back = qobject_cast<QAbstractButton*>(bar().controlWidget(ids::kNavBack));
    auto* forward = qobject_cast<QAbstractButton*>(bar().controlWidget(ids::kNavForward));
    auto* previous = bar().controlWidget(ids::kNavPrevious);
    ASSERT_NE(forward, nullptr);
    EXPECT_EQ(forward->text(), QStringLiteral("Forward"));
    EXPECT_TRUE(forward->isVisible());
    EXPECT_GT(forward->x(), back->geometry().right());
    EXPECT_GT(previous->x(), forward->geometry().right());
    EXPECT_GE(forward->width(), forward->fontMetrics().horizontalAdvance(forward->text())) << "the caption fits";
    EXPECT_FALSE(forward->isEnabled());

    show("Introduction");
    show("Usage");
    pressKey(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(currentTitle(), "Introduction");
    EXPECT_TRUE(forward->isEnabled());
    QTest::mouseClick(forward, Qt::LeftButton);
    EXPECT_EQ(currentTitle(), "Usage");
    EXPECT_FALSE(forward->isEnabled());
    pressKey(Qt::Key_Backspace);
    pressKey(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(currentTitle(), "Usage");
}

TEST_F(QtComfort, TheTextSizeFollowsTheKeysAndCtrlWheel) {
    show("Long Lines");
    qt::TopicTextWidget* text = editor();
    const int lineHeight = QFontMetrics(text->font()).lineSpacing();
    pressKey(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(text->font().pixelSize(), 14);
    pressKey(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(text->font().pixelSize(), 16);
    EXPECT_TRUE(text->font().fixedPitch());
    EXPECT_GT(QFontMetrics(text->font()).lineSpacing(), lineHeight);
    pressKey(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(text->font().pixelSize(), 14);
    pressKey(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(text->font().pixelSize(), 12);

    sendWheel(text->viewport(), 120, Qt::ControlModifier);
    EXPECT_EQ(text->font().pixelSize(), 14);
    sendWheel(text->viewport(), -60, Qt::ControlModifier);  // half a notch: nothing yet
    EXPECT_EQ(text->font().pixelSize(), 14);
    sendWheel(text->viewport(), -60, Qt::ControlModifier);
    EXPECT_EQ(text->font().pixelSize(), 12);
    EXPECT_EQ(app_->textSize(), 12);
    EXPECT_EQ(text->topLine(), 0u);

    sendWheel(text->viewport(), -120, Qt::NoModifier);  // the plain wheel scrolls
    EXPECT_GT(text->topLine(), 0u);
    EXPECT_EQ(text->font().pixelSize(), 12);
}

TEST_F(QtComfort, AZoomKeepsTheTopLinesTextOnTop) {
    show("Long Lines");
    app_->viewer().panes().topicView->setFirstVisibleLine(40);
    const std::uint32_t position = editor()->lines().start(editor()->topLine());
    pressKey(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    pressKey(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor()->lines().start(editor()->topLine()), position);
}

TEST_F(QtComfort, ALocalFileDroppedOnTheWindowOpens) {
    const std::string other = dir_.file("other.vtome");
    writeFile(other, book("Other.\r\n"));
    QMainWindow* frame = window().frame();
    const QPoint at = window().client()->geometry().center();

    QMimeData text;
    text.setText(QStringLiteral("just words"));
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame, &refused);
    EXPECT_FALSE(refused.isAccepted()) << "only files are taken";

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(other)),
                   QUrl::fromLocalFile(QString::fromStdString(documentPath())),
                   QUrl(QStringLiteral("https://example.org/x.vtome"))});
    QDragEnterEvent enter(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame, &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return documentPathShown() == other; }));
    EXPECT_EQ(currentTitle(), "other.vtome");
}

TEST_F(QtComfort, ADocumentRewrittenOnDiskIsReadAgainWhereItWasShown) {
    show("Long Lines");
    app_->viewer().panes().topicView->setFirstVisibleLine(30);
    // An editor's save: a new file renamed over the old one.
    const std::string saved = dir_.file("doc.vtome.new");
    writeFile(saved, book("Changed 1\r\n" + numberedLines(80)));
    std::filesystem::rename(saved, documentPath());
    ASSERT_TRUE(QTest::qWaitFor([&] { return statusText().contains(QStringLiteral("read again")); }, 10000));
    EXPECT_EQ(currentTitle(), "Long Lines");
    EXPECT_EQ(editor()->topLine(), 30u);
    EXPECT_TRUE(editor()->toPlainText().startsWith(QStringLiteral("\nChanged 1\n")));

    // And again, written in place this time: the new file is watched too.
    writeFile(documentPath(), book("Changed 2\r\n" + numberedLines(80)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor()->toPlainText().startsWith(QStringLiteral("\nChanged 2\n")); },
                                10000));
    EXPECT_EQ(editor()->topLine(), 30u);
}

}  // namespace
}  // namespace vtome::gui_test
