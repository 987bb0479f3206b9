// The exact bytes every edit produces, checked through a real save.

#include <gtest/gtest.h>

#include "runtime/failure.h"
#include "support/store_fixture.h"

namespace vtome {
namespace {

class KeyedStoreEdit : public ::testing::Test, protected testing::StoreFixture {};

TEST_F(KeyedStoreEdit, SetStringBuildsSectionsAndKeys) {
    auto store = KeyedStore::newEmpty();
    store->setString("S", "k", "v");
    EXPECT_EQ(saved(*store), "\r\n[S]\r\nk=v\r\n");
    store->setString("S", "m", "w");
    EXPECT_EQ(saved(*store), "\r\n[S]\r\nk=v\r\nm=w\r\n");
    store->setString("S", "k", "vv");
    EXPECT_EQ(saved(*store), "\r\n[S]\r\nk=vv\r\nm=w\r\n");
    store->setString("T", "a", "1");
    EXPECT_EQ(saved(*store), "\r\n[S]\r\nk=vv\r\nm=w\r\n\r\n[T]\r\na=1\r\n");
}

TEST_F(KeyedStoreEdit, SetStringReplacesOnlyTheValue) {
    auto store = load("; top comment\n[S]\n  k = v\t; c\nz=1\n");
    store->setString("S", "k", "vv");
    EXPECT_EQ(saved(*store), "; top comment\n[S]\n  k =vv\nz=1\n");
}

TEST_F(KeyedStoreEdit, NewKeyGoesAfterLastNonBlankLine) {
    auto store = load("[A]\r\nx=1\r\n\r\n\r\n[B]\r\ny=2\r\n");
    store->setString("A", "n", "3");
    EXPECT_EQ(saved(*store), "[A]\r\nx=1\r\nn=3\r\n\r\n\r\n[B]\r\ny=2\r\n");

    auto onlyBlank = load("[A]\r\n\r\n\r\n[B]\r\n");
    onlyBlank->setString("A", "n", "3");
    EXPECT_EQ(saved(*onlyBlank), "[A]\r\nn=3\r\n\r\n\r\n[B]\r\n");

    auto noFinalLineEnd = load("[A]\r\nx=1");
    noFinalLineEnd->setString("A", "n", "3");
    EXPECT_EQ(saved(*noFinalLineEnd), "[A]\r\nx=1\r\nn=3");

    auto headerOnly = load("[A]");
    headerOnly->setString("A", "n", "3");
    EXPECT_EQ(saved(*headerOnly), "[A]\r\nn=3");
}

// Found by keyed_store_fuzz: a last line ending in blanks lent them to the
// new line (and a new list line was joined onto it).
TEST_F(KeyedStoreEdit, NewLineLeavesTrailingBlanksOfTheLastLineWhereTheyAre) {
    auto key = load("[vTome Settings]\nzoom=120   \n\n[Other]\n");
    key->setString("vTome Settings", "vBar", "180");
    EXPECT_EQ(saved(*key), "[vTome Settings]\nzoom=120   \r\nvBar=180\n\n[Other]\n");
    EXPECT_EQ(key->getString("vTome Settings", "vBar"), "180");
    EXPECT_EQ(key->getString("vTome Settings", "zoom"), "120   ");

    auto headerBlanks = load("[S]  \r\n\r\n[T]\r\n");
    headerBlanks->setString("S", "k", "v");
    EXPECT_EQ(headerBlanks->getString("S", "k"), "v");

    auto line = load("[L]\r\nfirst \t\r\n[M]\r\n");
    line->insertLine("L", 5, "second");
    EXPECT_EQ(saved(*line), "[L]\r\nfirst \t\r\nsecond\r\n[M]\r\n");
    auto lastLine = load("[L]\r\nfirst  ");
    lastLine->insertLine("L", 5, "second");
    EXPECT_EQ(saved(*lastLine), "[L]\r\nfirst  \r\nsecond\r\n");
}

TEST_F(KeyedStoreEdit, TypedSetters) {
    auto store = KeyedStore::newEmpty();
    const unsigned char record[4] = {0x64, 0x00, 0xAB, 0x0F};
    store->setBool("S", "b", true);
    store->setHex32("S", "h", 0xAB);
    store->setInt32("S", "i", -5);
    store->setUns32("S", "u", 4294967295u);
    store->setBytes("S", "r", record, 4);
    store->setBool("S", "b", false);
    EXPECT_EQ(saved(*store), "\r\n[S]\r\nb=false\r\nh=000000AB\r\ni=-5\r\nu=4294967295\r\nr=6400AB0F\r\n");
    EXPECT_EQ(store->getHex32("S", "h"), 0xABu);
    EXPECT_EQ(store->getInt32("S", "i"), -5);
}

TEST_F(KeyedStoreEdit, SetSectionText) {
    auto store = load("[A]\r\nold\r\n\r\n[B]\r\nb\r\n");
    store->setSectionText("A", "new");
    EXPECT_EQ(saved(*store), "[A]\r\nnew\r\n\r\n[B]\r\nb\r\n");
    store->setSectionText("B", "last");
    EXPECT_EQ(saved(*store), "[A]\r\nnew\r\n\r\n[B]\r\nlast\r\n");
    store->setSectionText("C", "added");
    EXPECT_EQ(saved(*store), "[A]\r\nnew\r\n\r\n[B]\r\nlast\r\n\r\n[C]\r\nadded\r\n");
}

TEST_F(KeyedStoreEdit, SetSectionTextOnBlocksAndEdges) {
    // A note written as a text block reads back as exactly its text.
    auto store = KeyedStore::newEmpty();
    store->setSectionText("N", "<text>\r\nline 1\r\nsays </text>\r\n</text>\r\n");
    EXPECT_EQ(saved(*store), "\r\n[N]\r\n<text>\r\nline 1\r\nsays </text>\r\n</text>\r\n\r\n");
    EXPECT_EQ(store->getSectionText("N"), "line 1\r\nsays </text>");
    store->setSectionText("N", "<text>\r\nshort\r\n</text>\r\n");
    EXPECT_EQ(store->getSectionText("N"), "short");

    auto empty = load("[S]\r\n[T]\r\n");
    empty->setSectionText("S", "x");
    EXPECT_EQ(saved(*empty), "[S]\r\nx\r\n\r\n[T]\r\n");

    // An unclosed block cannot be located: the section is added again.
    auto unclosed = load("[S]\r\n<text>\r\nx\r\n");
    unclosed->setSectionText("S", "y");
    EXPECT_EQ(saved(*unclosed), "[S]\r\n<text>\r\nx\r\n\r\n[S]\r\ny\r\n");

    // A header on the last line without a line end keeps the body apart.
    auto headerOnly = load("[S]");
    headerOnly->setSectionText("S", "body");
    EXPECT_EQ(saved(*headerOnly), "[S]\r\nbody\r\n");
    EXPECT_EQ(headerOnly->getSectionText("S"), "body\r\n");
}

TEST_F(KeyedStoreEdit, DeleteSectionTidiesTheText) {
    auto only = load("[S]\r\nk=v\r\n");
    only->deleteSection("S");
    EXPECT_EQ(saved(*only), "\r\n");

    auto store = load("\r\n[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n\r\n");
    store->deleteSection("B");
    EXPECT_EQ(saved(*store), "[A]\r\na=1\r\n");

    auto first = load("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n");
    first->deleteSection("A");
    EXPECT_EQ(saved(*first), "[B]\r\nb=2\r\n");

    auto missing = load("\r\n[A]\r\n\r\n");
    missing->deleteSection("Z");
    EXPECT_EQ(saved(*missing), "\r\n[A]\r\n\r\n");
}

TEST_F(KeyedStoreEdit, DeleteKeyRemovesWholeLine) {
    auto store = load("[S]\r\na=1\r\n  b = 2\nc=3\rd=4");
    EXPECT_TRUE(store->deleteKey("S", "b"));
    EXPECT_EQ(saved(*store), "[S]\r\na=1\r\nc=3\rd=4");
    EXPECT_TRUE(store->deleteKey("S", "c"));  // a lone CR line end
    EXPECT_EQ(saved(*store), "[S]\r\na=1\r\nd=4");
    EXPECT_TRUE(store->deleteKey("S", "d"));
    EXPECT_EQ(saved(*store), "[S]\r\na=1\r\n");
    EXPECT_FALSE(store->deleteKey("S", "zz"));
    EXPECT_FALSE(store->deleteKey("Q", "a"));
}

TEST_F(KeyedStoreEdit, DeleteLine) {
    auto store = load("[L]\r\none\r\n\r\ntwo\r\n[M]\r\n");
    EXPECT_TRUE(store->deleteLine("L", 1));  // blank lines count here
    EXPECT_EQ(saved(*store), "[L]\r\none\r\ntwo\r\n[M]\r\n");
    EXPECT_TRUE(store->deleteLine("L", 1));  // keeps a blank line before [M]
    EXPECT_EQ(saved(*store), "[L]\r\none\r\n\r\n[M]\r\n");
    EXPECT_FALSE(store->deleteLine("L", 2));
    EXPECT_FALSE(store->deleteLine("M", 0));
    EXPECT_FALSE(store->deleteLine("Missing", 0));
    EXPECT_EQ(saved(*store), "[L]\r\none\r\n\r\n[M]\r\n");
}

TEST_F(KeyedStoreEdit, InsertAndReplaceLines) {
    auto store = load("[L]\r\na\r\nc\r\n\r\n[M]\r\n");
    store->insertLine("L", 1, "b");
    EXPECT_EQ(saved(*store), "[L]\r\na\r\nb\r\nc\r\n\r\n[M]\r\n");
    store->replaceLine("L", 0, "A");
    EXPECT_EQ(saved(*store), "[L]\r\nA\r\nb\r\nc\r\n\r\n[M]\r\n");
    // Index 3 is the blank line: replacing it keeps a blank before [M].
    store->replaceLine("L", 3, "d");
    EXPECT_EQ(saved(*store), "[L]\r\nA\r\nb\r\nc\r\nd\r\n\r\n[M]\r\n");
    // Past the list: after the last non-blank line.
    store->insertLine("L", 99, "e");
    EXPECT_EQ(saved(*store), "[L]\r\nA\r\nb\r\nc\r\nd\r\ne\r\n\r\n[M]\r\n");
    store->insertLine("N", 0, "new");
    EXPECT_EQ(saved(*store), "[L]\r\nA\r\nb\r\nc\r\nd\r\ne\r\n\r\n[M]\r\n\r\n[N]\r\nnew\r\n");
}

TEST_F(KeyedStoreEdit, LineEditsAtTheEndOfTheText) {
    auto noLineEnd = load("[L]\r\na");
    noLineEnd->insertLine("L", 5, "b");
    EXPECT_EQ(saved(*noLineEnd), "[L]\r\na\r\nb\r\n");

    auto replaceLast = load("[L]\r\na\r\n[M]\r\n");
    replaceLast->replaceLine("L", 0, "z");
    EXPECT_EQ(saved(*replaceLast), "[L]\r\nz\r\n\r\n[M]\r\n");
}

TEST_F(KeyedStoreEdit, Renames) {
    auto store = load("[S]\r\n  key = v\r\n[S2]\r\n");
    EXPECT_TRUE(store->renameKey("S", "key", "k"));
    EXPECT_EQ(saved(*store), "[S]\r\n  k = v\r\n[S2]\r\n");
    EXPECT_FALSE(store->renameKey("S", "nope", "x"));
    EXPECT_TRUE(store->renameSection("S", "Renamed"));
    EXPECT_EQ(saved(*store), "[Renamed]\r\n  k = v\r\n[S2]\r\n");
    EXPECT_FALSE(store->renameSection("S", "x"));
    EXPECT_THROW(store->renameSection(std::string(1023, 's'), "x"), RuntimeFailure);
}

TEST_F(KeyedStoreEdit, EditsKeepHiddenTailAfterByteZero) {
    const std::string tail("\0junk[S]\r\n", 10);
    auto store = load("[S]\r\nk=1\r\n" + tail);
    store->setString("S", "k", "2");
    store->setString("T", "m", "3");
    EXPECT_EQ(saved(*store), "[S]\r\nk=2\r\n\r\n[T]\r\nm=3\r\n" + tail);
    EXPECT_EQ(store->getString("T", "m"), "3");
}

}  // namespace
}  // namespace vtome
