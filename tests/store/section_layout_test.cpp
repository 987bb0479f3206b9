// Where the lookups place a section's parts (sectionLayoutAt) and its header
// (SectionIndex::findHeader), as the document check reads them.

#include <gtest/gtest.h>

#include "store/section_index.h"
#include "support/store_fixture.h"

namespace vtome {
namespace {

using Kind = SectionLayout::Kind;

class SectionLayoutTest : public ::testing::Test, protected testing::StoreFixture {};

TEST_F(SectionLayoutTest, KindsAndBlockBoundsAsTheBodyRulesSeeThem) {
    const std::string text =
        "[P]\r\nplain\r\n[E]\r\n[T]\r\n<text>\r\nab\r\n</text>\r\n[B]\r\n<bin>41\r\n</bin>\r\n"
        "[M]\r\n<bin>41 </bin>\r\n[Z]\r\n<text>\r\n</text>\r\n[U]\r\n<TEXT>\r\nno end\r\n";
    auto store = load(text);
    struct Row {
        const char* name;
        Kind kind;
        bool closed;
        std::string content;      // bodyStart..bodyEnd for a closed block
        std::string afterMarker;  // the text from closingMarker on, cut to 7
    };
    const Row rows[] = {
        {"P", Kind::Plain, true, "", ""},
        {"E", Kind::Empty, true, "", ""},
        {"T", Kind::TextBlock, true, "ab", "</text>"},
        {"B", Kind::ByteBlock, true, "41\r", "</bin>\r"},  // up to the line end's last character
        {"M", Kind::ByteBlock, false, "", ""},  // "</bin>" in mid-line closes nothing
        {"Z", Kind::TextBlock, true, "", "</text>"},
        {"U", Kind::TextBlock, false, "", ""},  // its opening line stands at bodyStart
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::uint32_t header = static_cast<std::uint32_t>(text.find(std::string("[") + row.name + "]"));
        const std::optional<SectionLayout> layout = store->sectionLayoutAt(header, row.name);
        ASSERT_TRUE(layout.has_value());
        EXPECT_EQ(layout->kind, row.kind);
        EXPECT_EQ(layout->closed, row.closed);
        if (row.closed && row.kind != Kind::Plain && row.kind != Kind::Empty) {
            EXPECT_EQ(text.substr(layout->bodyStart, layout->bodyEnd - layout->bodyStart), row.content);
            EXPECT_EQ(text.substr(layout->closingMarker, 7), row.afterMarker);
        }
    }
    EXPECT_EQ(text.substr(store->sectionLayoutAt(static_cast<std::uint32_t>(text.find("[U]")), "U")->bodyStart, 6),
              "<TEXT>");
    // Not at a header of that name: nothing is located.
    EXPECT_FALSE(store->sectionLayoutAt(0, "T").has_value());
    EXPECT_FALSE(store->sectionLayoutAt(static_cast<std::uint32_t>(text.size()), "T").has_value());
}

TEST_F(SectionLayoutTest, LaterHeadersOfANameAreReadAtTheirOwnPlace) {
    const std::string text = "[A]\r\nfirst\r\n[A]\r\n<text>\r\nsecond\r\n</text>\r\n";
    auto store = load(text);
    const std::optional<SectionLayout> second = store->sectionLayoutAt(12, "A");
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->kind, Kind::TextBlock);
    EXPECT_EQ(text.substr(second->bodyStart, second->bodyEnd - second->bodyStart), "second");
}

TEST_F(SectionLayoutTest, FindHeaderGivesTheFirstOccurrenceAsTheStoreFindsIt) {
    const std::string text("[A]\r\n<text>\r\nsee [B] and [x]y]\r\n</text>\r\n[B]\r\nb\r\n[x]y]\r\n\0[C]\r\n", 62);
    auto store = load(text);
    SectionIndex index(*store);
    EXPECT_EQ(index.findHeader("A"), 0u);
    EXPECT_EQ(index.findHeader("B"), text.find("[B]"));              // the mention inside A's text
    EXPECT_EQ(index.findHeader("x]y"), text.find("[x]y]"));          // a name holding "]"
    EXPECT_EQ(index.findHeader("C"), KeyedStore::npos);              // after the byte 0
    EXPECT_EQ(index.findHeader("b"), KeyedStore::npos);              // case counts
    EXPECT_EQ(store->getSectionText("B"), std::optional<std::string>("</text>\r\n"));  // as the mention has it
}

TEST_F(SectionLayoutTest, FromBufferHoldsExactlyTheBytes) {
    const std::string text = "[S]\r\nk=v\r\n";
    TextBuffer buffer;
    buffer.insertBytes(text.data(), static_cast<std::uint32_t>(text.size()));
    auto store = KeyedStore::fromBuffer(std::move(buffer));
    EXPECT_EQ(store->text(), text);
    EXPECT_EQ(store->getString("S", "k"), "v");
    EXPECT_EQ(saved(*store), text);
}

}  // namespace
}  // namespace vtome
