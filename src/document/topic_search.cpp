#include "document/topic_search.h"

namespace vtome {

bool readTopicText(SectionIndex& sections, const TopicEntry& topic, TextBuffer& work) {
    if (!sections.getSectionToBuffer(topic.name(), work)) return false;
    work.toStart();
    return true;
}

bool bufferContainsText(TextBuffer& work, std::string_view text) {
    work.toStart();
    return work.findIgnoreCase(text) != TextBuffer::npos;
}

std::uint32_t countInBuffer(TextBuffer& work, std::string_view text) {
    std::uint32_t count = 0;
    work.toStart();
    for (std::uint32_t at = work.findIgnoreCase(text); at != TextBuffer::npos; at = work.findIgnoreCase(text)) {
        ++count;
        work.setPosition(at + static_cast<std::uint32_t>(text.size()));
    }
    return count;
}

std::vector<TopicMatch> topicsContaining(SectionIndex& sections, const TopicIndex& index, std::string_view text) {
    std::vector<TopicMatch> matches;
    TextBuffer work;
    for (const TopicEntry* topic = index.firstTopic(); topic != nullptr; topic = topic->nextTopic()) {
        if (!readTopicText(sections, *topic, work)) continue;
        if (const std::uint32_t count = countInBuffer(work, text); count > 0) matches.push_back({topic, count});
    }
    return matches;
}

}  // namespace vtome
