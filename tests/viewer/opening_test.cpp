// Opening documents from the command line and with File > Open.

#include "viewer_fixture.h"

namespace vtome {
namespace {

using Titles = std::vector<std::string>;
using testing::writeFile;

class Opening : public testing::ViewerTest {};

TEST_F(Opening, ExtensionIsAddedWhenThePathNamesNothing) {
    writeDocument("guide.vtome");
    ASSERT_TRUE(start({"guide"}));
    EXPECT_EQ(document().documentPath, "guide.vtome");
    EXPECT_EQ(currentTitle(), "guide.vtome");
    EXPECT_EQ(app_->userData().path(), dir_.file("guide.vinfo"));
    EXPECT_FALSE(std::filesystem::exists(dir_.file("guide.vinfo")));  // reading creates nothing
}

TEST_F(Opening, StartTopicByTitleIgnoringCase) {
    writeDocument("guide.vtome");
    ASSERT_TRUE(start({dir_.file("guide.vtome"), "INSTALLING"}));
    EXPECT_EQ(currentTitle(), "Installing");
    EXPECT_EQ(historyTitles(), Titles{"Installing"});
    EXPECT_EQ(document().documentFileName, "guide.vtome");
    EXPECT_TRUE(tree().isExpanded(topic("Introduction")->treeItem()));
}

TEST_F(Opening, StartTopicNamedLikeTheFileSelectsTheHeaderAndUnknownFallsBack) {
    writeDocument("guide.vtome");
    ASSERT_TRUE(start({"guide.vtome", "GUIDE.vtome"}));
    EXPECT_EQ(currentTitle(), "guide.vtome");
    ASSERT_TRUE(start({"guide.vtome", "Nowhere"}));
    EXPECT_EQ(currentTitle(), "guide.vtome");
    EXPECT_TRUE(platform_.messageBoxes().empty());
}

TEST_F(Opening, SourceDocumentWithoutArguments) {
    writeDocument("vtomesrc");
    ASSERT_TRUE(start());
    EXPECT_EQ(currentTitle(), "vtomesrc");
    EXPECT_EQ(app_->userData().path(), dir_.file("vtomesrc.vinfo"));
}

TEST_F(Opening, NoArgumentsAndNoSourceDocumentLeaveTheViewerEmpty) {
    ASSERT_TRUE(start());
    EXPECT_FALSE(document().isOpen());
    EXPECT_EQ(tree().itemCount(), 0u);
    EXPECT_EQ(view().text(), "");
    EXPECT_FALSE(bar().isEnabled(ids::kNavNext));
    EXPECT_TRUE(platform_.messageBoxes().empty());
}

TEST_F(Opening, ExistingUserDataIsLoadedForNotes) {
    writeDocument("guide.vtome");
    writeFile(dir_.file("guide.vinfo"), "[Intro_vTomeNote]\r\n<text>\r\nmine\r\n</text>\r\n");
    ASSERT_TRUE(start({"guide.vtome", "Introduction"}));
    EXPECT_TRUE(bar().isVisible(ids::kNavNoteIndicator));
    app_->viewer().goNext();
    EXPECT_FALSE(bar().isVisible(ids::kNavNoteIndicator));
}

TEST_F(Opening, OpenThenCancelKeepsTheDocument) {
    writeDocument("guide.vtome");
    ASSERT_TRUE(start({"guide.vtome", "Usage"}));
    press(platform::vk::kDown);
    platform_.answerOpenDialog(std::nullopt);
    platform_.pressKey('O', platform::modifier::kControl);
    ASSERT_EQ(platform_.fileDialogs().size(), 1u);
    EXPECT_EQ(platform_.fileDialogs()[0].startFolder, std::filesystem::current_path().string());
    EXPECT_TRUE(document().isOpen());
    EXPECT_EQ(currentTitle(), "Usage");
    EXPECT_EQ(view().text(), "\r\nUse it.");
    EXPECT_EQ(historyTitles(), Titles{"Usage"});
    EXPECT_EQ(app_->userData().path(), dir_.file("guide.vinfo"));
    EXPECT_EQ(document().startTopic, "");
    EXPECT_EQ(platform_.focus(), platform::headless::FocusTarget::MainWindow);
    platform_.pressKey(platform::vk::kPrior);  // the document is still there to move through
    EXPECT_EQ(currentTitle(), "Installing");
}

// A chosen file that cannot be opened is reported with its path and the
// reason, and the open document stays, whatever part of opening failed.
TEST_F(Opening, AChosenFileThatCannotBeOpenedIsReportedAndTheDocumentStays) {
    writeDocument("guide.vtome");
    std::filesystem::create_directory(dir_.file("folder.vtome"));
    writeDocument("overlong.vtome", "[vTome Contents]\r\n" + std::string(5000, 'x') + "\r\n");
    const std::string longPath = dir_.file(std::string(250, 'n') + ".vtome");
    struct Case {
        std::string path;
        std::string text;
        std::string detail;
    };
    const Case cases[] = {
        {dir_.file("folder.vtome"), "File open failure", dir_.file("folder.vtome") + ": Is a directory"},
        {dir_.file("gone.vtome"), "File open failure", dir_.file("gone.vtome") + ": No such file or directory"},
        {dir_.file("overlong.vtome"), "String Overflow", dir_.file("overlong.vtome") + ": String Overflow"},
        {longPath, "String Overflow", longPath + ": String Overflow"},
    };
    ASSERT_TRUE(start({"guide.vtome", "Usage"}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.substr(c.path.size() - 20));
        const std::size_t boxes = platform_.messageBoxes().size();
        platform_.answerOpenDialog(c.path);
        platform_.chooseMenu(ids::kCmdOpen);
        ASSERT_EQ(platform_.messageBoxes().size(), boxes + 1);
        const platform::headless::RecordedMessageBox& box = platform_.messageBoxes().back();
        EXPECT_EQ(box.caption, "vTome");
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.detail, c.detail);
        EXPECT_FALSE(platform_.exitCode());
        EXPECT_EQ(document().documentPath, "guide.vtome");
        EXPECT_EQ(currentTitle(), "Usage");
        EXPECT_EQ(historyTitles(), Titles{"Usage"});
        EXPECT_TRUE(app_->userData().isOpen());
    }
    EXPECT_EQ(app_->recentDocuments().entries().size(), 1u) << "only the document that opened";
}

TEST_F(Opening, OpenChoosesAnotherDocumentAndResetsTheStartTopic) {
    writeDocument("guide.vtome");
    writeDocument("other.vtome", "[vTome Header]\r\nOther\r\n[vTome Contents]\r\nA\r\n\r\n[A]\r\na\r\n");
    ASSERT_TRUE(start({"guide.vtome", "Usage"}));
    platform_.answerOpenDialog(dir_.file("other.vtome"));
    platform_.chooseMenu(ids::kCmdOpen);
    EXPECT_EQ(currentTitle(), "other.vtome");
    EXPECT_EQ(view().text(), "\r\nOther\r\n");
    EXPECT_EQ(historyTitles(), Titles{"other.vtome"});
    EXPECT_EQ(document().startTopic, "");
    EXPECT_EQ(app_->userData().path(), dir_.file("other.vinfo"));
    EXPECT_EQ(platform_.focus(), platform::headless::FocusTarget::MainWindow);
}

TEST_F(Opening, PathsPastTheirCapacityFail) {
    EXPECT_FALSE(start({std::string(261, 'p')}));
    EXPECT_EQ(platform_.exitCode(), 1);
    EXPECT_EQ(platform_.messageBoxes().at(0).text, "String Overflow");
}

}  // namespace
}  // namespace vtome

namespace vtome {
namespace {

TEST_F(Opening, BinaryFileOpensAsADocumentWithOnlyItsHeaderTopic) {
    const std::string junk = testing::readFile(std::string(VTOME_TEST_DATA_DIR) + "/binary-junk.bin");
    writeDocument("junk.vtome", junk);
    ASSERT_TRUE(start({"junk.vtome"}));
    EXPECT_TRUE(document().isOpen());
    EXPECT_GE(document().index->count(), 1u);
    press(platform::vk::kNext);
    press(platform::vk::kEnd);
    press(platform::vk::kBack);
    EXPECT_TRUE(platform_.messageBoxes().empty());
}

TEST_F(Opening, OddContentsLinesShowWhatTheRulesGive) {
    writeDocument("odd.vtome",
                  "[vTome Contents]\r\n=\r\n.\r\n...=Title Only\r\n  .Indented\r\nName=\r\na=b=c\r\n[Next]\r\nNotListed\r\n"
                  "[a]\r\nA text\r\n");
    ASSERT_TRUE(start({"odd.vtome"}));
    std::vector<std::string> titles;
    for (const TopicEntry* e = document().index->firstTopic(); e != nullptr; e = e->nextTopic()) {
        titles.push_back(std::string(e->name()) + "|" + std::string(e->title()));
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"vTome Header|odd.vtome", "|", "|", "|Title Only",
                                                ".Indented|.Indented", "Name|Name", "a|b=c"}));
    app_->viewer().selectTopic(topic("b=c"));
    EXPECT_EQ(view().text(), "\r\nA text\r\n");
}

}  // namespace
}  // namespace vtome
