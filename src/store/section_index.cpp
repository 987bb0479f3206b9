#include "store/section_index.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "runtime/failure.h"
#include "runtime/text_scan.h"

namespace vtome {

namespace {

// The text up to its first byte 0: what the lookups see.
std::string_view beforeZero(std::string_view text) {
    const void* zero = std::memchr(text.data(), '\0', text.size());
    return zero ? text.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - text.data())) : text;
}

}  // namespace

std::uint32_t sectionNameHash(std::string_view name) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ name.size();
    const char* p = name.data();
    std::size_t left = name.size();
    for (; left >= 8; p += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 32;
    }
    if (left > 0) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, left);
        hash = (hash ^ word) * 0xC4CEB9FE1A85EC53ull;
    }
    hash *= 0x9E3779B97F4A7C15ull;
    return static_cast<std::uint32_t>(hash >> 32);
}

bool SectionIndex::current() const {
    const std::string_view all = store_.text();
    return built_ && builtData_ == all.data() && builtSize_ == all.size();
}

void SectionIndex::build() {
    const std::string_view all = store_.text();
    indexed_ = store_.visibleText();
    const char* const begin = indexed_.data();
    const char* const end = begin + indexed_.size();
    // Room from the start for about one header per topic.
    std::size_t slots = 1024;
    while (slots < indexed_.size() / 256) slots *= 2;
    slots_.assign(slots, Slot{});
    used_ = 0;

    // Every "[" with the first "]" after it spells one candidate "[name]":
    // for a name without "]" that is exactly where each of its occurrences
    // ends. The "]" found is reused for every "[" before it, so runs of "["
    // cost no rescans. Candidates are taken a batch at a time, their slots
    // fetched from memory together, then entered in text order.
    struct Candidate {
        std::string_view name;
        std::uint32_t offset;
        std::uint32_t hash;
    };
    constexpr std::size_t kBatch = 32;
    Candidate batch[kBatch];
    std::size_t pending = 0;
    auto enter = [&] {
        if ((used_ + pending) * 4 > slots_.size() * 3) grow();
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = 0; i < pending; ++i) __builtin_prefetch(&slots_[batch[i].hash & mask]);
        for (std::size_t i = 0; i < pending; ++i) {
            Slot& slot = slots_[slotFor(batch[i].name, batch[i].hash)];
            if (slot.offset != KeyedStore::npos) continue;  // the first occurrence wins
            slot = {batch[i].hash, batch[i].offset, static_cast<std::uint32_t>(batch[i].name.size())};
            ++used_;
        }
        pending = 0;
    };
    const char* close = nullptr;
    for (const char* open = static_cast<const char*>(std::memchr(begin, '[', indexed_.size())); open != nullptr;
         open = static_cast<const char*>(std::memchr(open + 1, '[', static_cast<std::size_t>(end - open - 1)))) {
        if (close == nullptr || close <= open) {
            close = static_cast<const char*>(std::memchr(open + 1, ']', static_cast<std::size_t>(end - open - 1)));
            if (close == nullptr) break;  // no header can start from here on
        }
        const std::string_view name(open + 1, static_cast<std::size_t>(close - open - 1));
        batch[pending++] = {name, static_cast<std::uint32_t>(open - begin), sectionNameHash(name)};
        if (pending == kBatch) enter();
    }
    enter();
    built_ = true;
    builtData_ = all.data();
    builtSize_ = all.size();
}

void SectionIndex::prefetch(std::string_view section) const {
    if (current() && !slots_.empty()) __builtin_prefetch(&slots_[sectionNameHash(section) & (slots_.size() - 1)]);
}

void SectionIndex::prefetchSection(std::string_view section) const {
    if (!current() || slots_.empty()) return;
    // The slot was asked for some steps ago and is at hand by now; the
    // header and the start of the body are what the lookup reads first.
    const std::uint32_t offset = slots_[slotFor(section, sectionNameHash(section))].offset;
    if (offset == KeyedStore::npos) return;
    const char* at = indexed_.data() + offset;
    for (std::size_t line = 0; line < 256 && offset + line < indexed_.size(); line += 64) __builtin_prefetch(at + line);
}

std::uint32_t SectionIndex::slotFor(std::string_view name, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.offset == KeyedStore::npos) return static_cast<std::uint32_t>(i);
        if (slot.hash == hash && slot.length == name.size() &&
            std::memcmp(indexed_.data() + slot.offset + 1, name.data(), name.size()) == 0) {
            return static_cast<std::uint32_t>(i);
        }
    }
}

void SectionIndex::grow() {
    std::vector<Slot> old(slots_.size() * 2, Slot{});
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    // The names are all different: each goes to the first free slot.
    for (const Slot& slot : old) {
        if (slot.offset == KeyedStore::npos) continue;
        std::size_t i = slot.hash & mask;
        while (slots_[i].offset != KeyedStore::npos) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

std::uint32_t SectionIndex::findHeader(std::string_view section) {
    const std::string_view all = store_.text();
    const bool indexed = section.find(']') == std::string_view::npos;
    if (!indexed || (!current() && probed_ < kProbeBudget)) {
        const std::string needle = "[" + std::string(section) + "]";
        // A name holding "]" is never indexed under itself: it is searched
        // as the store does, in what it sees.
        if (!indexed) return scan::find(store_.visibleText(), 0, needle);
        // The first occurrence, when it starts near the beginning, is found
        // there at once; a byte 0 there, or a text that ends there, makes
        // a miss final too.
        const std::string_view window = all.substr(0, std::min(all.size(), kProbeWindow + needle.size() - 1));
        const std::string_view seen = beforeZero(window);
        probed_ += seen.size();
        const std::uint32_t at = scan::find(seen, 0, needle);
        if (at != scan::npos) return at;
        if (seen.size() < window.size() || window.size() == all.size()) return KeyedStore::npos;
    }
    if (!current()) build();
    return slots_[slotFor(section, sectionNameHash(section))].offset;
}

SectionText SectionIndex::locate(std::string_view section) {
    if (section.size() + 2 > KeyedStore::kLookupCapacity) fail(FailureCode::StringOverflow);
    return locateAt(findHeader(section), section);
}

SectionText SectionIndex::locateAt(std::uint32_t header, std::string_view section) {
    SectionText found;
    if (header == KeyedStore::npos) return found;
    const std::optional<SectionLayout> layout = store_.sectionLayoutAt(header, section);
    if (!layout || !layout->closed) return found;
    found.header = header;
    const std::string_view text = store_.text();
    switch (layout->kind) {
        case SectionLayout::Kind::ByteBlock:
            found.kind = SectionText::Kind::Bytes;
            found.text = text.substr(layout->bodyStart, layout->bodyEnd - layout->bodyStart);
            break;
        case SectionLayout::Kind::TextBlock:
            found.kind = SectionText::Kind::Text;
            found.text = text.substr(layout->bodyStart, layout->bodyEnd - layout->bodyStart);
            break;
        case SectionLayout::Kind::Empty:
        case SectionLayout::Kind::Plain:
            found.kind = SectionText::Kind::Text;
            found.text = text.substr(layout->bodyStart, layout->extentEnd - layout->bodyStart);
            break;
    }
    return found;
}

bool SectionIndex::decodeBytes(std::string_view section, const SectionText& found, TextBuffer& dest) {
    return found.kind == SectionText::Kind::Bytes && store_.getSectionToBufferAt(found.header, section, dest);
}

std::optional<std::string_view> SectionIndex::getSectionText(std::string_view section) {
    const SectionText found = locate(section);
    if (found.kind != SectionText::Kind::Text) return std::nullopt;
    return found.text;
}

bool SectionIndex::getSectionToBuffer(std::string_view section, TextBuffer& dest) {
    if (section.size() + 2 > KeyedStore::kLookupCapacity) fail(FailureCode::StringOverflow);
    const std::uint32_t header = findHeader(section);
    return header != KeyedStore::npos && store_.getSectionToBufferAt(header, section, dest);
}

}  // namespace vtome
