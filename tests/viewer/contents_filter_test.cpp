// The filter above the contents tree: which rows it leaves, the keys in and
// around its field, the selection of a topic it hides, and clearing it. Also
// the routing of the finding panes' keys.

#include "platform/key_routing.h"
#include "resources/finding_keys.h"
#include "resources/menu.h"
#include "viewer_fixture.h"

namespace vtome {
namespace {

namespace vk = platform::vk;
namespace mod = platform::modifier;
using platform::FocusedControlKind;
using platform::KeyRoute;
using platform::SidePage;
using platform::headless::FocusTarget;
using Lines = std::vector<std::string>;

// Two branches under the header, one a level deeper, and a later entry that
// hangs under an earlier one across a shallower entry (D under B).
const std::string kTree =
    "[vTome Header]\r\n<text>\r\nFilter test.\r\n</text>\r\n\r\n"
    "[vTome Contents]\r\nIntro=Introduction\r\n.Setup=Installing the viewer\r\n..Linux=On Linux\r\n"
    "..Win=On Windows\r\nUsage=Using it\r\n.Keys=Keys of the VIEWER\r\nMissing=No Section\r\nLast=The end\r\n"
    "A\r\n.B=Branch b\r\nC\r\n..D=Deep linux notes\r\n\r\n"
    "[Intro]\r\nIntro text.\r\n\r\n[Setup]\r\nSetup text.\r\n\r\n[Linux]\r\nLinux text.\r\n\r\n"
    "[Win]\r\nWin text.\r\n\r\n[Usage]\r\nUsage text.\r\n\r\n[Keys]\r\nKeys text.\r\n\r\n"
    "[Last]\r\nLast text.\r\n\r\n[A]\r\nA.\r\n\r\n[B]\r\nB.\r\n\r\n[C]\r\nC.\r\n\r\n[D]\r\nD.\r\n";

class ContentsFiltering : public testing::ViewerTest {
protected:
    void SetUp() override {
        writeDocument("tree.vtome", kTree);
        ASSERT_TRUE(start({"tree.vtome"}));
    }

    platform::headless::HeadlessSidePages& pages() { return *platform_.sidePages(); }
    void filter(std::string_view text) { pages().typeFilter(text); }
    Lines rows() { return tree().visibleRows(); }
    std::string status() { return platform_.statusBar()->text(); }
    // The topic shown after `key` in the filter field, pressed with `from` on screen.
    std::string afterFilterKeyFrom(std::string_view from, std::uint32_t key) {
        app_->viewer().selectTopic(topic(from));
        platform_.setFocus(FocusTarget::ContentsFilter);
        press(key);
        return currentTitle();
    }
    std::string selectedTitle() {
        const auto* entry = static_cast<const TopicEntry*>(tree().data(tree().selectedItem()));
        return entry != nullptr ? std::string(entry->title()) : std::string("(no row)");
    }
};

TEST_F(ContentsFiltering, LeavesTheMatchesWithTheEntriesAboveThemOpen) {
    filter("LINUX");  // letters folded
    EXPECT_EQ(rows(), (Lines{"tree.vtome", "  Introduction", "    Installing the viewer", "      On Linux", "  A",
                             "    Branch b", "      Deep linux notes"}));
    EXPECT_EQ(status(), "2 titles contain \"LINUX\"");
    filter("viewer");
    EXPECT_EQ(rows(), (Lines{"tree.vtome", "  Introduction", "    Installing the viewer", "  Using it",
                             "    Keys of the VIEWER"}));
    // A match whose children do not match shows without them.
    filter("installing");
    EXPECT_EQ(rows(), (Lines{"tree.vtome", "  Introduction", "    Installing the viewer"}));
    EXPECT_EQ(status(), "1 title contains \"installing\"");
    filter("zebra");
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(status(), "No title contains \"zebra\"");
    // The header's own title counts like any other.
    filter(".vtome");
    EXPECT_EQ(rows(), (Lines{"tree.vtome"}));
}

TEST_F(ContentsFiltering, ClearingRestoresTheWholeTreeWithTheShownTopicSelected) {
    app_->viewer().selectTopic(topic("On Windows"));
    filter("linux");
    // Hidden: still the selection, without a row.
    EXPECT_EQ(tree().selectedItem(), topic("On Windows")->treeItem());
    EXPECT_EQ(selectedTitle(), "(no row)");
    filter("");
    EXPECT_EQ(rows(), (Lines{"tree.vtome", "  Introduction", "    Installing the viewer", "      On Linux",
                             "      On Windows", "  Using it", "  No Section", "  The end", "  A", "  C"}));
    EXPECT_EQ(selectedTitle(), "On Windows");
    EXPECT_EQ(status(), "");
    EXPECT_EQ(historyTitles(), (Lines{"tree.vtome", "On Windows"}));  // nothing shown again
}

TEST_F(ContentsFiltering, EscapeInTheFieldClearsItAndEscapeElsewhereStillQuits) {
    press('L', mod::kControl);
    EXPECT_EQ(platform_.focus(), FocusTarget::ContentsFilter);
    press('W');
    press('I');
    EXPECT_EQ(pages().filterText(), "wi");
    EXPECT_EQ(rows().size(), 4u);
    press(vk::kEscape);
    EXPECT_EQ(pages().filterText(), "");
    EXPECT_FALSE(tree().isFiltered());
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
    EXPECT_FALSE(platform_.quitCode());
    press(vk::kEscape);
    EXPECT_EQ(platform_.quitCode(), 0);
}

TEST_F(ContentsFiltering, TheFieldKeepsItsEditingKeysAndNavigationStillWorks) {
    press('L', mod::kControl);
    press('O');
    press('N');
    press(vk::kBack);  // edits the field: no Back through the history
    EXPECT_EQ(pages().filterText(), "o");
    press(vk::kHome);
    press(vk::kEnd);
    EXPECT_EQ(historyTitles(), (Lines{"tree.vtome"}));
    // Page Down goes through every topic in contents order, hidden or not.
    filter("keys");
    press(vk::kNext);
    EXPECT_EQ(currentTitle(), "Introduction");
    EXPECT_EQ(selectedTitle(), "(no row)");  // hidden by the filter
    press(vk::kNext);
    EXPECT_EQ(currentTitle(), "Installing the viewer");
    EXPECT_EQ(tree().selectedItem(), topic("Installing the viewer")->treeItem());
    EXPECT_FALSE(tree().isExpanded(topic("Installing the viewer")->treeItem()));
    press(vk::kPrior);
    EXPECT_EQ(currentTitle(), "Introduction");
    EXPECT_EQ(historyTitles(), (Lines{"tree.vtome", "Introduction", "Installing the viewer", "Introduction"}));
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
}

TEST_F(ContentsFiltering, SelectingAHiddenTopicAgainShowsNothingNew) {
    filter("linux");
    app_->viewer().selectTopic(topic("The end"));
    app_->viewer().selectTopic(topic("The end"));
    EXPECT_EQ(historyTitles(), (Lines{"tree.vtome", "The end"}));
    // A click on a row that is listed shows it, and closes no branch.
    tree().click(topic("Deep linux notes")->treeItem());
    EXPECT_EQ(currentTitle(), "Deep linux notes");
    tree().click(topic("On Linux")->treeItem());
    EXPECT_EQ(rows().size(), 7u);
    press(vk::kBack);
    EXPECT_EQ(currentTitle(), "Deep linux notes");
}

TEST_F(ContentsFiltering, UpDownAndEnterInTheFieldMoveThroughTheRowsShown) {
    filter("linux");
    platform_.setFocus(FocusTarget::ContentsFilter);
    // The header is listed and selected; Down goes row by row as the tree shows them.
    press(vk::kDown);
    EXPECT_EQ(currentTitle(), "Introduction");
    press(vk::kDown);
    press(vk::kDown);
    EXPECT_EQ(currentTitle(), "On Linux");
    press(vk::kDown);
    press(vk::kDown);
    press(vk::kDown);
    EXPECT_EQ(currentTitle(), "Deep linux notes");  // D under B, though C came between
    press(vk::kDown);  // the last row: nothing further
    EXPECT_EQ(currentTitle(), "Deep linux notes");
    press(vk::kUp);
    EXPECT_EQ(currentTitle(), "Branch b");
    EXPECT_EQ(platform_.focus(), FocusTarget::ContentsFilter);
    // From a topic without a row, Enter and Down take the first match, Up the last.
    EXPECT_EQ(afterFilterKeyFrom("The end", vk::kUp), "Deep linux notes");
    EXPECT_EQ(afterFilterKeyFrom("The end", vk::kReturn), "On Linux");
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
    // Enter on a listed row shows nothing new.
    const std::size_t shown = historyTitles().size();
    platform_.setFocus(FocusTarget::ContentsFilter);
    press(vk::kReturn);
    EXPECT_EQ(historyTitles().size(), shown);
}

TEST_F(ContentsFiltering, EnterOnARowListedOnlyForWhatHangsUnderItTakesTheFirstMatch) {
    // The title page stays listed above every match, and selected.
    filter("linux");
    platform_.setFocus(FocusTarget::ContentsFilter);
    press(vk::kReturn);
    EXPECT_EQ(currentTitle(), "On Linux");
    // So does a branch that only holds a match.
    EXPECT_EQ(afterFilterKeyFrom("Branch b", vk::kReturn), "On Linux");
    // A matching row is what Enter shows.
    EXPECT_EQ(afterFilterKeyFrom("Deep linux notes", vk::kReturn), "Deep linux notes");
}

TEST_F(ContentsFiltering, TypingInTheTreeStartsTheFilterAndCtrlLSelectsItsText) {
    platform_.focusContentsTree();
    press('L');
    press('I', mod::kShift);
    EXPECT_EQ(platform_.focus(), FocusTarget::ContentsFilter);
    EXPECT_EQ(pages().filterText(), "lI");
    EXPECT_TRUE(tree().isFiltered());
    // Space and B, the main window's keys, type there too.
    platform_.focusContentsTree();
    press(vk::kSpace);
    EXPECT_EQ(pages().filterText(), "lI ");
    EXPECT_TRUE(platform_.modalDialogs().empty());
    // Keys held with Ctrl type nothing.
    platform_.focusContentsTree();
    press('W', mod::kControl);
    EXPECT_EQ(pages().filterText(), "lI ");
    // Ctrl+L from the Results page: back to the contents, the text selected,
    // so that typing replaces it.
    pages().clickTab(SidePage::Results);
    press('L', mod::kControl);
    EXPECT_EQ(pages().currentPage(), SidePage::Contents);
    EXPECT_TRUE(pages().filterTextSelected());
    press('K');
    EXPECT_EQ(pages().filterText(), "k");
    EXPECT_EQ(rows(), (Lines{"tree.vtome", "  Using it", "    Keys of the VIEWER"}));
}

TEST_F(ContentsFiltering, AnotherDocumentStartsUnfiltered) {
    filter("linux");
    platform_.answerOpenDialog(dir_.file("tree.vtome"));
    press('O', platform::modifier::kControl);
    EXPECT_EQ(pages().filterText(), "");
    EXPECT_FALSE(tree().isFiltered());
    EXPECT_EQ(rows().size(), 7u);  // the header's branch open
    EXPECT_EQ(selectedTitle(), "tree.vtome");
}

// --- the routing of the finding keys

TEST(FindingKeys, AreConsultedAfterTheFixedTableWhereverTheFocusIs) {
    EXPECT_EQ(resources::acceleratorTable().size(), 16u);
    const platform::KeyPress results{'F', mod::kControl | mod::kShift};
    const platform::KeyPress filterKey{'L', mod::kControl};
    for (const FocusedControlKind kind : {FocusedControlKind::Other, FocusedControlKind::TextField,
                                          FocusedControlKind::List}) {
        EXPECT_EQ(platform::routeKeyPress(results, false, kind).command, ids::kCmdResultsPage);
        EXPECT_EQ(platform::routeKeyPress(filterKey, false, kind).command, ids::kCmdContentsFilter);
    }
    EXPECT_EQ(platform::routeKeyPress(results, true).command, ids::kCmdResultsPage);
    // Only the exact modifiers: Ctrl+F and Ctrl+Shift+L are no keys of these.
    EXPECT_EQ(platform::routeKeyPress({'F', mod::kControl}, false).target, KeyRoute::Target::FocusedControl);
    EXPECT_EQ(platform::routeKeyPress({'L', mod::kControl | mod::kShift}, false).target,
              KeyRoute::Target::FocusedControl);
    // The fixed table is not searched for them.
    EXPECT_EQ(platform::acceleratorCommand(results), 0u);
}

TEST(FindingKeys, AFieldAndAListKeepTheirOwnKeys) {
    const struct {
        std::uint32_t key;
        FocusedControlKind focused;
        std::uint32_t command;  // 0: the focused control has it
    } cases[] = {
        {vk::kBack, FocusedControlKind::TextField, 0},
        {vk::kHome, FocusedControlKind::TextField, 0},
        {vk::kLeft, FocusedControlKind::TextField, 0},
        {vk::kDelete, FocusedControlKind::TextField, 0},
        {vk::kEscape, FocusedControlKind::TextField, 0},
        {vk::kReturn, FocusedControlKind::TextField, 0},
        {vk::kDown, FocusedControlKind::TextField, 0},
        {vk::kNext, FocusedControlKind::TextField, ids::kCmdNext},
        {vk::kF3, FocusedControlKind::TextField, ids::kCmdSearch},
        {vk::kInsert, FocusedControlKind::TextField, ids::kCmdFocusSearch},
        {vk::kDown, FocusedControlKind::List, 0},
        {vk::kReturn, FocusedControlKind::List, 0},
        {vk::kHome, FocusedControlKind::List, ids::kCmdHome},
        {vk::kBack, FocusedControlKind::List, ids::kCmdBack},
        {vk::kEscape, FocusedControlKind::List, ids::kCmdQuit},
        {vk::kRight, FocusedControlKind::List, ids::kCmdPageDown},
        {vk::kBack, FocusedControlKind::Other, ids::kCmdBack},
        {vk::kEscape, FocusedControlKind::Other, ids::kCmdQuit},
    };
    for (const auto& c : cases) {
        const KeyRoute route = platform::routeKeyPress({c.key, mod::kNone}, false, c.focused);
        if (c.command == 0) {
            EXPECT_EQ(route.target, KeyRoute::Target::FocusedControl) << c.key;
        } else {
            EXPECT_EQ(route.target, KeyRoute::Target::Accelerator) << c.key;
            EXPECT_EQ(route.command, c.command) << c.key;
        }
    }
}

}  // namespace
}  // namespace vtome
