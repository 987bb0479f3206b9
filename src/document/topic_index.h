#pragma once
// The topics of the open document in contents order, header topic first.
// Each entry knows its tree item (the entry's value) and the section that
// holds its text (its name).

#include <string>
#include <string_view>

#include "lists/value_list.h"

namespace vtome {

struct TopicEntry : ValueEntry {
    std::string name;   // the section holding the topic's text
    std::string title;  // shown in the tree, the title field and the bookmark menu
    std::uint32_t depth = 0;  // level in the contents tree: the header topic is 0
    TopicEntry* parent = nullptr;  // the entry it hangs under; none for the header topic

    TopicEntry* nextTopic() const { return static_cast<TopicEntry*>(next); }
    TopicEntry* prevTopic() const { return static_cast<TopicEntry*>(prev); }
    std::uint32_t treeItem() const { return value; }
};

class TopicIndex : public ValueList {
public:
    ValueEntry* newEntry() override { return newTopicEntry(); }

    virtual TopicEntry* newTopicEntry();
    // Appends a topic; an empty title falls back to the name.
    virtual TopicEntry* addTopic(std::string_view name, std::string_view title);
    // The first entry whose title (name) equals text, ignoring ASCII case.
    virtual TopicEntry* findByTitle(std::string_view text) const;
    virtual TopicEntry* findByName(std::string_view text) const;

    TopicEntry* firstTopic() const { return static_cast<TopicEntry*>(first()); }
    TopicEntry* lastTopic() const { return static_cast<TopicEntry*>(last()); }
    bool contains(const TopicEntry* entry) const { return entry != nullptr && indexOf(entry) >= 0; }
};

}  // namespace vtome
