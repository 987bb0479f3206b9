// The byte scans every search stands on, against the plainest code that
// could answer the same question: the vector scan and the portable scan
// must find exactly what a byte-by-byte comparison finds, at every start,
// every length around the block sizes and every byte value.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "runtime/mark_scan.h"
#include "runtime/text_scan.h"
#include "store/text_buffer.h"

namespace vtome {
namespace {

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::uint32_t plainFind(std::string_view text, std::uint32_t from, std::string_view needle) {
    if (from > text.size()) return scan::npos;
    if (needle.empty()) return from;
    for (std::size_t at = from; at + needle.size() <= text.size(); ++at) {
        bool same = true;
        for (std::size_t i = 0; i < needle.size() && same; ++i) same = fold(text[at + i]) == fold(needle[i]);
        if (same) return static_cast<std::uint32_t>(at);
    }
    return scan::npos;
}

using Finder = std::uint32_t (*)(std::string_view, std::uint32_t, std::string_view);

struct NamedFinder {
    const char* name;
    Finder find;
};

const NamedFinder kFinders[] = {
    {"findIgnoreCase", scan::findIgnoreCase},
    {"portable", scan::detail::findIgnoreCasePortable},
#if defined(VTOME_SCAN_VECTOR)
    {"vector", scan::detail::findIgnoreCaseVector},
#endif
};

// Texts from an alphabet of the letters' neighbours: "@" and "[" sit below
// and above the capitals, "`" and "{" around the small letters, and 0xC0,
// 0xE0 and 0xE9 differ from letters only in bit 0x80.
std::string randomBytes(std::mt19937& random, std::size_t length, std::string_view alphabet) {
    std::string s;
    for (std::size_t i = 0; i < length; ++i) s += alphabet[random() % alphabet.size()];
    return s;
}

TEST(TextScan, CaseBlindFindAgreesWithAPlainComparison) {
    const std::string alphabet = std::string("aAbBtTzZ@[`{ \r\n\xC0\xE0\xE9\xC1", 20) + std::string(1, '\0');
    std::mt19937 random(12);
    int found = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomBytes(random, random() % 90, alphabet);
        std::string needle;
        if (!text.empty() && random() % 3 != 0) {
            // A piece of the text in other letter cases: there is a match.
            const std::size_t at = random() % text.size();
            needle = text.substr(at, 1 + random() % 20);
            for (char& c : needle) {
                if (random() % 2 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
            }
        } else {
            needle = randomBytes(random, random() % 5, alphabet);
        }
        for (std::uint32_t from = 0; from <= text.size() + 1; ++from) {
            const std::uint32_t expected = plainFind(text, from, needle);
            found += expected != scan::npos;
            for (const NamedFinder& finder : kFinders) {
                ASSERT_EQ(finder.find(text, from, needle), expected)
                    << finder.name << " round " << round << " from " << from << " needle size " << needle.size();
            }
        }
    }
    EXPECT_GT(found, 20000);
}

// Long texts with the match placed at every offset around the 16- and
// 32-byte rounds and the overlapping last block.
TEST(TextScan, MatchAtEveryOffsetOfALongText) {
    for (std::size_t length : {15u, 16u, 17u, 31u, 32u, 33u, 47u, 48u, 64u, 100u, 257u}) {
        for (const std::string& needle :
             std::vector<std::string>{"t", "Th", "thermostat", "a[c", std::string("x\0y", 3)}) {
            for (std::size_t at = 0; at + needle.size() <= length; ++at) {
                // A common first and last letter all around, never the whole needle.
                std::string text(length, 't');
                text.replace(at, needle.size(), needle);
                for (char& c : text) c = static_cast<char>(c == 't' && (&c - text.data()) % 3 == 0 ? 'T' : c);
                for (const NamedFinder& finder : kFinders) {
                    for (std::uint32_t from : {0u, static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(at + 1)}) {
                        ASSERT_EQ(finder.find(text, from, needle), plainFind(text, from, needle))
                            << finder.name << " length " << length << " at " << at << " from " << from;
                    }
                }
            }
        }
    }
}

// The one pass that finds every occurrence, overlapping ones too, every
// mark and every pair up to the first byte 0, in each way this CPU can run
// it, against finding them one by one: short texts around the piece size,
// and long ones across the pass's rounds. The rounds must tile the text up
// to that byte and hold only their own finds.
TEST(MarkScan, EveryWayFindsEveryOccurrenceMarkAndPair) {
    const std::string alphabet = std::string("aAtTh[<bB\r\n \xE9\xFF", 13) + std::string(1, '\0');
    for (const scan::MarkScan::Lanes lanes : scan::MarkScan::available()) {
        SCOPED_TRACE(static_cast<int>(lanes));
        std::mt19937 random(7);
        std::size_t occurrences = 0;
        for (int round = 0; round < 400; ++round) {
            const std::size_t length =
                round % 40 == 1 ? scan::MarkScan::kRoundBytes * 2 + random() % 5000 : random() % 200;
            std::string text = randomBytes(random, length, alphabet);
            // Most texts hold no byte 0, or one far in.
            if (round % 3 != 0) std::replace(text.begin() + static_cast<std::ptrdiff_t>(text.size() / 2), text.end(), '\0', ' ');
            if (round % 3 == 1) std::replace(text.begin(), text.end(), '\0', ' ');
            const std::uint32_t end = plainFind(text, 0, std::string_view("\0", 1)) == scan::npos
                                          ? static_cast<std::uint32_t>(text.size())
                                          : plainFind(text, 0, std::string_view("\0", 1));
            std::string needle = randomBytes(random, random() % 5, "aAtTh[<");
            if (round % 7 == 0) needle = "tHaT";
            scan::MarkScan pass(needle, '[', "<b", lanes);
            std::vector<std::uint32_t> starts, marks, pairs;
            std::uint32_t covered = 0;
            const std::uint32_t ended = pass.scan(text, [&](const scan::MarkScan::Round& r) {
                EXPECT_EQ(r.from, covered);
                covered = r.to;
                for (const auto* list : {&r.starts, &r.marks, &r.pairs}) {
                    for (const std::uint32_t at : *list) EXPECT_TRUE(at >= r.from && at < r.to) << at;
                }
                starts.insert(starts.end(), r.starts.begin(), r.starts.end());
                marks.insert(marks.end(), r.marks.begin(), r.marks.end());
                pairs.insert(pairs.end(), r.pairs.begin(), r.pairs.end());
                return true;
            });
            EXPECT_EQ(covered, end);
            EXPECT_EQ(ended, end);
            std::vector<std::uint32_t> expectedStarts, expectedMarks, expectedPairs;
            for (std::uint32_t at = 0; !needle.empty() && at < end; ++at) {
                if (plainFind(text, at, needle) == at) expectedStarts.push_back(at);
            }
            for (std::uint32_t at = 0; at < end; ++at) {
                if (text[at] == '[') expectedMarks.push_back(at);
                if (text[at] == '<' && at + 1 < text.size() && fold(text[at + 1]) == 'b') expectedPairs.push_back(at);
            }
            ASSERT_EQ(starts, expectedStarts) << "round " << round << " needle " << needle;
            ASSERT_EQ(marks, expectedMarks) << "round " << round;
            ASSERT_EQ(pairs, expectedPairs) << "round " << round;
            occurrences += starts.size();
        }
        EXPECT_GT(occurrences, 2000u);
    }
}

// A text cut into two stretches is scanned as a whole: the stretch before
// the cut still finds a start or a pair whose bytes run past it.
TEST(MarkScan, TwoStretchesFindWhatTheWholeTextHolds) {
    std::mt19937 random(11);
    const std::string base = randomBytes(random, 3 * scan::MarkScan::kRoundBytes, "tThHe[<b \n");
    const auto collect = [](std::string_view text, std::uint32_t from, std::uint32_t to) {
        std::vector<std::uint32_t> all;
        scan::MarkScan pass("the", '[', "<b");
        pass.scan(text, from, to, [&](const scan::MarkScan::Round& r) {
            for (const auto* list : {&r.starts, &r.marks, &r.pairs}) all.insert(all.end(), list->begin(), list->end());
            return true;
        });
        return all;
    };
    for (const std::uint32_t cut : {1u, 63u, 64u, 65u, scan::MarkScan::kRoundBytes - 1, scan::MarkScan::kRoundBytes + 2,
                                    static_cast<std::uint32_t>(base.size()) - 2}) {
        for (const std::string_view across : {"tHe", "<B"}) {
            std::string text = base;
            text.replace(cut - 1, across.size(), across);
            const auto size = static_cast<std::uint32_t>(text.size());
            std::vector<std::uint32_t> whole = collect(text, 0, size);
            std::vector<std::uint32_t> parts = collect(text, 0, cut);
            ASSERT_TRUE(std::find(parts.begin(), parts.end(), cut - 1) != parts.end()) << "cut at " << cut;
            const std::vector<std::uint32_t> rest = collect(text, cut, size);
            parts.insert(parts.end(), rest.begin(), rest.end());
            std::sort(whole.begin(), whole.end());
            std::sort(parts.begin(), parts.end());
            EXPECT_EQ(parts, whole) << "cut at " << cut << " " << across;
        }
    }
}

// The pass ends with the round whose visit says so.
TEST(MarkScan, AVisitThatSaysStopEndsThePass) {
    const std::string text(scan::MarkScan::kRoundBytes * 3, '[');
    scan::MarkScan pass("x", '[', "<b");
    int rounds = 0;
    pass.scan(text, [&](const scan::MarkScan::Round& r) {
        EXPECT_EQ(r.marks.size(), scan::MarkScan::kRoundBytes);
        return ++rounds < 2;
    });
    EXPECT_EQ(rounds, 2);
}

// The exact search gives what memmem gives.
TEST(TextScan, ExactFindAgreesWithMemmem) {
    const std::string alphabet = std::string("aAbt\n[", 6) + std::string(1, '\0');
    std::mt19937 random(31);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomBytes(random, random() % 100, alphabet);
        const std::string needle =
            !text.empty() && random() % 2 ? text.substr(random() % text.size(), 1 + random() % 12)
                                          : randomBytes(random, 1 + random() % 4, alphabet);
        for (std::uint32_t from = 0; from <= text.size(); ++from) {
            const void* hit = ::memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
            const std::uint32_t expected =
                hit ? static_cast<std::uint32_t>(static_cast<const char*>(hit) - text.data()) : scan::npos;
            ASSERT_EQ(scan::find(text, from, needle), expected) << "round " << round << " from " << from;
        }
        ASSERT_EQ(scan::find(text, static_cast<std::uint32_t>(text.size()) + 1, needle), scan::npos);
    }
}

TEST(TextScan, LettersFoldOnlyWithinTheAsciiLetters) {
    for (const NamedFinder& finder : kFinders) {
        SCOPED_TRACE(finder.name);
        const std::string filler(40, '-');
        EXPECT_EQ(finder.find(filler + "ABC", 0, "abc"), 40u);
        EXPECT_EQ(finder.find(filler + "A{C", 0, "a[c"), scan::npos);  // brackets are no letters
        EXPECT_EQ(finder.find(filler + "@", 0, "`"), scan::npos);      // 0x40 and 0x60
        EXPECT_EQ(finder.find(filler + "\xC9", 0, "\xE9"), scan::npos);  // É and é of Latin-1
        EXPECT_EQ(finder.find(filler + "\xC1", 0, "a"), scan::npos);    // 0xC1 is 'A' | 0x80
        EXPECT_EQ(finder.find(filler, 41, "-"), scan::npos);
        EXPECT_EQ(finder.find(filler, 40, ""), 40u);
    }
}

// TextBuffer's case-blind find stops at a byte 0, and a search text
// holding one is never found.
TEST(TextScan, BufferSearchEndsAtAByteZero) {
    std::mt19937 random(5);
    const std::string alphabet = std::string("aAbB", 4) + std::string(1, '\0');
    for (int round = 0; round < 2000; ++round) {
        const std::string content = randomBytes(random, random() % 200, alphabet);
        const std::string needle = randomBytes(random, 1 + random() % 3, alphabet);
        const std::uint32_t cursor = content.empty() ? 0 : static_cast<std::uint32_t>(random() % content.size());
        TextBuffer buffer;
        buffer.insertString(content);
        buffer.setPosition(cursor);
        const std::size_t zero = content.find('\0', cursor);
        const std::string_view seen = std::string_view(content).substr(0, zero);
        std::uint32_t expected = needle.find('\0') != std::string::npos ? scan::npos : plainFind(seen, cursor, needle);
        ASSERT_EQ(buffer.findIgnoreCase(needle), expected) << "round " << round;
        ASSERT_EQ(buffer.cursor(), expected == scan::npos ? content.size() : expected);
    }
}

TEST(TextScan, LineEndIsTheFirstCrOrLf) {
    std::mt19937 random(9);
    for (int round = 0; round < 2000; ++round) {
        const std::string text = randomBytes(random, random() % 70, random() % 2 ? "ab \r" : "abcdefgh\n");
        for (std::uint32_t pos = 0; pos <= text.size() + 2; ++pos) {
            std::uint32_t expected = pos;
            while (expected < text.size() && text[expected] != '\r' && text[expected] != '\n') ++expected;
            ASSERT_EQ(scan::lineEnd(text, pos), expected) << "round " << round << " pos " << pos;
        }
    }
}

}  // namespace
}  // namespace vtome
