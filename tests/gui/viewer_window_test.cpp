// The whole viewer window on real widgets: its menu bar, keys pressed where
// a user presses them, where the panes go, the settings a real start and
// close leave behind, a topic as it is drawn, the search box, and the
// viewer's own help started as a second instance.

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QTreeView>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <sys/inotify.h>
#include <unistd.h>

#include "gui_support.h"
#include "platform/qt/contents_pane.h"
#include "platform/qt/dialog_renderer.h"
#include "platform/qt/main_window.h"
#include "platform/qt/menu_bar.h"
#include "platform/qt/splitter.h"
#include "platform/qt/topic_view.h"
#include "resources/ids.h"
#include "shell/settings.h"
#include "shell/side_commands.h"

namespace vtome::gui_test {
namespace {

using namespace std::chrono_literals;
using testing::readFile;
using testing::writeFile;

// A long paragraph of words: it wraps into several display lines.
std::string paragraph(const std::string& words, int repeats) {
    std::string text;
    for (int i = 0; i < repeats; ++i) text += words;
    return text;
}

// "Label 1.", "Label 2.", ... one a line.
std::string numberedLines(const std::string& label, int count) {
    std::string lines;
    for (int i = 1; i <= count; ++i) lines += label + " " + std::to_string(i) + ".\r\n";
    return lines;
}

// "Long Lines": a wrapped paragraph holding "Needle", forty short lines and
// a last "NEEDLE" far below the first screen.
const std::string kLongText = paragraph("several plain words ", 30) + "a Needle here " +
                              paragraph("more words follow ", 20) + "\r\n" + numberedLines("Short line", 40) +
                              "The last NEEDLE.";

const std::string kDocument =
    "[vTome Header]\r\n<text>\r\nThe guide.\r\n</text>\r\n\r\n"
    "[vTome Contents]\r\nIntro=Introduction\r\n.Install=Installing\r\nUsage\r\n"
    "Long=Long Lines\r\nLast=The End\r\n\r\n"
    "[Intro]\r\n<text>\r\nWhat it does.\r\n</text>\r\n\r\n"
    "[Install]\r\n<text>\r\nRun the setup.\r\n</text>\r\n\r\n"
    "[Usage]\r\n<text>\r\n" +
    numberedLines("Usage line", 60) +
    "</text>\r\n\r\n"
    "[Long]\r\n<text>\r\n" +
    kLongText +
    "\r\n</text>\r\n\r\n"
    "[Last]\r\n<text>\r\nThe end.\r\n</text>\r\n";

// Runs the message loop until the application ends it; `user` acts once it
// runs. The loop's exit code, or 99 when nothing ended it.
int runLoopWith(const std::function<void()>& user) {
    QTimer act;
    act.setSingleShot(true);
    QObject::connect(&act, &QTimer::timeout, user);
    act.start(0);
    QTimer safety;  // a quit that never comes must not hang the suite
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { platform().quit(99); });
    safety.start(5000);
    return platform().runMessageLoop();
}

// The main window's panes, reached through the application's own handles.
class ViewerPanes {
public:
    explicit ViewerPanes(shell::Application& app) : app_(app) {}

    qt::QtTopicView& topicView() const { return dynamic_cast<qt::QtTopicView&>(*app_.viewer().panes().topicView); }
    qt::TopicTextWidget* editor() const { return topicView().editor(); }
    qt::QtContentsPane& contents() const { return dynamic_cast<qt::QtContentsPane&>(*app_.viewer().panes().contents); }
    QTreeView* tree() const { return contents().tree(); }
    qt::RenderedDialog& bar() const { return dynamic_cast<qt::RenderedDialog&>(*app_.viewer().panes().navigationBar); }
    QComboBox* searchBox() const { return qobject_cast<QComboBox*>(bar().controlWidget(ids::kNavSearchBox)); }
    QPushButton* searchButton() const { return qobject_cast<QPushButton*>(bar().controlWidget(ids::kNavSearch)); }

    // The bar's own pane: the child of the client area its controls live in.
    QWidget* barPane(QWidget* client) const {
        QWidget* at = bar().controlWidget(ids::kNavHome);
        while (at != nullptr && at->parentWidget() != client) at = at->parentWidget();
        return at;
    }
    static QWidget* splitter(QWidget* client) {
        for (QWidget* child : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (dynamic_cast<qt::SplitterBar*>(child) != nullptr) return child;
        }
        return nullptr;
    }

private:
    shell::Application& app_;
};

class QtViewer : public ViewerWindowTest {
protected:
    QtViewer() : ViewerWindowTest(kDocument) {}

    ViewerPanes panes() { return ViewerPanes(*app_); }
    std::string currentTitle() {
        const TopicEntry* current = app_->viewer().document().currentTopic;
        return current != nullptr ? std::string(current->title()) : std::string("(none)");
    }
    // The title the bar shows and the tree's selected line, which must agree
    // with the topic on screen.
    std::string barTitle() { return panes().bar().text(ids::kNavTitle); }
    std::string treeSelection() {
        const QModelIndex item = panes().tree()->currentIndex();
        return item.isValid() ? item.data().toString().toStdString() : std::string("(none)");
    }
    bool focusIn(const QWidget* widget) {
        const QWidget* focus = QApplication::focusWidget();
        return focus != nullptr && (focus == widget || widget->isAncestorOf(focus));
    }

    // Resizes the frame so that the client area gets exactly this size.
    void resizeClient(int width, int height) {
        QMainWindow* frame = window().frame();
        QWidget* client = window().client();
        frame->resize(QSize(width, height) + (frame->size() - client->size()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return client->size() == QSize(width, height); }))
            << client->width() << "x" << client->height();
    }
};

// --- the menu bar

std::uint32_t commandOf(const qt::QtMenuBar& menu, const QAction* action) {
    for (std::uint32_t id = 1; id < 1100; ++id) {
        if (menu.action(id) == action) return id;
    }
    return 0;
}

// One line per item as the menus show it: the caption (the part after a tab
// is drawn as the shortcut column), the command and any check mark.
void describe(const QList<QAction*>& actions, const qt::QtMenuBar& menu, const std::string& indent,
              std::vector<std::string>& lines) {
    for (const QAction* action : actions) {
        if (action->isSeparator()) {
            lines.push_back(indent + "-");
            continue;
        }
        std::string line = indent + action->text().toStdString();
        if (action->menu() != nullptr) {
            lines.push_back(line);
            describe(action->menu()->actions(), menu, indent + "  ", lines);
            continue;
        }
        line += " #" + std::to_string(commandOf(menu, action));
        if (action->isCheckable()) line += action->isChecked() ? " [x]" : " [ ]";
        lines.push_back(line);
    }
}

// The menu bar as it is right after a start with no settings file. Opening
// a document rebuilds the Bookmarks pop-up with its own captions.
std::vector<std::string> menuAfterStart(bool documentOpen) {
    std::vector<std::string> lines = {
        "&File",
        "  &Open...\tCtrl+O #1003",
        "  &Save As... #1013",
        "  &Quit\tAlt+F4 #1002",
        "&Options",
        "  &Search Scope",
        "    Topic #1005 [x]",
        "    Document #1006 [ ]",
        "  &Top Window\tCtrl+T #1008 [ ]",
        "  -",
        "  &Reopen at Last Place #1019 [ ]",
        "  -",
        "  &Larger Text\tCtrl++ #1016",
        "  S&maller Text\tCtrl+- #1017",
        "  &Normal Text Size\tCtrl+0 #1018",
    };
    if (documentOpen) {
        lines.insert(lines.end(), {"Bookmarks", "  Manage Bookmarks   Ctrl+B #1012", "  -"});
    } else {
        lines.insert(lines.end(), {"&Bookmarks", "  Manage Bookmarks\tCtrl+B #1012", "  -"});
    }
    lines.insert(lines.end(), {
                                  "&Help",
                                  "  &vTome\tF1 #1010",
                                  "  &Keyboard Shortcuts #1014",
                                  "  -",
                                  "  &About #1011",
                              });
    return lines;
}

std::vector<std::string> menuShown() {
    std::vector<std::string> lines;
    describe(platform().mainWindow()->frame()->menuBar()->actions(), platform().mainWindow()->qtMenuBar(), "", lines);
    return lines;
}

TEST_F(QtViewer, TheMenuBarShowsEveryItemWithItsCommandAndTheCheckMarksOfTheSettings) {
    EXPECT_EQ(menuShown(), menuAfterStart(true));
    EXPECT_TRUE(app_->search().searchInTopicScope());
}

class QtViewerWithoutDocument : public QtViewer {
protected:
    std::vector<std::string> arguments() const override { return {}; }
};

TEST_F(QtViewerWithoutDocument, TheMenuBarIsTheResourcesUntilADocumentIsOpened) {
    EXPECT_EQ(menuShown(), menuAfterStart(false));
    EXPECT_FALSE(app_->viewer().document().isOpen());
    EXPECT_EQ(panes().tree()->model()->rowCount({}), 0);
}

TEST_F(QtViewer, MenuItemsReachTheirCommands) {
    qt::QtMenuBar& menu = window().qtMenuBar();
    show("Introduction");

    menu.action(ids::kCmdShortcuts)->trigger();
    EXPECT_EQ(panes().editor()->toPlainText(), "\n" + QString::fromLatin1(shell::SideCommands::shortcutsText()));
    EXPECT_EQ(currentTitle(), "Introduction") << "the key list is no topic";

    menu.action(ids::kCmdScopeDocument)->trigger();
    EXPECT_TRUE(menu.isChecked(ids::kCmdScopeDocument));
    EXPECT_FALSE(menu.isChecked(ids::kCmdScopeTopic));
    EXPECT_FALSE(app_->search().searchInTopicScope());

    menu.action(ids::kCmdTopWindow)->trigger();
    EXPECT_TRUE(menu.isChecked(ids::kCmdTopWindow));
    EXPECT_TRUE(window().frame()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window().frame()->isVisible());
    menu.action(ids::kCmdTopWindow)->trigger();
    EXPECT_FALSE(menu.isChecked(ids::kCmdTopWindow));
    EXPECT_FALSE(window().frame()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    openingDialog([&] { menu.action(ids::kCmdAbout)->trigger(); },
                  [](QWidget& dialog) {
                      EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About vTome"));
                      pressKey(Qt::Key_Return);
                  });
    openingDialog([&] { menu.action(ids::kCmdManageBookmarks)->trigger(); },
                  [](QWidget& dialog) {
                      EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Bookmarks"));
                      pressKey(Qt::Key_Escape);
                  });
    openingDialog([&] { menu.action(ids::kCmdSaveAs)->trigger(); },
                  [](QWidget& dialog) {
                      EXPECT_NE(dialog.findChild<QLineEdit*>(), nullptr) << "a file dialog";
                      pressKey(Qt::Key_Escape);
                  });
    EXPECT_EQ(currentTitle(), "Introduction");

    // Open asks first; cancelled, the document stays open.
    openingDialog([&] { menu.action(ids::kCmdOpen)->trigger(); }, [](QWidget&) { pressKey(Qt::Key_Escape); });
    EXPECT_EQ(panes().tree()->model()->rowCount({}), 1);
    EXPECT_TRUE(app_->viewer().document().isOpen());
    EXPECT_EQ(currentTitle(), "Introduction");

    // Quit ends the message loop and writes the settings.
    EXPECT_EQ(runLoopWith([&] { menu.action(ids::kCmdQuit)->trigger(); }), 0);
    ASSERT_TRUE(std::filesystem::exists(settingsPath()));
    EXPECT_NE(readFile(settingsPath()).find("\r\nScope=doc\r\n"), std::string::npos);
}

TEST_F(QtViewer, AMenuOpensWithItsMnemonicAndAnItemIsChosenWithItsOwn) {
    show("Introduction");
    pressKey(Qt::Key_H, Qt::AltModifier);
    QMenu* popup = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return popup != nullptr;
    })) << "Alt+H opens no menu";
    EXPECT_EQ(popup->title(), QStringLiteral("&Help"));
    QTest::keyClick(popup, Qt::Key_K);
    EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
    EXPECT_TRUE(panes().editor()->toPlainText().startsWith(QStringLiteral("\nKeyboard Shortcuts\n")));
}

// --- accelerators

TEST_F(QtViewer, PageDownOnTheMainWindowShowsTheNextTopic) {
    ASSERT_TRUE(window().hasFocus());
    EXPECT_EQ(currentTitle(), "doc.vtome") << "the header topic comes first";
    pressKey(Qt::Key_PageDown);
    EXPECT_EQ(currentTitle(), "Introduction");
    EXPECT_EQ(barTitle(), "Introduction");
    EXPECT_EQ(treeSelection(), "Introduction");
    EXPECT_TRUE(window().hasFocus());
    EXPECT_EQ(panes().editor()->toPlainText(), QStringLiteral("\nWhat it does."));
}

TEST_F(QtViewer, NavigationKeysInTheTreeMoveBetweenTopicsAndGiveTheFocusBack) {
    QTreeView* tree = panes().tree();
    // A click on a line of the tree shows that topic and leaves the focus there.
    const QModelIndex usage = findTitle(*tree->model(), QStringLiteral("Usage"));
    ASSERT_TRUE(usage.isValid());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualRect(usage).center());
    ASSERT_EQ(currentTitle(), "Usage");
    ASSERT_TRUE(focusIn(tree));

    const struct {
        Qt::Key key;
        const char* shown;
    } moves[] = {
        {Qt::Key_End, "The End"},         {Qt::Key_PageUp, "Long Lines"},      {Qt::Key_Home, "Introduction"},
        {Qt::Key_PageDown, "Installing"}, {Qt::Key_Backspace, "Introduction"},
    };
    for (const auto& move : moves) {
        tree->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(focusIn(tree));
        pressKey(move.key);
        EXPECT_EQ(currentTitle(), move.shown) << QTest::toString(move.key);
        // Had the tree handled the key too, its selection would have moved on.
        EXPECT_EQ(treeSelection(), move.shown) << QTest::toString(move.key);
        EXPECT_EQ(barTitle(), move.shown);
        EXPECT_TRUE(window().hasFocus()) << "after " << QTest::toString(move.key);
    }
}

TEST_F(QtViewer, ArrowKeysInTheTreeScrollTheTextAndLeaveTheTreeAlone) {
    show("Usage");
    QTreeView* tree = panes().tree();
    qt::QtTopicView& view = panes().topicView();
    tree->setFocus(Qt::MouseFocusReason);

    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Down);
    EXPECT_EQ(view.firstVisibleLine(), 2u);
    pressKey(Qt::Key_Right);
    const std::uint32_t afterPage = view.firstVisibleLine();
    EXPECT_GT(afterPage, 10u);
    pressKey(Qt::Key_Up);
    EXPECT_EQ(view.firstVisibleLine(), afterPage - 1);
    pressKey(Qt::Key_Left);
    EXPECT_LT(view.firstVisibleLine(), afterPage - 1);

    EXPECT_EQ(treeSelection(), "Usage");
    EXPECT_EQ(currentTitle(), "Usage");
    EXPECT_EQ(view.selection(), (TextRange{0, 0})) << "scrolling moves no caret";
}

// --- layout

TEST_F(QtViewer, ThePanesTileTheClientArea) {
    QWidget* client = window().client();
    const ViewerPanes p = panes();
    QWidget* bar = p.barPane(client);
    QWidget* contents = p.contents().widget();
    QWidget* splitter = ViewerPanes::splitter(client);
    QWidget* text = p.topicView().widget();
    QWidget* status = client->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_TRUE(bar != nullptr && splitter != nullptr && status != nullptr);

    for (const QSize size : {QSize(800, 600), QSize(640, 480)}) {
        resizeClient(size.width(), size.height());
        const int w = size.width();
        const int h = size.height();
        const int split = app_->layout().splitterPos();
        EXPECT_EQ(bar->geometry(), QRect(0, 0, w, 52));
        EXPECT_EQ(contents->geometry(), QRect(0, 52, split, h - 73));
        EXPECT_EQ(splitter->geometry(), QRect(split, 52, 3, h - 73));
        EXPECT_EQ(text->geometry(), QRect(split + 3, 52, w - split - 3, h - 73));
        EXPECT_EQ(status->geometry(), QRect(0, h - 21, w, 21));
        for (const QWidget* pane : {bar, contents, splitter, text, status}) EXPECT_TRUE(pane->isVisible());
    }
    // The client area begins below the menu bar.
    EXPECT_GE(client->geometry().top(), window().frame()->menuBar()->geometry().bottom());
}

// --- a topic as it is drawn

TEST_F(QtViewer, AWrappedTopicIsDrawnAndItsDisplayLinesAreWhatScrollingShows) {
    resizeClient(1000, 700);
    show("Long Lines");
    qt::TopicTextWidget* editor = panes().editor();
    qt::QtTopicView& view = panes().topicView();

    QString expected = QString::fromLatin1(kLongText);
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(editor->toPlainText(), "\n" + expected) << "one empty line above the topic";

    // The paragraph (line 1) wraps at a blank into several display lines.
    EXPECT_EQ(view.lineIndex(0), 0u);
    EXPECT_EQ(view.lineIndex(1), 1u);
    const std::uint32_t second = view.lineIndex(2);
    const auto paragraphEnd = static_cast<std::uint32_t>(expected.indexOf(QChar(u'\n')) + 1);
    ASSERT_LT(second, paragraphEnd) << "the paragraph did not wrap";
    EXPECT_EQ(editor->toPlainText().at(second - 1), QChar(u' '));

    // What the view shows at its top is the line the arithmetic names.
    auto topPosition = [&] { return static_cast<std::uint32_t>(editor->positionAt(QPoint(1, 1))); };
    EXPECT_EQ(topPosition(), 0u);
    for (int i = 0; i < 3; ++i) pressKey(Qt::Key_Down);
    EXPECT_EQ(view.firstVisibleLine(), 3u);
    EXPECT_EQ(topPosition(), view.lineIndex(3));
    pressKey(Qt::Key_Right);
    EXPECT_GT(view.firstVisibleLine(), 3u);
    EXPECT_EQ(topPosition(), view.lineIndex(view.firstVisibleLine()));

    // The window as a screenshot: the topic view is drawn, not blank.
    const QImage shot = window().frame()->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    const QRect area(editor->viewport()->mapTo(window().frame(), QPoint(0, 0)), editor->viewport()->size());
    ASSERT_TRUE(shot.rect().contains(area));
    std::set<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); y += 2) {
        for (int x = area.left(); x <= area.right(); ++x) colours.insert(shot.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 1u) << "the topic view is one colour";
}

// --- search

TEST_F(QtViewer, TheSearchBoxFindsEachOccurrenceInTurn) {
    show("Long Lines");
    QComboBox* box = panes().searchBox();
    QPushButton* search = panes().searchButton();
    qt::TopicTextWidget* editor = panes().editor();
    qt::QtTopicView& view = panes().topicView();
    EXPECT_FALSE(search->isEnabled());

    pressKey(Qt::Key_Insert);
    ASSERT_TRUE(focusIn(box));
    typeText(QStringLiteral("needle"));
    EXPECT_TRUE(search->isEnabled());

    pressKey(Qt::Key_Return);
    const TextRange first = view.selection();
    EXPECT_EQ(editor->selectedText(), QStringLiteral("Needle"));
    EXPECT_EQ(first.start, editor->toPlainText().indexOf(QStringLiteral("Needle")));
    ASSERT_EQ(box->count(), 1);
    EXPECT_EQ(box->itemText(0), QStringLiteral("needle"));
    EXPECT_TRUE(focusIn(box)) << "the box keeps the focus for the next Enter";
    EXPECT_EQ(view.firstVisibleLine(), 0u);

    // F3 is an accelerator in the box too; the match far below is scrolled to.
    pressKey(Qt::Key_F3);
    const TextRange second = view.selection();
    EXPECT_EQ(editor->selectedText(), QStringLiteral("NEEDLE"));
    EXPECT_GT(second.start, first.end);
    EXPECT_GT(view.firstVisibleLine(), 0u);
    EXPECT_TRUE(editor->viewport()->rect().contains(editor->caretRect().center()));
    EXPECT_TRUE(window().hasFocus());
    EXPECT_EQ(box->count(), 1) << "a text searched again is not listed twice";

    // The step that finds nothing more leaves the match; the next starts over.
    pressKey(Qt::Key_F3);
    EXPECT_EQ(view.selection().start, second.start);
    pressKey(Qt::Key_F3);
    EXPECT_EQ(view.selection().start, first.start);

    // Choosing the line from the dropped-down list starts over.
    box->showPopup();
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list->isVisible(); }));
    EXPECT_EQ(view.selection(), (TextRange{0, 0}));
    pressKey(Qt::Key_F3);
    EXPECT_EQ(view.selection().start, first.start);

    // An emptied box disables Search.
    pressKey(Qt::Key_Insert);
    ASSERT_TRUE(focusIn(box));
    box->lineEdit()->selectAll();
    pressKey(Qt::Key_Backspace);
    EXPECT_TRUE(box->currentText().isEmpty());
    EXPECT_FALSE(search->isEnabled());
    typeText(QStringLiteral("x"));
    EXPECT_TRUE(search->isEnabled());
}

// --- settings through a real start and close

// The "WinPos" value as the settings file holds it.
std::string winPosText(const shell::WindowPlacement& placement) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const unsigned char byte : placement.toBytes()) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

class QtViewerSettings : public QtViewer {
protected:
    void SetUp() override {
        writeFile(settingsPath(), "[vTome Settings]\r\nScope=doc\r\ntop=0\r\nvBar=230\r\nWinPos=" +
                                      winPosText({100, 50, 600, 800, 7}) + "\r\n");
        QtViewer::SetUp();
    }
};

TEST_F(QtViewerSettings, AStartShowsTheStoredSettingsAndEscapeWritesThemBack) {
    qt::QtMenuBar& menu = window().qtMenuBar();
    EXPECT_TRUE(menu.isChecked(ids::kCmdScopeDocument));
    EXPECT_FALSE(menu.isChecked(ids::kCmdScopeTopic));
    EXPECT_FALSE(menu.isChecked(ids::kCmdTopWindow));
    EXPECT_FALSE(app_->search().searchInTopicScope());
    EXPECT_EQ(ViewerPanes::splitter(window().client())->x(), 230);
    EXPECT_EQ(panes().contents().widget()->width(), 230);
    // The stored rectangle is the whole window's, frame included.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window().windowRect() == Rect::fromSize(100, 50, 800, 600); }));
    const QRect frame = window().frame()->frameGeometry();
    EXPECT_EQ(frame, QRect(100, 50, 800, 600));

    menu.action(ids::kCmdScopeTopic)->trigger();
    EXPECT_TRUE(menu.isChecked(ids::kCmdScopeTopic));
    EXPECT_FALSE(menu.isChecked(ids::kCmdScopeDocument));
    window().moveWindow(Rect::fromSize(120, 70, 700, 500));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().windowRect() == Rect::fromSize(120, 70, 700, 500); }));

    EXPECT_EQ(runLoopWith([&] { QTest::keyClick(window().client(), Qt::Key_Escape); }), 0);
    const Rect closed = window().windowRect();
    // The document opened is listed in a section of its own after them.
    EXPECT_EQ(readFile(settingsPath()), "[vTome Settings]\r\nScope=topic\r\ntop=0\r\nvBar=230\r\nWinPos=" +
                                            winPosText({closed.left, closed.top, closed.height(), closed.width(), 7}) +
                                            "\r\n\r\n[vTome Recent]\r\n1=" + documentPath() +
                                            "\r\nTopic1=vTome Header\r\nLine1=0\r\n");
    EXPECT_EQ(closed, Rect::fromSize(120, 70, 700, 500));
}

// --- the viewer's own help

// Passes everything on to the suite's platform, but records each program
// started and waits for it only briefly: a help instance stays open until
// its user closes it.
class ShortWaitPlatform final : public Platform {
public:
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
        std::chrono::milliseconds timeout;
    };

    MainWindow* createMainWindow(WindowProcedure& procedure, std::string_view title) override {
        return platform().createMainWindow(procedure, title);
    }
    StatusBar& createStatusBar() override { return platform().createStatusBar(); }
    DialogPane& createDialogPane(const resources::DialogTemplate& layout, DialogEvents& events) override {
        return platform().createDialogPane(layout, events);
    }
    ContentsPane& createContentsPane(ContentsTreeEvents& events) override {
        return platform().createContentsPane(events);
    }
    Splitter& createSplitter(SplitterEvents& events) override { return platform().createSplitter(events); }
    TopicTextView* createTopicView() override { return platform().createTopicView(); }
    SidePages* createSidePages(SidePagesEvents& events) override { return platform().createSidePages(events); }
    std::unique_ptr<Timer> createTimer(TimerEvents& events) override { return platform().createTimer(events); }
    FileWatcher& createFileWatcher(FileWatchEvents& events) override { return platform().createFileWatcher(events); }
    int runModalDialog(const resources::DialogTemplate& layout, DialogEvents& events) override {
        return platform().runModalDialog(layout, events);
    }
    void showMessageBox(std::string_view caption, std::string_view text, MessageBoxIcon icon, bool topmost,
                        std::string_view detail) override {
        platform().showMessageBox(caption, text, icon, topmost, detail);
    }
    std::optional<std::string> chooseFileToOpen(const FileDialogRequest& request) override {
        return platform().chooseFileToOpen(request);
    }
    std::optional<std::string> chooseFileToSave(const FileDialogRequest& request) override {
        return platform().chooseFileToSave(request);
    }
    bool runProcess(const std::string& program, const std::vector<std::string>& arguments,
                    std::chrono::milliseconds timeout) override {
        starts.push_back({program, arguments, timeout});
        return platform().runProcess(program, arguments, std::min(timeout, std::chrono::milliseconds(200)));
    }
    int runMessageLoop() override { return platform().runMessageLoop(); }
    void quit(int exitCode) override { platform().quit(exitCode); }
    void exitProcess(int exitCode) override { platform().exitProcess(exitCode); }
    void setFailureHandler(std::function<void(const RuntimeFailure&)> handler) override {
        platform().setFailureHandler(std::move(handler));
    }

    std::vector<Start> starts;
};

std::string procFile(pid_t pid, const char* name) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Alive and not yet a zombie.
bool isRunning(pid_t pid) {
    const std::string stat = procFile(pid, "stat");
    const std::size_t name = stat.rfind(')');
    return name != std::string::npos && name + 2 < stat.size() && stat[name + 2] != 'Z';
}

// The running children of this process that execute `program`.
std::vector<pid_t> runningChildren(const std::filesystem::path& program) {
    std::vector<pid_t> found;
    std::error_code error;
    for (auto it = std::filesystem::directory_iterator("/proc", error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        const pid_t pid = std::stoi(name);
        const std::string stat = procFile(pid, "stat");
        const std::size_t end = stat.rfind(')');
        if (end == std::string::npos) continue;
        std::istringstream fields(stat.substr(end + 1));
        char state = 0;
        pid_t parent = 0;
        if (!(fields >> state >> parent) || parent != ::getpid() || state == 'Z') continue;
        std::error_code unreadable;
        if (std::filesystem::read_symlink(it->path() / "exe", unreadable) == program) found.push_back(pid);
    }
    return found;
}

std::vector<std::string> commandLine(pid_t pid) {
    std::vector<std::string> words;
    std::istringstream all(procFile(pid, "cmdline"));
    for (std::string word; std::getline(all, word, '\0');) words.push_back(word);
    return words;
}

// Notices when a file's contents are read, by anyone.
class ReadWatch {
public:
    explicit ReadWatch(const std::string& path) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ >= 0) watch_ = ::inotify_add_watch(fd_, path.c_str(), IN_ACCESS);
    }
    ~ReadWatch() {
        if (fd_ >= 0) ::close(fd_);
    }
    ReadWatch(const ReadWatch&) = delete;
    ReadWatch& operator=(const ReadWatch&) = delete;

    bool valid() const { return fd_ >= 0 && watch_ >= 0; }
    bool wasRead() {
        alignas(inotify_event) char events[4096];
        if (!read_ && ::read(fd_, events, sizeof events) > 0) read_ = true;
        return read_;
    }

private:
    int fd_;
    int watch_ = -1;
    bool read_ = false;
};

class QtViewerOwnHelp : public QtViewer {
protected:
    Platform& windowSystem() override { return shortWait_; }
    std::string executablePath() const override { return VTOME_VIEWER_PATH; }

    void TearDown() override {
        // A help instance left by a failed check must not outlive the test.
        for (const pid_t pid : started_) {
            if (isRunning(pid)) ::kill(pid, SIGKILL);
        }
        QtViewer::TearDown();
    }

    ShortWaitPlatform shortWait_;
    std::vector<pid_t> started_;
};

TEST_F(QtViewerOwnHelp, F1StartsTheViewerItselfOnItsManual) {
    const std::filesystem::path viewer = std::filesystem::canonical(VTOME_VIEWER_PATH);
    const std::filesystem::path manual = viewer.parent_path() / shell::kOwnHelpFile;
    ASSERT_TRUE(std::filesystem::exists(manual)) << "the build puts the manual beside the viewer";
    ReadWatch reading(manual.string());
    ASSERT_TRUE(reading.valid());

    pressKey(Qt::Key_F1);
    ASSERT_EQ(shortWait_.starts.size(), 1u);
    const ShortWaitPlatform::Start& start = shortWait_.starts.front();
    const std::string folder = std::filesystem::path(VTOME_VIEWER_PATH).parent_path().string();
    EXPECT_EQ(start.program, VTOME_VIEWER_PATH);
    EXPECT_EQ(start.arguments, (std::vector<std::string>{folder + "/vTome_doc"}));
    EXPECT_EQ(start.timeout, 65535ms);

    std::vector<pid_t> help;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        help = runningChildren(viewer);
        return !help.empty();
    })) << "no second instance is running";
    started_ = help;
    ASSERT_EQ(help.size(), 1u);
    const pid_t pid = help.front();
    EXPECT_EQ(commandLine(pid), (std::vector<std::string>{VTOME_VIEWER_PATH, folder + "/vTome_doc"}));
    std::error_code error;
    EXPECT_EQ(std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/cwd", error),
              std::filesystem::canonical(dir_.path()))
        << "the instance shares the current directory";
    EXPECT_TRUE(QTest::qWaitFor([&] { return reading.wasRead(); })) << "the manual was not read";
    EXPECT_TRUE(isRunning(pid)) << "the instance ended instead of showing its manual";

    // The user would close it; the test ends it and waits until the viewer
    // has collected it, which also frees what it kept for the instance.
    ::kill(pid, SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !std::filesystem::exists("/proc/" + std::to_string(pid)); }));
}

}  // namespace
}  // namespace vtome::gui_test
