// Keys pressed in the main window: the navigation bar's dialog keys, the
// accelerators wherever the focus is, and keys for the main window itself.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeView>

#include "gui_support.h"
#include "platform/qt/contents_pane.h"
#include "platform/qt/dialog_pane.h"
#include "platform/qt/main_window.h"
#include "platform/qt/topic_view.h"
#include "resources/ids.h"

namespace vtome::gui_test {
namespace {

class NoTreeEvents final : public ContentsTreeEvents {
public:
    void onSelectionChanged(TreeItem, void*) override {}
};

class QtKeyRouting : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        bar = &platform().createDialogPane(resources::navigationBar(), barEvents);
        contents = &platform().createContentsPane(treeEvents);
        view = platform().createTopicView();
        const TreeItem header = items.add(kNoTreeItem, "Header");
        items.add(header, "Intro");
        items.add(header, "Usage");
        contents->setContents(&items);
        bar->place(Rect::fromSize(0, 0, 600, 52));
        contents->place(Rect::fromSize(0, 52, 200, 300));
        view->place(Rect::fromSize(203, 52, 397, 300));
        bar->show();
        contents->show();
        view->show();
        view->setText("\r\nSome topic text\r\nwith two lines");
        showActive();
        contents->selectItem(header);
        procedure.messages.clear();
        barEvents.commands.clear();
    }

    QWidget* barControl(std::uint32_t id) { return dynamic_cast<qt::QtDialogPane&>(*bar).dialog().controlWidget(id); }
    QTreeView* tree() { return dynamic_cast<qt::QtContentsPane&>(*contents).tree(); }
    qt::TopicTextWidget* editor() { return dynamic_cast<qt::QtTopicView&>(*view).editor(); }

    static bool focusIsOn(const QWidget* control) {
        const QWidget* focus = QApplication::focusWidget();
        return focus != nullptr && (focus == control || control->isAncestorOf(focus));
    }

    static std::vector<std::uint64_t> accelerator(std::uint32_t command) {
        return {commandParam(command, notify::kAccelerator)};
    }

    RecordingDialog barEvents;
    NoTreeEvents treeEvents;
    TestContents items;
    DialogPane* bar = nullptr;
    ContentsPane* contents = nullptr;
    TopicTextView* view = nullptr;
};

TEST_F(QtKeyRouting, NavigationKeysInTheTreeAreAcceleratorsAndLeaveItsSelection) {
    tree()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), tree());
    const QModelIndex selected = tree()->currentIndex();
    const struct {
        Qt::Key key;
        std::uint32_t command;
    } cases[] = {
        {Qt::Key_PageDown, ids::kCmdNext},  {Qt::Key_PageUp, ids::kCmdPrevious},
        {Qt::Key_Home, ids::kCmdHome},      {Qt::Key_End, ids::kCmdEnd},
        {Qt::Key_Down, ids::kCmdLineDown},  {Qt::Key_Up, ids::kCmdLineUp},
        {Qt::Key_Right, ids::kCmdPageDown}, {Qt::Key_Left, ids::kCmdPageUp},
        {Qt::Key_Backspace, ids::kCmdBack}, {Qt::Key_Insert, ids::kCmdFocusSearch},
        {Qt::Key_F1, ids::kCmdOwnHelp},     {Qt::Key_F3, ids::kCmdSearch},
    };
    for (const auto& c : cases) {
        procedure.messages.clear();
        pressKey(c.key);
        EXPECT_EQ(procedure.commands(), accelerator(c.command)) << "key " << c.key;
        EXPECT_EQ(tree()->currentIndex(), selected) << "key " << c.key;
    }
    EXPECT_TRUE(procedure.keyDowns().empty());
}

TEST_F(QtKeyRouting, ArrowsScrollTheTextWithoutMovingItsCaretButShiftArrowsSelect) {
    editor()->setFocus();
    view->select({3, 3});
    pressKey(Qt::Key_Right);
    EXPECT_EQ(procedure.commands(), accelerator(ids::kCmdPageDown));
    EXPECT_EQ(view->selection(), (TextRange{3, 3}));

    // Modifiers must match exactly: Shift+Right is no accelerator.
    procedure.messages.clear();
    pressKey(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(procedure.commands().empty());
    EXPECT_EQ(view->selection(), (TextRange{3, 4}));
}

TEST_F(QtKeyRouting, EscapeIsTheBarsOwnInItsSearchBoxAndQuitsElsewhere) {
    barControl(ids::kNavSearchBox)->setFocus();
    pressKey(Qt::Key_Escape);
    EXPECT_TRUE(procedure.commands().empty());
    EXPECT_TRUE(barEvents.commands.empty());

    tree()->setFocus();
    pressKey(Qt::Key_Escape);
    EXPECT_EQ(procedure.commands(), accelerator(ids::kCmdQuit));
}

TEST_F(QtKeyRouting, KeysOnTheMainWindowItselfArriveAsKeyDown) {
    window->focus();
    ASSERT_TRUE(window->hasFocus());
    pressKey(Qt::Key_B);
    pressKey(Qt::Key_Space);
    pressKey(Qt::Key_B, Qt::ShiftModifier);  // Shift goes down first, as a key of its own
    EXPECT_EQ(procedure.keyDowns(), (std::vector<std::uint64_t>{0x42, vk::kSpace, 0x10, 0x42}));
    EXPECT_TRUE(procedure.commands().empty());

    procedure.messages.clear();
    pressKey(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(procedure.commands(), accelerator(ids::kCmdManageBookmarks));
    EXPECT_EQ(procedure.keyDowns(), (std::vector<std::uint64_t>{0x11}));
}

TEST_F(QtKeyRouting, LettersInAPaneStayWithThePane) {
    tree()->setFocus();
    pressKey(Qt::Key_B);
    pressKey(Qt::Key_Space);
    EXPECT_TRUE(procedure.keyDowns().empty());
    EXPECT_FALSE(window->hasFocus());
}

TEST_F(QtKeyRouting, TheSearchBoxKeepsItsEditingKeysButNotTheOtherAccelerators) {
    auto* combo = qobject_cast<QComboBox*>(barControl(ids::kNavSearchBox));
    combo->setFocus();
    typeText(QStringLiteral("ab"));
    EXPECT_EQ(combo->currentText(), QStringLiteral("ab"));
    EXPECT_TRUE(barEvents.received(ids::kNavSearchBox, notify::kComboEditChange));

    pressKey(Qt::Key_Home);
    pressKey(Qt::Key_Backspace);
    pressKey(Qt::Key_Right);
    EXPECT_TRUE(procedure.commands().empty());
    EXPECT_EQ(combo->lineEdit()->cursorPosition(), 1);

    pressKey(Qt::Key_F3);
    pressKey(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(procedure.commands(),
              (std::vector<std::uint64_t>{commandParam(ids::kCmdSearch, notify::kAccelerator),
                                          commandParam(ids::kCmdManageBookmarks, notify::kAccelerator)}));
}

TEST_F(QtKeyRouting, ChoosingALineOfTheSearchBoxIsReportedButSettingItIsNot) {
    DialogView& barView = bar->view();
    barView.addItem(ids::kNavSearchBox, "alpha");
    barView.addItem(ids::kNavSearchBox, "beta");
    barView.selectItem(ids::kNavSearchBox, 1);
    EXPECT_EQ(barView.text(ids::kNavSearchBox), "beta");
    EXPECT_TRUE(barEvents.commands.empty());

    barControl(ids::kNavSearchBox)->setFocus();
    pressKey(Qt::Key_Up);
    EXPECT_EQ(barView.text(ids::kNavSearchBox), "alpha");
    EXPECT_TRUE(barEvents.received(ids::kNavSearchBox, notify::kComboSelEndOk));
    EXPECT_FALSE(barEvents.received(ids::kNavSearchBox, notify::kComboEditChange));
}

TEST_F(QtKeyRouting, TabInTheBarFollowsTemplateOrderSkipsDisabledControlsAndWraps) {
    barControl(ids::kNavHome)->setFocus();
    // Search (3006) and Note (3008) start disabled; the title and the note
    // indicator are no tab stops. Forward comes right after Back.
    const std::uint32_t forward[] = {ids::kNavBack,      ids::kNavForward,  ids::kNavPrevious, ids::kNavNext,
                                     ids::kNavSearchBox, ids::kNavBookmark, ids::kNavHome};
    for (const std::uint32_t id : forward) {
        pressKey(Qt::Key_Tab);
        EXPECT_TRUE(focusIsOn(barControl(id))) << "expected focus on " << id;
    }
    pressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(focusIsOn(barControl(ids::kNavBookmark)));

    bar->view().setEnabled(ids::kNavSearch, true);
    barControl(ids::kNavSearchBox)->setFocus();
    pressKey(Qt::Key_Tab);
    EXPECT_TRUE(focusIsOn(barControl(ids::kNavSearch)));
    EXPECT_TRUE(procedure.commands().empty());
}

TEST_F(QtKeyRouting, EnterInTheBarIsItsDefaultCommandOrTheFocusedButton) {
    barControl(ids::kNavSearchBox)->setFocus();
    pressKey(Qt::Key_Return);
    EXPECT_EQ(barEvents.commands, (std::vector<RecordingDialog::Command>{{kIdOk, 0}}));

    barEvents.commands.clear();
    barControl(ids::kNavHome)->setFocus();
    pressKey(Qt::Key_Enter);
    EXPECT_EQ(barEvents.commands, (std::vector<RecordingDialog::Command>{{ids::kNavHome, notify::kButtonClicked}}));
    EXPECT_TRUE(procedure.commands().empty());
}

TEST_F(QtKeyRouting, ClickingABarButtonReportsItToTheBar) {
    bar->view().setEnabled(ids::kNavNote, true);
    auto* note = qobject_cast<QAbstractButton*>(barControl(ids::kNavNote));
    note->click();
    EXPECT_TRUE(barEvents.received(ids::kNavNote, notify::kButtonClicked));
    EXPECT_TRUE(procedure.commands().empty());
}

}  // namespace
}  // namespace vtome::gui_test
