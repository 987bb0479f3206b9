// Forward beside Back, the keys added to the accelerators, the text size
// (keys, wheel, the stored size, display lines) and dropping a file.

#include "comfort_fixture.h"
#include "platform/key_routing.h"

namespace vtome {
namespace {

namespace vk = platform::vk;
namespace mod = platform::modifier;
using platform::headless::FocusTarget;
using Titles = std::vector<std::string>;
using testing::readFile;
using testing::writeFile;

class Forward : public testing::ComfortTest {
protected:
    void SetUp() override {
        writeBook("book.vtome");
        ASSERT_TRUE(start({"book.vtome"}));
    }
    bool forwardEnabled() { return bar().isEnabled(ids::kNavForward); }
};

TEST_F(Forward, ReturnsAlongTheTopicsBackLeft) {
    show("Introduction");
    show("Long Topic");
    show("Usage");
    EXPECT_FALSE(forwardEnabled());
    press(vk::kBack);
    press(vk::kBack);
    EXPECT_EQ(currentTitle(), "Introduction");
    EXPECT_EQ(historyTitles(), (Titles{"book.vtome", "Introduction"}));
    EXPECT_TRUE(forwardEnabled());

    press(vk::kRight, mod::kAlt);
    EXPECT_EQ(currentTitle(), "Long Topic");
    EXPECT_EQ(historyTitles(), (Titles{"book.vtome", "Introduction", "Long Topic"}));
    EXPECT_TRUE(forwardEnabled());
    bar().click(ids::kNavForward);
    EXPECT_EQ(currentTitle(), "Usage");
    EXPECT_FALSE(forwardEnabled());
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);

    press(vk::kRight, mod::kAlt);  // nowhere left to go
    EXPECT_EQ(currentTitle(), "Usage");
    EXPECT_EQ(historyTitles(), (Titles{"book.vtome", "Introduction", "Long Topic", "Usage"}));

    // Back goes on working from the history Forward rebuilt.
    press(vk::kLeft, mod::kAlt);
    EXPECT_EQ(currentTitle(), "Long Topic");
    press(vk::kBack);
    EXPECT_EQ(currentTitle(), "Introduction");
}

TEST_F(Forward, ATopicChosenAnotherWayEmptiesTheForwardList) {
    show("Introduction");
    show("Long Topic");
    press(vk::kBack);
    ASSERT_TRUE(forwardEnabled());
    press(vk::kEnd);  // Last: a new road
    EXPECT_FALSE(forwardEnabled());
    press(vk::kRight, mod::kAlt);
    EXPECT_EQ(currentTitle(), "Last");

    // Choosing the topic on screen shows nothing new and keeps the list.
    press(vk::kBack);
    ASSERT_TRUE(forwardEnabled());
    show("Introduction");
    EXPECT_TRUE(forwardEnabled());
    press(vk::kRight, mod::kAlt);
    EXPECT_EQ(currentTitle(), "Last");
}

TEST_F(Forward, BackOnTheFirstTopicLeavesNothingToGoForwardTo) {
    press(vk::kBack);
    EXPECT_FALSE(forwardEnabled());
    press(vk::kRight, mod::kAlt);
    EXPECT_EQ(historyTitles(), Titles{"book.vtome"});
}

TEST_F(Forward, WorksThroughATopicWithoutText) {
    show("No Section");
    show("Usage");
    press(vk::kBack);
    EXPECT_EQ(current(), nullptr);
    // The other topic buttons go with the current topic; Forward goes with its list.
    EXPECT_FALSE(bar().isEnabled(ids::kNavBack));
    EXPECT_TRUE(forwardEnabled());
    press(vk::kRight, mod::kAlt);
    EXPECT_EQ(currentTitle(), "Usage");
}

TEST_F(Forward, OpeningADocumentEmptiesTheList) {
    show("Introduction");
    press(vk::kBack);
    ASSERT_TRUE(forwardEnabled());
    openChosen(writeBook("other.vtome"));
    EXPECT_FALSE(forwardEnabled());
    EXPECT_TRUE(document().forward.empty());
    press(vk::kRight, mod::kAlt);
    EXPECT_EQ(currentTitle(), "other.vtome");
}

TEST_F(Forward, AltArrowsWorkInTheSearchBoxToo) {
    show("Introduction");
    bar().focus(ids::kNavSearchBox);
    press(vk::kLeft, mod::kAlt);
    EXPECT_EQ(currentTitle(), "book.vtome");
    bar().focus(ids::kNavSearchBox);
    press(vk::kRight, mod::kAlt);
    EXPECT_EQ(currentTitle(), "Introduction");
    // Without Alt the arrows stay the box's own.
    bar().focus(ids::kNavSearchBox);
    press(vk::kLeft);
    EXPECT_EQ(currentTitle(), "Introduction");
}

TEST(AddedKeys, RouteWithExactModifiersAfterTheFixedTable) {
    using platform::KeyPress;
    struct Case {
        KeyPress key;
        bool inBar;
        std::uint32_t command;  // 0: not an accelerator
    };
    const Case cases[] = {
        {{vk::kLeft, mod::kAlt}, false, ids::kCmdBack},
        {{vk::kRight, mod::kAlt}, false, ids::kCmdForward},
        {{vk::kRight, mod::kAlt}, true, ids::kCmdForward},
        {{vk::kRight, mod::kAlt | mod::kShift}, false, 0},
        {{vk::kRight, mod::kNone}, false, ids::kCmdPageDown},  // the fixed table's key stays
        {{vk::kRight, mod::kNone}, true, 0},
        {{vk::kOemPlus, mod::kControl}, true, ids::kCmdTextLarger},
        {{vk::kOemPlus, mod::kControl | mod::kShift}, false, ids::kCmdTextLarger},
        {{vk::kAdd, mod::kControl}, false, ids::kCmdTextLarger},
        {{vk::kOemPlus, mod::kNone}, false, 0},
        {{vk::kOemMinus, mod::kControl}, false, ids::kCmdTextSmaller},
        {{vk::kSubtract, mod::kControl}, false, ids::kCmdTextSmaller},
        {{'0', mod::kControl}, false, ids::kCmdTextStandard},
        {{'0', mod::kControl | mod::kAlt}, false, 0},
        {{'F', mod::kAlt}, false, 0},  // a menu's mnemonic, not an accelerator
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key.key) + "/" + std::to_string(c.key.modifiers) + (c.inBar ? " in bar" : ""));
        const platform::KeyRoute route = platform::routeKeyPress(c.key, c.inBar);
        if (c.command == 0) {
            EXPECT_NE(route.target, platform::KeyRoute::Target::Accelerator);
        } else {
            EXPECT_EQ(route.target, platform::KeyRoute::Target::Accelerator);
            EXPECT_EQ(route.command, c.command);
        }
    }
    EXPECT_EQ(resources::acceleratorTable().size(), 16u);
    EXPECT_EQ(platform::wheelCommand(2, mod::kControl), ids::kCmdTextLarger);
    EXPECT_EQ(platform::wheelCommand(-1, mod::kControl), ids::kCmdTextSmaller);
    EXPECT_EQ(platform::wheelCommand(1, mod::kNone), 0u);
    EXPECT_EQ(platform::wheelCommand(1, mod::kControl | mod::kShift), 0u);
    EXPECT_EQ(platform::wheelCommand(0, mod::kControl), 0u);
}

// --- the text size

class TextSize : public testing::ComfortTest {
protected:
    void startOn(const std::string& bytes = testing::kBook) {
        writeBook("book.vtome", bytes);
        ASSERT_TRUE(start({"book.vtome"}));
    }
    int size() { return view().textSize(); }
};

TEST_F(TextSize, KeysStepThroughTheSizesAndTheSizeIsStored) {
    startOn();
    EXPECT_EQ(size(), 12);
    press(vk::kOemPlus, mod::kControl);
    EXPECT_EQ(size(), 14);
    press(vk::kOemPlus, mod::kControl | mod::kShift);
    press(vk::kAdd, mod::kControl);
    EXPECT_EQ(size(), 18);
    press(vk::kOemMinus, mod::kControl);
    EXPECT_EQ(size(), 16);
    press('0', mod::kControl);
    EXPECT_EQ(size(), 12);
    press(vk::kSubtract, mod::kControl);
    EXPECT_EQ(size(), 11);
    platform_.chooseMenu(ids::kCmdTextLarger);
    platform_.chooseMenu(ids::kCmdTextLarger);
    EXPECT_EQ(size(), 14);
    EXPECT_EQ(app_->textSize(), 14);
    closeWindow();
    EXPECT_NE(readFile(settingsPath()).find("\r\nTextSize=14\r\n"), std::string::npos);

    ASSERT_TRUE(start({"book.vtome"}));
    EXPECT_EQ(size(), 14);
    platform_.chooseMenu(ids::kCmdTextStandard);
    EXPECT_EQ(size(), 12);
}

TEST_F(TextSize, StopsAtTheSmallestAndLargest) {
    startOn();
    for (int i = 0; i < 30; ++i) press(vk::kOemMinus, mod::kControl);
    EXPECT_EQ(size(), shell::kSmallestTextSize);
    for (int i = 0; i < 30; ++i) press(vk::kOemPlus, mod::kControl);
    EXPECT_EQ(size(), shell::kLargestTextSize);
}

TEST_F(TextSize, AStoredSizeThatCannotBeUsedIsTheStandardOne) {
    for (const char* value : {"0", "5", "73", "-14", "big", "99999999999"}) {
        SCOPED_TRACE(value);
        writeFile(settingsPath(), std::string("[vTome Settings]\r\nTextSize=") + value + "\r\n");
        startOn();
        EXPECT_EQ(size(), 12);
    }
    writeFile(settingsPath(), "[vTome Settings]\r\nTextSize=13\r\n");  // between two steps
    startOn();
    EXPECT_EQ(size(), 13);
    press(vk::kOemPlus, mod::kControl);
    EXPECT_EQ(size(), 14);
}

TEST_F(TextSize, NoChangeWritesNoKey) {
    startOn();
    press('0', mod::kControl);  // already the standard size
    closeWindow();
    EXPECT_EQ(readFile(settingsPath()).find("TextSize"), std::string::npos);
}

TEST_F(TextSize, DisplayLinesFollowTheWrappingAndBookmarksKeepTheirLine) {
    // One line of 80 characters, then the numbered lines.
    startOn(testing::bookWith(std::string(80, 'w') + "\r\n" + testing::numberedLines(60)));
    show("Long Topic");
    EXPECT_EQ(view().lineIndex(3), 2u + 80u + 2u);  // "Line 1", after two display lines of 40
    scrollDown(6);
    press('B');  // bookmarked at display line 6: "Line 4"
    ASSERT_EQ(view().firstVisibleLine(), 6u);

    press(vk::kOemPlus, mod::kControl);
    press(vk::kOemPlus, mod::kControl);
    press(vk::kOemPlus, mod::kControl);
    press(vk::kOemPlus, mod::kControl);
    press(vk::kOemPlus, mod::kControl);
    ASSERT_EQ(size(), 24);  // 20 columns: the long line takes four display lines
    EXPECT_EQ(view().lineIndex(5), 2u + 80u + 2u);
    // The text that was at the top stays there.
    EXPECT_EQ(view().firstVisibleLine(), 8u);

    press(vk::kHome);
    platform_.chooseMenu(ids::kFirstBookmarkCommand + 1);
    EXPECT_EQ(currentTitle(), "Long Topic");
    const std::uint32_t caret = view().selection().start;
    EXPECT_EQ(view().lineOf(caret), 6u) << "the stored line, in the new wrapping";
    EXPECT_NE(readFile(dir_.file("book.vinfo")).find("1=Long,6"), std::string::npos);
}

TEST_F(TextSize, CtrlWheelChangesTheSizeAndThePlainWheelScrolls) {
    startOn();
    show("Long Topic");
    platform_.turnWheel(-2);
    EXPECT_EQ(view().firstVisibleLine(), 6u);
    platform_.turnWheel(1);
    EXPECT_EQ(view().firstVisibleLine(), 3u);
    EXPECT_EQ(size(), 12);

    platform_.turnWheel(2, mod::kControl);
    EXPECT_EQ(size(), 16);
    platform_.turnWheel(-1, mod::kControl);
    EXPECT_EQ(size(), 14);
    platform_.turnWheel(1, mod::kControl | mod::kShift);  // neither zoom nor scroll
    EXPECT_EQ(size(), 14);
    EXPECT_EQ(app_->settings()->getUns32("vTome Settings", "TextSize"), 14u);
}

// --- dropping files

class Drop : public testing::ComfortTest {};

TEST_F(Drop, TheFirstFileDroppedOpensAsFileOpenWould) {
    writeBook("book.vtome");
    const std::string second = writeBook("second.vtome");
    const std::string third = writeBook("third.vtome");
    ASSERT_TRUE(start({"book.vtome"}));
    show("Usage");
    platform_.dropFiles({second, third});
    EXPECT_EQ(document().documentPath, second);
    EXPECT_EQ(currentTitle(), "second.vtome");
    EXPECT_EQ(historyTitles(), Titles{"second.vtome"});
    EXPECT_EQ(app_->userData().path(), dir_.file("second.vinfo"));
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
    EXPECT_EQ(recentPaths(), (std::vector<std::string>{second, dir_.file("book.vtome")}));
    EXPECT_TRUE(platform_.mainWindow()->droppedFiles().empty()) << "named only while the drop is reported";

    platform_.dropFiles({});
    EXPECT_EQ(document().documentPath, second);
}

TEST_F(Drop, AFileThatCannotBeOpenedIsReportedAndTheDocumentStays) {
    writeBook("book.vtome");
    ASSERT_TRUE(start({"book.vtome"}));
    show("Usage");
    platform_.dropFiles({dir_.path().string()});  // a folder
    ASSERT_EQ(platform_.messageBoxes().size(), 1u);
    EXPECT_EQ(platform_.messageBoxes()[0].text, "File open failure");
    EXPECT_EQ(currentTitle(), "Usage");
    EXPECT_EQ(document().documentPath, "book.vtome");
}

TEST_F(Drop, WithoutATextViewADropOpensNothing) {
    platform_.failTopicViewCreation();
    const std::string book = writeBook("book.vtome");
    ASSERT_TRUE(start());
    platform_.dropFiles({book});
    EXPECT_FALSE(document().isOpen());
    EXPECT_TRUE(platform_.messageBoxes().empty());
}

}  // namespace
}  // namespace vtome
