// SectionIndex against the store's own linear lookups: every name of
// generated documents must read the same through the index (before it is
// built, while the start of the text is searched directly, and after), and
// the views it hands out must be the bytes the store copies.

#include <gtest/gtest.h>

#include "runtime/failure.h"
#include "store/section_index.h"
#include "support/generated_documents.h"
#include "support/store_fixture.h"

namespace vtome {
namespace {

class SectionIndexTest : public ::testing::Test, protected testing::StoreFixture {
protected:
    // Every name the document mentions in brackets, and a few it does not.
    static std::vector<std::string> namesIn(const std::string& text) {
        std::vector<std::string> names{"", "nowhere", "vTome Header", "vTome Contents", "after zero"};
        for (std::size_t open = text.find('['); open != std::string::npos; open = text.find('[', open + 1)) {
            const std::size_t close = text.find(']', open);
            if (close == std::string::npos) break;
            names.push_back(text.substr(open + 1, close - open - 1));
        }
        return names;
    }

    // The index answers exactly as the store for every name.
    void expectSameAnswers(KeyedStore& store, SectionIndex& index, const std::vector<std::string>& names,
                           const std::string& where) {
        for (const std::string& name : names) {
            SCOPED_TRACE(where + " name [" + name + "]");
            const std::optional<std::string> text = store.getSectionText(name);
            ASSERT_EQ(index.getSectionText(name), text ? std::optional<std::string_view>(*text) : std::nullopt);
            TextBuffer expected;
            TextBuffer fast;
            const bool found = store.getSectionToBuffer(name, expected);
            const SectionText located = index.locate(name);
            switch (located.kind) {
                case SectionText::Kind::Missing: ASSERT_FALSE(found); break;
                case SectionText::Kind::Text:
                    ASSERT_TRUE(found);
                    ASSERT_EQ(located.text, expected.view());
                    break;
                case SectionText::Kind::Bytes:
                    ASSERT_FALSE(text);
                    ASSERT_EQ(index.decodeBytes(name, located, fast), found);
                    if (found) {
                        ASSERT_EQ(fast.view(), expected.view());
                    }
                    break;
            }
            ASSERT_EQ(index.getSectionToBuffer(name, fast), found);
            if (found) {
                ASSERT_EQ(fast.view(), expected.view());
            }
        }
    }
};

TEST_F(SectionIndexTest, GeneratedDocumentsReadAsTheStoreReadsThem) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        const testing::GeneratedHelpDocument doc = testing::generateHelpDocument(seed);
        const std::vector<std::string> names = namesIn(doc.text);
        auto store = load(doc.text);
        // A small document is searched directly throughout.
        SectionIndex direct(*store);
        expectSameAnswers(*store, direct, names, "direct, seed " + std::to_string(seed));
        // The same text behind 70,000 bytes of filler: the first lookups
        // search only the start, and the index is built for the rest.
        const std::string padded = std::string(70000, 'x') + "\r\n" + doc.text;
        auto paddedStore = load(padded);
        SectionIndex index(*paddedStore);
        expectSameAnswers(*paddedStore, index, names, "indexed, seed " + std::to_string(seed));
        expectSameAnswers(*paddedStore, index, names, "again, seed " + std::to_string(seed));
    }
}

TEST_F(SectionIndexTest, FirstOccurrenceWinsOnBothSidesOfTheDirectSearch) {
    const std::string filler(100000, '-');
    struct Case {
        const char* what;
        std::string text;
        const char* name;
        std::optional<std::string> body;
    };
    const Case cases[] = {
        {"quoted near the start, real header far on",
         "[A]\r\n<text>\r\n[Far]\r\nquoted\r\n</text>\r\n" + filler + "\r\n[Far]\r\nreal\r\n", "Far",
         "quoted\r\n</text>\r\n" + filler + "\r\n"},
        {"only far on", "[A]\r\nx\r\n" + filler + "\r\n[Far]\r\nreal\r\n", "Far", "real\r\n"},
        {"behind a byte 0 near the start", "[A]\r\nx" + std::string(1, '\0') + filler + "\r\n[Far]\r\nreal\r\n",
         "Far", std::nullopt},
        {"behind a byte 0 far on", "[A]\r\nx\r\n" + filler + std::string(1, '\0') + "\r\n[Far]\r\nreal\r\n", "Far",
         std::nullopt},
        {"a name holding ]", filler + "\r\n[a]b]\r\nodd\r\n", "a]b", "odd\r\n"},
        {"CR-only line ends", "[A]\rx\r" + filler + "\r[Far]\r<text>\rone\rtwo\r</text>\r", "Far", "one\rtwo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto store = load(c.text);
        ASSERT_EQ(store->getSectionText(c.name), c.body);
        // Cold (first lookup), after other lookups have spent the direct
        // search, and after the index was built.
        SectionIndex index(*store);
        EXPECT_EQ(index.getSectionText(c.name), c.body ? std::optional<std::string_view>(*c.body) : std::nullopt);
        for (int i = 0; i < 40; ++i) index.findHeader("none " + std::to_string(i));
        EXPECT_EQ(index.getSectionText(c.name), c.body ? std::optional<std::string_view>(*c.body) : std::nullopt);
    }
}

TEST_F(SectionIndexTest, ManyNamesGrowTheTable) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "[S" + std::to_string(i) + "]\r\nbody " + std::to_string(i) + "\r\n";
    text += "[S7]\r\nsecond\r\n";  // a later header of a name already seen
    auto store = load(text);
    SectionIndex index(*store);
    for (int i = 0; i < 20000; i += 7) {
        ASSERT_EQ(index.getSectionText("S" + std::to_string(i)),
                  std::optional<std::string_view>("body " + std::to_string(i) + "\r\n"));
    }
    EXPECT_EQ(index.findHeader("S7"), text.find("[S7]"));
    EXPECT_EQ(index.findHeader("S20000"), KeyedStore::npos);
    EXPECT_EQ(index.findHeader("S"), KeyedStore::npos);
}

TEST_F(SectionIndexTest, TooLongANameOverflowsAsInTheStore) {
    auto store = load("[A]\r\nx\r\n");
    SectionIndex index(*store);
    const std::string huge(KeyedStore::kLookupCapacity - 1, 'x');
    TextBuffer text;
    EXPECT_THROW(store->getSectionText(huge), RuntimeFailure);
    EXPECT_THROW(index.getSectionText(huge), RuntimeFailure);
    EXPECT_THROW(index.locate(huge), RuntimeFailure);
    EXPECT_THROW(index.getSectionToBuffer(huge, text), RuntimeFailure);
    // One shorter fits the working string: simply not found.
    EXPECT_EQ(index.getSectionText(huge.substr(1)), std::nullopt);
}

}  // namespace
}  // namespace vtome
