// Dialog templates rendered as real controls: the modal Notes, Bookmarks
// and About dialogs driven the way their logic drives them, and the text
// conversions every control uses.

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "gui_support.h"
#include "platform/qt/dialog_pane.h"
#include "platform/qt/dialog_renderer.h"
#include "platform/qt/main_window.h"
#include "platform/qt/text_codec.h"
#include "resources/ids.h"

namespace vtome::gui_test {
namespace {

constexpr std::uint32_t kNoPosition = 0xFFFFFFFFu;

QWidget* control(DialogView& view, std::uint32_t id) {
    return dynamic_cast<qt::RenderedDialog&>(view).controlWidget(id);
}

using QtModalDialog = MainWindowTest;

TEST_F(QtModalDialog, NotesKeysAreReportedAndTheLogicDecidesWhenItCloses) {
    showActive();
    window->focus();
    RecordingDialog events;
    events.init = [](DialogView& view) { view.focus(ids::kNotesEdit); };
    const int result = runDialog(resources::notesDialog(), events, [&](DialogView& view, QWidget& window) {
        QWidget* edit = control(view, ids::kNotesEdit);
        ASSERT_EQ(QApplication::focusWidget(), edit);

        typeText(QStringLiteral("ab"));
        pressKey(Qt::Key_Return);  // a line break, not OK: the edit wants Enter
        typeText(QStringLiteral("c"));
        EXPECT_EQ(view.text(ids::kNotesEdit), "ab\r\nc");
        EXPECT_TRUE(events.received(ids::kNotesEdit, notify::kEditChange));
        EXPECT_FALSE(events.received(kIdOk, 0));

        // Tab leaves the edit: the template's order wraps to Cancel, the
        // first enabled tab stop (Delete starts disabled).
        pressKey(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control(view, kIdCancel));
        EXPECT_EQ(view.text(ids::kNotesEdit), "ab\r\nc");
        pressKey(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(QApplication::focusWidget(), edit);
        EXPECT_EQ(view.selection(ids::kNotesEdit).end - view.selection(ids::kNotesEdit).start, 5u);

        events.commands.clear();
        pressKey(Qt::Key_Escape);
        EXPECT_EQ(events.commands, (std::vector<RecordingDialog::Command>{{kIdCancel, 0}}));
        EXPECT_TRUE(window.isVisible());

        control(view, ids::kNotesCopy)->setFocus();
        pressKey(Qt::Key_Return);
        control(view, ids::kNotesPaste)->setFocus();
        pressKey(Qt::Key_Space);
        EXPECT_TRUE(events.received(ids::kNotesCopy, notify::kButtonClicked));
        EXPECT_TRUE(events.received(ids::kNotesPaste, notify::kButtonClicked));
        EXPECT_FALSE(events.received(kIdOk, 0));
        view.close(7);
    });
    EXPECT_EQ(result, 7);
    // None of those keys reached the main window behind the dialog.
    EXPECT_TRUE(procedure.commands().empty());
    EXPECT_TRUE(procedure.keyDowns().empty());

    // Once the dialog has ended, the main window has the keyboard again.
    EXPECT_EQ(QApplication::activeWindow(), qtWindow->frame());
    pressKey(Qt::Key_B);
    EXPECT_EQ(procedure.keyDowns(), (std::vector<std::uint64_t>{0x42}));
}

TEST_F(QtModalDialog, EditTextComesBackWithCrLfAndPositionsCountBreaksTwice) {
    RecordingDialog events;
    runDialog(resources::notesDialog(), events, [&](DialogView& view, QWidget&) {
        view.setText(ids::kNotesEdit, "one\r\ntwo\nthree");
        EXPECT_EQ(view.text(ids::kNotesEdit), "one\r\ntwo\r\nthree");
        EXPECT_TRUE(events.commands.empty()) << "the logic's own text is no user edit";

        auto* edit = qobject_cast<QPlainTextEdit*>(control(view, ids::kNotesEdit));
        view.select(ids::kNotesEdit, 5, 8);
        EXPECT_EQ(edit->textCursor().selectedText(), QStringLiteral("two"));
        EXPECT_EQ(view.selection(ids::kNotesEdit).start, 5u);
        EXPECT_EQ(view.selection(ids::kNotesEdit).end, 8u);

        view.copySelection(ids::kNotesEdit);
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("two"));

        view.select(ids::kNotesEdit, 0, kNoPosition);
        EXPECT_EQ(view.selection(ids::kNotesEdit).end, 15u);
        view.select(ids::kNotesEdit, kNoPosition, 0);
        EXPECT_EQ(view.selection(ids::kNotesEdit).start, 15u);
        EXPECT_EQ(view.selection(ids::kNotesEdit).end, 15u);

        view.select(ids::kNotesEdit, 0, 3);
        view.paste(ids::kNotesEdit);
        EXPECT_EQ(view.text(ids::kNotesEdit), "two\r\ntwo\r\nthree");
        EXPECT_TRUE(events.commands.empty());
        view.close(0);
    });
}

TEST_F(QtModalDialog, TextsAreUtf8WhereValidAndWindows1252Otherwise) {
    RecordingDialog events;
    runDialog(resources::notesDialog(), events, [&](DialogView& view, QWidget&) {
        auto* edit = qobject_cast<QPlainTextEdit*>(control(view, ids::kNotesEdit));
        view.setText(ids::kNotesEdit, "caf\xE9 \x93quoted\x94 \x80");
        EXPECT_EQ(edit->toPlainText(), QString::fromUtf8("café “quoted” €"));
        EXPECT_EQ(view.text(ids::kNotesEdit), "caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x82\xAC");

        view.setText(ids::kNotesEdit, "\xE2\x82\xAC 5");
        EXPECT_EQ(edit->toPlainText(), QString::fromUtf8("€ 5"));
        view.close(0);
    });
}

TEST(GuiTextCodec, OnlyWellFormedUtf8CountsAsUtf8) {
    EXPECT_TRUE(qt::isValidUtf8("plain ASCII"));
    EXPECT_TRUE(qt::isValidUtf8("\xF0\x9F\x93\x96 book"));
    EXPECT_FALSE(qt::isValidUtf8("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(qt::isValidUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(qt::isValidUtf8("\xE2\x82"));          // cut short
    EXPECT_FALSE(qt::isValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_EQ(qt::fromBytes("\xC0\xAF"), QString::fromUtf8("À¯"));
    EXPECT_EQ(qt::fromBytesAsLines("a\rb\r\nc\nd"), QStringLiteral("a\nb\nc\nd"));
}

TEST_F(QtModalDialog, AboutTakesEnterAsOkAndItsCloseBoxAsksTheLogic) {
    RecordingDialog events;
    events.init = [](DialogView& view) {
        view.setText(ids::kAboutText, "vTome 0.92\r\nline two");
        view.select(ids::kAboutText, kNoPosition, 0);
        view.focusDialog();
    };
    const int result = runDialog(resources::aboutDialog(), events, [&](DialogView& view, QWidget& window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("About vTome"));
        EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "a fixed frame";
        EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));

        pressKey(Qt::Key_Return);
        view.focus(ids::kAboutText);
        pressKey(Qt::Key_Return);  // this edit does not want Enter
        EXPECT_EQ(events.commands, (std::vector<RecordingDialog::Command>{{kIdOk, 0}, {kIdOk, 0}}));
        EXPECT_EQ(view.text(ids::kAboutText), "vTome 0.92\r\nline two");
        EXPECT_TRUE(window.isVisible());

        window.close();  // the close box: the default logic ends with 0
        EXPECT_EQ(events.closeRequests, 1);
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_EQ(result, 0);
}

TEST_F(QtModalDialog, BookmarksListReportsDoubleClicksAndFindsLinesIgnoringAsciiCase) {
    RecordingDialog events;
    events.init = [](DialogView& view) {
        view.addItem(ids::kBookmarksList, "Introduction");
        view.addItem(ids::kBookmarksList, "Usage");
        view.selectItem(ids::kBookmarksList, 0);
    };
    runDialog(resources::bookmarksDialog(), events, [&](DialogView& view, QWidget& window) {
        EXPECT_GT(window.maximumWidth(), window.minimumWidth()) << "a resizable frame";
        EXPECT_FALSE(view.isEnabled(kIdOk));
        EXPECT_FALSE(view.isEnabled(ids::kBookmarksDelete));
        EXPECT_TRUE(view.isEnabled(kIdCancel));
        EXPECT_EQ(view.itemCount(ids::kBookmarksList), 2u);
        EXPECT_EQ(view.findItemExact(ids::kBookmarksList, "USAGE"), std::optional<std::uint32_t>(1));
        EXPECT_EQ(view.findItemExact(ids::kBookmarksList, "Usag"), std::nullopt);
        EXPECT_EQ(view.selectedItem(ids::kBookmarksList), std::optional<std::uint32_t>(0));

        auto* list = qobject_cast<QListWidget*>(control(view, ids::kBookmarksList));
        const QPoint line = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line);
        EXPECT_TRUE(events.received(ids::kBookmarksList, notify::kListDoubleClick));
        EXPECT_EQ(view.selectedItem(ids::kBookmarksList), std::optional<std::uint32_t>(1));

        view.removeItem(ids::kBookmarksList, 0);
        EXPECT_EQ(view.itemCount(ids::kBookmarksList), 1u);
        EXPECT_EQ(view.itemText(ids::kBookmarksList, 0), "Usage");
        view.selectItem(ids::kBookmarksList, std::nullopt);
        EXPECT_EQ(view.selectedItem(ids::kBookmarksList), std::nullopt);

        // Enter on the list is the dialog's OK.
        list->setFocus();
        pressKey(Qt::Key_Return);
        EXPECT_TRUE(events.received(kIdOk, 0));
        view.close(1);
    });
}

TEST(GuiModalDialogStart, ALogicThatClosesAtOnceRunsNoLoop) {
    RecordingDialog events;
    events.init = [](DialogView& view) { view.close(3); };
    EXPECT_EQ(platform().runModalDialog(resources::aboutDialog(), events), 3);
}

TEST_F(QtModalDialog, TheBarShowsItsTemplateStatesAndTitleFont) {
    RecordingDialog events;
    bool controlsExistedAtInit = false;
    events.init = [&](DialogView& view) { controlsExistedAtInit = control(view, ids::kNavTitle) != nullptr; };
    DialogPane& bar = platform().createDialogPane(resources::navigationBar(), events);
    EXPECT_TRUE(controlsExistedAtInit);
    DialogView& view = bar.view();
    EXPECT_FALSE(view.isVisible(ids::kNavNoteIndicator));
    EXPECT_FALSE(view.isEnabled(ids::kNavSearch));
    EXPECT_TRUE(view.isEnabled(ids::kNavHome));
    view.setVisible(ids::kNavNoteIndicator, true);
    EXPECT_TRUE(view.isVisible(ids::kNavNoteIndicator));

    view.setText(ids::kNavTitle, "Installing & <b>setup</b>");
    auto* title = qobject_cast<QLabel*>(control(view, ids::kNavTitle));
    EXPECT_EQ(title->text(), QStringLiteral("Installing & <b>setup</b>"));
    EXPECT_EQ(title->textFormat(), Qt::PlainText);
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->font().pixelSize(), 16);
    EXPECT_EQ(view.text(ids::kNavTitle), "Installing & <b>setup</b>");

    // Dialog units follow the font: Next stands right of Prev, both alike.
    const QRect prev = control(view, ids::kNavPrevious)->geometry();
    const QRect next = control(view, ids::kNavNext)->geometry();
    EXPECT_EQ(prev.size(), next.size());
    EXPECT_GT(next.left(), prev.right());
    EXPECT_FALSE(bar.hasFocus());
    view.focus(ids::kNavHome);
    EXPECT_TRUE(bar.hasFocus());
}

}  // namespace
}  // namespace vtome::gui_test
