#pragma once
// SectionIndex: the section lookup of a store that is read many times and
// never edited (an open help document). KeyedStore finds a section by
// searching its whole text for "[name]" each time, which is right for one
// lookup and quadratic for a walk over every topic of a large document. The
// index records, in one pass, where "[name]" first occurs for every name, and
// then lets the store read the section at that place by its own rules, so
// every answer is the one KeyedStore::getSectionToBuffer gives.
//
// The index is built on the first lookup. It holds views into the store's
// text: drop it, or call invalidate(), before the store is edited or freed.

#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "store/keyed_store.h"
#include "store/text_buffer.h"

namespace vtome {

class SectionIndex {
public:
    explicit SectionIndex(KeyedStore& store) : store_(store) {}

    // What store.getSectionToBuffer(section, dest) does, without searching
    // the text from its start.
    bool getSectionToBuffer(std::string_view section, TextBuffer& dest);
    // Offset of the "[" where the lookups find the header of section: the
    // first occurrence of "[" section "]" anywhere in the text; npos when
    // there is none.
    std::uint32_t findHeader(std::string_view section);
    // Forgets the index; the next lookup builds it again.
    void invalidate() { built_ = false; }

    KeyedStore& store() { return store_; }

private:
    void build();

    KeyedStore& store_;
    bool built_ = false;
    // The text the index was built from, to notice a store that changed anyway.
    const char* builtData_ = nullptr;
    std::size_t builtSize_ = 0;
    // Each name between a "[" and the next "]" after it, with the offset of
    // its first "[".
    std::unordered_map<std::string_view, std::uint32_t> headers_;
};

}  // namespace vtome
