#pragma once
// TextBuffer: a growable block of bytes with a cursor, used like a small
// in-memory file. Bytes are inserted and deleted at the cursor; the cursor
// moves by characters, lines, searches and character sets; the whole content
// loads from and writes to files. The store keeps each file's text in one.
//
// Offsets are unsigned 32-bit byte counts from the start of the content;
// operations that can fail return TextBuffer::npos. Offsets passed in are
// clamped to the content: nothing reads or writes outside the data block.
// The order of the virtual operations is part of the interface.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/char_set.h"
#include "runtime/counted_string.h"

namespace vtome {

__extension__ typedef unsigned __int128 Uint128;
__extension__ typedef __int128 Int128;

// Gives a buffer's data block back: one from new[], or a file mapping of
// `mappedSize` bytes.
struct TextBlockRelease {
    std::size_t mappedSize = 0;
    void operator()(char* block) const noexcept;
};
using TextBlock = std::unique_ptr<char[], TextBlockRelease>;

// How a file's bytes are taken: copied into memory of the buffer's own, or
// mapped (only for a process that handles SIGBUS; see InputFile::mapPrivately).
enum class FileReading { Copy, Map };

class TextBuffer {
public:
    static constexpr std::uint32_t npos = 0xFFFFFFFFu;
    static constexpr std::uint32_t kDefaultCapacity = 4094;
    // Room kept after the content for the terminating byte 0.
    static constexpr std::uint32_t kSpareBytes = 4;
    // The largest content a buffer can hold with 32-bit offsets.
    static constexpr std::uint32_t kMaxLength = npos - 1 - kSpareBytes;

    // Default capacity (4094).
    TextBuffer();
    // Capacity n, or 4094 when n is 0.
    explicit TextBuffer(std::uint32_t capacity);
    // No data block at all: capacity 0, grows on first insertion.
    static TextBuffer empty();
    // The whole file, capacity equal to its size, cursor at 0; mapped, the
    // file's pages are used instead of a copy (see InputFile::mapPrivately
    // for the one condition that puts on the caller).
    static TextBuffer fromFile(const std::string& path, FileReading reading = FileReading::Copy);

    TextBuffer(TextBuffer&& other) noexcept;
    TextBuffer& operator=(TextBuffer&& other) noexcept;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;
    virtual ~TextBuffer();

    // --- lifetime
    virtual void destroy();
    virtual void reset();

    // --- copy out (end offsets clamped to the length)
    virtual void copyRangeInto(std::uint32_t from, std::uint32_t to, CountedString& dest) const;
    virtual std::optional<std::string> newStringFromRange(std::uint32_t from, std::uint32_t to) const;
    virtual void copyRangeToBuffer(std::uint32_t from, std::uint32_t to, TextBuffer& dest) const;

    // --- tokens
    virtual bool getToken(CountedString& dest);
    virtual std::optional<std::string> newToken();
    virtual std::uint32_t skipDelimiters();

    // --- insert at cursor (the cursor ends after the inserted bytes)
    virtual void insertString(std::string_view text);
    virtual void insertBool(bool flag);
    virtual void insertHex8(std::uint8_t value);
    virtual void insertHex16(std::uint16_t value);
    virtual void insertHex32(std::uint32_t value);
    virtual void insertHex64(std::uint64_t value);
    virtual void insertHex128(Uint128 value);
    virtual void insertUns8(std::uint8_t value);
    virtual void insertUns16(std::uint16_t value);
    virtual void insertUns32(std::uint32_t value);
    virtual void insertUns64(std::uint64_t value);
    virtual void insertUns128(Uint128 value);
    virtual void insertInt8(std::int8_t value);
    virtual void insertInt16(std::int16_t value);
    virtual void insertInt32(std::int32_t value);
    virtual void insertInt64(std::int64_t value);
    virtual void insertInt128(Int128 value);
    virtual void insertFloat32(float value);
    virtual void insertFloat64(double value);
    virtual void insertFloat80(long double value);
    virtual void insertCharSet(const CharSet& set);
    virtual void insertCharRepeated(char c, std::uint32_t count);
    virtual void insertBytes(const void* bytes, std::uint32_t count);
    virtual void insertChar(char c);
    virtual void putChar(char c);
    virtual void insertRaw16(std::uint16_t value);
    virtual void insertRaw32(std::uint32_t value);
    virtual void insertBuffer(const TextBuffer& other);
    virtual void insertFile(const std::string& path);

    // --- load (replaces the content; grows only when the file is larger)
    virtual void loadFile(const std::string& path);

    // --- read at cursor (false at the end of the content)
    virtual bool readLine(CountedString& dest);
    virtual bool readChar(char& dest);
    virtual bool readWord(CountedString& dest);
    virtual bool readRest(TextBuffer& dest);
    virtual bool readBytes(void* dest, std::uint32_t count);
    // The character at the cursor, moving past it; -1 at the end.
    virtual int getChar();
    virtual bool readRaw16(std::uint16_t& dest);
    virtual bool readRaw32(std::uint32_t& dest);

    // --- delete (the cursor stays at the deletion point)
    virtual void deleteChars(std::uint32_t count);
    virtual void deleteLine();
    virtual void deleteToLineEnd();
    virtual void deleteRange(std::uint32_t from, std::uint32_t to);
    virtual void overwriteAtCursor(std::string_view text);
    virtual void overwriteAt(std::uint32_t offset, std::string_view text);
    virtual void replaceWithRepeated(std::uint32_t count, char c);
    virtual void trim();
    virtual void trimLeading();
    virtual void shortenBy(std::uint32_t count);

    // --- case (ASCII letters only, from the cursor)
    virtual void toUpper(std::uint32_t count);
    virtual void toLower(std::uint32_t count);

    // --- selection
    virtual void select(std::uint32_t from, std::uint32_t to);
    virtual std::uint32_t selectionStart() const;
    virtual bool copySelection(CountedString& dest) const;
    virtual bool deleteSelection();
    virtual bool replaceSelection(std::string_view text);
    virtual bool replaceSelectionWithBuffer(const TextBuffer& other);

    // --- search (a find moves the cursor to the match, or to the end/start)
    virtual std::uint32_t find(std::string_view text);
    virtual std::uint32_t findIgnoreCase(std::string_view text);
    virtual std::uint32_t findBackward(std::string_view text);
    virtual std::uint32_t findBackwardIgnoreCase(std::string_view text);
    virtual std::uint32_t matchAtCursor(std::string_view text) const;
    virtual std::uint32_t matchAtCursorIgnoreCase(std::string_view text) const;
    virtual std::uint32_t matchWordAtCursor(std::string_view text) const;
    virtual std::uint32_t matchWordAtCursorIgnoreCase(std::string_view text) const;
    // <0, 0, >0 as the contents compare.
    virtual int compare(const TextBuffer& other) const;
    virtual int compareIgnoreCase(const TextBuffer& other) const;

    // --- skip by set
    virtual std::uint32_t skipWhileInSet(const CharSet& set);
    virtual std::uint32_t skipBackWhileInSet(const CharSet& set);
    virtual std::uint32_t skipUntilInSet(const CharSet& set);
    virtual std::uint32_t skipBackUntilInSet(const CharSet& set);

    // --- cursor (each returns the new offset)
    virtual std::uint32_t toEnd();
    virtual std::uint32_t toStart();
    virtual std::uint32_t lineStart();
    virtual std::uint32_t lineEnd();
    virtual std::uint32_t wordStart();
    virtual std::uint32_t wordEnd();
    virtual std::uint32_t setPosition(std::uint32_t offset);
    virtual std::uint32_t moveBack(std::uint32_t count);
    virtual std::uint32_t moveForward(std::uint32_t count);
    virtual std::uint32_t linesUp(std::uint32_t count);
    virtual std::uint32_t linesDown(std::uint32_t count);

    // --- line and word reads (the cursor stays)
    virtual bool currentWord(CountedString& dest) const;
    virtual bool currentLine(CountedString& dest) const;
    virtual bool restOfLine(CountedString& dest) const;
    virtual std::optional<std::string> restOfLineAsNew() const;
    virtual bool restOfWord(CountedString& dest) const;
    virtual std::uint32_t nextLine();
    virtual std::uint32_t previousLine();

    // --- whole content
    virtual void writeToStdout() const;
    // Replaces the file with the content, without ever leaving it half written.
    virtual void writeToFile(const std::string& path) const;
    // Copies the content into dest and returns none; with no dest, returns it.
    virtual std::optional<std::string> toString(CountedString* dest);

    // --- settings
    virtual void setFloatDecimals(std::uint32_t decimals);
    virtual void setDelimiters(const CharSet& set);
    virtual void setSkipDelimiters(bool skip);

    // --- queries
    virtual std::uint32_t capacity() const;
    virtual std::uint32_t length() const;
    virtual std::uint32_t cursor() const;
    virtual char* cursorAddress();
    // The character at the cursor without moving; -1 at the end.
    virtual int peekChar() const;
    virtual char* dataStart();
    virtual char* dataEnd();
    virtual std::uint32_t lineCount() const;
    virtual std::uint32_t currentLineNumber() const;
    virtual std::uint32_t bytesAfterCursor() const;
    virtual bool atEnd() const;

    // --- storage
    virtual void resize(std::uint32_t newCapacity);
    virtual void openGap(std::uint32_t count);
    virtual void closeGap(std::uint32_t count);
    virtual void writeSetMembers(const CharSet& set, std::FILE* out) const;

    // Not part of the table: read-only views and the public length field.
    std::string_view view() const { return {data_.get() ? data_.get() : "", length_}; }
    const char* data() const { return data_ ? data_.get() : ""; }
    // For callers that filled the data area at dataStart() directly.
    void setLength(std::uint32_t length);
    bool selectionActive() const { return selectionActive_; }
    const CharSet& delimiters() const { return delimiters_; }

private:
    // A tag, not nullptr_t: a literal 0 must pick the capacity constructor.
    struct NoBlock {};
    explicit TextBuffer(NoBlock);
    static TextBuffer mapFile(const std::string& path);
    void allocate(std::uint32_t capacity);
    void terminate();

    // Makes room for `needed` content bytes, growing by the growth rule.
    void reserveFor(std::uint64_t needed);
    // True when p points into this buffer's own data block.
    bool ownsBytes(const void* p) const;
    // The next token's range, moving the cursor as the token reader does.
    bool nextToken(std::uint32_t& start, std::uint32_t& end);
    // The selected range, ordered and clamped to the content.
    void selectionRange(std::uint32_t& from, std::uint32_t& to) const;
    std::uint32_t lineStartAt(std::uint32_t pos) const;
    std::uint32_t lineEndAt(std::uint32_t pos) const;
    // Start of the line after the one holding pos; the length when there is none.
    std::uint32_t nextLineAt(std::uint32_t pos) const;
    void insertNumberText(const char* text, int written);

    TextBlock data_;
    std::uint32_t capacity_ = 0;
    std::uint32_t length_ = 0;
    std::uint32_t cursor_ = 0;
    std::uint32_t selectionStart_ = 0;
    bool selectionActive_ = false;
    bool skipDelimiters_ = false;
    CharSet delimiters_;
    std::uint32_t floatDecimals_ = 0;
};

}  // namespace vtome
