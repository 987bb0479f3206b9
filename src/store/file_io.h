#pragma once
// The store's file access: whole-file reads and data-safe whole-file writes.
// Failures carry their fixed texts ("File open failure", "File read error",
// "File write error", "Disk full error", "File close failure").

#include <cstdint>
#include <string>
#include <string_view>

namespace vtome {

// Largest piece handed to one write call.
constexpr std::size_t kWritePieceSize = 16384;

// True when something exists at path (a file, a folder, anything).
bool pathExists(const std::string& path);

// A regular file open for reading. Opening never blocks: a FIFO, a device
// or a folder is refused with "File open failure" before anything is read.
// Every failure names the file and the reason.
class InputFile {
public:
    // "File open failure" when it cannot be opened or is no regular file,
    // "File too large" past the 32-bit offsets.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The size when opened.
    std::uint32_t size() const { return size_; }
    // Exactly `count` bytes from the start; "File read error" when the file
    // has fewer by now or cannot be read.
    void readInto(char* dest, std::uint32_t count);

private:
    std::string path_;
    int fd_ = -1;
    std::uint32_t size_ = 0;
};

// Replaces the file at path with `bytes`, written in pieces of at most
// kWritePieceSize. The bytes go to a temporary file in the same folder, which
// is flushed to disk and then renamed over the target, so a crash or a full
// disk leaves either the old file or the new one, never a mixture. An existing
// target keeps its permissions; a symbolic link is written through to the
// file it names.
void writeFileSafely(const std::string& path, std::string_view bytes);

}  // namespace vtome
