#pragma once
// The text export of a help document (File > Save As... and
// `vtome-tool export`): one plain text file holding every section of the
// document in file order, for readers without vTome.

#include <string>

#include "store/keyed_store.h"
#include "store/text_buffer.h"

namespace vtome {

// Appends the export of `document` to `output`: an empty first line, then per
// section in file order its name, ":", CR LF, its content as
// getSectionToBuffer gives it (a text block's content, a byte block's decoded
// bytes, otherwise the body) and CR LF CR LF. A section that is listed but
// cannot be read (an unclosed text block, a malformed byte block) exports an
// empty content rather than anything left over from another section.
void buildTextExport(KeyedStore& document, TextBuffer& output);

// Builds the export and replaces the file at path with it; the old file stays
// whole until the new one is complete on disk.
void writeTextExport(KeyedStore& document, const std::string& path);

}  // namespace vtome
