#include "store/number_syntax.h"

#include "runtime/failure.h"
#include "runtime/text_scan.h"

namespace vtome {

namespace {

bool isSeparator(char c) {
    switch (c) {
        case '\t': case '\n': case '\r': case ' ': case ',': case ':': case ';':
            return true;
        default:
            return false;
    }
}

bool isHighByte(char c) { return static_cast<unsigned char>(c) >= 128; }

// Walks the number's digits in the given base, accumulating into 64 bits and
// failing as soon as the value passes `limit`.
std::uint64_t readDigits(std::string_view text, std::size_t pos, unsigned base, std::uint64_t limit) {
    std::uint64_t value = 0;
    bool anyDigit = false;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '_') continue;
        int digit = scan::hexDigit(c);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) break;
        anyDigit = true;
        value = value * base + static_cast<unsigned>(digit);
        if (value > limit) fail(FailureCode::ValueOutOfRange);
    }
    if (!anyDigit) fail(FailureCode::ConversionError);
    if (pos < text.size()) {
        if (isHighByte(text[pos])) fail(FailureCode::IllegalCharacter);
        if (!isSeparator(text[pos])) fail(FailureCode::ConversionError);
    }
    return value;
}

std::size_t skipLeading(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (isSeparator(text[pos]) || text[pos] == '_')) ++pos;
    if (pos < text.size() && isHighByte(text[pos])) fail(FailureCode::IllegalCharacter);
    return pos;
}

}  // namespace

std::uint32_t parseUns32(std::string_view value) {
    return static_cast<std::uint32_t>(readDigits(value, skipLeading(value), 10, 0xFFFFFFFFu));
}

std::uint32_t parseHex32(std::string_view value) {
    return static_cast<std::uint32_t>(readDigits(value, skipLeading(value), 16, 0xFFFFFFFFu));
}

std::int32_t parseInt32(std::string_view value) {
    std::size_t pos = skipLeading(value);
    const bool negative = pos < value.size() && value[pos] == '-';
    if (negative) ++pos;
    const std::uint64_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    const std::uint64_t magnitude = readDigits(value, pos, 10, limit);
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                    : static_cast<std::int32_t>(magnitude);
}

std::string formatHex32(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

std::string formatHexBytes(const void* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto* data = static_cast<const unsigned char*>(bytes);
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        text.push_back(kDigits[data[i] >> 4]);
        text.push_back(kDigits[data[i] & 0xF]);
    }
    return text;
}

}  // namespace vtome
