// Start-up, settings, shutdown, dispatch and layout of the main window.

#include "viewer_fixture.h"

namespace vtome {
namespace {

using platform::Rect;
using platform::headless::HeadlessMainWindow;
namespace vk = platform::vk;
namespace mod = platform::modifier;
using testing::readFile;
using testing::writeFile;

class Shell : public testing::ViewerTest {
protected:
    platform::headless::HeadlessMainWindow& window() { return *platform_.mainWindow(); }
    bool checked(std::uint32_t command) { return window().menuBar().isChecked(command); }
};

TEST_F(Shell, FirstStartUsesDefaultsAndCloseWritesPositionAndSplitter) {
    ASSERT_TRUE(start());
    EXPECT_EQ(window().title(), "vTome 0.92");
    EXPECT_TRUE(window().isShown());
    EXPECT_EQ(window().windowRect(), HeadlessMainWindow::kDefaultRect);
    EXPECT_TRUE(checked(ids::kCmdScopeTopic));
    EXPECT_FALSE(checked(ids::kCmdScopeDocument));
    EXPECT_FALSE(checked(ids::kCmdTopWindow));
    EXPECT_FALSE(window().isTopmost());
    EXPECT_EQ(app_->layout().splitterPos(), window().clientSize().width / 4);
    EXPECT_FALSE(std::filesystem::exists(settingsPath()));

    closeWindow();
    EXPECT_EQ(platform_.quitCode(), 0);
    // Default rectangle 26,26 1024x768 and splitter 254 (a quarter of 1016).
    EXPECT_EQ(readFile(settingsPath()),
              "\r\n[vTome Settings]\r\nWinPos=1A0000001A000000000300000004000000000000\r\nvBar=254\r\n");
}

TEST_F(Shell, SettingsFileOfTheFirstRunByteForByte) {
    ASSERT_TRUE(start());
    platform_.chooseMenu(ids::kCmdScopeDocument);
    window().moveWindow(Rect::fromSize(100, 50, 800, 600));
    platform_.resizeClient(800 - 8, 600 - 54);
    platform_.dragSplitter(254, 200);
    closeWindow();
    EXPECT_EQ(readFile(settingsPath()),
              "\r\n[vTome Settings]\r\nScope=doc\r\nWinPos=6400000032000000580200002003000000000000\r\nvBar=200\r\n");
}

TEST_F(Shell, StoredSettingsAreRestoredAndKeptInPlace) {
    writeFile(settingsPath(),
              "; kept\r\n[Other]\r\nx=1\r\n[vTome Settings]\r\nvBar=300\r\ntop=5\r\nScope=doc\r\n"
              "WinPos=6400000032000000580200002003000007000000\r\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(window().windowRect(), Rect::fromSize(100, 50, 800, 600));
    EXPECT_TRUE(checked(ids::kCmdScopeDocument));
    EXPECT_FALSE(checked(ids::kCmdScopeTopic));
    EXPECT_FALSE(app_->search().searchInTopicScope());
    EXPECT_TRUE(checked(ids::kCmdTopWindow));
    EXPECT_TRUE(window().isTopmost());
    EXPECT_EQ(app_->layout().splitterPos(), 300);

    platform_.chooseMenu(ids::kCmdTopWindow);  // any non-zero value counted as on
    EXPECT_FALSE(window().isTopmost());
    platform_.chooseMenu(ids::kCmdScopeTopic);
    closeWindow();
    // Existing keys keep their lines; the spare field is written back.
    EXPECT_EQ(readFile(settingsPath()),
              "; kept\r\n[Other]\r\nx=1\r\n[vTome Settings]\r\nvBar=300\r\ntop=0\r\nScope=topic\r\n"
              "WinPos=6400000032000000580200002003000007000000\r\n");
}

TEST_F(Shell, ScopeMustBeExactlyDoc) {
    writeFile(settingsPath(), "[vTome Settings]\r\nScope=Doc\r\n");
    ASSERT_TRUE(start());
    EXPECT_TRUE(checked(ids::kCmdScopeTopic));
    EXPECT_TRUE(app_->search().searchInTopicScope());
}

TEST_F(Shell, TopWindowSwitchesFromTheStoredValue) {
    ASSERT_TRUE(start());
    platform_.pressKey('T', mod::kControl);
    EXPECT_TRUE(window().isTopmost());
    EXPECT_TRUE(checked(ids::kCmdTopWindow));
    EXPECT_EQ(app_->settings()->getInt32("vTome Settings", "top"), 1);
    platform_.chooseMenu(ids::kCmdTopWindow);
    EXPECT_FALSE(window().isTopmost());
    EXPECT_FALSE(checked(ids::kCmdTopWindow));
    EXPECT_EQ(app_->settings()->getInt32("vTome Settings", "top"), 0);
}

TEST_F(Shell, UnusableWindowPositionsAreIgnored) {
    for (const char* value : {"64000000320000005802000020030000000000GG", "6400000032000000",
                              "6400000032000000000000000000000000000000"}) {
        SCOPED_TRACE(value);
        writeFile(settingsPath(), std::string("[vTome Settings]\r\nWinPos=") + value + "\r\n");
        ASSERT_TRUE(start());
        EXPECT_EQ(window().windowRect(), HeadlessMainWindow::kDefaultRect);
        closeWindow();
        EXPECT_EQ(app_->settings()->getString("vTome Settings", "WinPos"),
                  "1A0000001A000000000300000004000000000000");
    }
}

TEST_F(Shell, WindowStoredOnAScreenThatIsGoneComesBackOnScreen) {
    // Stored at x 2500 on a second screen; now only one 1920x1080 screen.
    writeFile(settingsPath(), "[vTome Settings]\r\nWinPos=C4090000320000005802000020030000 00000000\r\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(window().windowRect(), Rect::fromSize(1120, 50, 800, 600));
}

TEST_F(Shell, MinimizedWindowKeepsTheLastGoodPosition) {
    writeFile(settingsPath(), "[vTome Settings]\r\nWinPos=6400000032000000580200002003000000000000\r\n");
    ASSERT_TRUE(start());
    window().setMinimized(true);
    window().moveWindow(Rect::fromSize(-32000, -32000, 160, 28));
    closeWindow();
    EXPECT_EQ(app_->settings()->getString("vTome Settings", "WinPos"), "6400000032000000580200002003000000000000");
}

TEST_F(Shell, EscapeClosesExceptInsideTheNavigationBar) {
    ASSERT_TRUE(start());
    bar().focus(ids::kNavSearchBox);
    press(vk::kEscape);
    EXPECT_FALSE(platform_.quitCode());
    app_->mainWindow()->focus();
    press(vk::kEscape);
    EXPECT_EQ(platform_.quitCode(), 0);
    EXPECT_TRUE(std::filesystem::exists(settingsPath()));
}

TEST_F(Shell, FatalErrorsEndWithoutSavingSettings) {
    writeFile(settingsPath(), "[vTome Settings]\r\nvBar=300\r\n");
    EXPECT_EQ(runViewer({"missing"}), 0);
    ASSERT_EQ(platform_.messageBoxes().size(), 1u);
    EXPECT_EQ(platform_.messageBoxes()[0].caption, "fatalError");
    EXPECT_EQ(platform_.messageBoxes()[0].text, "File Not Found :missing.vtome");
    EXPECT_EQ(platform_.messageBoxes()[0].icon, platform::MessageBoxIcon::Error);
    EXPECT_EQ(platform_.quitCode(), 0);
    EXPECT_EQ(readFile(settingsPath()), "[vTome Settings]\r\nvBar=300\r\n");
}

TEST_F(Shell, TooManyArgumentsOpensNothing) {
    writeDocument("guide.vtome");
    ASSERT_TRUE(start({"guide.vtome", "Intro", "extra"}));
    EXPECT_EQ(platform_.messageBoxes().at(0).text, "Too many arguments on Command Line");
    EXPECT_FALSE(document().isOpen());
}

TEST_F(Shell, ASettingsFileThatCannotBeReadIsReportedAndLeftAlone) {
    std::filesystem::create_directory(settingsPath());  // cannot be read as a file
    ASSERT_TRUE(start());
    ASSERT_EQ(platform_.messageBoxes().size(), 1u);
    EXPECT_EQ(platform_.messageBoxes()[0].caption, "vTome");
    EXPECT_EQ(platform_.messageBoxes()[0].text, "File open failure");
    EXPECT_EQ(platform_.messageBoxes()[0].detail, settingsPath() + ": Is a directory");
    EXPECT_EQ(platform_.messageBoxes()[0].icon, platform::MessageBoxIcon::Exclamation);
    EXPECT_TRUE(checked(ids::kCmdScopeTopic)) << "the defaults apply";
    closeWindow();
    EXPECT_EQ(platform_.quitCode(), 0);
    EXPECT_FALSE(platform_.exitCode());
    EXPECT_EQ(platform_.messageBoxes().size(), 1u) << "not written over at shutdown";
    EXPECT_TRUE(std::filesystem::is_directory(settingsPath()));
}

TEST_F(Shell, ASettingsFileThatCannotBeWrittenAtShutdownIsReportedAndTheViewerStillCloses) {
    ASSERT_TRUE(start());
    std::filesystem::create_directory(settingsPath());  // the save cannot replace a folder
    closeWindow();
    EXPECT_EQ(platform_.quitCode(), 0);
    EXPECT_FALSE(platform_.exitCode());
    ASSERT_EQ(platform_.messageBoxes().size(), 1u);
    EXPECT_EQ(platform_.messageBoxes()[0].caption, "vTome");
    EXPECT_EQ(platform_.messageBoxes()[0].detail, settingsPath() + ": Is a directory");
}

TEST_F(Shell, AnyOneBadSettingCountsAsMissingAndTheViewerStarts) {
    const std::string bad[] = {
        "vBar=99999999999999\r\n",                          // past 32 bits
        "top=1\xE9\r\n",                                    // a byte of 128 or more by the digits
        "; " + std::string(5000, 'c') + "\r\ntop=1\r\n",   // a line longer than the lookups' text
        "WinPos=" + std::string(40, 'Z') + "\r\n",
    };
    for (const std::string& line : bad) {
        writeFile(settingsPath(), "[vTome Settings]\r\n" + line);
        ASSERT_TRUE(start()) << line.substr(0, 30);
        EXPECT_EQ(app_->layout().splitterPos(), window().clientSize().width / 4);
        EXPECT_FALSE(window().isTopmost());
        EXPECT_FALSE(platform_.exitCode());
        closeWindow();
        EXPECT_FALSE(platform_.exitCode()) << line.substr(0, 30);
    }
}

TEST_F(Shell, WithoutATextViewTheEmptyWindowStillOpensAndCloses) {
    platform_.failTopicViewCreation();
    writeDocument("guide.vtome");
    ASSERT_TRUE(start({"guide.vtome"}));
    EXPECT_EQ(window().title(), "vTome");
    EXPECT_EQ(platform_.contentsPane(), nullptr);
    EXPECT_FALSE(checked(ids::kCmdScopeTopic));
    EXPECT_FALSE(document().isOpen());
    press(vk::kNext);  // nothing to move, nothing breaks
    closeWindow();
    EXPECT_EQ(readFile(settingsPath()), "\r\n[vTome Settings]\r\nWinPos=1A0000001A000000000300000004000000000000\r\n");
}

TEST_F(Shell, CommandsNeedMenuOrAcceleratorNotification) {
    writeDocument("guide.vtome");
    ASSERT_TRUE(start({"guide.vtome"}));
    platform_.deliver(platform::message::kCommand, platform::commandParam(ids::kCmdNext, 2), 0);
    EXPECT_EQ(currentTitle(), "guide.vtome");
    platform_.deliver(platform::message::kCommand, platform::commandParam(4242, 0), 0);
    platform_.deliver(platform::message::kCommand, platform::commandParam(ids::kCmdNext, 0), 0);
    EXPECT_EQ(currentTitle(), "Introduction");
    EXPECT_FALSE(app_->onMessage(0x0200, 0, 0));  // not in the table: default handling
}

TEST_F(Shell, AcceleratorsNeedExactModifiers) {
    writeDocument("guide.vtome");
    ASSERT_TRUE(start({"guide.vtome"}));
    press(vk::kNext, mod::kShift);
    press(vk::kNext, mod::kControl);
    EXPECT_EQ(currentTitle(), "guide.vtome");
    press(vk::kNext);
    EXPECT_EQ(currentTitle(), "Introduction");
}

TEST_F(Shell, LayoutPlacesEveryPane) {
    ASSERT_TRUE(start());
    platform_.resizeClient(800, 600);
    platform_.dragSplitter(254, 200);
    EXPECT_EQ(bar().layout().id, ids::kDialogNavigationBar);
    EXPECT_EQ(platform_.dialogPane(ids::kDialogNavigationBar)->placement(), Rect::fromSize(0, 0, 800, 52));
    EXPECT_EQ(tree().placement(), Rect::fromSize(0, 52, 200, 527));
    EXPECT_EQ(platform_.splitter()->placement(), Rect::fromSize(200, 52, 3, 527));
    EXPECT_EQ(view().placement(), Rect::fromSize(203, 52, 597, 527));
    EXPECT_EQ(platform_.statusBar()->placement(), (Rect{0, 579, 800, 600}));

    // Narrowing moves nothing but the text view's right edge, down to nothing.
    platform_.resizeClient(150, 600);
    EXPECT_EQ(tree().placement(), Rect::fromSize(0, 52, 200, 527));
    EXPECT_EQ(view().placement().width(), 0);

    // Too small to lay out: everything stays.
    platform_.resizeClient(29, 600);
    EXPECT_EQ(platform_.dialogPane(ids::kDialogNavigationBar)->placement(), Rect::fromSize(0, 0, 150, 52));
}

TEST_F(Shell, SplitterDragIsClampedAndOnlyTheSplitterMovesWhileDragging) {
    ASSERT_TRUE(start());
    platform_.resizeClient(800, 600);
    platform_.dragSplitter(254, 5);
    EXPECT_EQ(app_->layout().splitterPos(), 20);
    EXPECT_EQ(tree().placement().width(), 20);
    platform_.dragSplitter(20, 2000);
    EXPECT_EQ(app_->layout().splitterPos(), 780);
    EXPECT_FALSE(app_->layout().dragging());
    EXPECT_FALSE(platform_.splitter()->captured());

    platform_.splitter()->events().onButtonDown();
    window().setCursorPosition({400, 100});
    platform_.splitter()->events().onMouseMove();
    EXPECT_EQ(platform_.splitter()->placement().left, 400);
    EXPECT_EQ(tree().placement().width(), 780);
    platform_.splitter()->events().onButtonUp();
    EXPECT_EQ(tree().placement().width(), 400);
    closeWindow();
    EXPECT_EQ(app_->settings()->getUns32("vTome Settings", "vBar"), 400u);
}

TEST_F(Shell, ZeroSplitterSettingMeansDefault) {
    writeFile(settingsPath(), "[vTome Settings]\r\nvBar=0\r\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(app_->layout().splitterPos(), window().clientSize().width / 4);
}

}  // namespace
}  // namespace vtome
