#pragma once
// Loading a document's store as the viewer and vtome-tool open documents: a
// help document is loaded as it is; a GNU Info manual (plain,
// gzip-compressed or split into parts) is converted in memory first, so
// that every manual under /usr/share/info opens like a help document.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "store/keyed_store.h"

namespace vtome {

// The choices the Open dialog offers besides listing all files.
constexpr std::string_view kHelpDocumentFilter = "Help documents (*.vtome)";
constexpr std::string_view kInfoManualFilter = "Info manuals (*.info *.info.gz)";

// The store of the document at path. A file whose name ends in ".vtome" is
// always loaded as it is, exactly as KeyedStore::loadFromFile loads it; so
// is every other file unless its content is an Info manual (plain or gzip
// data), which is converted. Failures are those of reading the file (and of
// reading a split manual's parts: "File open failure" for a missing part,
// "File read error" for broken gzip data).
std::unique_ptr<KeyedStore> loadDocumentStore(const std::string& path, FileReading reading = FileReading::Copy);

// The help document converted from the Info manual at path; none when the
// file holds no Info manual.
std::optional<std::string> convertInfoFile(const std::string& path);

// A store holding text, as if a file held exactly those bytes.
std::unique_ptr<KeyedStore> storeFromText(std::string_view text);

}  // namespace vtome
