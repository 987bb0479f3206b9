// How the store finds sections, keys, blocks and lines, and what its reading
// operations return.

#include <gtest/gtest.h>

#include "runtime/failure.h"
#include "support/store_fixture.h"

namespace vtome {
namespace {

using testing::StoreFixture;

class KeyedStoreRead : public ::testing::Test, protected StoreFixture {
protected:
    std::optional<std::string> get(std::string_view bytes, std::string_view section, std::string_view key) {
        return load(bytes)->getString(section, key);
    }
    std::optional<std::string> body(std::string_view bytes, std::string_view section) {
        return load(bytes)->getSectionText(section);
    }
};

void expectFailure(FailureCode code, const std::function<void()>& action) {
    try {
        action();
        ADD_FAILURE() << "expected failure " << failureText(code);
    } catch (const RuntimeFailure& failure) {
        EXPECT_EQ(failure.code(), code) << failure.what();
    }
}

TEST_F(KeyedStoreRead, SectionHeaderFirstOccurrenceWinsEvenInsideText) {
    const std::string text =
        "[Intro]\r\n<text>\r\nsee [Alpha] below\r\n</text>\r\n[Alpha]\r\nk=real\r\n";
    // The bracketed name inside the earlier block is taken as Alpha's header;
    // its body is the rest of that line's following lines.
    EXPECT_EQ(get(text, "Alpha", "k"), std::nullopt);
    EXPECT_EQ(body(text, "Alpha"), "</text>\r\n");
}

TEST_F(KeyedStoreRead, SectionNamesAreCaseSensitiveAndKeepSpaces) {
    const std::string text = "[S]\r\nk=1\r\n[a b]\r\nk=2\r\n";
    EXPECT_EQ(get(text, "s", "k"), std::nullopt);
    EXPECT_EQ(get(text, "S", "k"), "1");
    EXPECT_EQ(get(text, "a b", "k"), "2");
}

TEST_F(KeyedStoreRead, KeyRules) {
    const std::string text =
        "[S]\r\na = 1\r\na=2\r\n\r\n  y = v = w\r\n;c=comment\r\nprose line\r\nempty=\r\n[T]\r\nz=9\r\n";
    EXPECT_EQ(get(text, "S", "a"), " 1");  // untrimmed value, first occurrence
    EXPECT_EQ(get(text, "S", "y"), " v = w");
    EXPECT_EQ(get(text, "S", ";c"), "comment");
    EXPECT_EQ(get(text, "S", "empty"), "");
    EXPECT_EQ(get(text, "S", "z"), std::nullopt);  // belongs to T
    EXPECT_EQ(get(text, "S", "prose line"), std::nullopt);
    EXPECT_EQ(get(text, "S", "A"), std::nullopt);
}

TEST_F(KeyedStoreRead, BlankLinesDoNotEndSectionButIndentedHeaderDoes) {
    EXPECT_EQ(get("[S]\r\nx=1\r\n\r\ny=2\r\n", "S", "y"), "2");
    EXPECT_EQ(get("[S]\r\nx=1\r\n  [T]\r\ny=2\r\n", "S", "y"), std::nullopt);
    // A body that begins with an empty line (its first line has no byte to
    // look at), and one that is nothing but that line.
    EXPECT_EQ(get("[S]\r\n\r\nk=v\r\n", "S", "k"), "v");
    EXPECT_EQ(get("[S]\n\n[T]\nk=v\n", "S", "k"), std::nullopt);
}

TEST_F(KeyedStoreRead, LineEndsOfEveryKind) {
    EXPECT_EQ(get("[S]\nk=lf\n", "S", "k"), "lf");
    EXPECT_EQ(get("[S]\rk=cr\rm=2\r", "S", "m"), "2");
    EXPECT_EQ(get("[S]\r\nk=last", "S", "k"), "last");
    EXPECT_EQ(get("[S]", "S", "k"), std::nullopt);
}

TEST_F(KeyedStoreRead, ByteZeroHidesTheRest) {
    const std::string text("[S]\r\nk=1\r\n\0[T]\r\nm=2\r\n", 21);
    auto store = load(text);
    EXPECT_TRUE(store->hasSection("S"));
    EXPECT_FALSE(store->hasSection("T"));
    EXPECT_EQ(store->getString("S", "k"), "1");
}

// A length noted by a caller that read the text is taken only where a
// byte 0 stands (or at the end): one that is plainly wrong is ignored.
TEST_F(KeyedStoreRead, ANotedVisibleLengthIsTakenOnlyAtAByteZero) {
    const std::string text("[S]\r\nk=1\r\n\0[T]\r\nm=2\r\n", 21);
    for (const std::uint32_t wrong : {3u, 22u, 1000u}) {
        auto store = load(text);
        store->noteVisibleLength(wrong);
        EXPECT_EQ(store->visibleText().size(), 10u) << wrong;
        EXPECT_FALSE(store->hasSection("T")) << wrong;
    }
    auto store = load(text);
    store->noteVisibleLength(10);
    EXPECT_EQ(store->getString("S", "k"), "1");
    EXPECT_FALSE(store->hasSection("T"));
    auto whole = load("[S]\r\nk=1\r\n");
    whole->noteVisibleLength(10);
    EXPECT_EQ(whole->visibleText().size(), 10u);
}

TEST_F(KeyedStoreRead, EmptyStoreFindsNothing) {
    auto store = load("");
    EXPECT_FALSE(store->hasSection("S"));
    EXPECT_EQ(store->getString("S", "k"), std::nullopt);
    EXPECT_EQ(store->getSectionText("S"), std::nullopt);
    EXPECT_EQ(store->lineCount("S"), 0u);
    EXPECT_EQ(store->firstSection(), nullptr);
    EXPECT_EQ(store->sectionCount(), 0u);
}

TEST_F(KeyedStoreRead, GetStringIntoRules) {
    auto store = load("[S]\r\nempty=\r\nlong=0123456789\r\n");
    CountedString dest(8);
    dest.assign("old");
    EXPECT_FALSE(store->getStringInto("S", "k", nullptr));
    EXPECT_FALSE(store->getStringInto("S", "missing", &dest));
    EXPECT_EQ(dest, "old");
    EXPECT_TRUE(store->getStringInto("S", "empty", &dest));
    EXPECT_EQ(dest, "");
    expectFailure(FailureCode::StringOverflow, [&] { store->getStringInto("S", "long", &dest); });
}

TEST_F(KeyedStoreRead, StripCommentsCutsAndTrimsOnlyWhenOn) {
    auto store = load("[S]\r\nk= 42 ; note \r\nplain= a \r\n");
    EXPECT_EQ(store->getString("S", "k"), " 42 ; note ");
    store->setStripComments(true);
    EXPECT_EQ(store->getString("S", "k"), "42");
    EXPECT_EQ(store->getString("S", "plain"), " a ");
    TextBuffer buffer;
    EXPECT_TRUE(store->getValueToBuffer("S", "k", &buffer));
    EXPECT_EQ(buffer.view(), " 42 ");
}

TEST_F(KeyedStoreRead, Booleans) {
    auto store = load("[S]\r\na=true\r\nb=True\r\nc=true \r\nd=" + std::string(129, 'x') + "\r\n");
    EXPECT_TRUE(store->getBool("S", "a"));
    EXPECT_FALSE(store->getBool("S", "b"));
    EXPECT_FALSE(store->getBool("S", "c"));
    EXPECT_FALSE(store->getBool("S", "missing"));
    expectFailure(FailureCode::StringOverflow, [&] { store->getBool("S", "d"); });
}

TEST_F(KeyedStoreRead, NumbersReadAsZeroWhenUnreadable) {
    auto store = load(
        "[S]\r\nneg=-12\r\nbad=abc\r\nmixed=12abc\r\ncomment=42 ; x\r\ncomma=42,rest\r\n"
        "under=_1_000\r\nhex=00ff00FF\r\nbig=4294967296\r\nmax=4294967295\r\nhigh=\xE9" "5\r\n"
        "min=-2147483648\r\nover=2147483648\r\nempty=\r\n");
    EXPECT_EQ(store->getInt32("S", "neg"), -12);
    EXPECT_EQ(store->getInt32("S", "missing"), 0);
    EXPECT_EQ(store->getInt32("S", "bad"), 0);
    EXPECT_EQ(store->getUns32("S", "mixed"), 0u);
    EXPECT_EQ(store->getUns32("S", "comment"), 42u);
    EXPECT_EQ(store->getUns32("S", "comma"), 42u);
    EXPECT_EQ(store->getUns32("S", "under"), 1000u);
    EXPECT_EQ(store->getHex32("S", "hex"), 0x00FF00FFu);
    EXPECT_EQ(store->getUns32("S", "max"), 4294967295u);
    EXPECT_EQ(store->getInt32("S", "min"), INT32_MIN);
    EXPECT_EQ(store->getUns32("S", "empty"), 0u);
    expectFailure(FailureCode::ValueOutOfRange, [&] { store->getUns32("S", "big"); });
    expectFailure(FailureCode::ValueOutOfRange, [&] { store->getInt32("S", "over"); });
    expectFailure(FailureCode::IllegalCharacter, [&] { store->getUns32("S", "high"); });
}

TEST_F(KeyedStoreRead, GetBytesStopsAtCountLineEndOrEndOfText) {
    const std::string forty(40, 'A');
    unsigned char dest[20];
    std::uint32_t stored = 0;
    EXPECT_TRUE(load("[S]\r\nk=" + forty + "\r\n")->getBytes("S", "k", dest, 20, &stored));
    EXPECT_EQ(stored, 20u);
    EXPECT_TRUE(load("[S]\r\nk=" + forty + "ABCD\r\n")->getBytes("S", "k", dest, 20, &stored));
    EXPECT_EQ(stored, 20u);
    EXPECT_FALSE(load("[S]\r\nk=" + std::string(30, '1'))->getBytes("S", "k", dest, 20, &stored));
    EXPECT_EQ(stored, 15u);
    EXPECT_TRUE(load("[S]\r\nk=" + forty)->getBytes("S", "k", dest, 20, &stored));
    EXPECT_TRUE(load("[S]\r\nk=0a 0B\r\n")->getBytes("S", "k", dest, 20, &stored));
    EXPECT_EQ(stored, 2u);
    EXPECT_EQ(dest[1], 0x0B);
    EXPECT_FALSE(load("[S]\r\nk=0a0\r\n")->getBytes("S", "k", dest, 20, &stored));
    EXPECT_FALSE(load("[S]\r\nk=0G\r\n")->getBytes("S", "k", dest, 20));
}

TEST_F(KeyedStoreRead, TextBlocks) {
    EXPECT_EQ(body("[S]\r\n<text>\r\nline 1\r\nline 2\r\n</text>\r\n", "S"), "line 1\r\nline 2");
    EXPECT_EQ(body("[S]\r\n<TEXT> ignored\nA\n</Text>\n", "S"), "A");
    EXPECT_EQ(body("[S]\r\n<text>\r\n</text>\r\n", "S"), "");
    EXPECT_EQ(body("[S]\r\n<text>\r\n\r\n</text>\r\n", "S"), "");
    // A marker in mid-line is content; only one at a line start closes.
    EXPECT_EQ(body("[S]\r\n<text>\r\na </text> b\r\nc\r\n</text>\r\n", "S"), "a </text> b\r\nc");
    EXPECT_EQ(body("[S]\r\n<text>\rx\r</text>\r", "S"), "x");
    // "<text>" further down is ordinary text.
    EXPECT_EQ(body("[S]\r\nfirst\r\n<text>\r\n</text>\r\n", "S"), "first\r\n<text>\r\n</text>\r\n");
}

TEST_F(KeyedStoreRead, UnclosedTextBlockIsNotFoundForBodiesButHeaderExists) {
    auto store = load("[S]\r\n<text>\r\nno end\r\n[T]\r\nk=v\r\n");
    EXPECT_TRUE(store->hasSection("S"));
    EXPECT_EQ(store->getSectionText("S"), std::nullopt);
    TextBuffer buffer;
    buffer.insertString("kept");
    EXPECT_FALSE(store->getSectionToBuffer("S", buffer));
    EXPECT_EQ(buffer.view(), "kept");
}

TEST_F(KeyedStoreRead, PlainAndEmptyBodies) {
    EXPECT_EQ(body("[A]\r\nx\r\n\r\n[B]\r\ny\r\n", "A"), "x\r\n\r\n");
    EXPECT_EQ(body("[A]\r\nx\r\n\r\n[B]\r\ny", "B"), "y");
    EXPECT_EQ(body("[S]\r\n[T]\r\n", "S"), "");
    EXPECT_EQ(body("[S]", "S"), "");
    EXPECT_EQ(body("[S]\r\n", "S"), "");
    // "[" in mid-line does not start a section.
    EXPECT_EQ(body("[A]\r\nx [B]\r\n", "A"), "x [B]\r\n");
}

TEST_F(KeyedStoreRead, ByteBlocks) {
    auto store = load("[B]\r\n<bin>0a 0B\r\n</bin>\r\n[Bad]\r\n<bin>0G\r\n</bin>\r\n[Mid]\r\n<bin>00</bin>\r\n");
    EXPECT_EQ(store->getSectionText("B"), std::nullopt);
    TextBuffer buffer;
    EXPECT_TRUE(store->getSectionBytes("B", buffer));
    EXPECT_EQ(buffer.view(), std::string_view("\x0A\x0B", 2));
    EXPECT_TRUE(store->getSectionToBuffer("B", buffer));
    EXPECT_EQ(buffer.view(), std::string_view("\x0A\x0B", 2));
    EXPECT_FALSE(store->getSectionBytes("Bad", buffer));
    EXPECT_FALSE(store->getSectionBytes("Mid", buffer));  // marker must start a line
    EXPECT_FALSE(load("[P]\r\n0a\r\n")->getSectionBytes("P", buffer));
}

TEST_F(KeyedStoreRead, GetSectionToBufferResetsAndRewinds) {
    auto store = load("[S]\r\n<text>\r\nhello\r\n</text>\r\n[E]\r\n[F]\r\n");
    TextBuffer buffer;
    buffer.insertString(std::string(10000, 'x'));
    EXPECT_TRUE(store->getSectionToBuffer("S", buffer));
    EXPECT_EQ(buffer.view(), "hello");
    EXPECT_EQ(buffer.cursor(), 0u);
    EXPECT_EQ(buffer.capacity(), TextBuffer::kDefaultCapacity);
    EXPECT_TRUE(store->getSectionToBuffer("E", buffer));
    EXPECT_EQ(buffer.length(), 0u);
}

TEST_F(KeyedStoreRead, LineLists) {
    auto store = load("[L]\r\none\r\nTwo\r\nthree\r\n\r\nafter blank\r\n[M]\r\n");
    EXPECT_EQ(store->lineCount("L"), 3u);
    EXPECT_EQ(store->lineCount("M"), 0u);
    CountedString line(100);
    EXPECT_TRUE(store->getLineInto("L", 1, line));
    EXPECT_EQ(line, "Two");
    line.assign("unchanged");
    EXPECT_FALSE(store->getLineInto("L", 3, line));
    EXPECT_EQ(line, "unchanged");
    EXPECT_FALSE(store->getLineInto("M", 0, line));
    EXPECT_EQ(store->findLine("L", "two"), 1);
    EXPECT_EQ(store->findLine("L", "after blank"), -1);
    EXPECT_EQ(store->findLine("Missing", "one"), -1);
}

TEST_F(KeyedStoreRead, Fields) {
    auto store = load("[L]\r\nIntro,12\r\na,,b\r\n");
    CountedString field(100);
    EXPECT_TRUE(store->getField("L", 0, 1, field));
    EXPECT_EQ(field, "12");
    EXPECT_FALSE(store->getField("L", 0, 2, field));
    EXPECT_TRUE(store->getField("L", 1, 1, field));
    EXPECT_EQ(field, "");
    EXPECT_TRUE(store->getField("L", 1, 2, field));
    EXPECT_EQ(field, "b");
    store->setFieldDelimiters(CharSet{'2'});
    EXPECT_TRUE(store->getField("L", 0, 0, field));
    EXPECT_EQ(field, "Intro,1");
}

TEST_F(KeyedStoreRead, SectionListWalksHeadersAndSkipsTextBlocks) {
    auto names = [](KeyedStore& store) {
        std::vector<std::string> result;
        for (const SectionNameEntry* e = store.firstSection(); e != nullptr; e = e->nextName()) {
            result.push_back(e->name);
        }
        return result;
    };
    auto store = load("[A]\r\nx\r\n[B]\r\n<text>\r\n[Quoted]\r\n</text>\r\n[A]\r\n");
    EXPECT_EQ(names(*store), (std::vector<std::string>{"A", "B", "A"}));
    EXPECT_EQ(store->sectionCount(), 3u);
    // An unclosed block swallows the rest of the file.
    auto unclosed = load("[A]\r\n<text>\r\n[B]\r\n");
    EXPECT_EQ(names(*unclosed), (std::vector<std::string>{"A"}));
    // Upper-case markers do not hide headers from this walk.
    auto upper = load("[A]\r\n<TEXT>\r\n[B]\r\n</TEXT>\r\n");
    EXPECT_EQ(names(*upper), (std::vector<std::string>{"A", "B"}));
}

TEST_F(KeyedStoreRead, WorkingStringLimits) {
    auto store = load("[S]\r\n" + std::string(4097, 'x') + "\r\nk=v\r\n[T]\r\n" + std::string(4096, 'y') + "\r\nk=w\r\n");
    expectFailure(FailureCode::StringOverflow, [&] { store->getString("S", "k"); });
    EXPECT_EQ(store->getString("T", "k"), "w");
    expectFailure(FailureCode::StringOverflow, [&] { store->hasSection(std::string(4095, 'n')); });
    EXPECT_FALSE(store->hasSection(std::string(4094, 'n')));
}

}  // namespace
}  // namespace vtome

namespace vtome {
namespace {

TEST_F(KeyedStoreRead, ListLinesAreTheLinesCountedAndReadByIndex) {
    for (const char* text : {"[L]\r\na\r\nb\r\n\r\nc\r\n", "[L]\nx\ny", "[L]\r\n[M]\r\n", "[L]", "",
                             "[L]\r\n one \r\n.two=2\r\n[N]\r\n", "[L]\ra\rb\r"}) {
        SCOPED_TRACE(text);
        auto store = load(text);
        const std::vector<std::string_view> lines = store->listLines("L");
        ASSERT_EQ(lines.size(), store->lineCount("L"));
        CountedString line(100);
        for (std::uint32_t i = 0; i < lines.size(); ++i) {
            ASSERT_TRUE(store->getLineInto("L", i, line));
            EXPECT_EQ(lines[i], line.view());
        }
        EXPECT_FALSE(store->getLineInto("L", static_cast<std::uint32_t>(lines.size()), line));
    }
}

}  // namespace
}  // namespace vtome
