#pragma once
// SectionIndex: the section lookup of a store that is read many times and
// never edited (an open help document). KeyedStore finds a section by
// searching its whole text for "[name]" each time, which is right for one
// lookup and quadratic for a walk over every topic of a large document. The
// index records, in one pass, where "[name]" first occurs for every name, and
// then lets the store read the section at that place by its own rules, so
// every answer is the one KeyedStore gives.
//
// The index is built when the lookups need it: the first few lookups search
// the start of the text directly (a document opened at its title page costs
// no index), and once those have covered a fixed stretch of text, the next
// lookup builds it. It holds views into the store's text: drop it, or call
// invalidate(), before the store is edited or freed.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "store/keyed_store.h"
#include "store/text_buffer.h"

namespace vtome {

// The hash the index files a section name under: eight bytes at a time.
std::uint32_t sectionNameHash(std::string_view name);

// Where a section's body stands, read by the store's rules, without a copy.
struct SectionText {
    enum class Kind {
        Missing,  // no header, or a block the store cannot read
        Text,     // a text block's content, a plain body or an empty one
        Bytes,    // a byte block: `text` is its data, still to be decoded
    };
    Kind kind = Kind::Missing;
    // A view into the store's text, valid while the index is.
    std::string_view text;
    // The offset of the header the lookups find.
    std::uint32_t header = KeyedStore::npos;
};

class SectionIndex {
public:
    explicit SectionIndex(KeyedStore& store) : store_(store) {}

    // What store.getSectionToBuffer(section, dest) does, without searching
    // the text from its start.
    bool getSectionToBuffer(std::string_view section, TextBuffer& dest);
    // What store.getSectionText(section) gives, as a view into the text:
    // none for a missing section and for a byte block.
    std::optional<std::string_view> getSectionText(std::string_view section);
    // Where the section's body stands. A name too long for the store's
    // working string fails with "String Overflow", as the store's lookups do.
    SectionText locate(std::string_view section);
    // What locate gives when the section's header is known to stand at
    // `header` (the offset findHeader gives): the index is not needed.
    SectionText locateAt(std::uint32_t header, std::string_view section);
    // The decoded bytes of a section that `locate` found to be a byte block,
    // as getSectionToBuffer gives them; false when its data is malformed.
    bool decodeBytes(std::string_view section, const SectionText& found, TextBuffer& dest);

    // Offset of the "[" where the lookups find the header of section: the
    // first occurrence of "[" section "]" anywhere in the text; npos when
    // there is none.
    std::uint32_t findHeader(std::string_view section);
    // A hint that `section` is looked up soon: a walk over many sections
    // names the one some steps ahead, so that its place in the index is
    // read from memory while the sections before it are read.
    void prefetch(std::string_view section) const;
    // The second step of the hint, some steps after prefetch: the section's
    // header and the start of its body are read from memory.
    void prefetchSection(std::string_view section) const;
    // Forgets the index; the next lookup builds it again.
    void invalidate() {
        built_ = false;
        probed_ = 0;
    }

    KeyedStore& store() { return store_; }

private:
    // Searching the start of the text directly: this many bytes per lookup,
    // until this many have been searched in all.
    static constexpr std::size_t kProbeWindow = 64 * 1024;
    static constexpr std::size_t kProbeBudget = 1024 * 1024;

    // Whether the index was built from the store's text as it is.
    bool current() const;
    void build();

    KeyedStore& store_;
    bool built_ = false;
    std::size_t probed_ = 0;
    // The text the index was built from, to notice a store that changed anyway.
    const char* builtData_ = nullptr;
    std::size_t builtSize_ = 0;
    // Each name between a "[" and the next "]" after it, with the offset of
    // its first "[": an open-addressing table whose slots point into the
    // text, so that building it allocates nothing per name and a lookup
    // touches one slot and the header itself.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t offset = KeyedStore::npos;  // of the "["; npos in a free slot
        std::uint32_t length = 0;                 // of the name
    };
    std::uint32_t slotFor(std::string_view name, std::uint32_t hash) const;
    void grow();
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    std::string_view indexed_;  // the text the slots point into
};

}  // namespace vtome
