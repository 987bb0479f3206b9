#include "document/topic_search.h"

#include <cstring>

#include "document/rare_text_search.h"

namespace vtome {

TopicTexts::TopicTexts(SectionIndex& sections, const TopicIndex& topics)
    : sections_(sections), topics_(topics), places_(topics.count()) {}

std::optional<std::string_view> TopicTexts::text(const TopicEntry& topic) {
    const std::uint32_t number = topic.value;
    // An entry of another index has no place here: it is looked up afresh.
    if (number == 0 || topics_.topicNumbered(number) != &topic) {
        Place scratch;
        return read(topic, scratch);
    }
    if (number > places_.size()) places_.resize(topics_.count());
    Place& place = places_[number - 1];
    switch (place.state) {
        case State::Unknown: return read(topic, place);
        case State::Missing: return std::nullopt;
        case State::Text: return sections_.store().text().substr(place.start, place.length);
        case State::Bytes: break;
    }
    return read(topic, place);
}

std::optional<std::string_view> TopicTexts::read(const TopicEntry& topic, Place& place) {
    // Topics are mostly asked for in contents order: the lookup of one some
    // steps on starts now.
    auto unknown = [this](const TopicEntry* e) {
        return e != nullptr && places_.size() >= e->value && places_[e->value - 1].state == State::Unknown;
    };
    if (const TopicEntry* far = topics_.topicNumbered(topic.value + 2 * kLookAhead); unknown(far)) {
        sections_.prefetch(far->name());
    }
    if (const TopicEntry* near = topics_.topicNumbered(topic.value + kLookAhead); unknown(near)) {
        sections_.prefetchSection(near->name());
    }
    const SectionText found = sections_.locate(topic.name());
    switch (found.kind) {
        case SectionText::Kind::Missing:
            place.state = State::Missing;
            return std::nullopt;
        case SectionText::Kind::Text:
            place.state = State::Text;
            place.start = static_cast<std::uint32_t>(found.text.data() - sections_.store().text().data());
            place.length = static_cast<std::uint32_t>(found.text.size());
            return found.text;
        case SectionText::Kind::Bytes: break;
    }
    // Decoded anew each time: byte blocks are rare, and their bytes are not
    // in the document's text to point at.
    const std::optional<std::string_view> bytes = byteBlockText(sections_, topic.name(), found, decoded_);
    place.state = bytes ? State::Bytes : State::Missing;
    return bytes;
}

std::optional<std::string_view> byteBlockText(SectionIndex& sections, std::string_view section,
                                              const SectionText& found, TextBuffer& decoded) {
    if (!sections.decodeBytes(section, found, decoded)) return std::nullopt;
    // The search ends at a byte 0 among the decoded bytes.
    const std::string_view bytes = decoded.view();
    const void* zero = std::memchr(bytes.data(), '\0', bytes.size());
    return zero ? bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - bytes.data())) : bytes;
}

TopicEntry* TopicTexts::firstContaining(TopicEntry* from, std::string_view wanted) {
    if (wanted.empty() || from == nullptr) return nullptr;
    const scan::CaseBlindNeedle needle(wanted);
    if (from->value == 0 || topics_.topicNumbered(from->value) != from) {
        // An entry of another index: looked up afresh along its own list.
        for (TopicEntry* e = from; e != nullptr; e = e->nextTopic()) {
            const std::optional<std::string_view> text = this->text(*e);
            if (text && needle.findIn(*text, 0) != scan::npos) return e;
        }
        return nullptr;
    }
    // The entries after it are those numbered after it, in order: the walk
    // goes through the table and touches an entry only where it must.
    const std::uint32_t count = topics_.count();
    if (places_.size() < count) places_.resize(count);
    const std::string_view all = sections_.store().text();
    for (std::uint32_t number = from->value; number <= count; ++number) {
        const Place& place = places_[number - 1];
        if (place.state == State::Text) {
            if (needle.findIn(all.substr(place.start, place.length), 0) != scan::npos) {
                return topics_.topicNumbered(number);
            }
            continue;
        }
        if (place.state == State::Missing) continue;
        TopicEntry* e = topics_.topicNumbered(number);
        const std::optional<std::string_view> text = this->text(*e);
        if (text && needle.findIn(*text, 0) != scan::npos) return e;
    }
    return nullptr;
}

bool textContains(std::string_view text, std::string_view wanted) {
    return !wanted.empty() && scan::findIgnoreCase(text, 0, wanted) != scan::npos;
}

std::uint32_t countInText(std::string_view text, const scan::CaseBlindNeedle& wanted, std::uint32_t wantedSize) {
    if (wantedSize == 0) return 0;
    std::uint32_t count = 0;
    for (std::uint32_t at = wanted.findIn(text, 0); at != scan::npos; at = wanted.findIn(text, at + wantedSize)) {
        ++count;
    }
    return count;
}

std::uint32_t countInText(std::string_view text, std::string_view wanted) {
    return countInText(text, scan::CaseBlindNeedle(wanted), static_cast<std::uint32_t>(wanted.size()));
}

std::vector<TopicMatch> topicsContaining(TopicTexts& texts, std::string_view text) {
    std::vector<TopicMatch> matches;
    const scan::CaseBlindNeedle needle(text);
    const auto size = static_cast<std::uint32_t>(text.size());
    for (const TopicEntry* topic = texts.topics().firstTopic(); topic != nullptr; topic = topic->nextTopic()) {
        const std::optional<std::string_view> topicText = texts.text(*topic);
        if (!topicText) continue;
        if (const std::uint32_t count = countInText(*topicText, needle, size); count > 0) {
            matches.push_back({topic, count});
        }
    }
    return matches;
}

std::vector<TopicMatch> topicsContaining(SectionIndex& sections, const TopicIndex& index, std::string_view text) {
    if (std::optional<std::vector<TopicMatch>> matches =
            topicsContainingRareText(sections, index, RareTextScan(sections.store().text(), text))) {
        return std::move(*matches);
    }
    TopicTexts texts(sections, index);
    return topicsContaining(texts, text);
}

}  // namespace vtome
