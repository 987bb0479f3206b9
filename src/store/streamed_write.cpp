#include "store/streamed_write.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "runtime/failure.h"

namespace vtome {

namespace {

// Small pieces are gathered to this size before they are written; larger
// ones go to the file as they come.
constexpr std::size_t kGatherSize = 256 * 1024;

// The file a path finally names, following symbolic links (dangling ones
// too), so that writing through a link replaces the file it points to.
std::string resolveLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
        if (n < 0) return current;
        std::string next(target, static_cast<std::size_t>(n));
        if (next.empty() || next[0] != '/') {
            const std::size_t slash = current.rfind('/');
            next = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + next;
        }
        current = next;
    }
    failOnFile(FailureCode::FileOpenFailure, path, ELOOP);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

[[noreturn]] void failWrite(const std::string& path, int error) {
    failOnFile(error == ENOSPC || error == EDQUOT ? FailureCode::DiskFullError : FailureCode::FileWriteError, path,
               error);
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// An open descriptor that the output goes to, gathered into large writes.
// Closes itself on every path out; the temporary file it may stand for is
// removed unless the replacement went through.
class Output {
public:
    Output(int fd, std::string target, std::string temporary)
        : fd_(fd), target_(std::move(target)), temporary_(std::move(temporary)) {
        gathered_.reserve(kGatherSize);
    }
    ~Output() {
        if (fd_ >= 0) ::close(fd_);
        if (!temporary_.empty()) ::unlink(temporary_.c_str());
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    int fd() const { return fd_; }

    void put(std::string_view bytes) {
        if (gathered_.size() + bytes.size() <= kGatherSize) {
            gathered_.insert(gathered_.end(), bytes.begin(), bytes.end());
            return;
        }
        flush();
        if (bytes.size() >= kGatherSize) {
            writeAll(bytes);
        } else {
            gathered_.insert(gathered_.end(), bytes.begin(), bytes.end());
        }
    }

    void flush() {
        writeAll({gathered_.data(), gathered_.size()});
        gathered_.clear();
    }

    // Ends the output: flushed, on disk when `durable`, closed, and for a
    // temporary file renamed over the target.
    void finish(bool durable) {
        flush();
        if (durable && ::fsync(fd_) != 0) failWrite(target_, errno);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) failOnFile(FailureCode::FileCloseFailure, target_, errno);
        if (temporary_.empty()) return;
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) failWrite(target_, errno);
        temporary_.clear();
        // Make the rename itself durable; a failure here loses nothing.
        const int folder = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }

private:
    void writeAll(std::string_view bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n < 0) {
                if (errno == EINTR) continue;
                failWrite(target_, errno);
            }
            // A write that takes nothing means there is no room left.
            if (n == 0) failWrite(target_, ENOSPC);
            done += static_cast<std::size_t>(n);
        }
    }

    int fd_;
    std::string target_;
    std::string temporary_;  // empty when writing into the target itself
    std::vector<char> gathered_;
};

}  // namespace

void writeFileStreamed(const std::string& path, const std::function<void(const ByteSink&)>& produce) {
    const std::string target = resolveLinks(path);

    struct stat existing {};
    const bool targetExists = ::stat(target.c_str(), &existing) == 0;
    if (targetExists && S_ISDIR(existing.st_mode)) failOnFile(FailureCode::FileOpenFailure, target, EISDIR);
    if (targetExists && ::access(target.c_str(), W_OK) != 0) failOnFile(FailureCode::FileOpenFailure, target, errno);
    if (targetExists && !S_ISREG(existing.st_mode)) {
        // A device or a pipe cannot be replaced by renaming: write into it.
        const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0) failOnFile(FailureCode::FileOpenFailure, target, errno);
        Output output(fd, target, {});
        produce([&output](std::string_view bytes) { output.put(bytes); });
        output.finish(false);
        return;
    }

    std::string pattern = folderOf(target) + "/." + nameOf(target) + ".XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) failOnFile(FailureCode::FileOpenFailure, target, errno);
    Output output(fd, target, pattern);
    if (::fchmod(fd, targetExists ? (existing.st_mode & 07777) : newFileMode()) != 0) {
        failOnFile(FailureCode::FileOpenFailure, target, errno);
    }
    produce([&output](std::string_view bytes) { output.put(bytes); });
    output.finish(true);
}

}  // namespace vtome
