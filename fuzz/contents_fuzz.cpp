// A help document of any bytes: its contents list and topic index.
//
// Checked: the header topic comes first, titled with the file name; there
// is one topic per contents line, parsed as parseContentsEntry parses the
// line; every topic hangs under an earlier one exactly one level up, never
// deeper than its full stops allow; the index's lookups by title and name
// agree with a plain walk that folds ASCII letters only; and every topic's
// text reads through the section index as it reads linearly.

#include <algorithm>
#include <string>
#include <vector>

#include "document/contents.h"
#include "fuzz_support.h"
#include "store/section_index.h"

namespace vtome::fuzz {
namespace {

bool equalFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

const TopicEntry* naiveFind(const TopicIndex& index, std::string_view text, bool byTitle) {
    for (const TopicEntry* e = index.firstTopic(); e != nullptr; e = e->nextTopic()) {
        if (equalFolded(byTitle ? e->title() : e->name(), text)) return e;
    }
    return nullptr;
}

void check(KeyedStore& store) {
    TopicIndex index;
    buildContents(store, "doc.vtome", index);

    const std::vector<std::string_view> lines = store.listLines(kContentsSection);
    const TopicEntry* header = index.firstTopic();
    FUZZ_CHECK(header != nullptr && header->name() == kHeaderSection && header->title() == "doc.vtome");
    FUZZ_CHECK(header->depth == 0 && header->parent == nullptr);

    std::vector<const TopicEntry*> seen{header};
    std::size_t line = 0;
    for (const TopicEntry* e = header->nextTopic(); e != nullptr; e = e->nextTopic(), ++line) {
        FUZZ_CHECK(line < lines.size());
        const ContentsEntry parsed = parseContentsEntry(lines[line]);
        FUZZ_CHECK(e->name() == parsed.name);
        FUZZ_CHECK(e->title() == (parsed.title.empty() ? parsed.name : parsed.title));
        FUZZ_CHECK(e->parent != nullptr);
        FUZZ_CHECK(std::find(seen.begin(), seen.end(), e->parent) != seen.end());
        FUZZ_CHECK(e->depth == e->parent->depth + 1);
        FUZZ_CHECK(e->depth <= parsed.depth + 1);
        seen.push_back(e);
    }
    FUZZ_CHECK(line == lines.size());

    SectionIndex sections(store);
    std::size_t n = 0;
    for (const TopicEntry* e : seen) {
        if (++n > 64) break;
        FUZZ_CHECK(index.findByTitle(e->title()) == naiveFind(index, e->title(), true));
        FUZZ_CHECK(index.findByName(e->name()) == naiveFind(index, e->name(), false));
        try {
            TextBuffer linear, indexed;
            const bool found = store.getSectionToBuffer(e->name(), linear);
            FUZZ_CHECK(sections.getSectionToBuffer(e->name(), indexed) == found);
            FUZZ_CHECK(linear.view() == indexed.view());
        } catch (const RuntimeFailure&) {
        }
    }
}

}  // namespace
}  // namespace vtome::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vtome;
    try {
        std::unique_ptr<KeyedStore> store =
            fuzz::loadStore({reinterpret_cast<const char*>(data), size});
        fuzz::check(*store);
    } catch (const RuntimeFailure&) {
    }
    return 0;
}
