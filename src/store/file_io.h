#pragma once
// The store's file access: whole-file reads and data-safe whole-file writes.
// Failures carry their fixed texts ("File open failure", "File read error",
// "File write error", "Disk full error", "File close failure").

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vtome {

// The reason given when a file is cut short by another program while it is read.
constexpr std::string_view kFileBecameShorter = "The file became shorter while it was read";

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
    // The whole file mapped copy-on-write (writes change only this process's
    // pages) and followed by at least `spare` bytes 0; unmap the result's
    // `size` bytes at `block` when done. No byte is copied or cleared, which
    // makes a read of a large file several times faster; in exchange, a
    // read of a page the file no longer has, after another program cut it
    // short, raises SIGBUS. Only a process that handles that signal for the
    // block (see vtome-tool) and does not write the file itself may use it.
    // A file system that cannot map files gives an empty mapping (no block):
    // read the file instead.
    struct Mapping {
        char* block = nullptr;
        std::size_t size = 0;
    };
    Mapping mapPrivately(std::uint32_t spare);

private:
    std::string path_;
    int fd_ = -1;
    std::uint32_t size_ = 0;
};

// Replaces the file at path with `bytes`, written in pieces of at most
// kWritePieceSize, so that a crash, a kill or a full disk leaves the old
// file or the new one, never a mixture, and nothing else beside it:
// - The bytes go to a temporary file in the same folder (unnamed while it
//   is written, where the file system allows it), which is flushed to disk
//   and then renamed over the target, keeping its owner, group, mode and
//   extended attributes. A temporary left by a killed save is removed by
//   the next save of the same file.
// - A file the replacement would change otherwise (other hard links, an
//   owner or group the saver cannot give, a folder the saver may not create
//   files in) is written in place, after reserving the room; a failure
//   half-way puts the old bytes back.
// - A symbolic link is written through only when it is the saver's own or
//   root's (and the kernel would follow it too), and only to an existing
//   regular file; anything else is "File open failure", nothing changed.
// - A target that is no regular file (a folder, a FIFO, a device) is
//   refused with "File open failure" before it is opened.
// Failures name the file and the reason: "File open failure", "File write
// error", "Disk full error", "File close failure".
void writeFileSafely(const std::string& path, std::string_view bytes);

// Receives the bytes of a streamed save in order, one piece per call.
using ByteSink = std::function<void(std::string_view)>;

// writeFileSafely for bytes produced piece by piece, so that they are never
// held in memory whole: `produce` hands them to the sink it is given, in
// order. It is called again when the save has to start over (a file system
// without unnamed temporaries) and must give the same bytes each time; a
// file that must be written in place gathers them first. A failure thrown
// by `produce` leaves the target as it was, as any failure does.
void writeFileStreamed(const std::string& path, const std::function<void(const ByteSink&)>& produce);

// Whether `name`, in the folder of a file named `targetName`, is a
// temporary file of a save of that file.
bool isSaveTemporaryName(const std::string& name, const std::string& targetName);

}  // namespace vtome
