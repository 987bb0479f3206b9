#pragma once
// Turning a GNU Info manual into a help document. Every node becomes a
// topic, shown under its node name; the Top node is the title page; the
// contents tree follows the menus from Top, each node at its first menu
// reference and one level below the node whose menu names it; nodes that no
// menu reaches follow at the top level, in file order. Node texts are kept
// as written, menus and cross-references included, without Info's own
// markup (node lines, separators, index markers).
//
// Info text is arbitrary, and the document must read back exactly as
// meant, so the conversion keeps to the format's rules:
// - every topic is a text block, and a text line beginning with </text>
//   (in any letter case) is indented by one blank so that it cannot end it;
// - a section name is the node name made safe for a contents line and a
//   header: no "=", "[" or "]", no leading full stops or blanks, unique
//   even when letter case is ignored;
// - no "[name]" may stand before a section's own header (the first
//   occurrence anywhere is the header): every header is verified with the
//   store's own lookup, and a name that a mention would take over gets a
//   number added;
// - no byte 0 is written.

#include <memory>
#include <string>
#include <string_view>

#include "document/info_manual.h"
#include "store/keyed_store.h"

namespace vtome {

// The help document's text for a manual; sourceName (the Info file's name)
// is mentioned in a line before the first section, which the viewer ignores.
std::string convertInfoManual(const InfoManual& manual, std::string_view sourceName);

// Node texts without Info's markup: the index markers dropped, an image
// marker replaced by its alt text, byte 0, DEL and separator bytes removed.
std::string stripInfoMarkup(std::string_view text);

}  // namespace vtome
