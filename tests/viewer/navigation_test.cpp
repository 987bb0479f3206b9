// Moving between topics, the history, the topic view and the navigation
// bar's buttons, driven by keys and buttons as a user would.

#include "viewer_fixture.h"

namespace vtome {
namespace {

namespace vk = platform::vk;
using platform::headless::FocusTarget;
using Titles = std::vector<std::string>;

class Navigation : public testing::ViewerTest {
protected:
    void SetUp() override {
        writeDocument("guide.vtome");
        ASSERT_TRUE(start({"guide.vtome"}));
    }
    void show(std::string_view title) { app_->viewer().selectTopic(topic(title)); }
};

TEST_F(Navigation, StartShowsTheHeaderBelowAnEmptyLine) {
    EXPECT_EQ(currentTitle(), "guide.vtome");
    EXPECT_EQ(view().text(), "\r\nGuide to the tool.");
    EXPECT_EQ(view().selection(), (platform::TextRange{0, 0}));
    EXPECT_EQ(view().firstVisibleLine(), 0u);
    EXPECT_EQ(historyTitles(), Titles{"guide.vtome"});
    EXPECT_EQ(bar().text(ids::kNavTitle), "guide.vtome");
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
}

TEST_F(Navigation, NextAndPreviousWrapAroundPastTheHeader) {
    press(vk::kNext);
    EXPECT_EQ(currentTitle(), "Introduction");
    EXPECT_EQ(view().text(), "\r\nWhat the tool does.");
    press(vk::kEnd);
    EXPECT_EQ(currentTitle(), "Last");
    press(vk::kNext);  // past the last: the first topic after the header
    EXPECT_EQ(currentTitle(), "Introduction");
    press(vk::kPrior);
    EXPECT_EQ(currentTitle(), "guide.vtome");
    press(vk::kPrior);  // before the header: the last topic
    EXPECT_EQ(currentTitle(), "Last");
    press(vk::kHome);
    EXPECT_EQ(currentTitle(), "Introduction");
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
}

TEST_F(Navigation, PlainLinesAreTheTextOfSectionsWithoutTextBlock) {
    show("Installing");
    EXPECT_EQ(view().text(), "\r\nRun the setup program.\r\n\r\n");
}

TEST_F(Navigation, MissingSectionShowsEmptyViewAndDisablesTopicButtons) {
    show("No Section");
    EXPECT_EQ(current(), nullptr);
    EXPECT_EQ(view().text(), "\r\n");
    EXPECT_EQ(historyTitles(), (Titles{"guide.vtome", "No Section"}));
    for (std::uint32_t id : {ids::kNavHome, ids::kNavBack, ids::kNavPrevious, ids::kNavNext, ids::kNavNote,
                             ids::kNavBookmark}) {
        EXPECT_FALSE(bar().isEnabled(id)) << id;
    }
    EXPECT_EQ(bar().text(ids::kNavTitle), "guide.vtome");  // the title field keeps the last title
    press(vk::kNext);  // with no current topic: the first topic after the header
    EXPECT_EQ(currentTitle(), "Introduction");
    show("No Section");
    press(vk::kPrior);  // and the last topic
    EXPECT_EQ(currentTitle(), "Last");
}

TEST_F(Navigation, ButtonStatesFollowTheCurrentTopic) {
    EXPECT_TRUE(bar().isEnabled(ids::kNavNext));
    EXPECT_FALSE(bar().isEnabled(ids::kNavPrevious));
    EXPECT_TRUE(bar().isEnabled(ids::kNavBack));  // the history holds the start topic
    EXPECT_TRUE(bar().isEnabled(ids::kNavHome));
    EXPECT_TRUE(bar().isEnabled(ids::kNavNote));
    EXPECT_TRUE(bar().isEnabled(ids::kNavBookmark));
    EXPECT_FALSE(bar().isEnabled(ids::kNavSearch));
    EXPECT_FALSE(bar().isVisible(ids::kNavNoteIndicator));
    show("Last");
    EXPECT_FALSE(bar().isEnabled(ids::kNavNext));
    EXPECT_TRUE(bar().isEnabled(ids::kNavPrevious));
}

TEST_F(Navigation, BackDropsOneTopicPerStep) {
    show("Introduction");
    show("Installing");
    show("Usage");
    press(vk::kBack);
    EXPECT_EQ(currentTitle(), "Installing");
    press(vk::kBack);
    EXPECT_EQ(currentTitle(), "Introduction");
    EXPECT_EQ(historyTitles(), (Titles{"guide.vtome", "Introduction"}));
    press(vk::kBack);
    press(vk::kBack);  // one entry left: nothing happens
    EXPECT_EQ(currentTitle(), "guide.vtome");
    EXPECT_EQ(historyTitles(), Titles{"guide.vtome"});
}

TEST_F(Navigation, BackToARepeatedTopic) {
    show("Introduction");
    show("Installing");
    show("Introduction");
    bar().click(ids::kNavBack);
    EXPECT_EQ(currentTitle(), "Installing");
    EXPECT_EQ(historyTitles(), (Titles{"guide.vtome", "Introduction", "Installing"}));
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
}

TEST_F(Navigation, SelectingTheSelectedTopicRecordsNothing) {
    press(vk::kHome);
    press(vk::kHome);
    EXPECT_EQ(historyTitles(), (Titles{"guide.vtome", "Introduction"}));
}

TEST_F(Navigation, ButtonsOfTheBarMoveToo) {
    bar().click(ids::kNavNext);
    EXPECT_EQ(currentTitle(), "Introduction");
    bar().click(ids::kNavNext);
    EXPECT_EQ(currentTitle(), "Installing");
    bar().click(ids::kNavPrevious);
    EXPECT_EQ(currentTitle(), "Introduction");
    bar().click(ids::kNavHome);
    EXPECT_EQ(currentTitle(), "Introduction");
}

TEST_F(Navigation, KeysWorkWhileTheTreeHasFocusAndClicksShowTopics) {
    platform_.focusContentsTree();
    press(vk::kNext);
    EXPECT_EQ(currentTitle(), "Introduction");
    tree().click(topic("Usage")->treeItem());
    EXPECT_EQ(currentTitle(), "Usage");
    EXPECT_EQ(historyTitles(), (Titles{"guide.vtome", "Introduction", "Usage"}));
}

TEST_F(Navigation, ArrowsScrollTheViewWithoutMovingTheCaret) {
    std::string longText = "[vTome Header]\r\n<text>\r\n";
    for (int i = 0; i < 40; ++i) longText += "line " + std::to_string(i) + "\r\n";
    longText += "</text>\r\n";
    writeDocument("long.vtome", longText);
    platform_.answerOpenDialog(dir_.file("long.vtome"));
    platform_.chooseMenu(ids::kCmdOpen);
    view().select({10, 14});
    press(vk::kDown);
    press(vk::kDown);
    EXPECT_EQ(view().firstVisibleLine(), 2u);
    press(vk::kRight);
    EXPECT_EQ(view().firstVisibleLine(), 12u);
    press(vk::kLeft);
    press(vk::kUp);
    EXPECT_EQ(view().firstVisibleLine(), 1u);
    EXPECT_EQ(view().selection(), (platform::TextRange{10, 14}));
}

TEST_F(Navigation, ScrollToLineMovesTheCaretToThatDisplayLine) {
    std::string text = "[vTome Header]\r\n<text>\r\n" + std::string(100, 'w') + "\r\n";
    for (int i = 0; i < 30; ++i) text += "l" + std::to_string(i) + "\r\n";
    text += "</text>\r\n";
    writeDocument("wrap.vtome", text);
    platform_.answerOpenDialog(dir_.file("wrap.vtome"));
    platform_.chooseMenu(ids::kCmdOpen);
    // Line 0 is the empty first line; the 100 characters wrap onto lines 1 to 3.
    EXPECT_EQ(view().lineIndex(4), 2u + 100 + 2);
    app_->viewer().scrollToLine(20);
    EXPECT_EQ(view().selection().start, view().lineIndex(20));
    EXPECT_EQ(view().firstVisibleLine(), 11u);
    app_->viewer().scrollToLine(500);  // past the end: the caret stays
    EXPECT_EQ(view().selection().start, view().lineIndex(20));
}

}  // namespace
}  // namespace vtome
