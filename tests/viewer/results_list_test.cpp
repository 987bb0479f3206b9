// The Results page, the status line of a search and the highlights: what
// the list holds after a pause in the typing, choosing a row and stepping on
// with F3 in both scopes, and the texts the status bar shows.

#include "document/topic_search.h"
#include "platform/highlight_ranges.h"
#include "runtime/text_scan.h"
#include "shell/settings.h"
#include "viewer_fixture.h"

namespace vtome {
namespace {

namespace vk = platform::vk;
namespace mod = platform::modifier;
using platform::SidePage;
using platform::TextRange;
using platform::headless::FocusTarget;
using Lines = std::vector<std::string>;
using testing::readFile;

// "needle" twice in Setup, once in Linux, three times in Usage and once in
// Last; nowhere else. Keys has none but its title holds "Keys".
const std::string kNeedles =
    "[vTome Header]\r\n<text>\r\nFinding test.\r\n</text>\r\n\r\n"
    "[vTome Contents]\r\nIntro=Introduction\r\n.Setup=Installing the viewer\r\n..Linux=On Linux\r\n"
    "..Win=On Windows\r\nUsage=Using it\r\n.Keys=Keys of the viewer\r\nMissing=No Section\r\nLast=The end\r\n\r\n"
    "[Intro]\r\n<text>\r\nNothing here.\r\n</text>\r\n"
    "[Setup]\r\n<text>\r\nOne needle, then\r\nanother Needle at the end.\r\n</text>\r\n"
    "[Linux]\r\n<text>\r\nThe last NEEDLE.\r\n</text>\r\n"
    "[Win]\r\n<text>\r\nNo match at all.\r\n</text>\r\n"
    "[Usage]\r\n<text>\r\nneedle needle needle\r\n</text>\r\n"
    "[Keys]\r\n<text>\r\nNothing.\r\n</text>\r\n"
    "[Last]\r\n<text>\r\nA needle.\r\n</text>\r\n";

class Finding : public testing::ViewerTest {
protected:
    void SetUp() override {
        writeDocument("needles.vtome", kNeedles);
        ASSERT_TRUE(start({"needles.vtome"}));
        ASSERT_NE(platform_.sidePages(), nullptr);
    }

    platform::headless::HeadlessSidePages& pages() { return *platform_.sidePages(); }
    std::string status() { return platform_.statusBar()->text(); }
    void typeSearch(std::string_view text) { bar().type(ids::kNavSearchBox, text); }
    void pause() { platform_.fireTimers(); }
    void resultsKey() { press('F', mod::kControl | mod::kShift); }
    void show(std::string_view title) { app_->viewer().selectTopic(topic(title)); }
    TextRange occurrence(int n) {
        const std::string shown = view().text();
        std::uint32_t at = scan::findIgnoreCase(shown, 0, "needle");
        for (int i = 0; i < n; ++i) at = scan::findIgnoreCase(shown, at + 6, "needle");
        EXPECT_NE(at, scan::npos);
        return {at, at + 6};
    }
};

// --- the list

TEST_F(Finding, TheListFollowsTheBoxOnlyAfterThePause) {
    pages().clickTab(SidePage::Results);
    EXPECT_EQ(pages().resultsMessage(), ResultsController::kEmptyBoxHint);
    typeSearch("need");
    typeSearch("needle");
    // Typing only starts the wait; the list is as it was.
    ASSERT_EQ(platform_.timers().size(), 1u);
    EXPECT_TRUE(platform_.timers()[0]->isActive());
    EXPECT_EQ(platform_.timers()[0]->delay(), ResultsController::kTypingPause);
    EXPECT_EQ(pages().resultCount(), 0u);
    pause();
    EXPECT_EQ(pages().resultLines(),
              (Lines{"Installing the viewer (2)", "On Linux (1)", "Using it (3)", "The end (1)"}));
    EXPECT_EQ(status(), "4 topics contain \"needle\"");
    EXPECT_EQ(historyTitles(), (Lines{"needles.vtome"}));  // listing shows nothing
}

TEST_F(Finding, TheListHoldsWhatTheToolReports) {
    // The same topics and counts as vtome-tool search, whatever the case.
    resultsKey();
    for (const std::string text : {"needle", "NEEDLE", "n", "the ", "e."}) {
        typeSearch(text);
        pause();
        SectionIndex sections(*document().store);
        const std::vector<TopicMatch> expected = topicsContaining(sections, *document().index, text);
        ASSERT_EQ(app_->results().matches().size(), expected.size()) << text;
        Lines lines;
        for (const TopicMatch& match : expected) {
            lines.push_back(std::string(match.topic->title()) + " (" + std::to_string(match.occurrences) + ")");
        }
        EXPECT_EQ(pages().resultLines(), lines) << text;
    }
}

TEST_F(Finding, ATextFoundNowhereSaysSo) {
    typeSearch("zebra");
    resultsKey();
    EXPECT_EQ(pages().resultCount(), 0u);
    EXPECT_EQ(pages().resultsMessage(), "No topic contains \"zebra\"");
    EXPECT_EQ(status(), "Not found: zebra");
    press(vk::kReturn);
    EXPECT_EQ(historyTitles(), (Lines{"needles.vtome"}));
    // Emptying the box brings the hint back and takes the status away.
    typeSearch("");
    pause();
    EXPECT_EQ(pages().resultsMessage(), ResultsController::kEmptyBoxHint);
    EXPECT_EQ(status(), "");
}

TEST_F(Finding, OnlyTheShownPageIsListedAndChoosingItListsAtOnce) {
    typeSearch("needle");
    pause();
    // The Contents page is shown: nothing searched, but the hits are highlighted.
    EXPECT_TRUE(app_->results().matches().empty());
    EXPECT_EQ(view().highlightText(), "needle");
    pages().clickTab(SidePage::Results);
    EXPECT_EQ(pages().resultCount(), 4u);
    // Choosing the tab leaves the keyboard where it was.
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
}

TEST_F(Finding, CtrlShiftFPutsTheKeyboardInTheListAndBack) {
    typeSearch("needle");
    resultsKey();  // without waiting for the pause
    EXPECT_EQ(pages().currentPage(), SidePage::Results);
    EXPECT_EQ(platform_.focus(), FocusTarget::ResultsList);
    EXPECT_EQ(pages().selectedResult(), 0u);
    EXPECT_FALSE(platform_.timers()[0]->isActive());
    // Up and Down move in the list and show nothing.
    press(vk::kDown);
    press(vk::kDown);
    press(vk::kDown);
    press(vk::kDown);
    EXPECT_EQ(pages().selectedResult(), 3u);
    press(vk::kUp);
    EXPECT_EQ(pages().selectedResult(), 2u);
    EXPECT_EQ(historyTitles(), (Lines{"needles.vtome"}));
    // From the list, the same keys go back to the contents.
    resultsKey();
    EXPECT_EQ(pages().currentPage(), SidePage::Contents);
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
}

// --- choosing a row, then F3

TEST_F(Finding, EnterShowsTheTopicAtItsFirstHitAndF3StepsOnInTopicScope) {
    typeSearch("needle");
    resultsKey();
    press(vk::kReturn);  // row 0: Installing the viewer
    EXPECT_EQ(currentTitle(), "Installing the viewer");
    EXPECT_EQ(historyTitles(), (Lines{"needles.vtome", "Installing the viewer"}));
    EXPECT_EQ(view().selection(), occurrence(0));
    EXPECT_EQ(status(), "Hit 1 of 2 in this topic");
    EXPECT_EQ(platform_.focus(), FocusTarget::ResultsList);  // the next row is one key away

    press(vk::kF3);
    EXPECT_EQ(view().selection(), occurrence(1));
    EXPECT_EQ(status(), "Hit 2 of 2 in this topic");
    press(vk::kF3);  // nothing more: the selection stays
    EXPECT_EQ(view().selection(), occurrence(1));
    EXPECT_EQ(status(), "No more hits in this topic");
    press(vk::kF3);
    EXPECT_EQ(view().selection(), occurrence(0));
    EXPECT_EQ(status(), "Hit 1 of 2 in this topic");
    EXPECT_EQ(currentTitle(), "Installing the viewer");
}

TEST_F(Finding, AClickedRowGoesOnInDocumentScopeFromItsTopic) {
    platform_.chooseMenu(ids::kCmdScopeDocument);
    typeSearch("needle");
    resultsKey();
    pages().clickResult(2);  // Using it: three hits
    EXPECT_EQ(currentTitle(), "Using it");
    EXPECT_EQ(view().selection(), occurrence(0));
    press(vk::kF3);
    EXPECT_EQ(view().selection(), occurrence(1));
    EXPECT_EQ(status(), "Hit 2 of 3 in this topic");
    press(vk::kF3);
    EXPECT_EQ(status(), "Hit 3 of 3 in this topic");
    // On to the next topic that holds it, past the ones before the row.
    press(vk::kF3);
    EXPECT_EQ(currentTitle(), "The end");
    EXPECT_EQ(view().selection(), occurrence(0));
    EXPECT_EQ(status(), "Hit 1 of 1 in this topic");
    press(vk::kF3);
    EXPECT_EQ(status(), "No more hits in the document");
    press(vk::kF3);  // the run starts over at the top
    EXPECT_EQ(currentTitle(), "Installing the viewer");
    EXPECT_EQ(historyTitles(), (Lines{"needles.vtome", "Using it", "The end", "Installing the viewer"}));
}

TEST_F(Finding, ChoosingTheTopicOnScreenAddsNothingToTheHistory) {
    typeSearch("needle");
    resultsKey();
    show("Using it");
    press(vk::kF3);
    press(vk::kF3);
    ASSERT_EQ(view().selection(), occurrence(1));
    pages().clickResult(2);
    EXPECT_EQ(view().selection(), occurrence(0));  // back at its first hit
    EXPECT_EQ(historyTitles(), (Lines{"needles.vtome", "Using it"}));
    pages().clickResult(99);  // past the rows: nothing
    EXPECT_EQ(currentTitle(), "Using it");
}

TEST_F(Finding, TheRowsAreForTheListedTextWhileTheBoxChanges) {
    typeSearch("needle");
    resultsKey();
    typeSearch("nothing");  // not listed yet
    pages().clickResult(0);
    EXPECT_EQ(currentTitle(), "Installing the viewer");
    EXPECT_EQ(view().selection(), occurrence(0));
    pause();
    EXPECT_EQ(pages().resultLines(), (Lines{"Introduction (1)", "Keys of the viewer (1)"}));
}

TEST_F(Finding, AnotherDocumentEmptiesTheListAndListsItsOwnTopics) {
    writeDocument("other.vtome",
                  "[vTome Header]\r\n<text>\r\nOther.\r\n</text>\r\n\r\n[vTome Contents]\r\nOnly\r\n\r\n"
                  "[Only]\r\n<text>\r\nOne needle.\r\n</text>\r\n");
    typeSearch("needle");
    resultsKey();
    ASSERT_EQ(pages().resultCount(), 4u);
    platform_.answerOpenDialog(dir_.file("other.vtome"));
    press('O', mod::kControl);
    EXPECT_TRUE(app_->results().matches().empty());
    EXPECT_EQ(pages().resultCount(), 0u);
    pause();
    EXPECT_EQ(pages().resultLines(), (Lines{"Only (1)"}));
    pages().clickResult(0);
    EXPECT_EQ(currentTitle(), "Only");
}

// A start without a document: there is nothing to list.
class FindingWithoutDocument : public testing::ViewerTest {};

TEST_F(FindingWithoutDocument, NothingIsListed) {
    ASSERT_TRUE(start());
    ASSERT_FALSE(document().isOpen());
    bar().type(ids::kNavSearchBox, "needle");
    press('F', mod::kControl | mod::kShift);
    bar().type(ids::kNavSearchBox, "needles");
    platform_.fireTimers();
    EXPECT_EQ(platform_.sidePages()->resultCount(), 0u);
    EXPECT_EQ(platform_.sidePages()->resultsMessage(), "");
}

TEST_F(Finding, ACancelledOpenKeepsTheResultsOfTheOpenDocument) {
    typeSearch("needle");
    resultsKey();
    pause();
    const std::size_t listed = pages().resultCount();
    ASSERT_GT(listed, 0u);
    platform_.answerOpenDialog(std::nullopt);
    press('O', mod::kControl);
    pause();
    EXPECT_EQ(pages().resultCount(), listed);
}

// --- the status line

TEST_F(Finding, StepsSayWhichHitOfHowManyAndWhenThereIsNone) {
    show("Using it");
    typeSearch("needle");
    for (const char* expected : {"Hit 1 of 3 in this topic", "Hit 2 of 3 in this topic", "Hit 3 of 3 in this topic",
                                 "No more hits in this topic", "Hit 1 of 3 in this topic"}) {
        press(vk::kF3);
        EXPECT_EQ(status(), expected);
    }
    show("Introduction");  // another topic: the line goes
    EXPECT_EQ(status(), "");
    press(vk::kF3);
    EXPECT_EQ(status(), "Not found: needle");
    platform_.chooseMenu(ids::kCmdScopeDocument);
    typeSearch("zebra");
    press(vk::kF3);
    EXPECT_EQ(status(), "Not found: zebra");
    EXPECT_EQ(currentTitle(), "Introduction");
}

TEST_F(Finding, AStepFromPastTheEndOfAShorterTopicFindsNoMoreAndTheNextStartsAtTheTop) {
    show("Using it");
    typeSearch("needle");
    press(vk::kF3);
    press(vk::kF3);
    press(vk::kF3);
    // The topic search's position carries over: the shorter topic is
    // searched from past its end, then from its start.
    show("The end");
    press(vk::kF3);
    EXPECT_EQ(status(), "No more hits in this topic");
    press(vk::kF3);
    EXPECT_EQ(status(), "Hit 1 of 1 in this topic");
}

TEST_F(Finding, OnlyTheSearchsOwnLineIsCleared) {
    platform_.statusBar()->showText("This document's folder cannot be written");
    show("Using it");
    EXPECT_EQ(status(), "This document's folder cannot be written");
    typeSearch("needle");
    press(vk::kF3);
    show("The end");
    EXPECT_EQ(status(), "");
}

// --- highlights

TEST_F(Finding, EveryHitOnScreenIsHighlightedInEveryTopicShown) {
    show("Using it");
    typeSearch("NEEDLE");
    EXPECT_TRUE(view().highlightsOnScreen().empty());  // not before the pause
    pause();
    EXPECT_EQ(view().highlightsOnScreen(), (std::vector<TextRange>{occurrence(0), occurrence(1), occurrence(2)}));
    show("Installing the viewer");
    EXPECT_EQ(view().highlightsOnScreen(), (std::vector<TextRange>{occurrence(0), occurrence(1)}));
    // A step highlights its text at once, without the pause.
    typeSearch("the");
    press(vk::kF3);
    EXPECT_EQ(view().highlightText(), "the");
    typeSearch("");
    pause();
    EXPECT_TRUE(view().highlightsOnScreen().empty());
}

TEST_F(Finding, OnlyTheLinesOnScreenAreHighlighted) {
    std::string text;
    for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + " mark\r\n";
    writeDocument("long.vtome",
                  "[vTome Header]\r\n<text>\r\nLong.\r\n</text>\r\n\r\n[vTome Contents]\r\nLong\r\n\r\n"
                  "[Long]\r\n<text>\r\n" + text + "</text>\r\n");
    platform_.answerOpenDialog(dir_.file("long.vtome"));
    press('O', mod::kControl);
    show("Long");
    typeSearch("mark");
    pause();
    const std::vector<TextRange> first = view().highlightsOnScreen();
    // Ten lines on screen: the empty first line and nine lines of marks.
    ASSERT_EQ(first.size(), 9u);
    EXPECT_EQ(view().text().substr(first[0].start, 4), "mark");
    press(vk::kRight);  // a page down
    const std::vector<TextRange> next = view().highlightsOnScreen();
    ASSERT_EQ(next.size(), 10u);
    EXPECT_GT(next[0].start, first.back().start);
}

// --- the settings

TEST_F(Finding, TheResultsPageIsRememberedAsANewKey) {
    closeWindow();
    EXPECT_EQ(readFile(settingsPath()).find("LeftPage"), std::string::npos);  // never switched: no new key
    ASSERT_TRUE(start({"needles.vtome"}));
    EXPECT_EQ(pages().currentPage(), SidePage::Contents);
    resultsKey();
    closeWindow();
    EXPECT_NE(readFile(settingsPath()).find("LeftPage=results\r\n"), std::string::npos);
    ASSERT_TRUE(start({"needles.vtome"}));
    EXPECT_EQ(pages().currentPage(), SidePage::Results);
    pages().clickTab(SidePage::Contents);
    closeWindow();
    EXPECT_NE(readFile(settingsPath()).find("LeftPage=contents\r\n"), std::string::npos);
}

// --- where the highlights are found

TEST(HighlightRanges, StepAsTheFindDoesFromTheStartOfTheLine) {
    using R = std::vector<TextRange>;
    const struct {
        std::string_view text, needle;
        std::uint32_t from, to;
        R expected;
    } cases[] = {
        {"a Needle and NEEDLE", "needle", 0, 19, R{{2, 8}, {13, 19}}},
        {"aaaa", "aa", 0, 4, R{{0, 2}, {2, 4}}},         // one after another, no overlap
        {"aaaaa", "aa", 1, 5, R{{0, 2}, {2, 4}}},        // from the line's start, not from `from`
        {"x\r\naaaaa", "aa", 4, 8, R{{3, 5}, {5, 7}}},   // that line's start, after CR LF
        {"x\naaa", "aa", 3, 5, R{{2, 4}}},
        {"needle", "needle", 6, 9, R{}},                 // ends where the stretch begins
        {"needle", "", 0, 6, R{}},                       // an empty text highlights nothing
        {"needle", "needle", 0, 99, R{{0, 6}}},          // a stretch past the end
        {"n\xC3\xA9" "e", "\xC3\xA9", 0, 4, R{{1, 3}}},  // bytes of UTF-8 as they are
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::highlightRanges(c.text, c.needle, c.from, c.to), c.expected) << c.text << " / " << c.needle;
    }
}

TEST(HighlightRanges, CountsAreThoseOfTheStepsFromTheStart) {
    // "aa" in "aaaaa": stepping finds 0 and 2, not the overlapping 1 and 3.
    EXPECT_EQ(platform::countHits("aaaaa", "aa", 3).total, 2u);
    EXPECT_EQ(platform::countHits("aaaaa", "aa", 3).before, 2u);
    EXPECT_EQ(platform::countHits("aaaaa", "aa", 2).before, 1u);
    EXPECT_EQ(platform::countHits("aaaaa", "", 2).total, 0u);
    EXPECT_EQ(platform::countHits("a", "aa", 0).total, 0u);
    // One case of the first letter only, many times over a long text.
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "network ";
    text += "Network.";
    const platform::HitCount count = platform::countHits(text, "NETWORK", 8 * 10000);
    EXPECT_EQ(count.total, 20001u);
    EXPECT_EQ(count.before, 10000u);
    // Stopping early.
    int seen = 0;
    platform::forEachOccurrence(text, "network", 0, static_cast<std::uint32_t>(text.size()), [&](TextRange) {
        return ++seen < 3;
    });
    EXPECT_EQ(seen, 3);
    // Only starts before `to` count; the last may run past it.
    std::vector<TextRange> starts;
    platform::forEachOccurrence("xneedle", "needle", 0, 2, [&](TextRange r) {
        starts.push_back(r);
        return true;
    });
    EXPECT_EQ(starts, (std::vector<TextRange>{{1, 7}}));
}

TEST(HighlightRanges, ALineLongerThanTheLookBackStartsCloseToTheStretch) {
    const std::string text(3 * platform::kHighlightLookBack, 'a');
    const std::uint32_t from = 2 * platform::kHighlightLookBack + 1;
    const std::vector<TextRange> ranges = platform::highlightRanges(text, "aa", from, from + 10);
    ASSERT_FALSE(ranges.empty());
    EXPECT_GE(ranges.front().start, from - platform::kHighlightLookBack);
    EXPECT_LE(ranges.front().start, from);
    EXPECT_LE(ranges.size(), 6u);
}

}  // namespace
}  // namespace vtome
