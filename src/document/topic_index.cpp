#include "document/topic_index.h"

#include "runtime/text_scan.h"

namespace vtome {

TopicEntry* TopicIndex::newTopicEntry() { return new TopicEntry(); }

TopicEntry* TopicIndex::addTopic(std::string_view name, std::string_view title) {
    TopicEntry* entry = newTopicEntry();
    entry->name = std::string(name);
    entry->title = std::string(title.empty() ? name : title);
    append(entry);
    return entry;
}

TopicEntry* TopicIndex::findByTitle(std::string_view text) const {
    for (TopicEntry* e = firstTopic(); e != nullptr; e = e->nextTopic()) {
        if (scan::equalIgnoreCase(e->title, text)) return e;
    }
    return nullptr;
}

TopicEntry* TopicIndex::findByName(std::string_view text) const {
    for (TopicEntry* e = firstTopic(); e != nullptr; e = e->nextTopic()) {
        if (scan::equalIgnoreCase(e->name, text)) return e;
    }
    return nullptr;
}

}  // namespace vtome
