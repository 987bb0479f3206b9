#include "store/section_index.h"

#include <cstring>

namespace vtome {

void SectionIndex::build() {
    headers_.clear();
    const std::string_view all = store_.text();
    // Lookups see the text up to its first byte 0.
    const void* zero = std::memchr(all.data(), '\0', all.size());
    const std::string_view text =
        zero ? all.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - all.data())) : all;
    const char* const begin = text.data();
    const char* const end = begin + text.size();

    // Every "[" with the first "]" after it spells one candidate "[name]":
    // for a name without "]" that is exactly where each of its occurrences
    // ends. The "]" found is reused for every "[" before it, so runs of "["
    // cost no rescans.
    const char* close = nullptr;
    for (const char* open = static_cast<const char*>(std::memchr(begin, '[', text.size())); open != nullptr;
         open = static_cast<const char*>(std::memchr(open + 1, '[', static_cast<std::size_t>(end - open - 1)))) {
        if (close == nullptr || close <= open) {
            close = static_cast<const char*>(std::memchr(open + 1, ']', static_cast<std::size_t>(end - open - 1)));
            if (close == nullptr) break;  // no header can start from here on
        }
        const std::string_view name(open + 1, static_cast<std::size_t>(close - open - 1));
        headers_.try_emplace(name, static_cast<std::uint32_t>(open - begin));  // the first occurrence wins
    }
    built_ = true;
    builtData_ = all.data();
    builtSize_ = all.size();
}

std::uint32_t SectionIndex::findHeader(std::string_view section) {
    const std::string_view all = store_.text();
    if (section.find(']') != std::string_view::npos) {
        // Never indexed under itself: search as the store does, in what it sees.
        const void* zero = std::memchr(all.data(), '\0', all.size());
        const std::string_view text =
            zero ? all.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - all.data())) : all;
        const std::string needle = "[" + std::string(section) + "]";
        const std::size_t at = text.find(needle);
        return at == std::string_view::npos ? KeyedStore::npos : static_cast<std::uint32_t>(at);
    }
    if (!built_ || builtData_ != all.data() || builtSize_ != all.size()) build();
    const auto found = headers_.find(section);
    return found == headers_.end() ? KeyedStore::npos : found->second;
}

bool SectionIndex::getSectionToBuffer(std::string_view section, TextBuffer& dest) {
    // A name holding "]" is never indexed under itself, and one too long
    // for the store's working string must fail as the store fails: both are
    // the store's own business.
    if (section.find(']') != std::string_view::npos || section.size() + 2 > KeyedStore::kLookupCapacity) {
        return store_.getSectionToBuffer(section, dest);
    }
    const std::string_view all = store_.text();
    if (!built_ || builtData_ != all.data() || builtSize_ != all.size()) build();
    const auto found = headers_.find(section);
    if (found == headers_.end()) return false;
    return store_.getSectionToBufferAt(found->second, section, dest);
}

}  // namespace vtome
