#include "store/text_buffer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include "runtime/failure.h"

namespace vtome {
namespace {

using namespace std::string_literals;

constexpr std::uint32_t npos = TextBuffer::npos;

TextBuffer bufferWith(std::string_view text) {
    TextBuffer buffer;
    buffer.insertString(text);
    buffer.toStart();
    return buffer;
}

template <class F>
FailureCode failureOf(F&& action) {
    try {
        action();
    } catch (const RuntimeFailure& failure) {
        return failure.code();
    }
    ADD_FAILURE() << "expected a runtime failure";
    return FailureCode{};
}

std::string tempPath(const std::string& name) {
    return (std::filesystem::path(testing::TempDir()) / ("vtome_tb_" + name)).string();
}

// --- growth and storage

TEST(TextBufferGrowth, ConstructorsGiveTheirCapacities) {
    EXPECT_EQ(TextBuffer().capacity(), 4094u);
    EXPECT_EQ(TextBuffer(0).capacity(), 4094u);
    EXPECT_EQ(TextBuffer(65536).capacity(), 65536u);
    TextBuffer none = TextBuffer::empty();
    EXPECT_EQ(none.capacity(), 0u);
    EXPECT_EQ(none.length(), 0u);
    EXPECT_NE(none.dataStart(), nullptr);
}

TEST(TextBufferGrowth, GrowsByTwiceTheRoomNeeded) {
    TextBuffer buffer;
    buffer.insertCharRepeated('x', 4092);
    buffer.setPosition(10);
    buffer.insertString("12345");
    EXPECT_EQ(buffer.capacity(), 4094u + 2 * 4097u);
    EXPECT_EQ(buffer.capacity(), 12288u);
    EXPECT_EQ(buffer.length(), 4097u);
    EXPECT_EQ(buffer.cursor(), 15u);
    EXPECT_EQ(buffer.view().substr(8, 9), "xx12345xx");
}

TEST(TextBufferGrowth, EmptyBlockGrowsToTwiceTheFirstInsertion) {
    TextBuffer buffer = TextBuffer::empty();
    buffer.insertString("abcdefg");
    EXPECT_EQ(buffer.capacity(), 14u);
    EXPECT_EQ(buffer.view(), "abcdefg");

    const std::string path = tempPath("empty_file");
    TextBuffer().writeToFile(path);
    TextBuffer loaded = TextBuffer::fromFile(path);
    EXPECT_EQ(loaded.capacity(), 0u);
    loaded.insertString("abc");
    EXPECT_EQ(loaded.capacity(), 6u);
    std::filesystem::remove(path);
}

TEST(TextBufferGrowth, NoDataBlockIsSafeEverywhere) {
    TextBuffer buffer = TextBuffer::empty();
    CountedString text(10);
    EXPECT_EQ(buffer.find("a"), npos);
    EXPECT_EQ(buffer.findIgnoreCase("a"), npos);
    EXPECT_EQ(buffer.findBackwardIgnoreCase("a"), npos);
    EXPECT_FALSE(buffer.getToken(text));
    EXPECT_FALSE(buffer.readLine(text));
    EXPECT_EQ(buffer.getChar(), -1);
    EXPECT_EQ(buffer.skipWhileInSet(CharSet{' '}), npos);
    EXPECT_EQ(buffer.toString(nullptr), "");
    EXPECT_EQ(buffer.lineCount(), 1u);
    buffer.trim();
    buffer.deleteLine();
    buffer.toUpper(5);
    buffer.setLength(3);
    EXPECT_EQ(buffer.length(), 0u);
    buffer.destroy();
    buffer.insertChar('z');
    EXPECT_EQ(buffer.view(), "z");
}

TEST(TextBufferGrowth, DeletionKeepsCapacityAndResetRestoresDefault) {
    TextBuffer buffer(10);
    buffer.insertString("0123456789abc");
    const std::uint32_t grown = buffer.capacity();
    buffer.toStart();
    buffer.deleteChars(13);
    EXPECT_EQ(buffer.capacity(), grown);
    buffer.reset();
    EXPECT_EQ(buffer.capacity(), 4094u);
    EXPECT_EQ(buffer.length(), 0u);
    EXPECT_EQ(buffer.cursor(), 0u);
}

TEST(TextBufferGrowth, TooLargeFailsWithoutTouchingContent) {
    TextBuffer buffer = bufferWith("abc");
    EXPECT_EQ(failureOf([&] { buffer.openGap(TextBuffer::kMaxLength); }),
              FailureCode::MemoryAllocationFailure);
    EXPECT_EQ(buffer.view(), "abc");
}

TEST(TextBufferGrowth, InsertingOwnContentSurvivesGrowth) {
    TextBuffer buffer(4);
    buffer.insertString("abcd");
    buffer.setPosition(2);
    buffer.insertBuffer(buffer);
    EXPECT_EQ(buffer.view(), "ababcdcd");
    buffer.toEnd();
    buffer.insertString(buffer.view().substr(0, 2));
    EXPECT_EQ(buffer.view(), "ababcdcdab");
}

TEST(TextBufferGrowth, SetLengthClampsAndTerminates) {
    TextBuffer buffer(8);
    std::memcpy(buffer.dataStart(), "notes!!!", 8);
    buffer.setLength(100);
    EXPECT_EQ(buffer.length(), 8u);
    buffer.toEnd();
    buffer.setLength(5);
    EXPECT_EQ(buffer.cursor(), 5u);
    EXPECT_STREQ(buffer.data(), "notes");
}

// --- insertion and deletion

TEST(TextBufferEdit, InsertMovesTheTailUp) {
    TextBuffer buffer = bufferWith("Hello world");
    buffer.setPosition(5);
    buffer.insertChar(',');
    EXPECT_EQ(buffer.view(), "Hello, world");
    EXPECT_EQ(buffer.cursor(), 6u);
    buffer.insertCharRepeated('-', 3);
    EXPECT_EQ(buffer.view(), "Hello,--- world");
}

TEST(TextBufferEdit, DeletesClampToContentAndLeaveCursorAtDeletionPoint) {
    TextBuffer buffer = bufferWith("0123456789");
    buffer.setPosition(7);
    buffer.deleteChars(100);
    EXPECT_EQ(buffer.view(), "0123456");
    EXPECT_EQ(buffer.cursor(), 7u);
    buffer.deleteRange(2, 4);
    EXPECT_EQ(buffer.view(), "01456");
    EXPECT_EQ(buffer.cursor(), 2u);
    buffer.deleteRange(3, 1);  // nothing: the end is raised to the start
    EXPECT_EQ(buffer.view(), "01456");
    buffer.deleteRange(4, 99);
    EXPECT_EQ(buffer.view(), "0145");
    buffer.shortenBy(10);
    EXPECT_EQ(buffer.length(), 0u);
}

TEST(TextBufferEdit, LineDeletesTakeTheLineEnd) {
    TextBuffer buffer = bufferWith("one\r\ntwo\nthree");
    buffer.setPosition(6);
    buffer.deleteLine();
    EXPECT_EQ(buffer.view(), "one\r\nthree");
    EXPECT_EQ(buffer.cursor(), 5u);
    buffer.setPosition(1);
    buffer.deleteToLineEnd();
    EXPECT_EQ(buffer.view(), "othree");
    buffer.setPosition(3);
    buffer.deleteLine();  // the last line has no line end
    EXPECT_EQ(buffer.view(), "");
}

TEST(TextBufferEdit, OverwriteExtendsAndRepeatClamps) {
    TextBuffer buffer = bufferWith("abcdef");
    buffer.setPosition(1);
    buffer.overwriteAt(4, "XYZ");
    EXPECT_EQ(buffer.view(), "abcdXYZ");
    EXPECT_EQ(buffer.cursor(), 1u);
    buffer.replaceWithRepeated(100, '*');
    EXPECT_EQ(buffer.view(), "a******");
    EXPECT_EQ(buffer.length(), 7u);
}

TEST(TextBufferEdit, TrimAndCaseTouchOnlyWhatTheyShould) {
    TextBuffer buffer = bufferWith(" \t\r\nmixed Case \xC9t\xE9 \r\n ");
    buffer.trim();
    EXPECT_EQ(buffer.view(), "mixed Case \xC9t\xE9");
    buffer.setPosition(6);
    buffer.toUpper(100);
    EXPECT_EQ(buffer.view(), "mixed CASE \xC9T\xE9");
    buffer.toStart();
    buffer.toLower(8);
    EXPECT_EQ(buffer.view(), "mixed caSE \xC9T\xE9");
}

// --- search

TEST(TextBufferSearch, IgnoreCaseFoldsAsciiLettersOnly) {
    TextBuffer buffer = bufferWith("xx abc ABC");
    EXPECT_EQ(buffer.findIgnoreCase("ABC"), 3u);
    EXPECT_EQ(buffer.cursor(), 3u);
    EXPECT_EQ(buffer.findIgnoreCase("aBc"), 3u);  // a match at the cursor stays
    buffer.moveForward(1);
    EXPECT_EQ(buffer.findIgnoreCase("abc"), 7u);

    TextBuffer brackets = bufferWith("A{C");
    EXPECT_EQ(brackets.findIgnoreCase("a[c"), npos);
    EXPECT_EQ(brackets.cursor(), 3u);
    TextBuffer accents = bufferWith("\xC9t\xE9");
    EXPECT_EQ(accents.findIgnoreCase("\xE9T\xE9"), npos);
}

TEST(TextBufferSearch, IgnoreCaseSkipsNearMissesOfBothCases) {
    TextBuffer buffer = bufferWith("aXbAxbAXcaxd");
    EXPECT_EQ(buffer.findIgnoreCase("axc"), 6u);
    buffer.toStart();
    EXPECT_EQ(buffer.findIgnoreCase("AXD"), 9u);
    buffer.toStart();
    EXPECT_EQ(buffer.findIgnoreCase("xdz"), npos);
    buffer.toStart();
    EXPECT_EQ(buffer.findIgnoreCase(""), npos);
}

TEST(TextBufferSearch, ByteZeroEndsTheIgnoreCaseSearch) {
    TextBuffer buffer = bufferWith("head\0abc"s);
    EXPECT_EQ(buffer.findIgnoreCase("abc"), npos);
    EXPECT_EQ(buffer.cursor(), buffer.length());
    buffer.setPosition(5);
    EXPECT_EQ(buffer.findIgnoreCase("ABC"), 5u);
    // The exact form treats the content as raw bytes.
    buffer.toStart();
    EXPECT_EQ(buffer.find("d\0a"s), 3u);

    TextBuffer tail = bufferWith("head\0ab"s);
    tail.toEnd();
    EXPECT_EQ(tail.findBackwardIgnoreCase("HEAD"), npos);
    EXPECT_EQ(tail.cursor(), 0u);
    tail.setPosition(5);
    EXPECT_EQ(tail.findBackwardIgnoreCase("AB"), 5u);
}

TEST(TextBufferSearch, IgnoreCaseWorksThroughLongTexts) {
    // Matches straddling and following the 64 KiB steps of the scan.
    std::string text(200000, 'x');
    text.replace(65534, 4, "NEED");
    text.replace(131072, 4, "need");
    text[150000] = '\0';
    text.replace(199000, 4, "need");
    TextBuffer buffer = bufferWith(text);
    EXPECT_EQ(buffer.findIgnoreCase("need"), 65534u);
    buffer.moveForward(1);
    EXPECT_EQ(buffer.findIgnoreCase("NeEd"), 131072u);
    buffer.moveForward(1);
    EXPECT_EQ(buffer.findIgnoreCase("need"), npos);
    buffer.setPosition(150001);
    EXPECT_EQ(buffer.findIgnoreCase("need"), 199000u);
}

TEST(TextBufferSearch, ExactFindMovesCursorOrGoesToEnd) {
    TextBuffer buffer = bufferWith("one two one");
    buffer.setPosition(1);
    EXPECT_EQ(buffer.find("one"), 8u);
    EXPECT_EQ(buffer.find("One"), npos);
    EXPECT_EQ(buffer.cursor(), 11u);
}

TEST(TextBufferSearch, BackwardFormsSearchFromTheCursorTowardsTheStart) {
    TextBuffer buffer = bufferWith("ab cd ab cd");
    buffer.toEnd();
    EXPECT_EQ(buffer.findBackward("ab"), 6u);
    EXPECT_EQ(buffer.findBackward("ab"), 6u);  // a match at the cursor is found
    buffer.moveBack(1);
    EXPECT_EQ(buffer.findBackward("ab"), 0u);
    buffer.setPosition(4);
    EXPECT_EQ(buffer.findBackwardIgnoreCase("CD"), 3u);
    EXPECT_EQ(buffer.findBackward("zz"), npos);
    EXPECT_EQ(buffer.cursor(), 0u);
}

TEST(TextBufferSearch, MatchesAtCursorDoNotMove) {
    TextBuffer buffer = bufferWith("cat catalog Cat");
    EXPECT_EQ(buffer.matchWordAtCursor("cat"), 0u);
    buffer.setPosition(4);
    EXPECT_EQ(buffer.matchAtCursor("cat"), 4u);
    EXPECT_EQ(buffer.matchWordAtCursor("cat"), npos);
    EXPECT_EQ(buffer.matchAtCursor("dog"), npos);
    EXPECT_EQ(buffer.cursor(), 4u);
    buffer.setPosition(12);
    EXPECT_EQ(buffer.matchAtCursor("cat"), npos);
    EXPECT_EQ(buffer.matchWordAtCursorIgnoreCase("CAT"), 12u);
    EXPECT_EQ(buffer.matchAtCursorIgnoreCase("cats"), npos);
}

// --- tokens

TEST(TextBufferToken, SplitsOnTheDelimiterSet) {
    TextBuffer buffer = bufferWith("Intro,12");
    buffer.setDelimiters(CharSet{','});
    CountedString token(20);
    ASSERT_TRUE(buffer.getToken(token));
    EXPECT_EQ(token, "Intro");
    ASSERT_TRUE(buffer.getToken(token));
    EXPECT_EQ(token, "12");
    EXPECT_FALSE(buffer.getToken(token));
    EXPECT_TRUE(token.empty());
}

TEST(TextBufferToken, EmptyFieldLeavesCursorOnTheDelimiter) {
    TextBuffer buffer = bufferWith("a,,b");
    buffer.setDelimiters(CharSet{','});
    CountedString token(20);
    ASSERT_TRUE(buffer.getToken(token));
    EXPECT_EQ(token, "a");
    ASSERT_TRUE(buffer.getToken(token));
    EXPECT_EQ(token, "");
    EXPECT_EQ(buffer.cursor(), 2u);
    ASSERT_TRUE(buffer.getToken(token));
    EXPECT_EQ(token, "b");
    EXPECT_FALSE(buffer.getToken(token));
}

TEST(TextBufferToken, QuotesHoldDelimiters) {
    TextBuffer buffer = bufferWith("\"New, topic\",'it''s',\"open");
    buffer.setDelimiters(CharSet{','});
    EXPECT_EQ(buffer.newToken(), "New, topic");
    EXPECT_EQ(buffer.newToken(), "it");
    EXPECT_EQ(buffer.newToken(), "s");  // a quote right after a closing one opens a token
    EXPECT_EQ(buffer.newToken(), "open");
    EXPECT_EQ(buffer.newToken(), std::nullopt);
}

TEST(TextBufferToken, DefaultSetSkipFlagAndHighBytes) {
    TextBuffer buffer = bufferWith("one two/three");
    EXPECT_EQ(buffer.newToken(), "one");
    EXPECT_EQ(buffer.newToken(), "two");
    EXPECT_EQ(buffer.newToken(), "three");

    TextBuffer skipping = bufferWith(",,a,,,b,");
    skipping.setDelimiters(CharSet{','});
    skipping.setSkipDelimiters(true);
    EXPECT_EQ(skipping.newToken(), "a");
    EXPECT_EQ(skipping.newToken(), "b");
    EXPECT_EQ(skipping.newToken(), std::nullopt);

    // Characters are tested by their low 7 bits: 0xAC counts as ",".
    TextBuffer high = bufferWith("x\xACy");
    high.setDelimiters(CharSet{','});
    EXPECT_EQ(high.newToken(), "x");
    EXPECT_EQ(high.newToken(), "y");
}

TEST(TextBufferToken, TooLongTokenOverflows) {
    TextBuffer buffer = bufferWith("abcd,e");
    buffer.setDelimiters(CharSet{','});
    CountedString token(3);
    EXPECT_EQ(failureOf([&] { buffer.getToken(token); }), FailureCode::StringOverflow);
}

// --- selection

TEST(TextBufferSelection, SelectClampsAndOrders) {
    TextBuffer buffer = bufferWith("abcde");
    buffer.select(7, 3);
    EXPECT_EQ(buffer.selectionStart(), 5u);
    EXPECT_EQ(buffer.cursor(), 5u);
    EXPECT_TRUE(buffer.selectionActive());
    buffer.select(3, 1);
    EXPECT_EQ(buffer.selectionStart(), 3u);
    EXPECT_EQ(buffer.cursor(), 3u);
}

TEST(TextBufferSelection, ReplaceAndDeleteActOnceThenEnd) {
    TextBuffer buffer = bufferWith("Hello there world");
    CountedString text(20);
    EXPECT_FALSE(buffer.replaceSelection("x"));
    buffer.select(6, 11);
    ASSERT_TRUE(buffer.copySelection(text));
    EXPECT_EQ(text, "there");
    ASSERT_TRUE(buffer.replaceSelection("big"));
    EXPECT_EQ(buffer.view(), "Hello big world");
    EXPECT_EQ(buffer.cursor(), 9u);
    EXPECT_FALSE(buffer.selectionActive());
    EXPECT_FALSE(buffer.deleteSelection());
    EXPECT_EQ(buffer.view(), "Hello big world");

    buffer.select(5, 9);
    ASSERT_TRUE(buffer.deleteSelection());
    EXPECT_EQ(buffer.view(), "Hello world");
    EXPECT_EQ(buffer.cursor(), 5u);

    buffer.select(0, 5);
    ASSERT_TRUE(buffer.replaceSelectionWithBuffer(buffer));
    EXPECT_EQ(buffer.view(), "Hello world world");
}

// --- copy out

TEST(TextBufferCopyOut, RangesClampAndOverflow) {
    TextBuffer buffer = bufferWith("0123456789");
    CountedString text(4);
    buffer.copyRangeInto(8, 100, text);
    EXPECT_EQ(text, "89");
    buffer.copyRangeInto(20, 30, text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(failureOf([&] { buffer.copyRangeInto(0, 5, text); }), FailureCode::StringOverflow);
    EXPECT_EQ(buffer.newStringFromRange(11, 12), std::nullopt);
    EXPECT_EQ(buffer.newStringFromRange(10, 12), "");
    EXPECT_EQ(buffer.newStringFromRange(3, 6), "345");

    TextBuffer other = TextBuffer::empty();
    buffer.copyRangeToBuffer(2, 5, other);
    EXPECT_EQ(other.view(), "234");
}

TEST(TextBufferCopyOut, ToStringTerminatesAndCopies) {
    TextBuffer buffer = bufferWith("abcdef");
    buffer.shortenBy(3);
    EXPECT_EQ(buffer.toString(nullptr), "abc");
    EXPECT_EQ(buffer.data()[3], '\0');
    CountedString dest(3);
    EXPECT_EQ(buffer.toString(&dest), std::nullopt);
    EXPECT_EQ(dest, "abc");
    CountedString small(2);
    EXPECT_EQ(failureOf([&] { buffer.toString(&small); }), FailureCode::StringOverflow);
}

// --- numbers

TEST(TextBufferNumbers, HexIsPaddedDecimalIsNot) {
    TextBuffer buffer;
    buffer.insertHex8(0x0A);
    buffer.insertChar(' ');
    buffer.insertHex16(0xFF);
    buffer.insertChar(' ');
    buffer.insertHex32(0xBEEF);
    buffer.insertChar(' ');
    buffer.insertHex64(1);
    EXPECT_EQ(buffer.view(), "0A 00FF 0000BEEF 0000000000000001");

    TextBuffer wide;
    wide.insertHex128((Uint128{0xABCu} << 64) | 0x1u);
    EXPECT_EQ(wide.view(), "0000000000000ABC0000000000000001");

    TextBuffer decimal;
    decimal.insertUns8(7);
    decimal.insertChar(' ');
    decimal.insertInt32(-42);
    decimal.insertChar(' ');
    decimal.insertInt128(std::numeric_limits<Int128>::min());
    decimal.insertChar(' ');
    decimal.insertUns128(~Uint128{0});
    decimal.insertChar(' ');
    decimal.insertBool(true);
    decimal.insertBool(false);
    EXPECT_EQ(decimal.view(),
              "7 -42 -170141183460469231731687303715884105728 "
              "340282366920938463463374607431768211455 truefalse");
}

TEST(TextBufferNumbers, FloatsUseDecimalsAndLoseTheirPadding) {
    TextBuffer buffer;
    buffer.insertFloat64(0.5);
    buffer.insertChar('|');
    buffer.setFloatDecimals(2);
    buffer.insertFloat64(3.14159);
    buffer.insertChar('|');
    buffer.insertFloat32(-2.0f);
    EXPECT_EQ(buffer.view(), "0.5|3.14|-2.00");
    // Past the 100-character working string.
    EXPECT_EQ(failureOf([&] { buffer.insertFloat64(1e120); }), FailureCode::StringOverflow);
    EXPECT_EQ(buffer.view(), "0.5|3.14|-2.00");
}

// --- reads at the cursor

TEST(TextBufferRead, LinesEndAtCrOrLf) {
    TextBuffer buffer = bufferWith("one\r\ntwo\nthree\rfour\r\n");
    CountedString line(10);
    std::string seen;
    while (buffer.readLine(line)) seen += line.str() + "|";
    EXPECT_EQ(seen, "one|two|three|four|");
    EXPECT_TRUE(line.empty());

    CountedString small(2);
    buffer.toStart();
    EXPECT_EQ(failureOf([&] { buffer.readLine(small); }), FailureCode::StringOverflow);
    EXPECT_EQ(buffer.cursor(), 0u);
}

TEST(TextBufferRead, CharactersAndBytesFailAtTheEnd) {
    TextBuffer buffer = bufferWith("\xFF" "ab");
    EXPECT_EQ(buffer.peekChar(), 0xFF);
    EXPECT_EQ(buffer.getChar(), 0xFF);
    char c = 0;
    ASSERT_TRUE(buffer.readChar(c));
    EXPECT_EQ(c, 'a');
    std::uint16_t raw = 0;
    EXPECT_FALSE(buffer.readRaw16(raw));  // one byte left
    EXPECT_EQ(buffer.getChar(), 'b');
    EXPECT_EQ(buffer.getChar(), -1);
    EXPECT_EQ(buffer.peekChar(), -1);
    EXPECT_FALSE(buffer.readChar(c));

    TextBuffer words = bufferWith("  alpha\tbeta  ");
    CountedString word(10);
    ASSERT_TRUE(words.readWord(word));
    EXPECT_EQ(word, "alpha");
    ASSERT_TRUE(words.readWord(word));
    EXPECT_EQ(word, "beta");
    EXPECT_FALSE(words.readWord(word));
    EXPECT_TRUE(word.empty());
}

TEST(TextBufferRead, LineAndWordReadsKeepTheCursor) {
    TextBuffer buffer = bufferWith("first line\r\nsecond words here");
    buffer.setPosition(15);
    CountedString text(30);
    ASSERT_TRUE(buffer.currentLine(text));
    EXPECT_EQ(text, "second words here");
    ASSERT_TRUE(buffer.currentWord(text));
    EXPECT_EQ(text, "second");
    ASSERT_TRUE(buffer.restOfWord(text));
    EXPECT_EQ(text, "ond");
    EXPECT_EQ(buffer.restOfLineAsNew(), "ond words here");
    EXPECT_EQ(buffer.cursor(), 15u);
}

// --- cursor movement

TEST(TextBufferCursor, MovesClampToTheContent) {
    TextBuffer buffer = bufferWith("abcdef");
    EXPECT_EQ(buffer.setPosition(100), 6u);
    EXPECT_EQ(buffer.moveForward(3), 6u);
    EXPECT_EQ(buffer.moveBack(4), 2u);
    EXPECT_EQ(buffer.moveBack(10), 0u);
    EXPECT_TRUE(buffer.setPosition(6) && buffer.atEnd());
}

TEST(TextBufferCursor, LinesKeepTheColumnWhereTheyCan) {
    TextBuffer buffer = bufferWith("long line\r\nab\nthird line\r\n");
    buffer.setPosition(7);
    EXPECT_EQ(buffer.linesDown(1), 13u);  // "ab" is shorter: its end
    EXPECT_EQ(buffer.currentLineNumber(), 1u);
    buffer.setPosition(21);
    EXPECT_EQ(buffer.linesUp(2), 7u);
    EXPECT_EQ(buffer.linesDown(5), 26u);  // the empty last line
    EXPECT_EQ(buffer.lineCount(), 4u);
    EXPECT_EQ(buffer.currentLineNumber(), 3u);

    buffer.setPosition(3);
    EXPECT_EQ(buffer.lineEnd(), 9u);
    EXPECT_EQ(buffer.nextLine(), 11u);
    EXPECT_EQ(buffer.nextLine(), 14u);
    EXPECT_EQ(buffer.previousLine(), 11u);
    EXPECT_EQ(buffer.previousLine(), 0u);
    EXPECT_EQ(buffer.previousLine(), npos);
    buffer.setPosition(16);
    EXPECT_EQ(buffer.lineStart(), 14u);
}

TEST(TextBufferCursor, SkipBySetStopsOrFails) {
    TextBuffer buffer = bufferWith("   word  ");
    const CharSet blanks{' '};
    EXPECT_EQ(buffer.skipWhileInSet(blanks), 3u);
    EXPECT_EQ(buffer.skipUntilInSet(blanks), 7u);
    EXPECT_EQ(buffer.skipWhileInSet(blanks), npos);
    EXPECT_EQ(buffer.cursor(), 9u);
    EXPECT_EQ(buffer.skipBackWhileInSet(blanks), 6u);
    EXPECT_EQ(buffer.skipBackUntilInSet(blanks), 2u);
    EXPECT_EQ(buffer.skipBackUntilInSet(CharSet{'#'}), npos);
    EXPECT_EQ(buffer.cursor(), 0u);
}

// --- files

TEST(TextBufferFile, RoundTripKeepsEveryByte) {
    std::string bytes;
    for (int i = 0; i < 40000; ++i) bytes += static_cast<char>(i * 7 % 256);
    bytes += "\0\r\n"s;
    TextBuffer buffer = bufferWith(bytes);
    const std::string path = tempPath("round_trip");
    buffer.writeToFile(path);

    TextBuffer loaded = TextBuffer::fromFile(path);
    EXPECT_EQ(loaded.capacity(), bytes.size());
    EXPECT_EQ(loaded.cursor(), 0u);
    EXPECT_EQ(loaded.view(), bytes);
    std::filesystem::remove(path);
}

TEST(TextBufferFile, LoadGrowsOnlyWhenNeeded) {
    const std::string path = tempPath("load");
    bufferWith("0123456789").writeToFile(path);

    TextBuffer big(65536);
    big.insertString("old content");
    big.loadFile(path);
    EXPECT_EQ(big.capacity(), 65536u);
    EXPECT_EQ(big.view(), "0123456789");
    EXPECT_EQ(big.cursor(), 0u);

    TextBuffer small(4);
    small.loadFile(path);
    EXPECT_EQ(small.capacity(), 10u);
    EXPECT_EQ(small.view(), "0123456789");

    TextBuffer target = bufferWith("[]");
    target.setPosition(1);
    target.insertFile(path);
    EXPECT_EQ(target.view(), "[0123456789]");
    EXPECT_EQ(target.cursor(), 11u);
    std::filesystem::remove(path);
}

// A mapped file reads as the copied one does, with the byte 0 after its end
// even when it ends at a page's edge, and edits change the buffer only.
TEST(TextBufferFile, AMappedFileReadsAndEditsLikeACopyAndTheFileStaysAsItWas) {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, page - 1, page, page + 1, 3 * page}) {
        SCOPED_TRACE(size);
        std::string bytes;
        for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>('a' + i % 26);
        const std::string path = tempPath("mapped");
        bufferWith(bytes).writeToFile(path);

        TextBuffer mapped = TextBuffer::fromFile(path, FileReading::Map);
        EXPECT_EQ(mapped.view(), bytes);
        EXPECT_EQ(mapped.capacity(), size);
        EXPECT_EQ(mapped.cursor(), 0u);
        EXPECT_EQ(mapped.data()[size], '\0');

        mapped.overwriteAt(0, "X");
        mapped.toEnd();
        mapped.insertString("grown past the mapping");
        EXPECT_EQ(mapped.view(), (size == 0 ? "X" : "X" + bytes.substr(1)) + "grown past the mapping");
        EXPECT_EQ(TextBuffer::fromFile(path).view(), bytes);

        TextBuffer moved = std::move(mapped);  // the mapping goes with it, released once
        EXPECT_EQ(moved.view().substr(0, 1), "X");
        std::filesystem::remove(path);
    }
    EXPECT_EQ(failureOf([] { TextBuffer::fromFile(tempPath("does_not_exist"), FileReading::Map); }), FailureCode::FileOpenFailure);
}

TEST(TextBufferFile, MissingFileFailsAndKeepsContent) {
    const std::string path = tempPath("does_not_exist");
    EXPECT_EQ(failureOf([&] { TextBuffer::fromFile(path); }), FailureCode::FileOpenFailure);
    TextBuffer buffer = bufferWith("kept");
    EXPECT_EQ(failureOf([&] { buffer.loadFile(path); }), FailureCode::FileOpenFailure);
    EXPECT_EQ(failureOf([&] { buffer.insertFile(path); }), FailureCode::FileOpenFailure);
    EXPECT_EQ(buffer.view(), "kept");
}

}  // namespace
}  // namespace vtome
