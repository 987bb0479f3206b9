#pragma once
// Whether a topic's text contains a search text: the test the document
// search runs on each topic in turn, and that vtome-tool search reports.
// A topic's text is its section as the store gives it to a buffer (the text
// block's content, the plain body, or the decoded byte block); the search in
// it folds ASCII letters only, and an empty text is never found.

#include <cstdint>
#include <string_view>
#include <vector>

#include "document/topic_index.h"
#include "store/section_index.h"
#include "store/text_buffer.h"

namespace vtome {

// The topic's text into `work` (cursor at its start); false when its section
// is missing.
bool readTopicText(SectionIndex& sections, const TopicEntry& topic, TextBuffer& work);

// Whether the text in `work` contains `text` from its start.
bool bufferContainsText(TextBuffer& work, std::string_view text);
// The non-overlapping occurrences of `text` in `work` from its start.
std::uint32_t countInBuffer(TextBuffer& work, std::string_view text);

struct TopicMatch {
    const TopicEntry* topic = nullptr;
    std::uint32_t occurrences = 0;
};

// Every topic of the index, in contents order, whose text contains `text`.
std::vector<TopicMatch> topicsContaining(SectionIndex& sections, const TopicIndex& index, std::string_view text);

}  // namespace vtome
