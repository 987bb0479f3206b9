#pragma once
// The topics shown so far, oldest first, without a depth limit; Back walks it.

#include "document/topic_index.h"
#include "lists/value_list.h"

namespace vtome {

struct HistoryEntry : ValueEntry {
    TopicEntry* topic = nullptr;
};

class TopicHistory : public ValueList {
public:
    ValueEntry* newEntry() override { return new HistoryEntry(); }

    void appendTopic(TopicEntry* topic) {
        auto* entry = static_cast<HistoryEntry*>(newEntry());
        entry->topic = topic;
        append(entry);
    }
    HistoryEntry* lastEntry() const { return static_cast<HistoryEntry*>(last()); }
};

}  // namespace vtome
