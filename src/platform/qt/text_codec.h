#pragma once
// vTome's texts are bytes as its files hold them. On screen they are UTF-8
// where the bytes are valid UTF-8 and Windows-1252 otherwise, so that old
// documents written on Windows still show their accented letters and quotes.
// What comes back from a widget is UTF-8.

#include <QString>

#include <string>
#include <string_view>

namespace vtome::platform::qt {

bool isValidUtf8(std::string_view bytes);

// UTF-8 where valid, otherwise Windows-1252 byte by byte.
QString fromBytes(std::string_view bytes);
std::string toBytes(const QString& text);

// fromBytes, with CR LF, a lone CR and a lone LF all turned into '\n'.
QString fromBytesAsLines(std::string_view bytes);

// The bytes as the topic view shows them: UTF-8 (converted from
// Windows-1252 when they are not valid UTF-8), every line end a single
// '\n'. Valid UTF-8 takes one pass over the bytes.
std::string toShownText(std::string_view bytes);
// The same, appended to `out`: no second copy of a large text on its way.
void appendShownText(std::string& out, std::string_view bytes);

// File names are the system's bytes, not necessarily UTF-8.
QString fromPathBytes(std::string_view path);
std::string toPathBytes(const QString& path);

}  // namespace vtome::platform::qt
