#pragma once
// Reading and writing the typed values of keyed files.
//
// A number may be preceded by blanks, ",", ":", ";" and "_", may hold "_"
// between its digits, and must end at the end of the value or at one of those
// separators. Anything else is a "Conversion error" (which the store turns
// into 0); a number too large for 32 bits is "Value out of range", and a byte
// of 128 or more next to the digits is "Illegal character".

#include <cstdint>
#include <string>
#include <string_view>

namespace vtome {

std::uint32_t parseUns32(std::string_view value);
std::int32_t parseInt32(std::string_view value);
std::uint32_t parseHex32(std::string_view value);

// Exactly eight upper-case hex digits, leading zeros kept.
std::string formatHex32(std::uint32_t value);
// Two upper-case hex digits per byte, no separators.
std::string formatHexBytes(const void* bytes, std::size_t count);

}  // namespace vtome
