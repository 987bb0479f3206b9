#pragma once
// Whether a topic's text contains a search text: the test the document
// search runs on each topic in turn, and that vtome-tool search reports.
// A topic's text is its section as the store gives it to a buffer (the text
// block's content, the plain body, or the decoded byte block) up to a byte 0;
// the search in it folds ASCII letters only, and an empty text is never
// found.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "document/topic_index.h"
#include "runtime/text_scan.h"
#include "store/section_index.h"
#include "store/text_buffer.h"

namespace vtome {

// Where every topic's text stands in one document, worked out once per topic
// and then read in place: a topic costs no lookup and no copy the next time.
// Only a topic whose section is a byte block is decoded, each time it is
// asked for. Valid while the index, the store and the topic index are.
class TopicTexts {
public:
    TopicTexts(SectionIndex& sections, const TopicIndex& topics);

    // The topic's text as the search sees it; none when its section is
    // missing or cannot be read. The view lasts as long as the document's
    // text, or for a byte block until the next call.
    std::optional<std::string_view> text(const TopicEntry& topic);
    // The first topic from `from` on, in contents order, whose text
    // contains `wanted`; none when the walk ends without one, and always
    // for an empty `wanted`.
    TopicEntry* firstContaining(TopicEntry* from, std::string_view wanted);

    SectionIndex& sections() { return sections_; }
    const TopicIndex& topics() const { return topics_; }

private:
    static constexpr std::uint32_t kLookAhead = 8;
    enum class State : std::uint8_t { Unknown, Missing, Text, Bytes };
    struct Place {
        std::uint32_t start = 0;
        std::uint32_t length = 0;
        State state = State::Unknown;
    };

    std::optional<std::string_view> read(const TopicEntry& topic, Place& place);

    SectionIndex& sections_;
    const TopicIndex& topics_;
    std::vector<Place> places_;  // by topic number, 1 first
    TextBuffer decoded_;
};

// The text of a section `locate` found to be a byte block, as the search
// sees it: its decoded bytes up to a byte 0, in `decoded`; none when its
// data is malformed.
std::optional<std::string_view> byteBlockText(SectionIndex& sections, std::string_view section,
                                              const SectionText& found, TextBuffer& decoded);

// Whether `text` contains `wanted`, and how often without overlaps; never
// for an empty `wanted`. The text is searched whole: a byte 0 is no end here.
bool textContains(std::string_view text, std::string_view wanted);
std::uint32_t countInText(std::string_view text, std::string_view wanted);
// countInText with the search text prepared once for many texts.
std::uint32_t countInText(std::string_view text, const scan::CaseBlindNeedle& wanted, std::uint32_t wantedSize);

struct TopicMatch {
    const TopicEntry* topic = nullptr;
    std::uint32_t occurrences = 0;
};

// Every topic of the index, in contents order, whose text contains `text`:
// found from the text's occurrences when it is rare, else by reading every
// topic.
std::vector<TopicMatch> topicsContaining(SectionIndex& sections, const TopicIndex& index, std::string_view text);
// The same over the topics of `texts`, reusing what it has worked out.
std::vector<TopicMatch> topicsContaining(TopicTexts& texts, std::string_view text);

}  // namespace vtome
