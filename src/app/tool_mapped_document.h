#pragma once
// vtome-tool reads large documents through a file mapping (no copy, no
// cleared memory). Should another program cut the file short while a
// command runs, a read of a page the file no longer has raises SIGBUS; the
// guard turns that into the tool's usual file failure, on standard error
// and with exit status 3, instead of a crash.

#include <string>
#include <string_view>

namespace vtome::tool {

// From now on a SIGBUS for an address inside `bytes` ends the tool with the
// failure "File read error" for `path`; any other SIGBUS keeps its default
// action. One document at a time: a second call replaces the first.
void guardMappedDocument(const std::string& path, std::string_view bytes);

}  // namespace vtome::tool
