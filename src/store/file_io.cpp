#include "store/file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/failure.h"
#include "store/text_buffer.h"

namespace vtome {

bool pathExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

InputFile::InputFile(const std::string& path) : path_(path) {
    // O_NONBLOCK: opening a FIFO for reading would wait for a writer.
    do {
        fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) failOnFile(FailureCode::FileOpenFailure, path, errno);
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        const int error = errno;
        ::close(fd_);
        failOnFile(FailureCode::FileReadError, path, error);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd_);
        if (S_ISDIR(info.st_mode)) failOnFile(FailureCode::FileOpenFailure, path, EISDIR);
        failOnFile(FailureCode::FileOpenFailure, path, "Not a regular file");
    }
    if (static_cast<unsigned long long>(info.st_size) > TextBuffer::kMaxLength) {
        ::close(fd_);
        failOnFile(FailureCode::FileTooLarge, path, EFBIG);
    }
    size_ = static_cast<std::uint32_t>(info.st_size);
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

void InputFile::readInto(char* dest, std::uint32_t count) {
    std::uint32_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd_, dest + done, count - done, done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failOnFile(FailureCode::FileReadError, path_, errno);
        // The file was cut short since it was opened.
        if (n == 0) failOnFile(FailureCode::FileReadError, path_, std::string(kFileBecameShorter));
        done += static_cast<std::uint32_t>(n);
    }
}

InputFile::Mapping InputFile::mapPrivately(std::uint32_t spare) {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t size = (std::size_t{size_} + spare + page - 1) / page * page;
    // Anonymous zero pages first, so the bytes after the file's end read as 0
    // even when the file ends at a page's edge; the file goes over the front.
    void* area = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) fail(FailureCode::MemoryAllocationFailure);
    const Mapping mapping{static_cast<char*>(area), size};
    if (size_ == 0) return mapping;
    // The pages come in as they are first read, several at a time; bringing
    // them all in here would cost as much, and a writable private mapping
    // would be brought in by copying every page.
    if (::mmap(area, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, fd_, 0) == MAP_FAILED) {
        ::munmap(area, size);
        return {};
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || static_cast<unsigned long long>(info.st_size) < size_) {
        ::munmap(area, size);
        failOnFile(FailureCode::FileReadError, path_, std::string(kFileBecameShorter));
    }
    return mapping;
}

}  // namespace vtome
