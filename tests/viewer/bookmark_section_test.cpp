// Bookmarks written in one edit and resolved through a map, against the
// code they replaced: removing the section and setting key after key, and
// walking the topics for each stored name. Same .vinfo bytes, same topics.

#include <random>

#include "annotations/bookmarks.h"
#include "support/store_fixture.h"
#include "viewer_fixture.h"

namespace vtome {
namespace {

// The section as the store's key operations write it, one key at a time.
void keyByKey(KeyedStore& store, const std::vector<std::string>& values) {
    store.deleteSection(kBookmarksSection);
    for (std::size_t i = 0; i < values.size(); ++i) {
        store.setString(kBookmarksSection, std::to_string(i + 1), values[i]);
    }
}

// User-data files as users and earlier versions leave them.
std::string userDataText(std::mt19937& random) {
    const std::vector<std::string> ends{"\r\n", "\n", "\r"};
    const std::string end = ends[random() % ends.size()];
    std::string t;
    const int sections = static_cast<int>(random() % 5);
    for (int s = 0; s < sections; ++s) {
        switch (random() % 7) {
            case 0:
                t += "[Intro_vTomeNote]" + end + "<text>" + end + "a note" + end + "</text>" + end + end;
                break;
            case 1:
                t += "[vTome Bookmarks]" + end + "1=Intro,3" + end + "2=Gone,7  " + end + end;
                break;
            case 2:  // a note that quotes the section's header
                t += "[Quote_vTomeNote]" + end + "<text>" + end + "see [vTome Bookmarks] below" + end + "</text>" +
                     end + end;
                break;
            case 3: t += "[vTome Bookmarks]" + end + "<text>" + end + "never closed" + end; break;
            case 4: t += "[Other]" + end + "key = value\t " + end; break;
            case 5: t += std::string(1, '\0') + "hidden [vTome Bookmarks]" + end; break;
            default: t += "  " + end + "[vTome Bookmarks]" + end + end + "9=Last,1" + end; break;
        }
    }
    if (random() % 4 == 0 && !t.empty()) t.resize(t.size() - 1);  // no final line end
    return t;
}

std::vector<std::string> bookmarkValues(std::mt19937& random) {
    const std::vector<std::string> kinds{"Intro,0",   "Long Topic,12", "a,b,c,4", "Gone,7  ", "Tabbed,1\t",
                                         "x=y,2",     "[odd],3",       "Caf\xC3\xA9,5", "only a name",
                                         std::string(4080, 'n') + ",1"};
    std::vector<std::string> values;
    const std::size_t count = random() % 4 == 0 ? 0 : random() % 40;
    for (std::size_t i = 0; i < count; ++i) values.push_back(kinds[random() % kinds.size()]);
    return values;
}

class BookmarkSectionTest : public ::testing::Test, protected testing::StoreFixture {};

TEST_F(BookmarkSectionTest, OneEditWritesTheBytesOfTheKeyByKeyWrite) {
    std::mt19937 random(2024);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = userDataText(random);
        const std::vector<std::string> values = bookmarkValues(random);
        auto expected = KeyedStore::fromText(text);
        auto written = KeyedStore::fromText(text);
        bool overflow = false;
        try {
            keyByKey(*expected, values);
        } catch (const RuntimeFailure& failure) {
            // A line grown past the lookups' working text by blanks moved
            // onto it: the write fails, and must fail the same way.
            ASSERT_EQ(failure.code(), FailureCode::StringOverflow);
            overflow = true;
        }
        if (overflow) {
            EXPECT_THROW(writeBookmarkSection(*written, values), RuntimeFailure) << "round " << round;
            continue;
        }
        writeBookmarkSection(*written, values);
        ASSERT_EQ(written->text(), expected->text()) << "round " << round << "\n" << text;
    }
}

TEST_F(BookmarkSectionTest, ThousandsOfBookmarksInOrder) {
    std::vector<std::string> values;
    for (int i = 0; i < 3000; ++i) values.push_back("Topic " + std::to_string(i) + "," + std::to_string(i * 3));
    auto expected = KeyedStore::fromText("[Intro_vTomeNote]\r\n<text>\r\nnote\r\n</text>\r\n");
    auto written = KeyedStore::fromText("[Intro_vTomeNote]\r\n<text>\r\nnote\r\n</text>\r\n");
    keyByKey(*expected, values);
    writeBookmarkSection(*written, values);
    EXPECT_EQ(written->text(), expected->text());
}

// --- resolving stored names, through the opening of a document

// The topic a stored name meant before: the first of exactly that name in
// contents order, else the first whose name matches ignoring ASCII case.
const TopicEntry* walkForName(const TopicIndex& index, std::string_view name) {
    for (TopicEntry* e = index.firstTopic(); e != nullptr; e = e->nextTopic()) {
        if (e->name() == name) return e;
    }
    return index.findByName(name);
}

class BookmarkResolution : public testing::ViewerTest {};

TEST_F(BookmarkResolution, StoredNamesFindTheTopicsTheWalkFound) {
    const std::vector<std::string> names{"Intro", "intro", "INTRO", "Setup", "setup", "Caf\xC3\xA9",
                                         "CAF\xC3\xA9", "caf\xC3\x89", "Setup", "x,y", "Last"};
    const std::vector<std::string> stored{"Intro", "intro", "iNTRO", "SETUP", "setup", "Setup", "caf\xC3\xA9",
                                          "Caf\xC3\x89", "CAF\xC3\x89", "x,y", "X,Y", "last", "Nowhere",
                                          "vtome header", "Intr"};
    std::string doc = "[vTome Header]\r\n<text>\r\nBook.\r\n</text>\r\n\r\n[vTome Contents]\r\n";
    for (const std::string& name : names) doc += name + "\r\n";
    doc += "\r\n";
    for (const std::string& name : names) doc += "[" + name + "]\r\ntext of " + name + "\r\n\r\n";
    std::string vinfo = "[vTome Bookmarks]\r\n";
    for (std::size_t i = 0; i < stored.size(); ++i) {
        vinfo += std::to_string(i + 1) + "=" + stored[i] + "," + std::to_string(i) + "\r\n";
    }
    writeDocument("book.vtome", doc);
    testing::writeFile(dir_.file("book.vinfo"), vinfo);
    ASSERT_TRUE(start({"book.vtome"}));

    const TopicIndex& index = *document().index;
    // The section was the file's only one: removing it leaves one line end,
    // and the section comes back after it.
    std::string resaved = "\r\n\r\n[vTome Bookmarks]\r\n";
    std::size_t k = 0;
    for (const Bookmark* b = app_->bookmarks().list()->firstBookmark(); b != nullptr; b = b->nextBookmark(), ++k) {
        ASSERT_LT(k, stored.size());
        SCOPED_TRACE(stored[k]);
        const TopicEntry* expected = walkForName(index, stored[k]);
        EXPECT_EQ(b->topic, expected);
        if (expected != nullptr) {
            EXPECT_EQ(b->line, k);
        }
        resaved += std::to_string(k + 1) + "=" + (expected ? std::string(expected->name()) : stored[k]) + "," +
                   std::to_string(k) + "\r\n";
    }
    EXPECT_EQ(k, stored.size());
    // Saving writes the names of the topics found, and a name found nowhere
    // as it was stored.
    app_->bookmarks().saveBookmarks();
    EXPECT_EQ(testing::readFile(dir_.file("book.vinfo")), resaved);
}

}  // namespace
}  // namespace vtome
