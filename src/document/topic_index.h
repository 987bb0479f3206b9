#pragma once
// The topics of the open document in contents order, header topic first.
//
// An entry's value is its number in contents order, 1 first: it is also the
// entry's item in the contents tree. Its name (the section holding its text)
// and its title point into the document's text, which outlives the index, or
// into texts the index keeps itself (keepText), so a topic costs no copies.
// Each entry knows the entry it hangs under in the tree and how many hang
// under it.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lists/value_list.h"

namespace vtome {

// Kept small, for a document may hold a million topics: the name and the
// title are lengths and an offset into one text, not views of their own.
struct TopicEntry : ValueEntry {
private:
    friend class TopicIndex;
    // Laid out so that the entry takes 56 bytes.
    std::uint16_t nameLength_ = 0;
    std::uint16_t titleLength_ = 0;
    const char* text_ = "";

public:
    // The section holding the topic's text.
    std::string_view name() const { return {text_, nameLength_}; }
    // Shown in the tree, the title field and the bookmark menu.
    std::string_view title() const { return {text_ + titleOffset_, titleLength_}; }

    TopicEntry* parent = nullptr;  // the entry it hangs under; none for the header topic
    std::uint32_t childCount = 0;  // entries hanging directly under it

private:
    std::uint16_t titleOffset_ = 0;

public:
    std::uint16_t depth = 0;  // level in the contents tree: the header topic is 0

    TopicEntry* nextTopic() const { return static_cast<TopicEntry*>(next); }
    TopicEntry* prevTopic() const { return static_cast<TopicEntry*>(prev); }
    std::uint32_t treeItem() const { return value; }

    // Entries live in their index's blocks: only the index makes them, and
    // the list's delete of an entry runs its destructor and frees nothing.
    static void* operator new(std::size_t, void* place) noexcept { return place; }
    static void operator delete(void*) noexcept {}

};
static_assert(sizeof(TopicEntry) <= 56, "a topic entry stays small");

class TopicIndex : public ValueList {
public:
    TopicIndex() = default;
    ~TopicIndex() override;

    ValueEntry* newEntry() override { return newTopicEntry(); }
    // Frees every entry, and their blocks. Entries are never removed one by one.
    void destroy() override;

    virtual TopicEntry* newTopicEntry();
    // Appends a topic; an empty title falls back to the name. Both texts
    // must outlive the index (the document's text, constants, keepText);
    // a title that does not follow its name closely in the same text is
    // kept by the index. A name or title of 65536 bytes or more fails with
    // "String Overflow" (contents lines hold at most 4096).
    virtual TopicEntry* addTopic(std::string_view name, std::string_view title);
    // The first entry whose title (name) equals text, ignoring ASCII case.
    virtual TopicEntry* findByTitle(std::string_view text) const;
    virtual TopicEntry* findByName(std::string_view text) const;

    TopicEntry* firstTopic() const { return static_cast<TopicEntry*>(first()); }
    TopicEntry* lastTopic() const { return static_cast<TopicEntry*>(last()); }
    // The entry whose value is `number` (1 first), or none: at once, not by a walk.
    TopicEntry* topicNumbered(std::uint32_t number) const;
    bool contains(const TopicEntry* entry) const { return entry != nullptr && indexOf(entry) >= 0; }
    // A copy of text that lives as long as the index.
    std::string_view keepText(std::string_view text);

private:
    static constexpr std::size_t kBlockEntries = 4096;
    struct alignas(TopicEntry) Slot {
        unsigned char bytes[sizeof(TopicEntry)];
    };
    struct Block {
        Slot entries[kBlockEntries];
    };

    std::vector<std::unique_ptr<Block>> blocks_;
    std::uint32_t made_ = 0;  // entries made so far, in the blocks in order
    std::deque<std::string> kept_;
};

}  // namespace vtome
