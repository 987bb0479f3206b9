// The least any program that holds a whole document in memory pays: the
// file read into fresh memory in one block, then one pass over it (its line
// ends counted with memchr). vtome-tool search and export are measured
// against it to show how much of their time is this floor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) return 1;
    const auto size = static_cast<std::size_t>(st.st_size);
    const std::unique_ptr<char[]> bytes(new char[size + 1]);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, bytes.get() + got, size - got);
        if (n <= 0) return 1;
        got += static_cast<std::size_t>(n);
    }
    std::size_t lines = 0;
    const char* end = bytes.get() + size;
    for (const char* p = bytes.get(); (p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr; ++p) {
        ++lines;
    }
    std::printf("%zu\n", lines);
    return 0;
}
