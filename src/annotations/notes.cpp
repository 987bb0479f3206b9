#include "annotations/notes.h"

#include "runtime/counted_string.h"

namespace vtome {

namespace {
// The section name is assembled in the 4096-character scratch text.
constexpr std::size_t kWorkCapacity = 4096;
constexpr std::string_view kNoteSuffix = "_vTomeNote";
}  // namespace

std::string noteSectionName(std::string_view topicName) {
    CountedString work(kWorkCapacity);
    work.assign(topicName).append(kNoteSuffix);
    return work.str();
}

bool hasNote(KeyedStore& userData, std::string_view topicName) {
    return userData.hasSection(noteSectionName(topicName));
}

}  // namespace vtome
