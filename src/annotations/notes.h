#pragma once
// Notes: one free-text note per topic, kept in the user-data file as a text
// block in the section "<topic name>_vTomeNote".

#include <string>
#include <string_view>

#include "store/keyed_store.h"

namespace vtome {

std::string noteSectionName(std::string_view topicName);

// A topic has a note exactly when its note section exists, whatever it holds.
bool hasNote(KeyedStore& userData, std::string_view topicName);

}  // namespace vtome
