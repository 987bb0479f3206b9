#include "platform/qt/wrapped_lines.h"

#include <QChar>

#include <algorithm>
#include <iterator>

namespace vtome::platform::qt {

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// The wide and full-width characters: East Asian scripts, full-width forms
// and the emoji drawn two columns wide.
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x17000, 0x18AFF}, {0x1B000, 0x1B2FF},
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251},
    {0x1F300, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD},
};

bool isWide(char32_t c) {
    const Range* end = std::end(kWide);
    const Range* at = std::upper_bound(std::begin(kWide), end, c, [](char32_t x, const Range& r) { return x < r.first; });
    return at != std::begin(kWide) && c <= std::prev(at)->last;
}

bool isBlank(char32_t c) { return c == U' ' || c == U'\t'; }

}  // namespace

int columnsOf(char32_t c) {
    if (c >= 0x20 && c < 0x7F) return 1;
    if (c < 0x20 || c == 0x7F) return 0;  // controls show nothing
    switch (QChar::category(c)) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_Enclosing:
        case QChar::Other_Format:
        case QChar::Other_Control:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph: return 0;
        default: return isWide(c) ? 2 : 1;
    }
}

Decoded decodeAt(std::string_view text, std::uint32_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return {lead, at + 1};
    const std::uint32_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    char32_t code = lead & (0x3F >> (length - 1));
    for (std::uint32_t k = 1; k < length && at + k < text.size(); ++k) {
        code = (code << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
    }
    return {code, std::min<std::uint32_t>(at + length, static_cast<std::uint32_t>(text.size()))};
}

void WrappedLines::wrap(std::string_view text, int columns) {
    text_ = text;
    columns_ = std::max(1, columns);
    starts_.assign(1, 0);
    const auto size = static_cast<std::uint32_t>(text.size());

    std::uint32_t lineStart = 0;  // of the current display line
    int column = 0;
    std::uint32_t breakAfterBlank = 0;  // where the line could break; 0: nowhere yet
    for (std::uint32_t pos = 0; pos < size;) {
        if (text[pos] == '\n') {
            lineStart = ++pos;
            starts_.push_back(lineStart);
            column = 0;
            breakAfterBlank = 0;
            continue;
        }
        const Decoded c = decodeAt(text, pos);
        const int width = c.code == U'\t' ? kTabColumns - column % kTabColumns : columnsOf(c.code);
        if (!isBlank(c.code) && column > 0 && column + width > columns_) {
            // Break after the last blank, or right here inside a run too long
            // for a line; the characters already passed move down with it.
            lineStart = breakAfterBlank > lineStart ? breakAfterBlank : pos;
            starts_.push_back(lineStart);
            breakAfterBlank = 0;
            column = 0;
            for (std::uint32_t at = lineStart; at < pos;) {
                const Decoded moved = decodeAt(text, at);
                column += moved.code == U'\t' ? kTabColumns - column % kTabColumns : columnsOf(moved.code);
                at = moved.next;
            }
            continue;
        }
        column += width;
        pos = c.next;
        if (isBlank(c.code)) breakAfterBlank = pos;
    }
}

std::uint32_t WrappedLines::end(std::uint32_t line) const {
    if (line + 1 >= starts_.size()) return static_cast<std::uint32_t>(text_.size());
    const std::uint32_t next = starts_[line + 1];
    return next > 0 && text_[next - 1] == '\n' ? next - 1 : next;
}

std::uint32_t WrappedLines::lineOf(std::uint32_t position) const {
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), position);
    return static_cast<std::uint32_t>(after - starts_.begin()) - 1;
}

}  // namespace vtome::platform::qt
