// The real Notes and Bookmarks dialogs, opened by the viewer itself with the
// keys a user presses, and what they leave in the .vinfo file.

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

#include "gui_support.h"
#include "platform/qt/main_window.h"
#include "platform/qt/menu_bar.h"
#include "resources/ids.h"

namespace vtome::gui_test {
namespace {

using testing::readFile;
using testing::writeFile;

const std::string kDocument =
    "[vTome Header]\r\nTitle page.\r\n\r\n"
    "[vTome Contents]\r\nIntro=Introduction\r\nUsage\r\n\r\n"
    "[Intro]\r\n<text>\r\nWhat it does.\r\n</text>\r\n\r\n"
    "[Usage]\r\n<text>\r\nUse it.\r\n</text>\r\n";

QPushButton* button(QWidget& dialog, const char* caption) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
        if (b->text() == QLatin1String(caption)) return b;
    }
    return nullptr;
}

class QtAnnotationDialogs : public ViewerWindowTest {
protected:
    QtAnnotationDialogs() : ViewerWindowTest(kDocument) {}

    void SetUp() override {
        ViewerWindowTest::SetUp();
        if (!HasFatalFailure()) show("Introduction");
    }

    std::string vinfo() const { return dir_.file("doc.vinfo"); }
    std::string stored() const {
        return std::filesystem::exists(vinfo()) ? readFile(vinfo()) : std::string("(no file)");
    }
    bool noteIndicatorShown() {
        return app_->viewer().panes().navigationBar->isVisible(ids::kNavNoteIndicator);
    }
};

TEST_F(QtAnnotationDialogs, NoteTypedAndSavedFromTheKeyboard) {
    pressOpening(Qt::Key_Space, Qt::NoModifier, [](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Notes"));
        auto* edit = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
        ASSERT_NE(edit, nullptr) << "the note has the keyboard";
        EXPECT_FALSE(button(dialog, "Save")->isEnabled());
        typeText(QStringLiteral("first"));
        pressKey(Qt::Key_Return);
        typeText(QStringLiteral("second"));
        EXPECT_TRUE(button(dialog, "Save")->isEnabled());
        EXPECT_TRUE(button(dialog, "Delete")->isEnabled());
        // Delete, Cancel, Copy, Paste, Save: Tab leaves the note in template order.
        for (int i = 0; i < 5; ++i) pressKey(Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), button(dialog, "Save"));
        pressKey(Qt::Key_Space);
    });
    EXPECT_EQ(stored(), "\r\n[Intro_vTomeNote]\r\n<text>\r\nfirst\r\nsecond\r\n</text>\r\n\r\n");
    EXPECT_TRUE(noteIndicatorShown());

    // Opened again it shows the note; Escape writes nothing.
    writeFile(vinfo(), "changed on disk");
    pressOpening(Qt::Key_Space, Qt::NoModifier, [](QWidget& dialog) {
        auto* edit = dialog.findChild<QPlainTextEdit*>();
        EXPECT_EQ(edit->toPlainText(), QStringLiteral("first\nsecond"));
        typeText(QStringLiteral(" more"));
        pressKey(Qt::Key_Escape);
    });
    EXPECT_EQ(stored(), "changed on disk");
}

TEST_F(QtAnnotationDialogs, BookmarkFromTheMenuAndDeletedInTheDialog) {
    pressKey(Qt::Key_B);
    EXPECT_EQ(stored(), "\r\n[vTome Bookmarks]\r\n1=Intro,0\r\n");
    auto& menu = platform().mainWindow()->qtMenuBar();
    QAction* item = menu.action(ids::kFirstBookmarkCommand + 1);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("Introduction"));
    show("Usage");
    item->trigger();
    EXPECT_EQ(app_->viewer().document().currentTopic->title(), "Introduction");

    pressOpening(Qt::Key_B, Qt::ControlModifier, [](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Bookmarks"));
        auto* list = dialog.findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 1);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("Introduction"));
        EXPECT_EQ(list->currentRow(), 0);
        QTest::mouseClick(button(dialog, "Delete"), Qt::LeftButton);
        EXPECT_EQ(list->count(), 0);
        EXPECT_FALSE(button(dialog, "OK")->isEnabled());
        EXPECT_FALSE(button(dialog, "Delete")->isEnabled());
        pressKey(Qt::Key_Escape);
    });
    EXPECT_EQ(stored(), "\r\n");
    EXPECT_EQ(menu.action(ids::kFirstBookmarkCommand + 1), nullptr);
}

TEST_F(QtAnnotationDialogs, EnterInTheBookmarkListJumps) {
    pressKey(Qt::Key_B);
    show("Usage");
    pressKey(Qt::Key_B);
    pressOpening(Qt::Key_B, Qt::ControlModifier, [](QWidget& dialog) {
        auto* list = dialog.findChild<QListWidget*>();
        ASSERT_EQ(QApplication::focusWidget(), list);
        pressKey(Qt::Key_Return);  // the first line: Introduction
    });
    EXPECT_EQ(app_->viewer().document().currentTopic->title(), "Introduction");
    EXPECT_EQ(stored(), "\r\n\r\n[vTome Bookmarks]\r\n1=Intro,0\r\n2=Usage,0\r\n");
}

}  // namespace
}  // namespace vtome::gui_test
