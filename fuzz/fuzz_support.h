#pragma once
// What every fuzz target shares: reading its input as a little script of
// choices, loading bytes through the store's real file path, and the one
// way a broken invariant is reported (a message and abort(), so that the
// fuzzer keeps the input that caused it).
//
// A RuntimeFailure is an outcome the code may legitimately give for hostile
// input ("String Overflow", "Value out of range", ...); the targets catch it
// and go on. A crash, a sanitizer report or a failed check is a finding.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

#include "runtime/failure.h"
#include "store/keyed_store.h"

namespace vtome::fuzz {

[[noreturn]] inline void broken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::vtome::fuzz::broken(#condition, __FILE__, __LINE__))

// With VTOME_FUZZ_TRACE set, a target prints what it does, for reading a
// finding: `VTOME_FUZZ_TRACE=1 build/fuzz/bin/TARGET crash-file`.
inline bool tracing() {
    static const bool on = std::getenv("VTOME_FUZZ_TRACE") != nullptr;
    return on;
}

inline std::string shown(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n\n";
        } else if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) >= 127) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

// The input read front to back. Past its end every read gives zeros or
// empty texts, so any input is a complete script.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // A number below `limit` (which must not be 0).
    std::uint32_t below(std::uint32_t limit) {
        std::uint32_t value = byte();
        if (limit > 256) value = value << 8 | byte();
        return value % limit;
    }
    bool flag() { return (byte() & 1) != 0; }
    // Up to `maxLength` bytes, the length taken from the input first.
    std::string_view bytes(std::size_t maxLength) {
        const std::size_t wanted = below(static_cast<std::uint32_t>(maxLength + 1));
        const std::size_t n = std::min(wanted, size_ - std::min(pos_, size_));
        const std::string_view piece(reinterpret_cast<const char*>(data_) + std::min(pos_, size_), n);
        pos_ += n;
        return piece;
    }
    std::string_view rest() {
        const std::size_t at = std::min(pos_, size_);
        pos_ = size_;
        return {reinterpret_cast<const char*>(data_) + at, size_ - at};
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// An input made of a script and a file: the first byte is the script's
// length, the script follows, and the rest is the file's bytes.
struct ScriptAndFile {
    std::string_view script;
    std::string_view file;
};

inline ScriptAndFile splitInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return {};
    const std::size_t scriptLength = std::min<std::size_t>(data[0], size - 1);
    const char* bytes = reinterpret_cast<const char*>(data);
    return {{bytes + 1, scriptLength}, {bytes + 1 + scriptLength, size - 1 - scriptLength}};
}

// A store loaded from `bytes` the way the viewer loads a file: through a
// path and the store's own reader. The file is an unnamed in-memory file
// made once per process and refilled for every input.
inline std::unique_ptr<KeyedStore> loadStore(std::string_view bytes) {
    static const int fd = ::memfd_create("vtome-fuzz", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    std::unique_ptr<KeyedStore> store = KeyedStore::loadFromFile(path);
    // Loading keeps every byte.
    FUZZ_CHECK(store->text() == bytes);
    return store;
}

// The part of a text that lookups and edits see: up to its first byte 0.
inline std::string_view visiblePart(std::string_view text) {
    const std::size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

}  // namespace vtome::fuzz
