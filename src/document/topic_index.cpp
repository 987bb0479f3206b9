#include "document/topic_index.h"

#include <new>

#include "runtime/failure.h"
#include "runtime/text_scan.h"

namespace vtome {

TopicIndex::~TopicIndex() {
    // The entries' storage goes with the blocks, after the list has let go.
    destroy();
}

void TopicIndex::destroy() {
    ValueList::destroy();
    blocks_.clear();
    made_ = 0;
}

TopicEntry* TopicIndex::newTopicEntry() {
    if (made_ % kBlockEntries == 0 && made_ / kBlockEntries == blocks_.size()) {
        blocks_.push_back(std::unique_ptr<Block>(new Block));  // left unzeroed: each entry is built in place
    }
    void* place = blocks_[made_ / kBlockEntries]->entries[made_ % kBlockEntries].bytes;
    ++made_;
    return new (place) TopicEntry();
}

TopicEntry* TopicIndex::addTopic(std::string_view name, std::string_view title) {
    if (title.empty()) title = name;
    constexpr std::size_t kLargest = 0xFFFF;
    if (name.size() > kLargest || title.size() > kLargest) fail(FailureCode::StringOverflow);
    // The title usually stands a little after the name on the same line.
    const auto distance = title.data() - name.data();
    if (distance < 0 || static_cast<std::size_t>(distance) > kLargest) {
        std::string both(name);
        both.append(title);
        const std::string_view kept = keepText(both);
        name = kept.substr(0, name.size());
        title = kept.substr(name.size());
    }
    TopicEntry* entry = newTopicEntry();
    entry->text_ = name.data();
    entry->nameLength_ = static_cast<std::uint16_t>(name.size());
    entry->titleOffset_ = static_cast<std::uint16_t>(title.data() - name.data());
    entry->titleLength_ = static_cast<std::uint16_t>(title.size());
    append(entry);
    entry->value = count();
    return entry;
}

TopicEntry* TopicIndex::topicNumbered(std::uint32_t number) const {
    // Entries are made in contents order and never removed one by one, so
    // the n-th entry made is the n-th of the list.
    if (number == 0 || number > count() || number > made_) return nullptr;
    const std::uint32_t at = number - 1;
    return std::launder(reinterpret_cast<TopicEntry*>(blocks_[at / kBlockEntries]->entries[at % kBlockEntries].bytes));
}

std::string_view TopicIndex::keepText(std::string_view text) { return kept_.emplace_back(text); }

TopicEntry* TopicIndex::findByTitle(std::string_view text) const {
    for (TopicEntry* e = firstTopic(); e != nullptr; e = e->nextTopic()) {
        if (scan::equalIgnoreCase(e->title(), text)) return e;
    }
    return nullptr;
}

TopicEntry* TopicIndex::findByName(std::string_view text) const {
    for (TopicEntry* e = firstTopic(); e != nullptr; e = e->nextTopic()) {
        if (scan::equalIgnoreCase(e->name(), text)) return e;
    }
    return nullptr;
}

}  // namespace vtome
