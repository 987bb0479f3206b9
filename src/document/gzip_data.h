#pragma once
// Gzip-compressed data, as Info manuals are usually installed.

#include <optional>
#include <string>
#include <string_view>

namespace vtome {

// Whether bytes begin as a gzip stream does.
bool isGzipData(std::string_view bytes);

// The decompressed content of gzip data, every member of it in order; none
// when the data is not a complete, valid gzip stream. Content larger than a
// text buffer can hold fails with "File too large".
std::optional<std::string> gunzip(std::string_view bytes);

}  // namespace vtome
