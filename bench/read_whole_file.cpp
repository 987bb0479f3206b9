// The least any program that holds a whole document in memory pays: the
// file read into fresh memory in one block (huge pages asked for, as the
// store does), then one pass over it (its line ends counted with memchr). vtome-tool search and export are measured
// against it to show how much of their time is this floor.
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
    void* block = ::mmap(nullptr, size + 1, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return 1;
    auto* const bytes = static_cast<char*>(block);
#ifdef MADV_HUGEPAGE
    ::madvise(block, size + 1, MADV_HUGEPAGE);
#endif
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, bytes + got, size - got);
        if (n <= 0) return 1;
        got += static_cast<std::size_t>(n);
    }
    std::size_t lines = 0;
    const char* end = bytes + size;
    for (const char* p = bytes; (p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr; ++p) {
        ++lines;
    }
    std::printf("%zu\n", lines);
    return 0;
}
