#pragma once
// What tells a file on disk apart from the one read before: its identity,
// size and time of change. A file replaced by a rename is another file even
// when size and time agree.

#include <cstdint>
#include <string>

namespace vtome::shell {

struct FileState {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;

    bool operator==(const FileState&) const = default;
};

// The state of the file at path now (following links); a path that names
// nothing, or nothing that can be looked at, does not exist.
FileState fileStateOf(const std::string& path);

}  // namespace vtome::shell
