#pragma once
// The contents list of a help document: one line per topic, leading full
// stops for the depth, then the topic name, optionally "=" and the title.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "document/topic_index.h"
#include "store/keyed_store.h"

namespace vtome {

constexpr std::string_view kHeaderSection = "vTome Header";
constexpr std::string_view kContentsSection = "vTome Contents";
// The longest contents line and topic name the contents build takes; a
// longer one fails with "String Overflow".
constexpr std::size_t kContentsLineCapacity = 4096;
constexpr std::size_t kTopicNameCapacity = 1024;

struct ContentsEntry {
    std::uint32_t depth = 0;
    std::string_view name;   // parts of the line itself
    std::string_view title;  // empty when the line gives none after "="
    // The title the topic is shown with, as the topic index keeps it.
    std::string_view shownTitle() const { return title.empty() ? name : title; }
};

// Parses one contents line. A name part of more than 1024 characters fails
// with "String Overflow".
ContentsEntry parseContentsEntry(std::string_view line);

// Calls visit(entry) for each contents line of the document, in order, as
// buildContents reads them; a line of more than 4096 characters fails with
// "String Overflow". The entry's texts point into the document's text.
void forEachContentsEntry(KeyedStore& document, const std::function<void(const ContentsEntry&)>& visit);

// Fills the index from the document: the header topic (titled with the file
// name) first, then one entry per contents line, whose parent is the most
// recent entry one level up. The contents lines are read in one pass, and
// the entries' names and titles point into the document's text. A line of
// more than 4096 characters fails with "String Overflow".
//
// A line deeper than any open level (for example a first line with two full
// stops) hangs under the deepest level open above it; depths beyond the
// table's 4095 levels are treated as that deepest level.
void buildContents(KeyedStore& document, std::string_view documentFileName, TopicIndex& index);

}  // namespace vtome
