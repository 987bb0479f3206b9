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

// The size of the regular file at path. "File open failure" when it cannot be
// opened (a folder included), "File too large" past the 32-bit offsets.
std::uint32_t fileSize(const std::string& path);

// Reads exactly `size` bytes of the file at path into dest.
void readFileInto(const std::string& path, char* dest, std::uint32_t size);

// Replaces the file at path with `bytes`, written in pieces of at most
// kWritePieceSize. The bytes go to a temporary file in the same folder, which
// is flushed to disk and then renamed over the target, so a crash or a full
// disk leaves either the old file or the new one, never a mixture. An existing
// target keeps its permissions; a symbolic link is written through to the
// file it names.
void writeFileSafely(const std::string& path, std::string_view bytes);

}  // namespace vtome
