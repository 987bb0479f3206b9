#pragma once
// The text export of a help document (File > Save As... and
// `vtome-tool export`): one plain text file holding every section of the
// document in file order, for readers without vTome.

#include <string>

#include "store/keyed_store.h"
#include "store/file_io.h"

namespace vtome {

// Hands the export of `document` to `sink` piece by piece, in order: an
// empty first line, then per section in file order its name, ":", CR LF,
// its content as getSectionToBuffer gives it (a text block's content, a byte
// block's decoded bytes, otherwise the body) and CR LF CR LF. A section that
// is listed but cannot be read (an unclosed text block, a malformed byte
// block) exports an empty content rather than anything left over from
// another section. The pieces point into the document's text where they can:
// nothing is assembled in memory.
void writeTextExport(KeyedStore& document, const ByteSink& sink);

// Writes the export over the file at path; the old file stays whole until
// the new one is complete on disk.
void writeTextExport(KeyedStore& document, const std::string& path);

}  // namespace vtome
