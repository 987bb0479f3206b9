// The recent documents of the File menu, reopening where a document was
// left, and reading the open document anew when it changes on disk.

#include "comfort_fixture.h"
#include "shell/recent_documents.h"

namespace vtome {
namespace {

namespace vk = platform::vk;
using Titles = std::vector<std::string>;
using Paths = std::vector<std::string>;
using platform::MenuEntry;
using testing::readFile;
using testing::writeFile;

class Recent : public testing::ComfortTest {};

TEST_F(Recent, MostRecentFirstAndADocumentOpenedAgainMovesToTheTop) {
    const std::string a = writeBook("a.vtome");
    const std::string b = writeBook("b.vtome");
    const std::string c = writeBook("c.vtome");
    ASSERT_TRUE(start({"a.vtome"}));
    openChosen(b);
    openChosen(c);
    EXPECT_EQ(recentPaths(), (Paths{c, b, a}));
    openChosen(a);
    EXPECT_EQ(recentPaths(), (Paths{a, c, b}));
    EXPECT_EQ(recentItems(), (std::vector<std::string>{"---", "&1 " + a, "&2 " + c, "&3 " + b, "---"}));
    EXPECT_EQ(platform_.mainWindow()->itemsBeforeCommand(resources::kFileMenuPosition), ids::kCmdQuit);

    platform_.chooseMenu(ids::kFirstRecentCommand + 2);  // b
    EXPECT_EQ(document().documentPath, b);
    EXPECT_EQ(currentTitle(), "b.vtome");
    EXPECT_EQ(recentPaths(), (Paths{b, a, c}));
    EXPECT_EQ(platform_.focus(), platform::headless::FocusTarget::MainWindow);
}

TEST_F(Recent, KeepsEightAndTheOldestFallsOff) {
    Paths opened;
    for (int i = 1; i <= 9; ++i) opened.push_back(writeBook("doc" + std::to_string(i) + ".vtome"));
    ASSERT_TRUE(start());
    for (const std::string& path : opened) openChosen(path);
    const Paths expected(opened.rbegin(), opened.rbegin() + 8);
    EXPECT_EQ(recentPaths(), expected);
    EXPECT_EQ(recentItems().size(), 8u + 2u);
    platform_.chooseMenu(ids::kFirstRecentCommand + 7);  // the eighth: doc2
    EXPECT_EQ(document().documentPath, opened[1]);
    platform_.chooseMenu(ids::kFirstRecentCommand + 8);  // no ninth item: no command either
    EXPECT_EQ(document().documentPath, opened[1]);
}

TEST_F(Recent, MissingFilesAreDroppedWhenTheMenuIsShown) {
    const std::string a = writeBook("a.vtome");
    const std::string b = writeBook("b.vtome");
    ASSERT_TRUE(start({"a.vtome"}));
    openChosen(b);
    std::filesystem::remove(a);
    EXPECT_EQ(recentPaths(), (Paths{b, a})) << "nothing is looked at before the menu opens";
    EXPECT_EQ(recentItems(), (std::vector<std::string>{"---", "&1 " + b, "---"}));
    EXPECT_EQ(recentPaths(), Paths{b});

    std::filesystem::remove(b);
    EXPECT_TRUE(recentItems().empty()) << "no separators around nothing";
}

TEST_F(Recent, AnItemWhoseFileWentSinceTheMenuOpenedIsReportedAndDropped) {
    const std::string a = writeBook("a.vtome");
    const std::string b = writeBook("b.vtome");
    ASSERT_TRUE(start({"a.vtome"}));
    openChosen(b);
    show("Usage");
    recentItems();
    std::filesystem::remove(a);
    platform_.chooseMenu(ids::kFirstRecentCommand + 1);
    ASSERT_EQ(platform_.messageBoxes().size(), 1u);
    EXPECT_EQ(platform_.messageBoxes()[0].detail, a + ": No such file or directory");
    EXPECT_EQ(currentTitle(), "Usage");
    EXPECT_EQ(recentPaths(), Paths{b});
}

TEST_F(Recent, OnlyDocumentsTheUserNamedAreListed) {
    writeBook("vtomesrc");
    ASSERT_TRUE(start());  // the source document of the current folder
    ASSERT_TRUE(document().isOpen());
    EXPECT_TRUE(recentPaths().empty());
    writeBook("book.vtome");
    ASSERT_TRUE(start({"book.vtome", "Usage"}));
    EXPECT_EQ(recentPaths(), Paths{dir_.file("book.vtome")});
}

TEST_F(Recent, KeptInTheSettingsFileInASectionOfTheirOwn) {
    writeBook("book.vtome");
    ASSERT_TRUE(start({"book.vtome"}));
    closeWindow();
    EXPECT_EQ(readFile(settingsPath()),
              "\r\n[vTome Settings]\r\nWinPos=1A0000001A000000000300000004000000000000\r\nvBar=254\r\n"
              "\r\n[vTome Recent]\r\n1=" +
                  dir_.file("book.vtome") + "\r\nTopic1=vTome Header\r\nLine1=0\r\n");
}

TEST_F(Recent, PathsOfAnyBytesSurviveTheSettingsFile) {
    const Paths odd = {
        writeBook("a=b,c.vtome"),          writeBook(" leading and trailing "),
        writeBook("caf\xC3\xA9 \xE9t\xE9.vtome"),  // UTF-8 and Latin-1 bytes
        writeBook("[vTome Settings].vtome"), writeBook("100%25 & more.vtome"),
        writeBook("tab\there.vtome"),
    };
    ASSERT_TRUE(start());
    for (const std::string& path : odd) openChosen(path);
    closeWindow();
    const std::string stored = readFile(settingsPath());
    EXPECT_EQ(stored.find("[vTome Settings]"), stored.rfind("[vTome Settings]")) << "no second header";

    ASSERT_TRUE(start());
    const Paths expected(odd.rbegin(), odd.rend());
    EXPECT_EQ(recentPaths(), expected);
    EXPECT_EQ(app_->layout().splitterPos(), 254) << "the settings section is still found";
    const std::vector<std::string> items = recentItems();
    EXPECT_EQ(items.at(1), "&1 " + dir_.file("tab here.vtome"));
    EXPECT_EQ(items.at(2), "&2 " + dir_.file("100%25 && more.vtome"));
    platform_.chooseMenu(ids::kFirstRecentCommand + 3);
    EXPECT_EQ(document().documentPath, odd[2]);
}

TEST_F(Recent, AHandEditedSectionIsReadKeyByKey) {
    const std::string a = writeBook("a.vtome");
    const std::string b = writeBook("b.vtome");
    writeFile(settingsPath(), "[vTome Recent]\r\n; mine\r\n2=" + b + "\r\n1=\r\n3=" + b + "\r\n4=" + a +
                                  "\r\nTopic4=Long\r\nLine4=x\r\n9=" + a + "\r\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(recentPaths(), (Paths{b, a}));  // 1 empty, 3 a repeat, 9 past the eighth
    ASSERT_TRUE(app_->recentDocuments().entries()[1].place.has_value());
    EXPECT_EQ(app_->recentDocuments().entries()[1].place->topicName, "Long");
    EXPECT_EQ(app_->recentDocuments().entries()[1].place->line, 0u);
    closeWindow();
    EXPECT_EQ(readFile(settingsPath()).substr(0, 50), "[vTome Recent]\r\n; mine\r\n2=" + a.substr(0, 24));
}

TEST(StoredText, EscapesWhatTheFileCouldMisreadAndNothingElse) {
    const std::pair<std::string, std::string> cases[] = {
        {"/plain/path.vtome", "/plain/path.vtome"},
        {"a=b,c d", "a=b,c d"},
        {"[vTome Settings]", "%5BvTome Settings%5D"},
        {"100%", "100%25"},
        {"line\r\nend\t\x7F", "line%0D%0Aend%09%7F"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},
        {" in and after  ", " in and after%20%20"},
    };
    for (const auto& [text, stored] : cases) {
        EXPECT_EQ(shell::encodeStoredText(text), stored);
        EXPECT_EQ(shell::decodeStoredText(stored), text);
    }
    // A "%" a hand edit left without two hex digits reads as itself.
    EXPECT_EQ(shell::decodeStoredText("50% off %4"), "50% off %4");
    EXPECT_EQ(shell::decodeStoredText("%zz%41"), "%zzA");
}

// --- the last place

class LastPlace : public testing::ComfortTest {
protected:
    // Leaves book.vtome at "Long Topic", line 20, by opening another document.
    void leaveBook() {
        show("Long Topic");
        scrollDown(20);
        openChosen(writeBook("other.vtome"));
    }
    bool checked() { return platform_.mainWindow()->menuBar().isChecked(ids::kCmdReopenAtLastPlace); }
};

TEST_F(LastPlace, OffByDefaultADocumentOpensAtItsTitlePage) {
    const std::string book = writeBook("book.vtome");
    ASSERT_TRUE(start({"book.vtome"}));
    EXPECT_FALSE(checked());
    leaveBook();
    openChosen(book);
    EXPECT_EQ(currentTitle(), "book.vtome");
    EXPECT_EQ(view().firstVisibleLine(), 0u);
    // The place is kept all the same, for when the option is switched on.
    const shell::RecentDocument* listed = app_->recentDocuments().find(book);
    ASSERT_NE(listed, nullptr);
    ASSERT_TRUE(listed->place.has_value());
}

TEST_F(LastPlace, OnADocumentOpensAtTheTopicAndLineItWasLeftAt) {
    const std::string book = writeBook("book.vtome");
    ASSERT_TRUE(start({"book.vtome"}));
    platform_.chooseMenu(ids::kCmdReopenAtLastPlace);
    EXPECT_TRUE(checked());
    leaveBook();
    openChosen(book);
    EXPECT_EQ(currentTitle(), "Long Topic");
    EXPECT_EQ(view().firstVisibleLine(), 20u);
    EXPECT_EQ(view().lineOf(view().selection().start), 20u) << "the caret at the line's start";
    EXPECT_EQ(historyTitles(), Titles{"Long Topic"});

    // A recent item and a drop open there too.
    platform_.chooseMenu(ids::kFirstRecentCommand + 1);  // other.vtome
    show("Usage");
    platform_.chooseMenu(ids::kFirstRecentCommand + 1);  // book.vtome
    EXPECT_EQ(currentTitle(), "Long Topic");
    show("Last");
    platform_.dropFiles({dir_.file("other.vtome")});
    EXPECT_EQ(currentTitle(), "Usage");
    EXPECT_FALSE(std::filesystem::exists(dir_.file("book.vinfo"))) << "never in the .vinfo file";
}

TEST_F(LastPlace, KeptAcrossRunsForTheCommandLineWithoutAStartTopic) {
    writeBook("book.vtome");
    writeFile(settingsPath(), "[vTome Settings]\r\nLastPlace=1\r\n");
    ASSERT_TRUE(start({"book.vtome"}));
    EXPECT_TRUE(checked());
    show("Long Topic");
    scrollDown(25);
    closeWindow();
    const std::string stored = readFile(settingsPath());
    EXPECT_NE(stored.find("\r\nTopic1=Long\r\nLine1=25\r\n"), std::string::npos);

    ASSERT_TRUE(start({"book.vtome"}));
    EXPECT_EQ(currentTitle(), "Long Topic");
    EXPECT_EQ(view().firstVisibleLine(), 25u);
    closeWindow();
    ASSERT_TRUE(start({"book.vtome", "Usage"}));  // a start topic comes first
    EXPECT_EQ(currentTitle(), "Usage");
    closeWindow();
    ASSERT_TRUE(start({"book.vtome"}));  // and was the last place shown
    EXPECT_EQ(currentTitle(), "Usage");

    platform_.chooseMenu(ids::kCmdReopenAtLastPlace);
    EXPECT_FALSE(checked());
    closeWindow();
    EXPECT_NE(readFile(settingsPath()).find("LastPlace=0"), std::string::npos);
    ASSERT_TRUE(start({"book.vtome"}));
    EXPECT_EQ(currentTitle(), "book.vtome");
}

TEST_F(LastPlace, APlaceTheDocumentNoLongerHasOpensTheTitlePageOrTheEnd) {
    const std::string book = writeBook("book.vtome");
    ASSERT_TRUE(start({"book.vtome"}));
    platform_.chooseMenu(ids::kCmdReopenAtLastPlace);
    leaveBook();
    writeFile(book, testing::bookWith(testing::numberedLines(12)));  // Long is shorter now
    openChosen(book);
    EXPECT_EQ(currentTitle(), "Long Topic");
    EXPECT_EQ(view().firstVisibleLine(), view().displayLineCount() - 10) << "as far down as it goes";

    openChosen(dir_.file("other.vtome"));
    writeFile(book, "[vTome Header]\r\nGone.\r\n[vTome Contents]\r\nIntro\r\n\r\n");
    openChosen(book);
    EXPECT_EQ(currentTitle(), "book.vtome");
}

// --- reading the document anew

class Reload : public testing::ComfortTest {
protected:
    void SetUp() override {
        book_ = writeBook("book.vtome");
        ASSERT_TRUE(start({"book.vtome"}));
        ASSERT_EQ(platform_.fileWatcher()->watchedPath(), book_);
    }
    std::string book_;
};

TEST_F(Reload, AChangedDocumentIsReadAgainAtTheSameTopicAndLine) {
    show("Introduction");
    show("Usage");
    press('B');
    show("Long Topic");
    show("Last");
    press(vk::kBack);  // Long Topic again, Last to go forward to
    scrollDown(30);
    press('B');
    ASSERT_EQ(currentTitle(), "Long Topic");
    const Titles history = historyTitles();

    // A topic added before it, and its text changed below the top.
    std::string changed = testing::kBook;
    changed.replace(changed.find("Intro=Introduction"), 0, "New=A New Topic\r\n");
    changed.replace(changed.find("Line 50"), 7, "Line fifty");
    changed += "[New]\r\n<text>\r\nNew.\r\n</text>\r\n";
    rewrite(book_, changed);
    platform_.announceFileChange();

    EXPECT_EQ(status(), "book.vtome changed on disk and was read again.");
    EXPECT_EQ(currentTitle(), "Long Topic");
    EXPECT_EQ(view().firstVisibleLine(), 30u);
    EXPECT_NE(view().text().find("Line fifty"), std::string::npos);
    EXPECT_EQ(historyTitles(), history);
    EXPECT_EQ(document().index->findByTitle("A New Topic")->nextTopic(), topic("Introduction"));
    press(vk::kRight, platform::modifier::kAlt);
    EXPECT_EQ(currentTitle(), "Last") << "Forward still leads where it led";

    // The bookmarks lead into the new index.
    ASSERT_EQ(app_->bookmarks().menuTargets().size(), 2u);
    for (const auto& target : app_->bookmarks().menuTargets()) {
        EXPECT_TRUE(document().index->contains(target.bookmark->topic));
    }
    platform_.chooseMenu(ids::kFirstBookmarkCommand + 2);
    EXPECT_EQ(currentTitle(), "Long Topic");
    EXPECT_EQ(view().lineOf(view().selection().start), 30u);
    EXPECT_TRUE(platform_.messageBoxes().empty());
}

TEST_F(Reload, NotesAndBookmarksOfTopicsThatWentAndCameBackAreKept) {
    show("Usage");
    press('B');
    const std::string vinfo = readFile(dir_.file("book.vinfo"));
    std::string without = testing::kBook;
    without.erase(without.find("Usage\r\nMissing"), 7);
    rewrite(book_, without);
    platform_.announceFileChange();
    EXPECT_EQ(currentTitle(), "book.vtome") << "the topic is gone: the title page";
    EXPECT_TRUE(app_->bookmarks().menuTargets().empty());

    rewrite(book_, testing::kBook);
    platform_.announceFileChange();
    ASSERT_EQ(app_->bookmarks().menuTargets().size(), 1u);
    platform_.chooseMenu(ids::kFirstBookmarkCommand + 1);
    EXPECT_EQ(currentTitle(), "Usage");
    EXPECT_EQ(readFile(dir_.file("book.vinfo")), vinfo) << "a reload writes nothing";
}

TEST_F(Reload, TheContentsFilterStays) {
    platform_.sidePages()->typeFilter("Long");
    ASSERT_TRUE(app_->viewer().contentsTree().isFiltered());
    rewrite(book_, testing::bookWith("Changed.\r\n"));
    platform_.announceFileChange();
    EXPECT_EQ(platform_.sidePages()->filterText(), "Long");
    EXPECT_TRUE(app_->viewer().contentsTree().isFiltered());
    EXPECT_EQ(app_->viewer().contentsTree().filterText(), "Long");
    EXPECT_EQ(status(), "book.vtome changed on disk and was read again.");
}

TEST_F(Reload, TheResultsListIsMadeAgainWithoutHidingTheNotice) {
    auto& pages = *platform_.sidePages();
    pages.clickTab(platform::SidePage::Results);
    bar().type(ids::kNavSearchBox, "the");
    platform_.fireTimers();
    ASSERT_EQ(pages.resultCount(), 2u);  // the title page and Last
    pages.clickResult(1);
    ASSERT_EQ(currentTitle(), "Last");

    std::string changed = testing::kBook;
    changed.replace(changed.find("Use it."), 7, "Use the book.");
    rewrite(book_, changed);
    platform_.announceFileChange();
    platform_.fireTimers();  // the list follows the new text after the pause
    EXPECT_EQ(pages.resultCount(), 3u);
    EXPECT_EQ(pages.selectedResult(), 2u) << "the row of the topic on screen";
    EXPECT_EQ(status(), "book.vtome changed on disk and was read again.");

    // Typing announces the list again.
    bar().type(ids::kNavSearchBox, "use");
    platform_.fireTimers();
    EXPECT_EQ(status(), "1 topic contains \"use\"");
}

TEST_F(Reload, AnUnchangedFileIsLeftAlone) {
    show("Usage");
    platform_.announceFileChange();  // the folder changed, say
    EXPECT_EQ(status(), "");
    EXPECT_EQ(historyTitles(), (Titles{"book.vtome", "Usage"}));
}

TEST_F(Reload, ADocumentThatVanishedOrCannotBeReadKeepsItsText) {
    show("Usage");
    std::filesystem::remove(book_);
    platform_.announceFileChange();
    EXPECT_EQ(status(), "book.vtome is no longer on disk; the text shown is the one read before.");
    EXPECT_EQ(currentTitle(), "Usage");
    press(vk::kNext);  // still readable from memory
    EXPECT_EQ(historyTitles().back(), "No Section");

    std::filesystem::create_directory(book_);
    platform_.announceFileChange();
    EXPECT_EQ(status(), "book.vtome changed on disk but cannot be read (Is a directory); the text shown is the "
                        "one read before.");
    EXPECT_EQ(view().text(), "\r\n");
    std::filesystem::remove(book_);

    writeFile(book_, testing::kBook);  // back again
    platform_.announceFileChange();
    EXPECT_EQ(status(), "book.vtome changed on disk and was read again.");
    EXPECT_TRUE(platform_.messageBoxes().empty());
}

TEST_F(Reload, WaitsForAnOpenDialogToClose) {
    show("Usage");
    std::string changed = testing::kBook;
    changed.replace(changed.find("Use it."), 7, "Use it well.");
    platform_.scriptModalDialog([&](platform::headless::HeadlessDialog& notes) {
        rewrite(book_, changed);
        platform_.announceFileChange();
        EXPECT_EQ(status(), "") << "not while the Notes window is open";
        notes.click(2);  // Cancel
    });
    press(vk::kSpace);
    EXPECT_EQ(status(), "book.vtome changed on disk and was read again.");
    EXPECT_EQ(view().text(), "\r\nUse it well.");
}

// Save As moves the current folder to where it saved; the document opened
// by a relative path is still the one watched and remembered.
TEST_F(Reload, TheDocumentIsFollowedWhereverTheCurrentFolderMoves) {
    std::filesystem::create_directory(dir_.file("out"));
    platform_.answerSaveDialog(dir_.file("out/book.txt"));
    platform_.chooseMenu(ids::kCmdSaveAs);
    ASSERT_EQ(std::filesystem::current_path(), dir_.file("out"));
    show("Usage");
    rewrite(book_, testing::bookWith("Changed.\r\n"));
    platform_.announceFileChange();
    EXPECT_EQ(status(), "book.vtome changed on disk and was read again.");
    EXPECT_EQ(currentTitle(), "Usage");
    closeWindow();
    EXPECT_NE(readFile(settingsPath()).find("1=" + book_ + "\r\nTopic1=Usage\r\n"), std::string::npos);
}

TEST_F(Reload, OpeningAnotherDocumentWatchesThatOne) {
    const std::string other = writeBook("other.vtome");
    openChosen(other);
    EXPECT_EQ(platform_.fileWatcher()->watchedPath(), other);
    rewrite(book_, "[vTome Header]\r\nChanged.\r\n");
    platform_.announceFileChange();
    EXPECT_EQ(status(), "");
    EXPECT_EQ(currentTitle(), "other.vtome");
}

}  // namespace
}  // namespace vtome
