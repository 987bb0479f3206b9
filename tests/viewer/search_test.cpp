// Searching from the navigation bar: stepping through a topic, walking the
// document, the search box's list, and the section lookup the document
// search reads each topic's text with.

#include <random>

#include "document/topic_search.h"
#include "store/section_index.h"
#include "runtime/text_scan.h"
#include "viewer_fixture.h"

namespace vtome {
namespace {

namespace vk = platform::vk;
using platform::TextRange;
using platform::headless::FocusTarget;
using Titles = std::vector<std::string>;

// Topic A has no "needle", B has two, C one; Long has one below the view.
const std::string kHaystack =
    "[vTome Header]\r\n<text>\r\nSearch test.\r\n</text>\r\n\r\n"
    "[vTome Contents]\r\nA\r\nB\r\nC\r\nLong\r\n\r\n"
    "[A]\r\n<text>\r\nNothing here.\r\n</text>\r\n"
    "[B]\r\n<text>\r\nOne needle, then\r\nanother Needle at the end.\r\n</text>\r\n"
    "[C]\r\n<text>\r\nThe last NEEDLE.\r\n</text>\r\n"
    "[Long]\r\n<text>\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n13\r\n14\r\n15\r\n"
    "16\r\n17\r\n18\r\n19\r\n20 needle\r\n</text>\r\n";

class SearchDocuments : public testing::ViewerTest {
protected:
    void show(std::string_view title) { app_->viewer().selectTopic(topic(title)); }
    void documentScope() { platform_.chooseMenu(ids::kCmdScopeDocument); }
    void topicScope() { platform_.chooseMenu(ids::kCmdScopeTopic); }
    void typeText(std::string_view text) { bar().type(ids::kNavSearchBox, text); }
    void step() { press(vk::kF3); }
    // Where the n-th (0-based) occurrence of `text`, ignoring case, lies in the view.
    TextRange occurrence(std::string_view text, int n) {
        const std::string shown = view().text();
        std::uint32_t at = scan::findIgnoreCase(shown, 0, text);
        for (int i = 0; i < n; ++i) at = scan::findIgnoreCase(shown, at + 1, text);
        EXPECT_NE(at, scan::npos) << "no occurrence " << n << " of " << text;
        return {at, at + static_cast<std::uint32_t>(text.size())};
    }
    std::vector<std::string> listed() {
        std::vector<std::string> items;
        for (std::uint32_t i = 0; i < bar().itemCount(ids::kNavSearchBox); ++i) {
            items.push_back(bar().itemText(ids::kNavSearchBox, i));
        }
        return items;
    }
};

class SearchTest : public SearchDocuments {
protected:
    void SetUp() override {
        writeDocument("haystack.vtome", kHaystack);
        ASSERT_TRUE(start({"haystack.vtome"}));
    }
};

// --- topic scope

using SearchTopicScope = SearchTest;

TEST_F(SearchTopicScope, StepsFirstSecondNothingThenFirstAgain) {
    show("B");
    typeText("needle");
    bar().click(ids::kNavSearch);
    const TextRange first = occurrence("needle", 0);
    EXPECT_EQ(view().selection(), first);
    EXPECT_EQ(bar().focusedControl(), ids::kNavSearchBox);  // a step leaves the focus in the box
    EXPECT_EQ(platform_.focus(), FocusTarget::Dialog);

    bar().pressEnter();  // Enter in the box is a click on Search
    const TextRange second = occurrence("needle", 1);
    EXPECT_EQ(view().selection(), second);

    step();  // F3: nothing more, the last match stays selected
    EXPECT_EQ(view().selection(), second);
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);  // F3 gives the focus back

    step();
    EXPECT_EQ(view().selection(), first);
    EXPECT_EQ(currentTitle(), "B");
    EXPECT_EQ(historyTitles(), (Titles{"haystack.vtome", "B"}));
}

TEST_F(SearchTopicScope, MatchBelowTheVisibleLinesIsScrolledIntoView) {
    show("Long");
    ASSERT_EQ(view().firstVisibleLine(), 0u);
    typeText("needle");
    step();
    EXPECT_EQ(view().selection(), occurrence("needle", 0));
    const std::uint32_t line = view().lineOf(view().selection().start);
    EXPECT_GE(line, view().firstVisibleLine());
    EXPECT_LT(line, view().firstVisibleLine() + platform::headless::HeadlessTopicView::kVisibleLines);
}

TEST_F(SearchTopicScope, SavedPositionCarriesOverToAnotherTopic) {
    show("B");
    typeText("needle");
    step();
    const std::uint32_t afterFirst = view().selection().end;
    // "Long" has its only needle far beyond that position: it is found...
    show("Long");
    step();
    EXPECT_EQ(view().selection(), occurrence("needle", 0));
    EXPECT_GT(view().selection().start, afterFirst);

    // ...but after B's second match, C's text is shorter than the saved
    // position: that step finds nothing and the next starts from the top.
    show("B");
    step();  // nothing after Long's position in B: the run ends
    step();
    step();
    ASSERT_EQ(view().selection(), occurrence("needle", 1));
    show("C");
    ASSERT_LT(view().text().size(), app_->search().topicSearchFrom());
    step();
    EXPECT_EQ(view().selection(), (TextRange{0, 0}));
    step();
    EXPECT_EQ(view().selection(), occurrence("needle", 0));
}

TEST_F(SearchTopicScope, ChangingTheTextContinuesFromTheSavedPosition) {
    show("B");
    typeText("needle");
    step();
    const std::uint32_t savedFrom = view().selection().end;
    typeText("n");  // "One" holds an earlier "n"; the step looks only after the needle
    step();
    const std::uint32_t next = static_cast<std::uint32_t>(view().text().find('n', savedFrom));
    EXPECT_EQ(view().selection(), (TextRange{next, next + 1}));
}

// --- document scope

using SearchDocumentScope = SearchTest;

TEST_F(SearchDocumentScope, WalksTheTopicsInContentsOrderThenStartsOver) {
    documentScope();
    typeText("needle");

    step();
    EXPECT_EQ(currentTitle(), "B");
    EXPECT_EQ(view().selection(), occurrence("needle", 0));
    step();
    EXPECT_EQ(currentTitle(), "B");
    EXPECT_EQ(view().selection(), occurrence("needle", 1));
    step();
    EXPECT_EQ(currentTitle(), "C");
    EXPECT_EQ(view().selection(), occurrence("needle", 0));
    step();
    EXPECT_EQ(currentTitle(), "Long");
    step();  // past the last match of the last topic: the caret goes home
    EXPECT_EQ(currentTitle(), "Long");
    EXPECT_EQ(view().selection(), (TextRange{0, 0}));
    EXPECT_FALSE(app_->search().documentSearchActive());
    step();  // and the walk starts over from the header
    EXPECT_EQ(currentTitle(), "B");
    EXPECT_EQ(view().selection(), occurrence("needle", 0));

    // Every topic the search showed went through the tree into the history.
    EXPECT_EQ(historyTitles(), (Titles{"haystack.vtome", "B", "C", "Long", "B"}));
    EXPECT_EQ(tree().selectedItem(), topic("B")->treeItem());
    EXPECT_EQ(platform_.focus(), FocusTarget::MainWindow);
}

TEST_F(SearchDocumentScope, TextFoundNowhereShowsNothing) {
    show("B");
    typeText("needle");
    step();  // topic scope: a selection to lose
    ASSERT_NE(view().selection(), (TextRange{0, 0}));
    documentScope();
    typeText("absent");
    step();
    EXPECT_EQ(currentTitle(), "B");
    EXPECT_EQ(historyTitles(), (Titles{"haystack.vtome", "B"}));
    EXPECT_EQ(view().selection(), (TextRange{0, 0}));
    EXPECT_FALSE(app_->search().documentSearchActive());
    // The next step walks from the header again, and a text that is there now finds it.
    typeText("needle");
    step();
    EXPECT_EQ(currentTitle(), "B");
    EXPECT_EQ(view().selection(), occurrence("needle", 0));
}

TEST_F(SearchDocumentScope, HeaderTopicIsSearchedToo) {
    documentScope();
    typeText("TEST");
    step();
    EXPECT_EQ(currentTitle(), "haystack.vtome");
    EXPECT_EQ(view().selection(), occurrence("test", 0));
    EXPECT_EQ(historyTitles(), Titles{"haystack.vtome"});
}

TEST_F(SearchDocumentScope, ChoosingAListEntryStartsOverFromTheHeader) {
    documentScope();
    typeText("needle");
    step();
    step();
    ASSERT_EQ(currentTitle(), "B");
    ASSERT_EQ(view().selection(), occurrence("needle", 1));

    bar().chooseItem(ids::kNavSearchBox, 0);
    EXPECT_EQ(bar().text(ids::kNavSearchBox), "needle");
    EXPECT_EQ(view().selection(), (TextRange{0, 0}));
    step();
    EXPECT_EQ(currentTitle(), "B");
    EXPECT_EQ(view().selection(), occurrence("needle", 0));  // not C: the walk began at the header
}

TEST_F(SearchTopicScope, ChoosingAListEntryStartsTheTopicOver) {
    show("B");
    typeText("needle");
    step();
    bar().chooseItem(ids::kNavSearchBox, 0);
    EXPECT_EQ(view().selection(), (TextRange{0, 0}));
    step();
    EXPECT_EQ(view().selection(), occurrence("needle", 0));
}

TEST_F(SearchDocumentScope, EachScopeKeepsItsOwnRun) {
    documentScope();
    EXPECT_FALSE(app_->search().searchInTopicScope());
    typeText("needle");
    step();
    ASSERT_EQ(currentTitle(), "B");

    topicScope();
    EXPECT_TRUE(app_->search().searchInTopicScope());
    step();  // topic scope goes on in the view from the last match
    EXPECT_EQ(view().selection(), occurrence("needle", 1));
    EXPECT_EQ(historyTitles(), (Titles{"haystack.vtome", "B"}));

    documentScope();
    step();  // the document run is still at B: it moves on to C, not back to B's first
    EXPECT_EQ(currentTitle(), "C");
    EXPECT_EQ(view().selection(), occurrence("needle", 0));
    EXPECT_EQ(app_->settings()->getString("vTome Settings", "Scope"), "doc");
}

TEST_F(SearchDocumentScope, OpeningAnotherDocumentStartsTheRunAfresh) {
    documentScope();
    typeText("needle");
    step();
    step();
    ASSERT_EQ(view().selection(), occurrence("needle", 1));

    // The old index and store are freed by the open: the next step must
    // begin in the new document (run this under the sanitizer build).
    const std::string other = writeDocument(
        "other.vtome",
        "[vTome Header]\r\n<text>\r\nOther.\r\n</text>\r\n\r\n[vTome Contents]\r\nX\r\nY\r\n\r\n"
        "[X]\r\n<text>\r\nno match\r\n</text>\r\n[Y]\r\n<text>\r\na needle in Y\r\n</text>\r\n");
    platform_.answerOpenDialog(other);
    platform_.chooseMenu(ids::kCmdOpen);
    ASSERT_EQ(currentTitle(), "other.vtome");
    EXPECT_FALSE(app_->search().documentSearchActive());
    EXPECT_FALSE(app_->search().searchInTopicScope());  // the scope outlives the document

    step();
    EXPECT_EQ(currentTitle(), "Y");
    EXPECT_EQ(view().selection(), occurrence("needle", 0));
    EXPECT_TRUE(document().index->contains(app_->search().documentSearchTopic()));
    step();
    EXPECT_EQ(view().selection(), (TextRange{0, 0}));
    EXPECT_EQ(currentTitle(), "Y");
}

TEST_F(SearchDocumentScope, OpenCancelledKeepsTheRunGoing) {
    documentScope();
    typeText("needle");
    step();
    platform_.answerOpenDialog(std::nullopt);
    platform_.chooseMenu(ids::kCmdOpen);
    ASSERT_TRUE(document().isOpen());
    EXPECT_TRUE(app_->search().documentSearchActive());
    step();  // on from B's first occurrence, as if nothing had happened
    EXPECT_EQ(currentTitle(), "B");
    EXPECT_EQ(view().selection(), occurrence("needle", 1));
    EXPECT_TRUE(platform_.messageBoxes().empty());
}

// Sections the view cannot show are passed over; missing ones skipped.
TEST_F(SearchDocuments, TopicsWithoutViewableTextArePassedOver) {
    writeDocument("odd.vtome",
                  "[vTome Header]\r\n<text>\r\nOdd.\r\n</text>\r\n\r\n"
                  "[vTome Contents]\r\nGone\r\nBytes\r\nPlain\r\n\r\n"
                  "[Bytes]\r\n<bin>6E 65 65 64 6C 65\r\n</bin>\r\n"  // "needle" as a byte block
                  "[Plain]\r\nkey=a needle\r\n");
    ASSERT_TRUE(start({"odd.vtome"}));
    documentScope();
    typeText("needle");
    step();
    EXPECT_EQ(currentTitle(), "Plain");
    EXPECT_EQ(view().selection(), occurrence("needle", 0));
    // The byte block contains the text, so its topic was shown on the way.
    EXPECT_EQ(historyTitles(), (Titles{"odd.vtome", "Bytes", "Plain"}));
}

// --- the search box

using SearchBox = SearchTest;

TEST_F(SearchBox, ListKeepsTenTextsInFirstSearchedOrderIgnoringCase) {
    show("A");
    typeText("Foo");
    step();
    typeText("foo");
    step();
    EXPECT_EQ(listed(), std::vector<std::string>{"Foo"});
    for (int i = 1; i <= 10; ++i) {
        typeText("text " + std::to_string(i));
        step();
    }
    typeText("TEXT 3");  // already listed: no second entry, no reordering
    step();
    std::vector<std::string> expected{"Foo"};
    for (int i = 1; i <= 9; ++i) expected.push_back("text " + std::to_string(i));
    EXPECT_EQ(listed(), expected);  // "text 10" found no room
}

TEST_F(SearchDocuments, LongTextIsCutTo254Characters) {
    const std::string stored(254, 'q');
    writeDocument("long.vtome",
                  "[vTome Header]\r\n<text>\r\n" + stored + "!\r\n</text>\r\n\r\n[vTome Contents]\r\n\r\n");
    ASSERT_TRUE(start({"long.vtome"}));
    typeText(std::string(300, 'q'));  // 300 would match nothing
    step();
    EXPECT_EQ(view().selection(), (TextRange{2, 256}));
    EXPECT_EQ(listed(), std::vector<std::string>{stored});
}

TEST_F(SearchBox, CutNeverSplitsACharacter) {
    // 253 ASCII bytes and a two-byte character: 254 bytes would split it.
    const std::string text = std::string(253, 'q') + "\xC3\xA9" + "tail";
    typeText(text);
    step();
    EXPECT_EQ(listed(), std::vector<std::string>{std::string(253, 'q')});
}

TEST_F(SearchBox, EmptyTextStepsChangeNothing) {
    documentScope();
    typeText("needle");
    step();
    ASSERT_EQ(currentTitle(), "B");
    const TextRange first = occurrence("needle", 0);
    typeText("");
    EXPECT_FALSE(bar().isEnabled(ids::kNavSearch));
    step();  // F3 runs even with the button disabled
    bar().focus(ids::kNavSearchBox);
    bar().pressEnter();
    EXPECT_EQ(currentTitle(), "B");
    EXPECT_EQ(view().selection(), first);
    EXPECT_EQ(historyTitles(), (Titles{"haystack.vtome", "B"}));
    EXPECT_EQ(listed(), std::vector<std::string>{"needle"});
    // The run was not broken: the next real step goes on from there.
    typeText("needle");
    step();
    EXPECT_EQ(view().selection(), occurrence("needle", 1));

    topicScope();
    typeText("");
    step();
    EXPECT_EQ(view().selection(), occurrence("needle", 1));
}

TEST_F(SearchBox, SearchButtonFollowsTheText) {
    EXPECT_FALSE(bar().isEnabled(ids::kNavSearch));
    typeText("n");
    EXPECT_TRUE(bar().isEnabled(ids::kNavSearch));
    typeText("");
    EXPECT_FALSE(bar().isEnabled(ids::kNavSearch));
    bar().click(ids::kNavSearch);  // a disabled button does nothing
    EXPECT_TRUE(listed().empty());
    typeText("needle");
    step();
    typeText("");
    bar().chooseItem(ids::kNavSearchBox, 0);
    EXPECT_TRUE(bar().isEnabled(ids::kNavSearch));
}

TEST_F(SearchBox, InsertFocusesTheBox) {
    press(vk::kInsert);
    EXPECT_EQ(platform_.focus(), FocusTarget::Dialog);
    EXPECT_EQ(bar().focusedControl(), ids::kNavSearchBox);
}

// --- the section lookup behind the document search

// A document built from random pieces that test the lookup rules: names
// quoted in earlier text blocks and in mid-line, duplicate sections, names
// differing only in case or holding brackets, text and byte blocks, line
// ends of every kind, and sometimes a byte 0 that hides the rest.
struct GeneratedDocument {
    std::string text;
    std::vector<std::string> names;  // every name worth looking up
};

GeneratedDocument generateDocument(unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::vector<std::string> ends{"\r\n", "\r\n", "\r\n", "\n", "\r"};
    auto end = [&] { return ends[static_cast<std::size_t>(pick(static_cast<int>(ends.size())))]; };

    GeneratedDocument doc;
    const std::string alphabet = "abcXYZ 09._-[";
    const int letters = static_cast<int>(alphabet.size());
    for (int i = 0; i < 40; ++i) {
        std::string name;
        const int length = pick(6);
        for (int c = 0; c < length; ++c) name += alphabet[static_cast<std::size_t>(pick(letters))];
        doc.names.push_back(name);
    }
    doc.names.push_back("a]b");     // holds "]": never a header of itself
    doc.names.push_back("ABC");
    doc.names.push_back("abc");
    auto anyName = [&] { return doc.names[static_cast<std::size_t>(pick(static_cast<int>(doc.names.size())))]; };

    std::string& t = doc.text;
    t = "[vTome Header]" + end() + "<text>" + end() + "[" + anyName() + "] quoted in a text block" + end() +
        "</text>" + end();
    for (int i = 0; i < 60; ++i) {
        t += "[" + anyName() + "]";
        if (pick(4) == 0) t += " trailing";
        t += end();
        switch (pick(7)) {
            case 0:
                t += "<text>" + end() + "line" + end() + "[" + anyName() + "]" + end() + "mid [" + anyName() +
                     "] line </text> not closed" + end() + "</TEXT>" + end();
                break;
            case 1: t += "<bin>6E 65 65" + end() + "64 6C 65" + end() + "</bin>" + end(); break;
            case 2: t += "<bin>zz" + end() + "</bin>" + end(); break;
            case 3: t += "key=value [" + anyName() + "] mid-line" + end() + "other=1" + end(); break;
            case 4: break;  // the next header follows at once
            case 5: t += "[[" + anyName() + "]" + end() + "a[b]c" + end(); break;
            default: t += "plain" + end() + end() + "after the blank" + end(); break;
        }
    }
    if (pick(3) == 0) {
        t.insert(t.size() * static_cast<std::size_t>(pick(10)) / 10, 1, '\0');
        t += "[after zero]" + end() + "hidden" + end();
        doc.names.push_back("after zero");
    }
    if (pick(4) == 0) t += "[" + anyName() + "]" + end() + "<text>" + end() + "never closed" + end();
    doc.names.push_back("");
    doc.names.push_back("vTome Header");
    doc.names.push_back("nowhere");
    return doc;
}

TEST(SearchSectionIndex, GivesTheStoresAnswerForEveryName) {
    int foundSections = 0;
    int byteBlocks = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        const GeneratedDocument doc = generateDocument(seed);
        testing::TempDir dir;
        testing::writeFile(dir.file("doc.vtome"), doc.text);
        auto store = KeyedStore::loadFromFile(dir.file("doc.vtome"));
        SectionIndex index(*store);
        for (const std::string& name : doc.names) {
            TextBuffer expected;
            TextBuffer fast;
            const bool found = store->getSectionToBuffer(name, expected);
            ASSERT_EQ(index.getSectionToBuffer(name, fast), found) << "seed " << seed << " name [" << name << "]";
            if (!found) continue;
            ++foundSections;
            ASSERT_EQ(fast.view(), expected.view()) << "seed " << seed << " name [" << name << "]";
            if (const std::optional<std::string> text = store->getSectionText(name)) {
                ASSERT_EQ(fast.view(), *text) << "seed " << seed << " name [" << name << "]";
            } else {
                ++byteBlocks;
            }
        }
    }
    // The generated documents really do exercise both kinds of section.
    EXPECT_GT(foundSections, 3000);
    EXPECT_GT(byteBlocks, 300);
}

TEST(SearchSectionIndex, HeaderQuotedInAnEarlierTextBlockWins) {
    testing::TempDir dir;
    testing::writeFile(dir.file("d.vtome"),
                       "[First]\r\n<text>\r\n[Second]\r\nquoted\r\n</text>\r\n[Second]\r\nreal\r\n");
    auto store = KeyedStore::loadFromFile(dir.file("d.vtome"));
    SectionIndex index(*store);
    TextBuffer text;
    ASSERT_TRUE(index.getSectionToBuffer("Second", text));
    // The quoted header counts: its body runs to the next "[" at a line start.
    EXPECT_EQ(text.view(), "quoted\r\n</text>\r\n");
    EXPECT_FALSE(index.getSectionToBuffer("second", text));  // names are case-sensitive
}

TEST(SearchSectionIndex, OddLookupsFailAsTheStoreFails) {
    testing::TempDir dir;
    testing::writeFile(dir.file("d.vtome"), "[A]\r\nx\r\n[B]\r\ny\r\n");
    auto store = KeyedStore::loadFromFile(dir.file("d.vtome"));
    TextBuffer text;
    EXPECT_TRUE(store->getSectionToBufferAt(8, "B", text));
    EXPECT_EQ(text.view(), "y\r\n");
    // A place that does not hold the header is refused, not read.
    EXPECT_FALSE(store->getSectionToBufferAt(0, "B", text));
    EXPECT_FALSE(store->getSectionToBufferAt(8, "BB", text));
    EXPECT_FALSE(store->getSectionToBufferAt(1000, "B", text));
    // A name too long for the store's working string overflows in both.
    SectionIndex index(*store);
    const std::string huge(KeyedStore::kLookupCapacity, 'x');
    EXPECT_THROW(store->getSectionToBuffer(huge, text), RuntimeFailure);
    EXPECT_THROW(index.getSectionToBuffer(huge, text), RuntimeFailure);
}

TEST(SearchTopicText, CountsNonOverlappingOccurrencesFoldingAsciiOnly) {
    const std::string_view text = "aaaa AAA \xC3\x89t\xC3\xA9";
    EXPECT_EQ(countInText(text, "aa"), 3u);
    EXPECT_TRUE(textContains(text, "AaA"));
    EXPECT_EQ(countInText(text, "\xC3\xA9"), 1u);  // é and É are different bytes
    EXPECT_FALSE(textContains(text, ""));
    EXPECT_EQ(countInText(text, ""), 0u);
}

}  // namespace
}  // namespace vtome
