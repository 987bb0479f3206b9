#pragma once
// KeyedStore: one keyed file (help document, settings, user data) held whole
// in memory as text. There is no parse tree: every query scans the text by
// the format's lookup rules, every edit changes exactly the bytes it must, and
// saving writes the text back, so whatever an edit did not touch (comments,
// unknown sections, blank lines, odd line ends, order) survives byte for byte.
//
// The lookup rules in brief:
// - A section is found at the first occurrence anywhere of "[" name "]"
//   (byte exact); its body starts on the next line and runs to the next "["
//   that begins a line. The first occurrence of a section or key wins.
// - A key line holds "="; its key is the text before the first "=" trimmed of
//   blanks, its value everything after it up to the line end, untrimmed.
// - A body whose first line begins with "<text>" is a text block closed by a
//   "</text>" at the start of a line; "<bin>" opens a hex byte block.
// - A byte 0 ends the text as lookups and edits see it; the bytes from it on
//   are kept untouched after everything else.
//
// The order of the virtual operations is part of the interface.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lists/value_list.h"
#include "runtime/char_set.h"
#include "runtime/counted_string.h"
#include "store/text_buffer.h"

namespace vtome {

// The markers of a section's blocks, matched ignoring case.
constexpr std::string_view kTextOpen = "<text>";
constexpr std::string_view kTextClose = "</text>";
constexpr std::string_view kBinOpen = "<bin>";
constexpr std::string_view kBinClose = "</bin>";

// One entry of the section-name list: the name, and in `value` the offset of
// the "[" that introduced it.
struct SectionNameEntry : ValueEntry {
    std::string name;

    SectionNameEntry* nextName() const { return static_cast<SectionNameEntry*>(next); }
};

// Where the lookups place the parts of one section, for callers that report
// on a document's layout. Offsets count bytes from the start of the text.
struct SectionLayout {
    enum class Kind { Empty, Plain, TextBlock, ByteBlock };
    Kind kind = Kind::Plain;
    // False for a block whose closing line the lookups do not find: every
    // block and body operation then treats the section as missing.
    bool closed = true;
    // A closed block's content or data; the line after the header otherwise
    // (for a block that is not closed, the line of its opening marker).
    std::uint32_t bodyStart = 0;
    std::uint32_t bodyEnd = 0;        // where a closed block's content or data ends
    std::uint32_t closingMarker = 0;  // the "</text>" or "</bin>" that closes it
    // Where the section's extent ends: the "[" of the next section, or the
    // end of the text the lookups see. A plain body runs up to it.
    std::uint32_t extentEnd = 0;
};

class KeyedStore {
public:
    static constexpr std::uint32_t npos = TextBuffer::npos;
    // Capacities of the working strings lookups pass names and lines through.
    static constexpr std::size_t kLookupCapacity = 4096;
    static constexpr std::size_t kBoolCapacity = 128;
    static constexpr std::size_t kRenameCapacity = 1024;

    // An empty store, for a file that does not exist yet.
    static std::unique_ptr<KeyedStore> newEmpty();
    // The whole file at path. The file must exist.
    static std::unique_ptr<KeyedStore> loadFromFile(const std::string& path,
                                                    FileReading reading = FileReading::Copy);
    // A store whose text is `text`, as if a file held exactly those bytes.
    static std::unique_ptr<KeyedStore> fromBuffer(TextBuffer text);
    // A store holding these bytes, as if loaded from a file that held them.
    static std::unique_ptr<KeyedStore> fromText(std::string_view bytes);

    KeyedStore(const KeyedStore&) = delete;
    KeyedStore& operator=(const KeyedStore&) = delete;
    virtual ~KeyedStore() = default;

    virtual void destroy();
    virtual void saveToFile(const std::string& path) const;
    virtual void setString(std::string_view section, std::string_view key, std::string_view value);
    // False when dest is none or the section or key is missing.
    virtual bool getStringInto(std::string_view section, std::string_view key, CountedString* dest);
    virtual std::optional<std::string> getString(std::string_view section, std::string_view key);
    virtual bool getValueToBuffer(std::string_view section, std::string_view key, TextBuffer* dest);
    virtual bool getBool(std::string_view section, std::string_view key);
    virtual void setBool(std::string_view section, std::string_view key, bool flag);
    virtual void setHex32(std::string_view section, std::string_view key, std::uint32_t value);
    virtual std::uint32_t getHex32(std::string_view section, std::string_view key);
    virtual void setBytes(std::string_view section, std::string_view key, const void* bytes, std::uint32_t count);
    // `stored`, when given, receives the number of bytes written to dest.
    virtual bool getBytes(std::string_view section, std::string_view key, void* dest, std::uint32_t count,
                          std::uint32_t* stored = nullptr);
    virtual void setInt32(std::string_view section, std::string_view key, std::int32_t value);
    virtual std::int32_t getInt32(std::string_view section, std::string_view key);
    virtual void setUns32(std::string_view section, std::string_view key, std::uint32_t value);
    virtual std::uint32_t getUns32(std::string_view section, std::string_view key);
    virtual bool deleteKey(std::string_view section, std::string_view key);
    virtual void deleteSection(std::string_view section);
    virtual bool deleteLine(std::string_view section, std::uint32_t index);
    virtual bool renameKey(std::string_view section, std::string_view key, std::string_view newKey);
    virtual bool renameSection(std::string_view section, std::string_view newName);
    virtual bool getSectionTextInto(std::string_view section, CountedString& dest);
    virtual std::optional<std::string> getSectionText(std::string_view section);
    virtual bool getSectionToBuffer(std::string_view section, TextBuffer& dest);
    // The section names in text order; valid until the next walk of the names.
    virtual const SectionNameEntry* firstSection();
    virtual std::uint32_t sectionCount();
    virtual void setSectionText(std::string_view section, std::string_view body);
    virtual bool getSectionBytes(std::string_view section, TextBuffer& dest);
    virtual void setSectionFromBuffer(std::string_view section, const TextBuffer& source);
    virtual void replaceLine(std::string_view section, std::uint32_t index, std::string_view line);
    virtual void insertLine(std::string_view section, std::uint32_t index, std::string_view line);
    virtual bool getLineInto(std::string_view section, std::uint32_t index, CountedString& dest);
    virtual void setFieldDelimiters(const CharSet& set);
    virtual bool getField(std::string_view section, std::uint32_t lineIndex, std::uint32_t fieldIndex,
                          CountedString& dest);
    virtual bool getLineToBuffer(std::string_view section, std::uint32_t index, TextBuffer& dest);
    // Index of the first line equal to text ignoring ASCII case, or -1.
    virtual std::int32_t findLine(std::string_view section, std::string_view text);
    virtual bool hasSection(std::string_view section);
    virtual bool hasKey(std::string_view section, std::string_view key);
    virtual std::uint32_t lineCount(std::string_view section);
    virtual void setStripComments(bool strip);
    virtual void buildSectionList();
    virtual bool findSection(std::string_view section);
    virtual bool locateSection(std::string_view section);
    virtual bool findKey(std::string_view key);

    // The lines of a section used as a list, in one pass: exactly the lines
    // lineCount counts and getLineInto reads. Valid until the next edit.
    std::vector<std::string_view> listLines(std::string_view section);
    // The same lines handed over one by one, without a list of them all.
    void forEachListLine(std::string_view section, const std::function<void(std::string_view)>& visit);

    // Read-only access for callers that scan the whole text themselves.
    std::string_view text() const { return text_.view(); }
    // The part of it the lookups see: up to the first byte 0.
    std::string_view visibleText() const { return visible(); }
    // For a caller that has read the whole text already (a search's one
    // pass): where its first byte 0 stands, or its size when it has none,
    // so that the lookups need not read it all again. The caller must have
    // read every byte before it; a length where no byte 0 stands (nor the
    // end) is ignored, and so is any once the store knows.
    void noteVisibleLength(std::uint32_t length) const;
    // getSectionToBuffer for a header the caller has already found: the
    // "[" section "]" that starts at headerOffset, which must be the first
    // occurrence of it in the text (false when it does not stand there). The
    // section is read by exactly the rules of getSectionToBuffer.
    bool getSectionToBufferAt(std::uint32_t headerOffset, std::string_view section, TextBuffer& dest);
    // How the section whose header "[" section "]" starts at headerOffset is
    // read by the body rules (that header need not be the first occurrence
    // of its name); none when the header does not stand there.
    std::optional<SectionLayout> sectionLayoutAt(std::uint32_t headerOffset, std::string_view section);

protected:
    explicit KeyedStore(TextBuffer text);

private:
    // The part of the text lookups and edits see: up to the first byte 0.
    std::string_view visible() const;
    // The one way every edit changes the text.
    void replaceRange(std::uint32_t from, std::uint32_t to, std::string_view bytes);
    void insertAt(std::uint32_t at, std::string_view bytes) { replaceRange(at, at, bytes); }
    // Adds "\r\n[section]\r\n" + firstLine + "\r\n" at the end of the text.
    void appendSection(std::string_view section, std::string_view firstLine);
    // Offset just after the last non-blank character before pos.
    std::uint32_t afterLastNonBlank(std::uint32_t pos) const;
    // The end of the last non-blank line before pos, before its line end.
    std::uint32_t endOfLastNonBlankLine(std::uint32_t pos) const;
    // The key's value, or none when the section or key is missing.
    std::optional<std::string_view> findValue(std::string_view section, std::string_view key);
    // The value with comment stripping applied when it is on.
    std::optional<std::string> readValueText(std::string_view section, std::string_view key);
    template <typename Number, typename Parse>
    Number readNumber(std::string_view section, std::string_view key, Parse parse);
    // Offset of the line reached by the walk used for reading lines by index,
    // or npos when the list ends before it.
    std::uint32_t walkToBodyLine(std::string_view section, std::uint32_t index);
    // The body of the located section as text (not for byte blocks).
    std::string_view locatedBody() const;
    // The body of a section whose header "[name]" (nameLength bytes of name)
    // starts at headerOffset; the one place the body rules live.
    bool locateSectionAt(std::uint32_t headerOffset, std::size_t nameLength);
    // The located section's text, or its decoded byte block, into dest.
    bool readLocatedSection(TextBuffer& dest);
    bool decodeLocatedBytes(TextBuffer& dest);
    // Line-list edit shared by replaceLine and insertLine.
    void editLine(std::string_view section, std::uint32_t index, std::string_view line, bool replace);

    TextBuffer text_;

    // Lookup state of the most recent findSection/locateSection/findKey.
    bool textBlock_ = false;
    bool byteBlock_ = false;
    std::uint32_t headerPos_ = 0;
    std::uint32_t nextSection_ = npos;
    std::uint32_t bodyStart_ = 0;
    std::uint32_t bodyEnd_ = 0;
    std::uint32_t closingMarker_ = 0;
    std::uint32_t keyLineStart_ = 0;
    std::uint32_t valueStart_ = 0;
    std::uint32_t keyScanStop_ = 0;  // where a failed key scan ended

    bool stripComments_ = false;
    ValueList sectionList_;
    CharSet fieldDelimiters_{'\0', '\t', '\n', '\r', ' ', ','};
    mutable std::optional<std::uint32_t> visibleLength_;
};

}  // namespace vtome
