// Bookmarks: set with B and the Bookmark button, listed in the Bookmarks
// menu, managed in the Bookmarks dialog, and written to the .vinfo file
// byte for byte after every change.

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "annotations/bookmarks.h"
#include "annotations/notes.h"
#include "resources/menu.h"
#include "viewer_fixture.h"

namespace vtome {
namespace {

namespace vk = platform::vk;
using platform::MenuEntry;
using platform::headless::FocusTarget;
using platform::headless::HeadlessDialog;
using testing::readFile;
using testing::writeFile;
using Items = std::vector<std::pair<std::string, std::uint32_t>>;

// Lines "Line 1" to "Line n" of a long topic text.
std::string numberedLines(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) text += "Line " + std::to_string(i) + "\r\n";
    return text;
}

// Intro has no title of its own; Long has 60 lines to scroll through.
const std::string kBook =
    "[vTome Header]\r\n<text>\r\nThe book.\r\n</text>\r\n\r\n"
    "[vTome Contents]\r\nIntro\r\nLong=Long Topic\r\n.Install=Installing\r\nLast\r\n\r\n"
    "[Intro]\r\n<text>\r\nWhat it does.\r\n</text>\r\n\r\n"
    "[Long]\r\n<text>\r\n" + numberedLines(60) + "</text>\r\n\r\n"
    "[Install]\r\nRun setup.\r\n\r\n"
    "[Last]\r\n<text>\r\nThe end.\r\n</text>\r\n";

class BookmarkTest : public testing::ViewerTest {
protected:
    void open(const std::string& bytes = kBook) {
        writeDocument("book.vtome", bytes);
        ASSERT_TRUE(start({"book.vtome"}));
    }
    std::string vinfo() const { return dir_.file("book.vinfo"); }
    std::string stored() const {
        return std::filesystem::exists(vinfo()) ? readFile(vinfo()) : std::string("(no file)");
    }
    void show(std::string_view title) { app_->viewer().selectTopic(topic(title)); }
    void scrollDown(int lines) {
        for (int i = 0; i < lines; ++i) press(vk::kDown);
    }
    void bookmark(std::string_view title, int scrolledLines = 0) {
        show(title);
        scrollDown(scrolledLines);
        press('B');
    }
    Items menu() {
        Items items;
        const std::vector<MenuEntry>* popup = platform_.mainWindow()->popup(resources::kBookmarksMenuPosition);
        if (popup == nullptr) return items;
        for (const MenuEntry& e : *popup) {
            items.emplace_back(e.kind == MenuEntry::Kind::Separator ? "---" : e.caption, e.id);
        }
        return items;
    }
    // Ctrl+B with the user's part in the dialog.
    void manage(std::function<void(HeadlessDialog&)> script) {
        platform_.scriptModalDialog(std::move(script));
        press('B', platform::modifier::kControl);
    }
    std::vector<std::string> lines(HeadlessDialog& d) {
        std::vector<std::string> texts;
        for (std::uint32_t i = 0; i < d.itemCount(ids::kBookmarksList); ++i) {
            texts.push_back(d.itemText(ids::kBookmarksList, i));
        }
        return texts;
    }
};

const Items kNoItems{{"Manage Bookmarks   Ctrl+B", 1012}, {"---", 0}};

Items itemsWith(Items bookmarks) {
    Items items = kNoItems;
    items.insert(items.end(), bookmarks.begin(), bookmarks.end());
    return items;
}

// --- the file

TEST_F(BookmarkTest, FirstBookmarkCreatesTheFileWithOnlyItsSection) {
    open();
    EXPECT_EQ(stored(), "(no file)");  // opening and reading write nothing
    bookmark("Intro");
    EXPECT_EQ(stored(), "\r\n[vTome Bookmarks]\r\n1=Intro,0\r\n");
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
}

TEST_F(BookmarkTest, NoteThenBookmarksGiveTheDocumentedExample) {
    open("[vTome Header]\r\nx\r\n\r\n[vTome Contents]\r\nIntroduction\r\nInstallation\r\n\r\n"
         "[Introduction]\r\nHello.\r\n\r\n[Installation]\r\n<text>\r\n" + numberedLines(60) + "</text>\r\n");
    show("Installation");
    platform_.scriptModalDialog([](HeadlessDialog& d) {
        d.type(ids::kNotesEdit, "Check the proxy settings first.\r\nAsk the administrator for the port.");
        d.click(ids::kNotesSave);
    });
    press(vk::kSpace);
    bookmark("Introduction");
    bookmark("Installation", 37);
    EXPECT_EQ(stored(),
              "[Installation_vTomeNote]\r\n<text>\r\nCheck the proxy settings first.\r\n"
              "Ask the administrator for the port.\r\n</text>\r\n\r\n"
              "[vTome Bookmarks]\r\n1=Introduction,0\r\n2=Installation,37\r\n");
}

TEST_F(BookmarkTest, BookmarkingATopicAgainMovesItsBookmarkInPlace) {
    open();
    bookmark("Long Topic");
    bookmark("Intro");
    bookmark("Long Topic", 3);  // scrolled from the top: the first visible line is 3
    EXPECT_EQ(stored(), "\r\n\r\n[vTome Bookmarks]\r\n1=Long,3\r\n2=Intro,0\r\n");
    EXPECT_EQ(menu(), itemsWith({{"Long Topic", 10001}, {"Intro", 10002}}));
}

TEST_F(BookmarkTest, BookmarkButtonAddsAndGivesTheFocusBack) {
    open();
    show("Long Topic");
    scrollDown(5);
    bar().click(ids::kNavBookmark);
    EXPECT_EQ(stored(), "\r\n[vTome Bookmarks]\r\n1=Long,5\r\n");
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
}

TEST_F(BookmarkTest, DeletingTheLastBookmarkLeavesNoSection) {
    open();
    bookmark("Intro");
    manage([](HeadlessDialog& d) { d.click(ids::kBookmarksDelete); });
    EXPECT_EQ(stored(), "\r\n");
    EXPECT_EQ(menu(), kNoItems);
}

TEST_F(BookmarkTest, DeleteThenCancelKeepsAndWritesTheDeletion) {
    open();
    bookmark("Intro");
    bookmark("Last");
    manage([](HeadlessDialog& d) {
        d.click(ids::kBookmarksDelete);
        d.click(platform::kIdCancel);
    });
    EXPECT_EQ(stored(), "\r\n\r\n[vTome Bookmarks]\r\n1=Last,0\r\n");
}

TEST_F(BookmarkTest, ClosingTheDialogWithoutChangeRewritesTheFile) {
    open();
    manage([](HeadlessDialog& d) { d.pressEscape(); });
    EXPECT_EQ(stored(), "");  // an empty store, written

    // A stored section is rewritten whole and moves to the end; other
    // sections stay as they were.
    writeFile(vinfo(), "[vTome Bookmarks]\r\n1 =intro,2\r\n\r\n[Other]\r\nkeep = this\r\n");
    open();
    manage([](HeadlessDialog&) {});  // the close box
    EXPECT_EQ(stored(), "[Other]\r\nkeep = this\r\n\r\n[vTome Bookmarks]\r\n1=Intro,2\r\n");
}

// The one file of the data folder, or "" when there is none.
std::string onlyFileIn(const std::string& folder) {
    if (!std::filesystem::is_directory(folder)) return {};
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder)) files.push_back(e.path().string());
    return files.size() == 1 ? files[0] : std::string();
}

// The document is opened by a relative path; Save As then moves the current
// folder. The bookmarks still go beside the document, not into that folder.
TEST_F(BookmarkTest, BookmarksStayBesideTheDocumentWhenSaveAsMovesTheCurrentFolder) {
    open();
    std::filesystem::create_directory(dir_.file("elsewhere"));
    platform_.answerSaveDialog(dir_.file("elsewhere/book.txt"));
    platform_.chooseMenu(ids::kCmdSaveAs);
    bookmark("Intro");
    EXPECT_EQ(stored(), "\r\n[vTome Bookmarks]\r\n1=Intro,0\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir_.file("elsewhere/book.vinfo")));
}

TEST_F(BookmarkTest, APlaceThatCannotHoldTheFileMovesTheBookmarksToTheDataFolder) {
    open();
    std::filesystem::create_directory(vinfo());  // a folder where the file should be
    writeFile(vinfo() + "/inside", "old");
    bookmark("Intro");
    EXPECT_TRUE(platform_.messageBoxes().empty());
    EXPECT_FALSE(platform_.exitCode());
    const std::string kept = onlyFileIn(dataFolder());
    ASSERT_FALSE(kept.empty()) << "nothing in the data folder";
    EXPECT_EQ(std::filesystem::path(kept).filename().string().rfind("book-", 0), 0u) << kept;
    EXPECT_EQ(readFile(kept), "\r\n[vTome Bookmarks]\r\n1=Intro,0\r\n");
    // The status bar says where, once.
    EXPECT_NE(platform_.statusBar()->text().find(kept), std::string::npos) << platform_.statusBar()->text();
    EXPECT_EQ(readFile(vinfo() + "/inside"), "old");
    // Nothing is left beside the document.
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_.path())) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"book.vinfo", "book.vtome", "data"}));
}

TEST_F(BookmarkTest, ASaveThatFailsEverywhereIsReportedAndTheBookmarkStaysForTheNextOne) {
    open();
    std::filesystem::create_directory(vinfo());
    writeFile(dataFolder(), "a file where the data folder should be");
    bookmark("Intro");
    ASSERT_EQ(platform_.messageBoxes().size(), 1u);
    const platform::headless::RecordedMessageBox& box = platform_.messageBoxes()[0];
    EXPECT_EQ(box.caption, "vTome");
    EXPECT_EQ(box.text, "File open failure");
    EXPECT_EQ(box.detail.rfind(dataFolder() + "/book-", 0), 0u) << "the box names the file: " << box.detail;
    EXPECT_NE(box.detail.find(": Not a directory"), std::string::npos) << "and why: " << box.detail;
    EXPECT_FALSE(platform_.exitCode()) << "nothing ends";
    EXPECT_EQ(menu(), itemsWith({{"Intro", 10001}}));

    // Once there is room again, the next save writes what was kept.
    std::filesystem::remove(dataFolder());
    bookmark("Last");
    EXPECT_EQ(readFile(onlyFileIn(dataFolder())), "\r\n[vTome Bookmarks]\r\n1=Intro,0\r\n2=Last,0\r\n");
}

// A folder nobody may write into while it lives, root included (for root,
// through the file system's immutable flag).
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::string folder) : folder_(std::move(folder)) { set(true); }
    ~ReadOnlyFolder() { set(false); }
    bool holds() const { return ::access(folder_.c_str(), W_OK) != 0 || ::geteuid() == 0; }

private:
    void set(bool readOnly) {
        if (::geteuid() == 0) {
            const std::string command = std::string("chattr ") + (readOnly ? "+i" : "-i") + " '" + folder_ + "'";
            ok_ = std::system(command.c_str()) == 0;
        } else {
            std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                                         readOnly ? std::filesystem::perm_options::remove
                                                  : std::filesystem::perm_options::add);
        }
    }
    std::string folder_;
    bool ok_ = true;

public:
    bool ok() const { return ok_; }
};

TEST_F(BookmarkTest, BookmarksAndNotesInAReadOnlyFolderWorkAndSurviveARestart) {
    open();
    std::filesystem::create_directory(dataFolder());  // lives inside the folder made read-only
    {
        ReadOnlyFolder readOnly(dir_.path().string());
        if (!readOnly.ok()) GTEST_SKIP() << "this file system cannot make the folder read-only";
        bookmark("Intro");
        platform_.scriptModalDialog([](HeadlessDialog& d) {
            d.type(ids::kNotesEdit, "noted");
            d.click(ids::kNotesSave);
        });
        press(vk::kSpace);
        platform_.scriptModalDialog([](HeadlessDialog& d) { d.click(platform::kIdCancel); });
        press('B', platform::modifier::kControl);  // the Bookmarks dialog writes on closing
        EXPECT_TRUE(platform_.messageBoxes().empty());
        EXPECT_FALSE(platform_.exitCode());
        EXPECT_NE(platform_.statusBar()->text().find(dataFolder()), std::string::npos);
        open();  // a restart
        EXPECT_EQ(menu(), itemsWith({{"Intro", 10001}}));
        EXPECT_TRUE(hasNote(*app_->userData().store(), "Intro"));
    }
    EXPECT_FALSE(std::filesystem::exists(vinfo()));
}

TEST_F(BookmarkTest, AFileBesideThatCannotBeReadIsReportedAndNeverWrittenOver) {
    std::filesystem::create_directory(vinfo());
    open();
    ASSERT_EQ(platform_.messageBoxes().size(), 1u);
    EXPECT_EQ(platform_.messageBoxes()[0].detail, vinfo() + ": Is a directory");
    EXPECT_FALSE(platform_.exitCode());
    bookmark("Intro");
    EXPECT_TRUE(std::filesystem::is_directory(vinfo()));
    EXPECT_EQ(readFile(onlyFileIn(dataFolder())), "\r\n[vTome Bookmarks]\r\n1=Intro,0\r\n");
}

TEST_F(BookmarkTest, AnOverlongLineCostsOnlyItsOwnBookmark) {
    writeFile(vinfo(), "[vTome Bookmarks]\r\n1=Intro,0\r\n2=" + std::string(5000, 'x') + ",1\r\n3=Last,2\r\n");
    open();
    EXPECT_TRUE(platform_.messageBoxes().empty());
    EXPECT_EQ(menu(), itemsWith({{"Intro", 10001}, {"Last", 10002}}));
}

// --- resolving stored names

TEST_F(BookmarkTest, NamesDifferingOnlyInCaseKeepTheirOwnTopic) {
    open("[vTome Header]\r\nx\r\n\r\n[vTome Contents]\r\nAlpha=Lower\r\nALPHA=Upper\r\n\r\n"
         "[Alpha]\r\na\r\n\r\n[ALPHA]\r\nA\r\n");
    bookmark("Upper");
    bookmark("Lower");
    EXPECT_EQ(stored(), "\r\n\r\n[vTome Bookmarks]\r\n1=ALPHA,0\r\n2=Alpha,0\r\n");
    open("[vTome Header]\r\nx\r\n\r\n[vTome Contents]\r\nAlpha=Lower\r\nALPHA=Upper\r\n\r\n"
         "[Alpha]\r\na\r\n\r\n[ALPHA]\r\nA\r\n");
    EXPECT_EQ(menu(), itemsWith({{"Upper", 10001}, {"Lower", 10002}}));
}

TEST_F(BookmarkTest, StoredNameInAnotherCaseResolvesToTheTopic) {
    writeFile(vinfo(), "[vTome Bookmarks]\r\n1=LONG,7\r\n");
    open();
    EXPECT_EQ(menu(), itemsWith({{"Long Topic", 10001}}));
    platform_.chooseMenu(10001);
    EXPECT_EQ(currentTitle(), "Long Topic");
    press('B');  // the topic's own name is what is written
    EXPECT_EQ(stored(), "\r\n\r\n[vTome Bookmarks]\r\n1=Long,0\r\n");
}

TEST_F(BookmarkTest, SecondEntryOfTheSameNameComesBackOnTheFirst) {
    const std::string twice =
        "[vTome Header]\r\nx\r\n\r\n[vTome Contents]\r\nIntro=First Intro\r\nIntro=Second Intro\r\n\r\n"
        "[Intro]\r\nhi\r\n";
    open(twice);
    bookmark("Second Intro");
    EXPECT_EQ(menu(), itemsWith({{"Second Intro", 10001}}));
    open(twice);
    EXPECT_EQ(menu(), itemsWith({{"First Intro", 10001}}));
}

TEST_F(BookmarkTest, TopicNamesLongerThan288CharactersComeBackWhole) {
    const std::string shortName(288, 'n');
    const std::string longName(300, 'n');
    const std::string doc = "[vTome Header]\r\nx\r\n\r\n[vTome Contents]\r\n" + shortName + "=Short\r\n" + longName +
                            "=Long\r\n\r\n[" + shortName + "]\r\ns\r\n\r\n[" + longName + "]\r\nl\r\n";
    open(doc);
    bookmark("Long");
    EXPECT_EQ(stored(), "\r\n[vTome Bookmarks]\r\n1=" + longName + ",0\r\n");
    open(doc);
    EXPECT_EQ(menu(), itemsWith({{"Long", 10001}}));
}

TEST_F(BookmarkTest, TopicNameWithACommaSurvives) {
    const std::string doc =
        "[vTome Header]\r\nx\r\n\r\n[vTome Contents]\r\nTips, tricks\r\nTips\r\n\r\n[Tips, tricks]\r\nt\r\n\r\n"
        "[Tips]\r\nu\r\n";
    open(doc);
    bookmark("Tips, tricks");
    open(doc);
    EXPECT_EQ(menu(), itemsWith({{"Tips, tricks", 10001}}));
}

// A changed document must not cost the user bookmarks, and odd values in a
// hand-edited file keep what can be kept.
TEST_F(BookmarkTest, BookmarksOfMissingTopicsAreKeptButLeadNowhere) {
    writeFile(vinfo(), "[vTome Bookmarks]\r\n1=Gone,7\r\n2=Intro,0\r\n");
    open();
    EXPECT_EQ(menu(), itemsWith({{"Intro", 10002}}));
    show("Last");
    platform_.chooseMenu(10001);
    EXPECT_EQ(currentTitle(), "Last");

    std::vector<std::string> shown;
    manage([&](HeadlessDialog& d) {
        shown = lines(d);
        d.pressEnter();  // on "Gone (missing)": nowhere to go, the dialog stays
        EXPECT_TRUE(d.isOpen());
        d.chooseItem(ids::kBookmarksList, 1);
        d.pressEnter();
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"Gone (missing)", "Intro"}));
    EXPECT_EQ(currentTitle(), "Intro");

    bookmark("Last");
    EXPECT_EQ(stored(), "\r\n\r\n[vTome Bookmarks]\r\n1=Gone,7\r\n2=Intro,0\r\n3=Last,0\r\n");
}

TEST_F(BookmarkTest, OddStoredValuesKeepWhatIdentifiesATopic) {
    writeFile(vinfo(),
              "[vTome Bookmarks]\r\n"
              "1=,5\r\n"             // no name: nothing to keep
              "2=Intro,abc\r\n"      // a bad line: the top of the topic
              "3=Long\r\n"           // no line at all
              "\r\n"                 // a blank line inside the section
              "5=Last,4\r\n"         // key 4 missing: the rest still counts
              "12=Gone,x\r\n"        // missing topic: kept exactly as stored
              "10=Install,1\r\n"     // numeric order, not line order
              "note=not a key\r\n");
    open();
    EXPECT_EQ(menu(), itemsWith({{"Intro", 10001}, {"Long Topic", 10002}, {"Last", 10003}, {"Installing", 10004}}));
    manage([](HeadlessDialog&) {});
    EXPECT_EQ(stored(),
              "\r\n\r\n[vTome Bookmarks]\r\n1=Intro,0\r\n2=Long,0\r\n3=Last,4\r\n4=Install,1\r\n5=Gone,x\r\n");
}

TEST_F(BookmarkTest, ARepeatedKeyReadsAsItsFirstLineAndDigitsCountByNumber) {
    writeFile(vinfo(),
              "[vTome Bookmarks]\r\n"
              "2=Long,3\r\n"
              "1=Intro,0\r\n"
              "2=Last,0\r\n"      // key 2 again: its first line wins
              "01=Install,0\r\n"  // another key, numbered 1, after the first 1
              "+3=Last,0\r\n");   // not a key
    open();
    EXPECT_EQ(menu(), itemsWith({{"Intro", 10001}, {"Installing", 10002}, {"Long Topic", 10003}}));
}

// --- the menu and jumps

TEST_F(BookmarkTest, MenuListsTitlesInOrderAndRenumbersAfterADelete) {
    open();
    EXPECT_EQ(menu(), kNoItems);
    EXPECT_EQ(platform_.mainWindow()->popupTitle(resources::kBookmarksMenuPosition), "Bookmarks");
    bookmark("Long Topic");
    bookmark("Installing");
    bookmark("Intro");
    EXPECT_EQ(menu(), itemsWith({{"Long Topic", 10001}, {"Installing", 10002}, {"Intro", 10003}}));
    manage([](HeadlessDialog& d) { d.click(ids::kBookmarksDelete); });
    EXPECT_EQ(menu(), itemsWith({{"Installing", 10001}, {"Intro", 10002}}));
    platform_.chooseMenu(10002);
    EXPECT_EQ(currentTitle(), "Intro");
    platform_.chooseMenu(10003);  // no such item any more
    EXPECT_EQ(currentTitle(), "Intro");
}

TEST_F(BookmarkTest, JumpShowsTheTopicAndScrollsToTheLine) {
    open();
    bookmark("Long Topic", 20);
    show("Intro");
    const auto historyBefore = historyTitles().size();
    platform_.chooseMenu(10001);
    EXPECT_EQ(currentTitle(), "Long Topic");
    EXPECT_EQ(view().lineOf(view().selection().start), 20u);
    EXPECT_LE(view().firstVisibleLine(), 20u);
    EXPECT_GT(view().firstVisibleLine() + platform::headless::HeadlessTopicView::kVisibleLines, 20u);
    EXPECT_EQ(historyTitles().size(), historyBefore + 1);
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);

    // Already on screen: only scrolls, nothing is shown or recorded again.
    press(vk::kHome);
    show("Long Topic");
    const auto history = historyTitles();
    platform_.chooseMenu(10001);
    EXPECT_EQ(historyTitles(), history);
    EXPECT_EQ(view().lineOf(view().selection().start), 20u);
}

TEST_F(BookmarkTest, LinePastTheEndStillShowsTheTopic) {
    writeFile(vinfo(), "[vTome Bookmarks]\r\n1=Intro,500\r\n");
    open();
    platform_.chooseMenu(10001);
    EXPECT_EQ(currentTitle(), "Intro");
    EXPECT_EQ(view().selection(), (platform::TextRange{0, 0}));
    EXPECT_EQ(view().firstVisibleLine(), 0u);
}

TEST_F(BookmarkTest, BWithoutACurrentTopicDoesNothing) {
    open("[vTome Header]\r\nx\r\n\r\n[vTome Contents]\r\nEmpty\r\n\r\n");
    show("Empty");  // a contents entry without a section
    ASSERT_EQ(current(), nullptr);
    press('B');
    EXPECT_EQ(stored(), "(no file)");
    EXPECT_EQ(menu(), kNoItems);
}

// --- the dialog

TEST_F(BookmarkTest, DialogStartsWithTheBookmarksAndTheFirstLineSelected) {
    open();
    manage([&](HeadlessDialog& d) {
        EXPECT_EQ(d.itemCount(ids::kBookmarksList), 0u);
        EXPECT_FALSE(d.isEnabled(platform::kIdOk));
        EXPECT_FALSE(d.isEnabled(ids::kBookmarksDelete));
        EXPECT_TRUE(d.isEnabled(platform::kIdCancel));
    });
    bookmark("Long Topic");
    bookmark("Intro");
    manage([&](HeadlessDialog& d) {
        EXPECT_EQ(lines(d), (std::vector<std::string>{"Long Topic", "Intro"}));
        EXPECT_EQ(d.selectedItem(ids::kBookmarksList), 0u);
        EXPECT_TRUE(d.isEnabled(platform::kIdOk));
        EXPECT_TRUE(d.isEnabled(ids::kBookmarksDelete));
        d.doubleClickItem(ids::kBookmarksList, 1);
        EXPECT_FALSE(d.isOpen());
    });
    EXPECT_EQ(currentTitle(), "Intro");
    manage([&](HeadlessDialog& d) { d.click(platform::kIdOk); });
    EXPECT_EQ(currentTitle(), "Long Topic");
}

TEST_F(BookmarkTest, AfterTheLastLineIsDeletedOkAndDeleteAreDisabled) {
    open();
    bookmark("Intro");
    bookmark("Last");
    manage([&](HeadlessDialog& d) {
        d.click(ids::kBookmarksDelete);
        EXPECT_EQ(lines(d), std::vector<std::string>{"Last"});
        EXPECT_EQ(d.selectedItem(ids::kBookmarksList), 0u);
        d.click(ids::kBookmarksDelete);
        EXPECT_EQ(d.itemCount(ids::kBookmarksList), 0u);
        EXPECT_FALSE(d.isEnabled(platform::kIdOk));
        EXPECT_FALSE(d.isEnabled(ids::kBookmarksDelete));
        d.pressEnter();  // no line: nothing to jump to
        EXPECT_TRUE(d.isOpen());
    });
    EXPECT_EQ(stored(), "\r\n");
}

TEST_F(BookmarkTest, DialogWorksFromTheKeyboardAlone) {
    open();
    bookmark("Intro");
    bookmark("Last");
    show("Long Topic");
    manage([&](HeadlessDialog& d) {
        EXPECT_EQ(d.focusedControl(), ids::kBookmarksList);
        d.pressTab();
        EXPECT_EQ(d.focusedControl(), platform::kIdOk);
        d.pressTab();
        EXPECT_EQ(d.focusedControl(), ids::kBookmarksDelete);
        d.pressFocusedButton();  // deletes "Intro"
        d.pressTab();
        EXPECT_EQ(d.focusedControl(), platform::kIdCancel);
        d.pressTab();
        EXPECT_EQ(d.focusedControl(), ids::kBookmarksList);
        d.pressTab(true);
        EXPECT_EQ(d.focusedControl(), platform::kIdCancel);
        d.pressEnter();  // Enter on Cancel presses Cancel
        EXPECT_FALSE(d.isOpen());
    });
    EXPECT_EQ(currentTitle(), "Long Topic");
    EXPECT_EQ(stored(), "\r\n\r\n[vTome Bookmarks]\r\n1=Last,0\r\n");
    manage([&](HeadlessDialog& d) { d.pressEnter(); });  // Enter on the list: OK
    EXPECT_EQ(currentTitle(), "Last");
}

TEST_F(BookmarkTest, DialogBeforeAnyDocumentWritesNothing) {
    ASSERT_TRUE(start());
    EXPECT_EQ(platform_.mainWindow()->popup(resources::kBookmarksMenuPosition), nullptr);  // the resource's menu
    manage([&](HeadlessDialog& d) {
        EXPECT_EQ(d.itemCount(ids::kBookmarksList), 0u);
        EXPECT_FALSE(d.isEnabled(platform::kIdOk));
        d.pressEscape();
    });
    EXPECT_EQ(platform_.modalDialogs(), std::vector<std::uint32_t>{ids::kDialogBookmarks});
    EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(BookmarkTest, OpenThenCancelKeepsTheBookmarks) {
    open();
    bookmark("Intro");
    const std::string before = stored();
    const auto items = menu();
    platform_.answerOpenDialog(std::nullopt);
    press('O', platform::modifier::kControl);
    EXPECT_EQ(menu(), items);
    app_->viewer().goEnd();
    platform_.chooseMenu(10001);
    EXPECT_EQ(currentTitle(), "Intro");
    EXPECT_EQ(stored(), before);
    EXPECT_TRUE(platform_.messageBoxes().empty());
}

TEST_F(BookmarkTest, AnOpenThatFailsLeavesTheBookmarksOfTheOpenDocument) {
    open();
    bookmark("Intro");
    std::filesystem::create_directory(dir_.file("folder.vtome"));  // cannot be read as a document
    platform_.answerOpenDialog(dir_.file("folder.vtome"));
    press('O', platform::modifier::kControl);
    ASSERT_EQ(platform_.messageBoxes().size(), 1u);
    app_->viewer().goEnd();
    platform_.chooseMenu(10001);
    EXPECT_EQ(currentTitle(), "Intro");
    press('B');  // still written beside the open document
    EXPECT_NE(stored().find("Intro,"), std::string::npos);
}

TEST_F(BookmarkTest, OpeningAnotherDocumentReplacesTheBookmarks) {
    writeFile(dir_.file("other.vinfo"), "[vTome Bookmarks]\r\n1=Usage,0\r\n");
    writeDocument("other.vtome");
    open();
    bookmark("Intro");
    platform_.answerOpenDialog(dir_.file("other.vtome"));
    press('O', platform::modifier::kControl);
    EXPECT_EQ(menu(), itemsWith({{"Usage", 10001}}));
    platform_.chooseMenu(10001);
    EXPECT_EQ(currentTitle(), "Usage");
}

// --- values, without the window

TEST(BookmarkValue, SplitsAtTheLastComma) {
    auto parsed = parseBookmarkValue("Tips, tricks,12");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->name, "Tips, tricks");
    EXPECT_EQ(parsed->line, 12u);
    EXPECT_EQ(parseBookmarkValue("Intro,4294967295")->line, 4294967295u);
    EXPECT_EQ(parseBookmarkValue("Intro,4294967296")->line, 0u);  // past 32 bits: the top
    EXPECT_EQ(parseBookmarkValue("Intro, 7 ")->line, 7u);
    EXPECT_EQ(parseBookmarkValue("\"Quoted\",3")->name, "\"Quoted\"");  // no quoting in this value
    EXPECT_EQ(parseBookmarkValue("Intro")->name, "Intro");
    EXPECT_FALSE(parseBookmarkValue(""));
    EXPECT_FALSE(parseBookmarkValue(" ,3"));
}

TEST(BookmarkValue, KeyLineMustFitTheLookupLimit) {
    TopicIndex index;
    Bookmark b;
    b.line = 0;
    const std::string name(4096 - 4, 'x');  // "1=" + name + ",0" is exactly 4096
    b.topic = index.addTopic(name, {});
    EXPECT_EQ(bookmarkValueFor(1, b), name + ",0");
    b.topic = index.addTopic(index.keepText(name + "x"), {});
    EXPECT_THROW(bookmarkValueFor(1, b), RuntimeFailure);

    Bookmark missing;
    missing.storedValue = "Gone,x";
    EXPECT_EQ(bookmarkValueFor(7, missing), "Gone,x");
}

TEST(BookmarkMenuEntries, ItemsStopWhereCommandIdsRunOut) {
    TopicIndex index;
    TopicEntry* topic = index.addTopic("N", "T");
    BookmarkList list;
    list.appendMissing("Gone", "Gone,1");
    for (int i = 0; i < 55535; ++i) list.appendBookmark(0, topic);  // positions 2 .. 55536
    std::vector<BookmarkMenuTarget> targets;
    const auto items = bookmarkMenuEntries(list, targets);
    ASSERT_EQ(targets.size(), 55534u);  // 10002 .. 65535
    EXPECT_EQ(targets.front().command, 10002u);
    EXPECT_EQ(targets.back().command, 65535u);
    EXPECT_EQ(items.size(), targets.size() + 2);
}

}  // namespace
}  // namespace vtome
