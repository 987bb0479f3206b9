// The viewer opens a GNU Info manual directly, from the command line and
// with File > Open, converting it in memory; bookmarks are kept for it as
// for any document.

#include "document/document_loading.h"
#include "viewer_fixture.h"

namespace vtome {
namespace {

using Titles = std::vector<std::string>;
using testing::readFile;

const std::string kManual =
    "This is manual.info, produced by hand.\n\n"
    "\x1f\nFile: manual.info,  Node: Top,  Next: Usage,  Up: (dir)\n\nThe Manual\n**********\n\n"
    "* Menu:\n\n* Usage::     how to use it\n* Options::   what to pass\n"
    "\x1f\nFile: manual.info,  Node: Usage,  Next: Options,  Prev: Top,  Up: Top\n\n1 Usage\n\nRun it.\n"
    "* Menu:\n\n* Examples::\n"
    "\x1f\nFile: manual.info,  Node: Examples,  Up: Usage\n\n1.1 Examples\n\n</text> is no end here.\n"
    "\x1f\nFile: manual.info,  Node: Options,  Prev: Usage,  Up: Top\n\n2 Options\n\nNone.\n"
    "\x1f\nTag Table:\nNode: Top\x7f" "41\n\x1f\nEnd Tag Table\n";

class InfoManual : public testing::ViewerTest {
protected:
    Titles treeOrder() {
        Titles titles;
        for (const TopicEntry* e = document().index->firstTopic(); e != nullptr; e = e->nextTopic()) {
            titles.push_back(std::string(e->depth, ' ').append(e->title()));
        }
        return titles;
    }
};

TEST_F(InfoManual, OpensFromTheCommandLineWithItsMenusAsTheTree) {
    writeDocument("manual.info", kManual);
    ASSERT_TRUE(start({"manual.info", "examples"}));
    EXPECT_TRUE(platform_.messageBoxes().empty());
    EXPECT_EQ(treeOrder(), (Titles{"manual.info", " Usage", "  Examples", " Options"}));
    EXPECT_EQ(currentTitle(), "Examples");
    EXPECT_EQ(view().text(), "\r\n1.1 Examples\r\n\r\n </text> is no end here.");
    press(platform::vk::kNext);
    EXPECT_EQ(currentTitle(), "Options");
    press(platform::vk::kHome);
    EXPECT_EQ(currentTitle(), "Usage");
    app_->viewer().selectTopic(document().index->firstTopic());
    EXPECT_EQ(view().text().substr(0, 14), "\r\nThe Manual\r\n");

    // Bookmarks go into the user-data file derived from the manual's path.
    EXPECT_EQ(app_->userData().path(), dir_.file("manual.vinfo"));
    app_->viewer().selectTopic(topic("Options"));
    press('B');
    EXPECT_EQ(readFile(dir_.file("manual.vinfo")), "\r\n[vTome Bookmarks]\r\n1=Options,0\r\n");
    EXPECT_EQ(readFile(dir_.file("manual.info")), kManual);  // the manual itself is never written
}

TEST_F(InfoManual, FileOpenOffersInfoManualsBesideAllFiles) {
    writeDocument("guide.vtome");
    writeDocument("manual.info", kManual);
    ASSERT_TRUE(start({"guide.vtome"}));
    platform_.answerOpenDialog(dir_.file("manual.info"));
    press('O', platform::modifier::kControl);
    ASSERT_EQ(platform_.fileDialogs().size(), 1u);
    const platform::FileDialogRequest& request = platform_.fileDialogs()[0];
    EXPECT_EQ(request.filterName, "");  // all files come first, as before
    EXPECT_EQ(request.moreFilters, (std::vector<std::string>{std::string(kHelpDocumentFilter),
                                                            std::string(kInfoManualFilter)}));
    EXPECT_EQ(currentTitle(), "manual.info");
    EXPECT_EQ(treeOrder(), (Titles{"manual.info", " Usage", "  Examples", " Options"}));
}

}  // namespace
}  // namespace vtome
