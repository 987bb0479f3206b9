// Contents lines, the tree built from them, and the user-data path rule.

#include "annotations/user_data.h"
#include "document/contents.h"
#include "runtime/failure.h"
#include "viewer_fixture.h"

namespace vtome {
namespace {

void expectEntry(std::string_view line, std::uint32_t depth, std::string_view name, std::string_view title) {
    SCOPED_TRACE(line);
    const ContentsEntry entry = parseContentsEntry(line);
    EXPECT_EQ(entry.depth, depth);
    EXPECT_EQ(entry.name, name);
    EXPECT_EQ(entry.title, title);
}

TEST(ContentsEntry, Syntax) {
    expectEntry("Intro", 0, "Intro", "Intro");
    expectEntry(".Setup = Installing the viewer", 1, "Setup", "Installing the viewer");
    expectEntry("Usage=", 0, "Usage", "");
    expectEntry("a=b=c", 0, "a", "b=c");
    expectEntry(" ..x", 0, "..x", "..x");
    expectEntry("..\tDeep\t=\t Title \t", 2, "Deep", "Title");
    expectEntry("", 0, "", "");
    EXPECT_THROW(parseContentsEntry(std::string(1025, 'n')), RuntimeFailure);
    EXPECT_NO_THROW(parseContentsEntry(std::string(1024, 'n') + "=" + std::string(3000, 't')));
}

TEST(UserDataPath, CutsAtTheLastFullStopEvenInAFolder) {
    auto path = [](std::string_view document) {
        CountedString result(260);
        userDataPathFor(document, result);
        return result.str();
    };
    EXPECT_EQ(path("/docs/guide.vtome"), "/docs/guide.vinfo");
    EXPECT_EQ(path("vtomesrc"), "vtomesrc.vinfo");
    EXPECT_EQ(path("/my.docs/guide"), "/my.vinfo");
    EXPECT_EQ(path(".vtome"), ".vtome.vinfo");  // the first character is never examined
    EXPECT_EQ(path("a."), "a..vinfo");            // shorter than 3: unchanged
    EXPECT_EQ(path("ab.c"), "ab.vinfo");
    CountedString tooShort(260);
    EXPECT_THROW(userDataPathFor(std::string(256, 'p'), tooShort), RuntimeFailure);
}

class Contents : public testing::ViewerTest {
protected:
    std::vector<std::string> childTitles(platform::TreeItem parent) {
        std::vector<std::string> titles;
        for (platform::TreeItem item : tree().children(parent)) titles.push_back(tree().title(item));
        return titles;
    }
    platform::TreeItem item(std::string_view title) { return topic(title)->treeItem(); }
};

TEST_F(Contents, TreeFollowsDepthsAndTheMostRecentParent) {
    writeDocument("tree.vtome", "[vTome Contents]\r\nA\r\n.B\r\nC\r\n..D\r\n...E\r\n\r\nIgnored\r\n");
    ASSERT_TRUE(start({"tree.vtome"}));
    const platform::TreeItem header = item("tree.vtome");
    EXPECT_EQ(childTitles(platform::kNoTreeItem), std::vector<std::string>{"tree.vtome"});
    EXPECT_EQ(childTitles(header), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(childTitles(item("A")), std::vector<std::string>{"B"});
    EXPECT_EQ(childTitles(item("B")), std::vector<std::string>{"D"});  // the most recent depth-1 entry
    EXPECT_EQ(childTitles(item("D")), std::vector<std::string>{"E"});
    EXPECT_EQ(document().index->count(), 6u);
    EXPECT_TRUE(tree().isExpanded(header));
    EXPECT_FALSE(tree().isExpanded(item("A")));
}

TEST_F(Contents, EntriesWithoutAParentLevelHangUnderTheDeepestOpenOne) {
    writeDocument("odd.vtome", "[vTome Contents]\r\n..First\r\n...Child\r\nTop\r\n.....Far\r\n" +
                                   std::string(4095, '.') + "Z\r\n");
    ASSERT_TRUE(start({"odd.vtome"}));
    EXPECT_EQ(childTitles(item("odd.vtome")), (std::vector<std::string>{"First", "Top"}));
    EXPECT_EQ(childTitles(item("First")), std::vector<std::string>{"Child"});
    // Far (depth 5) hangs under Child, the deepest level open above it; the
    // deepest depth the table holds hangs under Far.
    EXPECT_EQ(tree().parent(item("Far")), item("Child"));
    EXPECT_EQ(tree().parent(item("Z")), item("Far"));
}

TEST_F(Contents, NoContentsSectionGivesOnlyTheHeaderAndMissingHeaderShowsNothing) {
    writeDocument("bare.vtome", "[Other]\r\nx\r\n");
    ASSERT_TRUE(start({"bare.vtome"}));
    EXPECT_EQ(document().index->count(), 1u);
    EXPECT_EQ(view().text(), "\r\n");
    EXPECT_EQ(current(), nullptr);  // no header section: no current topic
    EXPECT_EQ(historyTitles(), std::vector<std::string>{"bare.vtome"});
    EXPECT_FALSE(bar().isEnabled(ids::kNavNext));
}

TEST_F(Contents, SelectingExpandsAndClosesTheBranchSelectedBefore) {
    writeDocument("tree.vtome", "[vTome Contents]\r\nA\r\n.A1\r\n..A2\r\nB\r\n.B1\r\n");
    ASSERT_TRUE(start({"tree.vtome"}));
    app_->viewer().selectTopic(topic("A2"));
    EXPECT_TRUE(tree().isExpanded(item("A1")));
    app_->viewer().selectTopic(topic("B1"));
    EXPECT_FALSE(tree().isExpanded(item("A2")));
    EXPECT_FALSE(tree().isExpanded(item("A1")));
    EXPECT_FALSE(tree().isExpanded(item("A")));
    EXPECT_TRUE(tree().isExpanded(item("B1")));
}

TEST_F(Contents, DuplicateTitlesFindTheEarlierEntry) {
    writeDocument("dup.vtome", "[vTome Contents]\r\nOne=Same\r\nTwo=same\r\n\r\n[One]\r\n1\r\n[Two]\r\n2\r\n");
    ASSERT_TRUE(start({"dup.vtome", "SAME"}));
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->name(), "One");
}

}  // namespace
}  // namespace vtome
