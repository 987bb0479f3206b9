// A help document of any bytes and a search text: the document search,
// from the occurrences and by the walk over every topic.
//
// Checked against a plain search written here: every topic in contents
// order whose text (as the store reads it linearly) holds the search text
// ignoring the case of A to Z, with the count of occurrences that do not
// overlap. The text of a topic ends at a byte 0, and an empty search text
// is never found.

#include <string>
#include <vector>

#include "document/contents.h"
#include "document/rare_text_search.h"
#include "document/topic_search.h"
#include "fuzz_support.h"

namespace vtome::fuzz {
namespace {

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::uint32_t naiveCount(std::string_view text, std::string_view wanted) {
    text = visiblePart(text);
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

void check(KeyedStore& store, std::string_view wanted) {
    TopicIndex index;
    buildContents(store, "doc.vtome", index);
    SectionIndex sections(store);
    const std::vector<TopicMatch> found = topicsContaining(sections, index, wanted);

    std::vector<TopicMatch> expected;
    for (const TopicEntry* e = index.firstTopic(); e != nullptr; e = e->nextTopic()) {
        TextBuffer text;
        if (!store.getSectionToBuffer(e->name(), text)) continue;
        if (const std::uint32_t n = naiveCount(text.view(), wanted); n > 0) expected.push_back({e, n});
    }
    // The way from the occurrences, where it answers, and the walk.
    const std::optional<std::vector<TopicMatch>> rare =
        topicsContainingRareText(sections, index, RareTextScan(store.text(), wanted));
    TopicTexts texts(sections, index);
    const std::vector<TopicMatch> walked = topicsContaining(texts, wanted);
    for (const std::vector<TopicMatch>* answer : {&found, &walked, rare ? &*rare : &found}) {
        FUZZ_CHECK(answer->size() == expected.size());
        for (std::size_t i = 0; i < answer->size(); ++i) {
            FUZZ_CHECK((*answer)[i].topic == expected[i].topic);
            FUZZ_CHECK((*answer)[i].occurrences == expected[i].occurrences);
        }
    }
}

}  // namespace
}  // namespace vtome::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vtome;
    const fuzz::ScriptAndFile input = fuzz::splitInput(data, size);
    try {
        std::unique_ptr<KeyedStore> store = fuzz::loadStore(input.file);
        fuzz::check(*store, input.script);
    } catch (const RuntimeFailure&) {
    }
    return 0;
}
