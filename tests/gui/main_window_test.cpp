// The main window as the application sees it: messages, menu bar, client
// area, the failure guard and the splitter's mouse reports.

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <new>

#include "gui_support.h"
#include "platform/qt/main_window.h"
#include "platform/qt/menu_bar.h"
#include "platform/qt/splitter.h"
#include "resources/ids.h"

namespace vtome::gui_test {
namespace {

using QtMainWindowTest = MainWindowTest;

void collectActions(const QList<QAction*>& actions, std::vector<QAction*>& into) {
    for (QAction* action : actions) {
        into.push_back(action);
        if (action->menu() != nullptr) collectActions(action->menu()->actions(), into);
    }
}

TEST_F(QtMainWindowTest, CreationIsTheFirstMessageAndTheWindowStartsHidden) {
    ASSERT_FALSE(procedure.messages.empty());
    EXPECT_EQ(procedure.attached, window) << "attached before creation";
    EXPECT_EQ(procedure.messages.front().message, message::kCreate);
    EXPECT_FALSE(qtWindow->frame()->isVisible());
    EXPECT_EQ(window->title(), "vTome test");
    // The client area is known before the window is ever shown.
    EXPECT_GT(window->clientSize().width, 0);
    EXPECT_GT(window->clientSize().height, 0);
}

TEST_F(QtMainWindowTest, MenuItemsCarryTheirCaptionsAndReportCommandsButHaveNoShortcuts) {
    qt::QtMenuBar& menu = qtWindow->qtMenuBar();
    ASSERT_NE(menu.action(ids::kCmdOpen), nullptr);
    EXPECT_EQ(menu.action(ids::kCmdOpen)->text(), QStringLiteral("&Open...\tCtrl+O"));
    EXPECT_EQ(menu.action(ids::kCmdShortcuts)->text(), QStringLiteral("&Keyboard Shortcuts"));

    std::vector<QAction*> all;
    collectActions(qtWindow->frame()->menuBar()->actions(), all);
    for (const QAction* action : all) EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();

    menu.action(ids::kCmdOpen)->trigger();
    menu.action(ids::kCmdAbout)->trigger();
    EXPECT_EQ(procedure.commands(), (std::vector<std::uint64_t>{commandParam(ids::kCmdOpen, notify::kMenu),
                                                                commandParam(ids::kCmdAbout, notify::kMenu)}));
}

TEST_F(QtMainWindowTest, CheckMarksChangeOnlyWhenTheApplicationSetsThem) {
    MenuBar& menu = window->menuBar();
    menu.setChecked(ids::kCmdScopeTopic, true);
    EXPECT_TRUE(menu.isChecked(ids::kCmdScopeTopic));
    EXPECT_FALSE(menu.isChecked(ids::kCmdTopWindow));

    qtWindow->qtMenuBar().action(ids::kCmdTopWindow)->trigger();
    qtWindow->qtMenuBar().action(ids::kCmdScopeTopic)->trigger();
    EXPECT_FALSE(menu.isChecked(ids::kCmdTopWindow));
    EXPECT_TRUE(menu.isChecked(ids::kCmdScopeTopic));
    EXPECT_EQ(procedure.commands(), (std::vector<std::uint64_t>{commandParam(ids::kCmdTopWindow, notify::kMenu),
                                                                commandParam(ids::kCmdScopeTopic, notify::kMenu)}));
}

TEST_F(QtMainWindowTest, TheBookmarksPopupIsReplacedWhole) {
    const MenuEntry entries[] = {
        {MenuEntry::Kind::Command, "Manage Bookmarks\tCtrl+B", ids::kCmdManageBookmarks},
        {MenuEntry::Kind::Separator, "", 0},
        {MenuEntry::Kind::Command, "Introduction", ids::kFirstBookmarkCommand + 1},
        {MenuEntry::Kind::Command, "Usage", ids::kFirstBookmarkCommand + 2},
    };
    window->menuBar().replacePopup(2, "&Bookmarks", entries);
    const QMenu* popup = qtWindow->frame()->menuBar()->actions().at(2)->menu();
    ASSERT_EQ(popup->actions().size(), 4);
    EXPECT_TRUE(popup->actions().at(1)->isSeparator());
    EXPECT_EQ(popup->actions().at(3)->text(), QStringLiteral("Usage"));

    popup->actions().at(3)->trigger();
    EXPECT_EQ(procedure.commands(), (std::vector<std::uint64_t>{commandParam(ids::kFirstBookmarkCommand + 2, 0)}));

    window->menuBar().replacePopup(2, "&Bookmarks", std::span(entries, 3));
    EXPECT_EQ(qtWindow->qtMenuBar().action(ids::kFirstBookmarkCommand + 2), nullptr);
    EXPECT_EQ(popup->actions().size(), 3);
    // The other pop-ups are untouched.
    EXPECT_NE(qtWindow->qtMenuBar().action(ids::kCmdOpen), nullptr);
}

TEST_F(QtMainWindowTest, TheCloseBoxOnlyAsksTheApplication) {
    showActive();
    EXPECT_FALSE(qtWindow->frame()->close());
    EXPECT_EQ(procedure.count(message::kClose), 1u);
    EXPECT_TRUE(qtWindow->frame()->isVisible());
}

TEST_F(QtMainWindowTest, ResizingReportsSizeAndTheClientAreaLiesBelowTheMenu) {
    showActive();
    procedure.messages.clear();
    window->moveWindow(Rect::fromSize(10, 20, 500, 400));
    ASSERT_TRUE(QTest::qWaitFor([&] { return procedure.count(message::kSize) > 0; }));
    EXPECT_EQ(window->windowRect(), Rect::fromSize(10, 20, 500, 400));

    const Size client = window->clientSize();
    EXPECT_EQ(client.width, qtWindow->client()->width());
    EXPECT_EQ(client.height, qtWindow->client()->height());
    EXPECT_GE(qtWindow->client()->geometry().top(), qtWindow->frame()->menuBar()->geometry().bottom());
    EXPECT_LT(client.height, 400);

    StatusBar& status = platform().createStatusBar();
    const Rect place{0, client.height - 21, client.width, client.height};
    status.place(place);
    status.show();
    EXPECT_EQ(status.placement(), place);
}

TEST_F(QtMainWindowTest, FocusRestsOnTheClientAreaWhenAskedAndTopmostSurvivesReshowing) {
    showActive();
    window->focus();
    EXPECT_TRUE(window->hasFocus());
    EXPECT_EQ(QApplication::focusWidget(), qtWindow->client());

    window->setTopmost(true);
    EXPECT_TRUE(window->isTopmost());
    EXPECT_TRUE(qtWindow->frame()->isVisible());
    window->setTopmost(false);
    EXPECT_FALSE(window->isTopmost());
    EXPECT_TRUE(qtWindow->frame()->isVisible());
}

TEST_F(QtMainWindowTest, FailuresFromTheApplicationReachTheHandlerNotTheEventLoop) {
    FailureRecorder failures;
    procedure.hook = [](const Message& m) {
        if (m.message == message::kCommand) throw RuntimeFailure(FailureCode::FileOpenFailure);
    };
    qtWindow->qtMenuBar().action(ids::kCmdOpen)->trigger();

    showActive();
    window->focus();
    procedure.hook = [](const Message& m) {
        if (m.message == message::kKeyDown) throw std::bad_alloc();
    };
    pressKey(Qt::Key_Space);
    EXPECT_EQ(failures.numbers, (std::vector<int>{25, 38}));
    procedure.hook = nullptr;
}

class RecordingSplitter final : public SplitterEvents {
public:
    void onMouseMove() override { events.push_back("move"); }
    void onButtonDown() override { events.push_back("down"); }
    void onButtonUp() override { events.push_back("up"); }
    std::vector<std::string> events;
};

TEST_F(QtMainWindowTest, TheSplitterReportsTheMouseAndADoubleClickStartsNoSecondDrag) {
    RecordingSplitter events;
    Splitter& splitter = platform().createSplitter(events);
    splitter.place(Rect::fromSize(200, 52, 3, 300));
    splitter.show();
    showActive();
    QWidget* bar = dynamic_cast<qt::QtSplitter&>(splitter).widget();
    EXPECT_EQ(bar->cursor().shape(), Qt::SplitHCursor);

    const QPoint at(1, 10);
    const QPoint global = bar->mapToGlobal(at);
    auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), QPointF(global), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(events.events, (std::vector<std::string>{"down", "move", "up", "up"}));

    splitter.setMouseCapture(true);
    EXPECT_EQ(QWidget::mouseGrabber(), bar);
    splitter.setMouseCapture(false);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

}  // namespace
}  // namespace vtome::gui_test

namespace vtome::gui_test {
namespace {

TEST(GuiMessageLoop, AQuitBeforeTheLoopEndsItAtOnceAndAQuitInsideEndsItAtItsNextTurn) {
    platform().quit(4);
    EXPECT_EQ(platform().runMessageLoop(), 4);

    bool queuedBeforeQuitRan = false;
    QTimer::singleShot(0, qApp, [&] { platform().quit(5); });
    QTimer::singleShot(0, qApp, [&] { queuedBeforeQuitRan = true; });
    EXPECT_EQ(platform().runMessageLoop(), 5);
    EXPECT_TRUE(queuedBeforeQuitRan);
}

}  // namespace
}  // namespace vtome::gui_test
