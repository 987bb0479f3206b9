#pragma once
// The display lines of the topic view: its text (UTF-8, lines ended by '\n')
// wrapped at a number of columns of a fixed-pitch font. A line breaks after
// the last blank that fits; a run of text too long for a line of its own
// breaks anywhere. Blanks at a break stay at the end of the line they follow.
//
// Every character takes a whole number of columns (see columnsOf), so where
// a line wraps does not depend on how a face draws its glyphs, and the
// wrapping costs one pass over the text without laying any of it out.

#include <cstdint>
#include <string_view>
#include <vector>

namespace vtome::platform::qt {

// Columns of one character: 0 for combining marks and invisible controls,
// 2 for the wide characters of East Asian scripts, 1 for the rest. A tab
// is handled by the caller (it runs to the next multiple of kTabColumns).
int columnsOf(char32_t c);
constexpr int kTabColumns = 8;

// The character at `at` of valid UTF-8 and the position after it.
struct Decoded {
    char32_t code;
    std::uint32_t next;
};
Decoded decodeAt(std::string_view text, std::uint32_t at);

class WrappedLines {
public:
    // Wraps the whole text; `columns` below 1 counts as 1.
    void wrap(std::string_view text, int columns);

    std::uint32_t count() const { return static_cast<std::uint32_t>(starts_.size()); }
    // Position of the first character of a display line (line < count()).
    std::uint32_t start(std::uint32_t line) const { return starts_[line]; }
    // Where the display line's characters end: its line break, or the start
    // of the next display line when it wraps there.
    std::uint32_t end(std::uint32_t line) const;
    // The display line holding a position (the last line for the end).
    std::uint32_t lineOf(std::uint32_t position) const;
    int columns() const { return columns_; }

private:
    std::string_view text_;
    std::vector<std::uint32_t> starts_{0};
    int columns_ = 1;
};

}  // namespace vtome::platform::qt
