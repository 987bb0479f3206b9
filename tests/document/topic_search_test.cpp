// The document search over generated documents against the plain linear
// code it replaced: each topic's section read by the store from the start
// of the text into a buffer, and the buffer searched byte by byte up to a
// byte 0. Same topics, same order, same counts.

#include <gtest/gtest.h>

#include "document/contents.h"
#include "document/rare_text_search.h"
#include "document/topic_search.h"
#include "support/generated_documents.h"
#include "support/store_fixture.h"

namespace vtome {
namespace {

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// The non-overlapping occurrences in the buffer, up to its first byte 0.
std::uint32_t plainCount(std::string_view text, std::string_view wanted) {
    text = text.substr(0, text.find('\0'));
    if (wanted.empty()) return 0;
    std::uint32_t count = 0;
    for (std::size_t at = 0; at + wanted.size() <= text.size();) {
        bool same = true;
        for (std::size_t i = 0; i < wanted.size() && same; ++i) same = fold(text[at + i]) == fold(wanted[i]);
        if (same) {
            ++count;
            at += wanted.size();
        } else {
            ++at;
        }
    }
    return count;
}

std::vector<TopicMatch> plainTopicsContaining(KeyedStore& store, const TopicIndex& index, std::string_view text) {
    std::vector<TopicMatch> matches;
    for (const TopicEntry* e = index.firstTopic(); e != nullptr; e = e->nextTopic()) {
        TextBuffer work;
        if (!store.getSectionToBuffer(e->name(), work)) continue;
        if (const std::uint32_t n = plainCount(work.view(), text); n > 0) matches.push_back({e, n});
    }
    return matches;
}

class TopicSearchTest : public ::testing::Test, protected testing::StoreFixture {};

TEST_F(TopicSearchTest, SameTopicsAndCountsAsTheLinearSearch) {
    std::size_t matched = 0;
    std::size_t byteBlockMatches = 0;
    std::size_t answeredFromOccurrences = 0;
    std::size_t searches = 0;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        const testing::GeneratedHelpDocument doc = testing::generateHelpDocument(seed);
        auto store = load(doc.text);
        TopicIndex index;
        buildContents(*store, "doc.vtome", index);
        SectionIndex sections(*store);
        // One table for all searches of the document, as the viewer keeps it.
        TopicTexts texts(sections, index);
        for (const std::string& wanted : doc.searches) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " text [" + wanted + "]");
            const std::vector<TopicMatch> expected = plainTopicsContaining(*store, index, wanted);
            const std::vector<TopicMatch> once = topicsContaining(sections, index, wanted);
            const std::vector<TopicMatch> kept = topicsContaining(texts, wanted);
            // The way from the occurrences, where it answers.
            const std::optional<std::vector<TopicMatch>> rare =
                topicsContainingRareText(sections, index, RareTextScan(store->text(), wanted));
            answeredFromOccurrences += rare.has_value();
            for (const std::vector<TopicMatch>* found : {&once, &kept, rare ? &*rare : &once}) {
                ASSERT_EQ(found->size(), expected.size());
                for (std::size_t i = 0; i < expected.size(); ++i) {
                    ASSERT_EQ((*found)[i].topic, expected[i].topic) << "match " << i;
                    ASSERT_EQ((*found)[i].occurrences, expected[i].occurrences) << "match " << i;
                }
            }
            // The first topic from each entry on, as the document search
            // steps: the next match in contents order, if any.
            std::size_t next = 0;
            for (TopicEntry* from = index.firstTopic(); from != nullptr; from = from->nextTopic()) {
                while (next < expected.size() && expected[next].topic->value < from->value) ++next;
                const TopicEntry* want = wanted.empty() || next == expected.size() ? nullptr : expected[next].topic;
                ASSERT_EQ(texts.firstContaining(from, wanted), want) << "from " << from->value;
            }
            matched += expected.size();
            ++searches;
            for (const TopicMatch& m : expected) {
                byteBlockMatches += !store->getSectionText(m.topic->name()).has_value();
            }
        }
    }
    // The documents really exercise the search, byte blocks included.
    EXPECT_GT(matched, 10000u);
    EXPECT_GT(byteBlockMatches, 200u);
    // Most searches are answered from the occurrences, not by the fallback.
    EXPECT_GT(answeredFromOccurrences, searches * 3 / 4);
}

// Layouts where the section holding an occurrence is found some way other
// than by the header just before it: each must be answered from the
// occurrences, and the same as reading every topic plainly.
TEST_F(TopicSearchTest, SectionsThatHoldAnOccurrenceAreAllFound) {
    struct Row {
        const char* what;
        std::string doc;
        std::string wanted;
    };
    const std::string contents = "[vTome Contents]\r\nA\r\nB\r\nC]x\r\nD\r\n\r\n";
    const Row rows[] = {
        {"a header first quoted mid-line wins", contents + "[A]\r\nsee [B] here\r\nfind me\r\n[B]\r\nfind\r\n", "FIND"},
        {"a text block holding lines that begin with [",
         contents + "[A]\r\n<TEXT>\r\n[C]\r\n[D]\r\nfind\r\n</text>\r\n[D]\r\nx\r\n", "find"},
        {"a text block's end marker mid-line is no end",
         contents + "[A]\r\n<text>\r\na </text> find\r\n</text>\r\n", "find"},
        {"a name holding ]", contents + "[C]x]\r\nfind\r\n[D]\r\nfind find\r\n", "find"},
        {"a byte block decoding to the text", contents + "[B]\r\n<bin>66 69 6E 64\r\n</bin>\r\n[A]\r\nno\r\n", "FIND"},
        {"after a byte 0 nothing is found", contents + "[A]\r\nfind\r\n" + std::string(1, '\0') + "[B]\r\nfind\r\n",
         "find"},
        {"CR-only line ends", "[vTome Contents]\rA\rB\r\r[A]\rfind\r[B]\rfind me\r", "find"},
        {"an occurrence across a section's end counts in none",
         contents + "[A]\r\nfi\r\n[B]\r\n<text>\r\nfi\r\n[x\r\n</text>\r\n", "fi\r\n["},
        {"an empty body before the header line", contents + "[A]\r\n[B]\r\nfind\r\n", "find"},
        {"names of one length and the same first and last letters",
         "[vTome Contents]\r\nAbc\r\nAxc\r\n\r\n[Axc]\r\nfind\r\n[Abc]\r\nnot here\r\n", "find"},
        {"a header standing for the names up to each ] on its line",
         "[vTome Contents]\r\nP\r\nP]Q\r\nP]Q]R\r\n\r\n[P]Q]R]\r\nfind\r\n", "find"},
        {"a text block opened after an earlier occurrence, no end line between",
         contents + "[A]\r\nfind\r\n[B]\r\n<text>\r\n[C]\r\nfind\r\n</text>\r\n", "find"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto store = load(row.doc);
        TopicIndex index;
        buildContents(*store, "doc.vtome", index);
        SectionIndex sections(*store);
        const std::optional<std::vector<TopicMatch>> found =
            topicsContainingRareText(sections, index, RareTextScan(store->text(), row.wanted));
        ASSERT_TRUE(found.has_value());
        const std::vector<TopicMatch> expected = plainTopicsContaining(*store, index, row.wanted);
        ASSERT_FALSE(expected.empty());
        ASSERT_EQ(found->size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ((*found)[i].topic, expected[i].topic) << "match " << i;
            EXPECT_EQ((*found)[i].occurrences, expected[i].occurrences) << "match " << i;
        }
    }
}

// A text of 8 MiB or more is scanned in two halves at once: the same
// occurrences and marks as one pass, across the middle too, and nothing of
// what follows a byte 0 in either half.
TEST_F(TopicSearchTest, ATextScannedInHalvesGivesWhatOnePassGives) {
    std::string base;
    while (base.size() < 9u * 1024 * 1024) base += "[Topic]\r\nSome text of a topic, then [a] link.\r\n<text>\r\n";
    const std::size_t half = base.size() / 2;
    base.replace(half - 4, 10, "ThErmostat");  // across the middle
    base.replace(half + 100, 10, "thermostat");
    base.replace(base.size() - 20, 10, "THERMOSTAT");
    base[half] = '[';
    for (const std::size_t zero : {std::string::npos, base.size() * 3 / 4, base.size() / 4}) {
        std::string text = base;
        if (zero != std::string::npos) text[zero] = '\0';
        const std::size_t end = std::min(zero, text.size());
        const RareTextScan scan(text, "thermostat");
        EXPECT_EQ(scan.visible().size(), end);
        std::vector<std::uint32_t> occurrences, brackets, sectionStarts;
        for (std::uint32_t at = 0; at < end; ++at) {
            if (at + 10 <= end && plainCount(std::string_view(text).substr(at, 10), "thermostat") == 1) {
                occurrences.push_back(at);
            }
            if (text[at] != '[') continue;
            brackets.push_back(at);
            if (at > 0 && text[at - 1] == '\n') sectionStarts.push_back(at);
        }
        EXPECT_EQ(scan.occurrences(), occurrences) << zero;
        EXPECT_EQ(scan.marks().brackets, brackets) << zero;
        EXPECT_EQ(scan.marks().sectionStarts, sectionStarts) << zero;
        EXPECT_EQ(scan.marks().heads.size(), brackets.size());
    }
}

// A text found too often is left to the walk over every topic, which still
// gives every match.
TEST_F(TopicSearchTest, ATextFoundTooOftenIsLeftToTheWalk) {
    std::string doc = "[vTome Contents]\r\nA\r\n\r\n[A]\r\n";
    for (int i = 0; i < 5000; ++i) doc += "x ";
    auto store = load(doc);
    TopicIndex index;
    buildContents(*store, "doc.vtome", index);
    SectionIndex sections(*store);
    EXPECT_FALSE(topicsContainingRareText(sections, index, RareTextScan(store->text(), "X")));
    const std::vector<TopicMatch> found = topicsContaining(sections, index, "X");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].occurrences, 5000u);
}

// The table answers for entries of another index (looked up afresh) and
// for a topic index that grew after the table was made.
TEST_F(TopicSearchTest, EntriesOutsideTheTableAreLookedUpAfresh) {
    auto store = load("[vTome Contents]\r\nA\r\nB\r\n\r\n[A]\r\none\r\n\r\n[B]\r\n<text>\r\ntwo\r\n</text>\r\n");
    TopicIndex index;
    buildContents(*store, "doc.vtome", index);
    SectionIndex sections(*store);
    TopicTexts texts(sections, index);
    TopicIndex other;
    TopicEntry* stranger = other.addTopic("B", "B");
    EXPECT_EQ(texts.text(*stranger), std::optional<std::string_view>("two"));
    EXPECT_EQ(texts.firstContaining(stranger, "TWO"), stranger);
    EXPECT_EQ(texts.firstContaining(stranger, "one"), nullptr);
    EXPECT_EQ(texts.firstContaining(index.firstTopic(), "TWO"), index.topicNumbered(3));
    EXPECT_EQ(texts.firstContaining(nullptr, "TWO"), nullptr);
    TopicEntry* late = index.addTopic("A", "again");
    EXPECT_EQ(texts.text(*late), std::optional<std::string_view>("one\r\n\r\n"));
    TopicEntry* missing = index.addTopic("C", "C");
    EXPECT_EQ(texts.text(*missing), std::nullopt);
    EXPECT_EQ(texts.text(*missing), std::nullopt);
}

TEST(TopicText, CountsNonOverlappingOccurrencesAndNeverAnEmptyText) {
    struct Row {
        std::string_view text;
        std::string_view wanted;
        std::uint32_t count;
    };
    const Row rows[] = {
        {"aaaa AAA", "aa", 3},  {"aaaa AAA", "AaA", 2}, {"thermostat", "T", 3},
        {"", "a", 0},           {"abc", "", 0},         {"abc", "abcd", 0},
        {std::string_view("a\0b", 3), std::string_view("\0", 1), 1},  // a byte 0 is a byte here
    };
    for (const Row& row : rows) {
        EXPECT_EQ(countInText(row.text, row.wanted), row.count) << row.text << " / " << row.wanted;
        EXPECT_EQ(textContains(row.text, row.wanted), row.count > 0) << row.text << " / " << row.wanted;
    }
}

}  // namespace
}  // namespace vtome
