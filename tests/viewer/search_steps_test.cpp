// Document-scope search steps and topic changes on generated documents,
// against what the linear code they replaced did: each topic read by the
// store from the start of the text, the test folding ASCII letters up to a
// byte 0, every occurrence the view finds stepped through, one step that
// sends the caret home, then the walk from the header again. And the
// section lookup the viewer keeps must never outlive the store it was made
// for.

#include "support/generated_documents.h"
#include "viewer_fixture.h"

namespace vtome {
namespace {

namespace vk = platform::vk;
using platform::TextRange;

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::size_t plainFind(std::string_view text, std::size_t from, std::string_view wanted) {
    for (std::size_t at = from; at + wanted.size() <= text.size(); ++at) {
        bool same = true;
        for (std::size_t i = 0; i < wanted.size() && same; ++i) same = fold(text[at + i]) == fold(wanted[i]);
        if (same) return at;
    }
    return std::string_view::npos;
}

struct Step {
    const TopicEntry* shown;  // the entry whose tree item is selected
    TextRange selection;
    bool operator==(const Step&) const = default;
};

class SearchSteps : public testing::ViewerTest {
protected:
    const TopicEntry* selected() {
        const std::uint32_t item = tree().selectedItem();
        for (const TopicEntry* e = document().index->firstTopic(); e != nullptr; e = e->nextTopic()) {
            if (e->treeItem() == item) return e;
        }
        return nullptr;
    }

    // The steps of one run from the header topic, as the linear code took
    // them, ending with the step that sends the caret home.
    std::vector<Step> expectedRun(std::string_view wanted) {
        KeyedStore& store = *document().store;
        std::vector<Step> steps;
        const TopicEntry* onScreen = selected();
        for (const TopicEntry* e = document().index->firstTopic(); e != nullptr; e = e->nextTopic()) {
            TextBuffer text;
            if (!store.getSectionToBuffer(e->name(), text)) continue;
            const std::string_view searched = text.view().substr(0, text.view().find('\0'));
            if (plainFind(searched, 0, wanted) == std::string_view::npos) continue;
            onScreen = e;
            // The view holds the section's text below an empty line (nothing
            // for a byte block), and its own search steps through it.
            const std::optional<std::string> body = store.getSectionText(e->name());
            const std::string shown = "\r\n" + body.value_or("");
            for (std::size_t at = plainFind(shown, 0, wanted); at != std::string_view::npos;
                 at = plainFind(shown, at + wanted.size(), wanted)) {
                steps.push_back({e, {static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(at + wanted.size())}});
            }
        }
        steps.push_back({onScreen, {0, 0}});
        return steps;
    }
};

TEST_F(SearchSteps, EveryStepAsTheLinearSearchTookIt) {
    std::size_t steps = 0;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        const testing::GeneratedHelpDocument doc = testing::generateHelpDocument(seed);
        const std::string name = "doc" + std::to_string(seed) + ".vtome";
        writeDocument(name, doc.text);
        // The first through the command line, every next one by File > Open
        // into the same viewer.
        if (seed == 1) {
            ASSERT_TRUE(start({name}));
            platform_.chooseMenu(ids::kCmdScopeDocument);
        } else {
            platform_.answerOpenDialog(dir_.file(name));
            platform_.chooseMenu(ids::kCmdOpen);
        }
        for (const std::string& wanted : doc.searches) {
            if (wanted.empty()) continue;  // a step with an empty box does nothing
            SCOPED_TRACE("seed " + std::to_string(seed) + " text [" + wanted + "]");
            bar().type(ids::kNavSearchBox, wanted);
            app_->search().restartSearch();
            const std::vector<Step> expected = expectedRun(wanted);
            for (std::size_t i = 0; i < expected.size(); ++i) {
                press(vk::kF3);
                const Step actual{selected(), view().selection()};
                ASSERT_EQ(actual.shown, expected[i].shown) << "step " << i;
                ASSERT_EQ(actual.selection, expected[i].selection) << "step " << i;
            }
            ASSERT_FALSE(app_->search().documentSearchActive());
            steps += expected.size();
        }
    }
    EXPECT_GT(steps, 5000u);
}

// A second document of exactly the same size and section names, opened in
// the place of the first: every lookup must read the new text.
TEST_F(SearchSteps, AnotherDocumentIsReadFromItsOwnText) {
    const std::string first =
        "[vTome Header]\r\n<text>\r\nOne.\r\n</text>\r\n\r\n[vTome Contents]\r\nA\r\nB\r\n\r\n"
        "[A]\r\n<text>\r\nalpha text\r\n</text>\r\n\r\n[B]\r\n<text>\r\nbravo text\r\n</text>\r\n";
    std::string second = first;
    second.replace(second.find("alpha"), 5, "omega");
    second.replace(second.find("bravo"), 5, "sigma");
    writeDocument("one.vtome", first);
    writeDocument("two.vtome", second);
    ASSERT_TRUE(start({"one.vtome"}));
    platform_.chooseMenu(ids::kCmdScopeDocument);
    bar().type(ids::kNavSearchBox, "bravo");
    press(vk::kF3);
    ASSERT_EQ(currentTitle(), "B");

    platform_.answerOpenDialog(dir_.file("two.vtome"));
    platform_.chooseMenu(ids::kCmdOpen);
    app_->viewer().selectTopic(topic("A"));
    EXPECT_EQ(view().text(), "\r\nomega text");
    // The old text is found nowhere, the new one where it stands.
    press(vk::kF3);
    EXPECT_EQ(currentTitle(), "A");
    bar().type(ids::kNavSearchBox, "sigma");
    press(vk::kF3);
    EXPECT_EQ(currentTitle(), "B");
    EXPECT_EQ(view().text(), "\r\nsigma text");
}

// The topic is shown from the section the lookups find: a header quoted in
// an earlier text block, far into a long document, wins; a byte block shows
// nothing and leaves no current topic.
TEST_F(SearchSteps, TopicsShowTheSectionTheLookupsFind) {
    std::string doc = "[vTome Header]\r\n<text>\r\nHead.\r\n</text>\r\n\r\n[vTome Contents]\r\nFiller\r\nFar\r\nBin\r\n\r\n";
    doc += "[Filler]\r\n<text>\r\n" + std::string(200000, 'f') + "\r\n[Far]\r\nquoted\r\n</text>\r\n\r\n";
    doc += "[Far]\r\n<text>\r\nreal\r\n</text>\r\n\r\n[Bin]\r\n<bin>41 42\r\n</bin>\r\n";
    writeDocument("doc.vtome", doc);
    ASSERT_TRUE(start({"doc.vtome"}));
    app_->viewer().selectTopic(topic("Far"));
    EXPECT_EQ(view().text(), "\r\nquoted\r\n</text>\r\n\r\n");
    EXPECT_EQ(currentTitle(), "Far");
    app_->viewer().selectTopic(topic("Bin"));
    EXPECT_EQ(view().text(), "\r\n");
    EXPECT_EQ(current(), nullptr);
}

}  // namespace
}  // namespace vtome
