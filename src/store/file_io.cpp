#include "store/file_io.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/failure.h"
#include "store/text_buffer.h"

namespace vtome {

namespace {

// Closes a descriptor on every path out of a function.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded.
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// The file a path finally names, following symbolic links (also dangling
// ones), so that saving through a link replaces the file it points to.
std::string resolveLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        char target[PATH_MAX];
        ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
        if (n < 0) return current;
        std::string next(target, static_cast<std::size_t>(n));
        if (next.empty() || next[0] != '/') {
            std::size_t slash = current.rfind('/');
            next = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + next;
        }
        current = next;
    }
    failOnFile(FailureCode::FileOpenFailure, path, ELOOP);
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

[[noreturn]] void failWrite(const std::string& path, int error) {
    failOnFile(error == ENOSPC || error == EDQUOT ? FailureCode::DiskFullError : FailureCode::FileWriteError, path,
               error);
}

void writeAll(int fd, const std::string& path, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t piece = std::min(kWritePieceSize, bytes.size() - done);
        ssize_t n = ::write(fd, bytes.data() + done, piece);
        if (n < 0) {
            if (errno == EINTR) continue;
            failWrite(path, errno);
        }
        // A write that takes nothing means there is no room left.
        if (n == 0) failWrite(path, ENOSPC);
        done += static_cast<std::size_t>(n);
    }
}

void writeInPlace(const std::string& path, std::string_view bytes) {
    int rawFd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (rawFd < 0) failOnFile(FailureCode::FileOpenFailure, path, errno);
    FileDescriptor fd(rawFd);
    writeAll(fd.get(), path, bytes);
    if (!fd.close()) failOnFile(FailureCode::FileCloseFailure, path, errno);
}

// Removes the temporary file unless the save went through.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!kept_) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }
    void keep() { kept_ = true; }

private:
    std::string path_;
    bool kept_ = false;
};

mode_t newFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

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

void writeFileSafely(const std::string& path, std::string_view bytes) {
    const std::string target = resolveLinks(path);

    struct stat existing {};
    const bool targetExists = ::stat(target.c_str(), &existing) == 0;
    if (targetExists && S_ISDIR(existing.st_mode)) failOnFile(FailureCode::FileOpenFailure, target, EISDIR);
    if (targetExists && ::access(target.c_str(), W_OK) != 0) failOnFile(FailureCode::FileOpenFailure, target, errno);
    if (targetExists && !S_ISREG(existing.st_mode)) {
        // A device or a pipe cannot be replaced by renaming: write into it.
        writeInPlace(target, bytes);
        return;
    }

    std::string pattern = folderOf(target) + "/." + nameOf(target) + ".XXXXXX";
    int rawFd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (rawFd < 0) failOnFile(FailureCode::FileOpenFailure, target, errno);
    FileDescriptor fd(rawFd);
    TemporaryFile temporary(pattern);

    if (::fchmod(fd.get(), targetExists ? (existing.st_mode & 07777) : newFileMode()) != 0) {
        failOnFile(FailureCode::FileOpenFailure, target, errno);
    }
    writeAll(fd.get(), target, bytes);
    if (::fsync(fd.get()) != 0) failWrite(target, errno);
    if (!fd.close()) failOnFile(FailureCode::FileCloseFailure, target, errno);
    if (::rename(temporary.path().c_str(), target.c_str()) != 0) failWrite(target, errno);
    temporary.keep();

    // Make the rename itself durable; a failure here loses nothing.
    int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

}  // namespace vtome
