#include "document/contents.h"

#include <vector>

#include "runtime/failure.h"
#include "runtime/text_scan.h"

namespace vtome {

namespace {

constexpr std::uint32_t kParentSlots = 4096;

}  // namespace

ContentsEntry parseContentsEntry(std::string_view line) {
    ContentsEntry entry;
    while (entry.depth < line.size() && line[entry.depth] == '.') ++entry.depth;
    const std::string_view rest = line.substr(entry.depth);

    const std::size_t equals = rest.find('=');
    std::string_view name = rest.substr(0, equals);
    if (name.size() > kTopicNameCapacity) fail(FailureCode::StringOverflow);
    std::string_view title = name;
    if (equals != std::string_view::npos) {
        std::size_t start = equals + 1;
        while (start < rest.size() && scan::isWhitespace(rest[start])) ++start;
        const std::size_t end = rest.find('\r', start);
        title = rest.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    }
    entry.name = scan::trimBlanks(name);
    entry.title = scan::trimBlanks(title);
    return entry;
}

void forEachContentsEntry(KeyedStore& document, const std::function<void(const ContentsEntry&)>& visit) {
    // One line at a time: a list of a million lines would cost as much again.
    document.forEachListLine(kContentsSection, [&](std::string_view line) {
        // Each line passes through the 4096-character scratch text.
        if (line.size() > kContentsLineCapacity) fail(FailureCode::StringOverflow);
        visit(parseContentsEntry(line));
    });
}

void buildContents(KeyedStore& document, std::string_view documentFileName, TopicIndex& index) {
    TopicEntry* header = index.addTopic(kHeaderSection, index.keepText(documentFileName));

    // The most recent entry of each depth; slot 0 is the header topic.
    std::vector<TopicEntry*> parents(kParentSlots, nullptr);
    parents[0] = header;

    forEachContentsEntry(document, [&](const ContentsEntry& parsed) {
        TopicEntry* entry = index.addTopic(parsed.name, parsed.title);

        std::uint32_t level = std::min(parsed.depth, kParentSlots - 1);
        while (parents[level] == nullptr) --level;
        entry->parent = parents[level];
        entry->depth = parents[level]->depth + 1;
        ++entry->parent->childCount;
        if (parsed.depth + 1 < kParentSlots) parents[parsed.depth + 1] = entry;
    });
}

}  // namespace vtome
