// vtome-tool's store commands: one keyed-store operation each, on FILE.

#include <charconv>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "app/tool_command.h"
#include "runtime/counted_string.h"
#include "store/file_io.h"
#include "store/keyed_store.h"
#include "store/number_syntax.h"
#include "runtime/text_scan.h"

namespace vtome::tool {

namespace {

// Destination strings of the tool hold anything a store can hold.
constexpr std::size_t kUnlimited = TextBuffer::kMaxLength;

// A missing file reads as an empty store, as the viewer treats its settings.
std::unique_ptr<KeyedStore> openStore(const std::string& path) {
    return pathExists(path) ? KeyedStore::loadFromFile(path) : KeyedStore::newEmpty();
}

template <typename Number>
Number parseArgument(const std::string& text, int base = 10) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || stop != end) throw UsageError{};
    return value;
}

bool parseBoolArgument(const std::string& text) {
    if (text == "true") return true;
    if (text == "false") return false;
    throw UsageError{};
}

std::vector<unsigned char> parseHexArgument(const std::string& text) {
    if (text.size() % 2 != 0) throw UsageError{};
    std::vector<unsigned char> bytes;
    for (std::uint32_t pos = 0; pos < text.size(); pos += 2) {
        const int byte = scan::hexPair(text, pos);
        if (byte < 0) throw UsageError{};
        bytes.push_back(static_cast<unsigned char>(byte));
    }
    return bytes;
}

std::string readStandardInput() {
    std::string bytes;
    char piece[16384];
    std::size_t n;
    while ((n = std::fread(piece, 1, sizeof piece, stdin)) > 0) bytes.append(piece, n);
    return bytes;
}

void writeLine(std::string_view text) {
    writeOut(text);
    writeOut("\n");
}

// Runs an edit on FILE and saves it; an edit that reports false leaves the
// file unwritten.
template <typename Edit>
int editAndSave(const Arguments& args, Edit edit) {
    auto store = openStore(args[0]);
    if constexpr (std::is_same_v<decltype(edit(*store)), bool>) {
        if (!edit(*store)) return kFalse;
    } else {
        edit(*store);
    }
    store->saveToFile(args[0]);
    return kSuccess;
}

// --- reads

int get(const Arguments& a) {
    const auto value = openStore(a[0])->getString(a[1], a[2]);
    if (!value) return kFalse;
    writeLine(*value);
    return kSuccess;
}

int getInt(const Arguments& a) {
    writeLine(std::to_string(openStore(a[0])->getInt32(a[1], a[2])));
    return kSuccess;
}

int getUns(const Arguments& a) {
    writeLine(std::to_string(openStore(a[0])->getUns32(a[1], a[2])));
    return kSuccess;
}

int getHex(const Arguments& a) {
    writeLine(formatHex32(openStore(a[0])->getHex32(a[1], a[2])));
    return kSuccess;
}

int getBool(const Arguments& a) {
    writeLine(openStore(a[0])->getBool(a[1], a[2]) ? "true" : "false");
    return kSuccess;
}

int getBytes(const Arguments& a) {
    const auto count = parseArgument<std::uint32_t>(a[3]);
    std::vector<unsigned char> bytes(count);
    std::uint32_t stored = 0;
    if (!openStore(a[0])->getBytes(a[1], a[2], bytes.data(), count, &stored)) return kFalse;
    writeLine(formatHexBytes(bytes.data(), stored));
    return kSuccess;
}

int section(const Arguments& a) {
    const auto body = openStore(a[0])->getSectionText(a[1]);
    if (!body) return kFalse;
    writeOut(*body);
    return kSuccess;
}

int sectionBytes(const Arguments& a) {
    TextBuffer buffer;
    if (!openStore(a[0])->getSectionToBuffer(a[1], buffer)) return kFalse;
    writeOut(buffer.view());
    return kSuccess;
}

int sections(const Arguments& a) {
    auto store = openStore(a[0]);
    for (const SectionNameEntry* entry = store->firstSection(); entry != nullptr; entry = entry->nextName()) {
        writeLine(entry->name);
    }
    return kSuccess;
}

int lines(const Arguments& a) {
    writeLine(std::to_string(openStore(a[0])->lineCount(a[1])));
    return kSuccess;
}

int line(const Arguments& a) {
    CountedString text(kUnlimited);
    if (!openStore(a[0])->getLineInto(a[1], parseArgument<std::uint32_t>(a[2]), text)) return kFalse;
    writeLine(text.view());
    return kSuccess;
}

int findLine(const Arguments& a) {
    const std::int32_t index = openStore(a[0])->findLine(a[1], a[2]);
    if (index < 0) return kFalse;
    writeLine(std::to_string(index));
    return kSuccess;
}

// --- edits

int set(const Arguments& a) {
    return editAndSave(a, [&](KeyedStore& s) { s.setString(a[1], a[2], a[3]); });
}

int setInt(const Arguments& a) {
    const auto value = parseArgument<std::int32_t>(a[3]);
    return editAndSave(a, [&](KeyedStore& s) { s.setInt32(a[1], a[2], value); });
}

int setUns(const Arguments& a) {
    const auto value = parseArgument<std::uint32_t>(a[3]);
    return editAndSave(a, [&](KeyedStore& s) { s.setUns32(a[1], a[2], value); });
}

int setHex(const Arguments& a) {
    const auto value = parseArgument<std::uint32_t>(a[3], 16);
    return editAndSave(a, [&](KeyedStore& s) { s.setHex32(a[1], a[2], value); });
}

int setBool(const Arguments& a) {
    const bool flag = parseBoolArgument(a[3]);
    return editAndSave(a, [&](KeyedStore& s) { s.setBool(a[1], a[2], flag); });
}

int setBytes(const Arguments& a) {
    const auto bytes = parseHexArgument(a[3]);
    return editAndSave(a, [&](KeyedStore& s) {
        s.setBytes(a[1], a[2], bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    });
}

int setSection(const Arguments& a) {
    const std::string body = readStandardInput();
    return editAndSave(a, [&](KeyedStore& s) { s.setSectionText(a[1], body); });
}

int deleteKey(const Arguments& a) {
    return editAndSave(a, [&](KeyedStore& s) { return s.deleteKey(a[1], a[2]); });
}

int deleteSection(const Arguments& a) {
    return editAndSave(a, [&](KeyedStore& s) { s.deleteSection(a[1]); });
}

int deleteLine(const Arguments& a) {
    const auto index = parseArgument<std::uint32_t>(a[2]);
    return editAndSave(a, [&](KeyedStore& s) { return s.deleteLine(a[1], index); });
}

int insertLine(const Arguments& a) {
    const auto index = parseArgument<std::uint32_t>(a[2]);
    return editAndSave(a, [&](KeyedStore& s) { s.insertLine(a[1], index, a[3]); });
}

int replaceLine(const Arguments& a) {
    const auto index = parseArgument<std::uint32_t>(a[2]);
    return editAndSave(a, [&](KeyedStore& s) { s.replaceLine(a[1], index, a[3]); });
}

int renameKey(const Arguments& a) {
    return editAndSave(a, [&](KeyedStore& s) { return s.renameKey(a[1], a[2], a[3]); });
}

int renameSection(const Arguments& a) {
    return editAndSave(a, [&](KeyedStore& s) { return s.renameSection(a[1], a[2]); });
}

int copy(const Arguments& a) {
    openStore(a[0])->saveToFile(a[1]);
    return kSuccess;
}

constexpr ToolCommand kStoreCommands[] = {
    {"get", "FILE SECTION KEY", 3, get},
    {"set", "FILE SECTION KEY VALUE", 4, set},
    {"get-int", "FILE SECTION KEY", 3, getInt},
    {"get-uns", "FILE SECTION KEY", 3, getUns},
    {"get-hex", "FILE SECTION KEY", 3, getHex},
    {"get-bool", "FILE SECTION KEY", 3, getBool},
    {"set-int", "FILE SECTION KEY VALUE", 4, setInt},
    {"set-uns", "FILE SECTION KEY VALUE", 4, setUns},
    {"set-hex", "FILE SECTION KEY HEXVALUE", 4, setHex},
    {"set-bool", "FILE SECTION KEY true|false", 4, setBool},
    {"get-bytes", "FILE SECTION KEY COUNT", 4, getBytes},
    {"set-bytes", "FILE SECTION KEY HEX", 4, setBytes},
    {"section", "FILE SECTION", 2, section},
    {"section-bytes", "FILE SECTION", 2, sectionBytes},
    {"set-section", "FILE SECTION          (body from standard input)", 2, setSection},
    {"sections", "FILE", 1, sections},
    {"lines", "FILE SECTION", 2, lines},
    {"line", "FILE SECTION INDEX", 3, line},
    {"find-line", "FILE SECTION TEXT", 3, findLine},
    {"delete-key", "FILE SECTION KEY", 3, deleteKey},
    {"delete-section", "FILE SECTION", 2, deleteSection},
    {"delete-line", "FILE SECTION INDEX", 3, deleteLine},
    {"insert-line", "FILE SECTION INDEX TEXT", 4, insertLine},
    {"replace-line", "FILE SECTION INDEX TEXT", 4, replaceLine},
    {"rename-key", "FILE SECTION KEY NEWKEY", 4, renameKey},
    {"rename-section", "FILE SECTION NEWNAME", 3, renameSection},
    {"copy", "FILE OUT", 2, copy},
};

}  // namespace

std::span<const ToolCommand> storeCommands() { return kStoreCommands; }

}  // namespace vtome::tool
