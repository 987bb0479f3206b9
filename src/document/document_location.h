#pragma once
// How a document named on the command line is found: the path itself when
// something exists there, else the path with ".vtome" added.

#include <string>
#include <string_view>

#include "runtime/counted_string.h"

namespace vtome {

// The capacity of a document's paths and of the paths derived from it.
constexpr std::size_t kPathCapacity = 260;
constexpr std::string_view kDocumentExtension = ".vtome";
constexpr std::string_view kFileNotFound = "File Not Found :";

// Sets `path` to the path to load (which may not exist either, when nothing
// does); "String Overflow" when it does not fit.
void locateDocument(std::string_view argument, CountedString& path);

// The part of a path after its last "/", or the whole path.
std::string_view fileNameOf(std::string_view path);

}  // namespace vtome
