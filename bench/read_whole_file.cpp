// The least a program that reads a whole document the way vtome-tool does
// pays: the file's pages mapped in (copy-on-write, brought in at once), then
// one pass over them (their line ends counted with memchr). vtome-tool
// search and export are measured against it to show how much of their time
// is this floor.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) return 1;
    const auto size = static_cast<std::size_t>(st.st_size);
    void* block = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (block == MAP_FAILED) return 1;
    const auto* const bytes = static_cast<const char*>(block);
    std::size_t lines = 0;
    const char* end = bytes + size;
    for (const char* p = bytes; (p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr; ++p) {
        ++lines;
    }
    std::printf("%zu\n", lines);
    return 0;
}
