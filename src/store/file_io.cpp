#include "store/file_io.h"

#include <cerrno>
#include <fcntl.h>
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
        if (n == 0) failOnFile(FailureCode::FileReadError, path_, "The file became shorter while it was read");
        done += static_cast<std::uint32_t>(n);
    }
}

}  // namespace vtome
