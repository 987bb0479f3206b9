// writeFileSafely: how every file vTome writes (user data, settings, the
// text export, vtome-tool's edits) reaches the disk.
//
// The usual way is a replacement: the new bytes go to a temporary file in
// the target's folder, are flushed, and the temporary takes the target's
// name in one rename, so a crash, a kill or a full disk leaves the old file
// or the new one. Where the file system allows it the temporary has no name
// while it is written (O_TMPFILE), so a killed save leaves nothing behind; it
// gets a name only for the instant between linking it and renaming it over
// the target (linkat cannot replace a name). Named temporaries are
// recognisable (".NAME.vtome-save.HOST.PID.RANDOM") and the next save of the
// same file removes those whose process has ended.
//
// A file that a replacement would change in other ways is written in place
// instead (see writeInPlace): one with other hard links, one whose owner,
// group, mode or extended attributes (ACLs) the new file could not be given,
// and one in a folder the saver may not create files in.
//
// The target is found without trusting links someone else made (see
// resolveTarget), and anything but a regular file is refused before it is
// opened, so a FIFO never blocks a save.
//
// A streamed save (writeFileStreamed, the text export) goes the same way,
// its pieces written to the temporary as they come.

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <functional>
#include <optional>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "runtime/failure.h"
#include "store/file_io.h"

namespace vtome {

namespace {

constexpr std::string_view kTemporaryMark = ".vtome-save.";
// Longest part of the target's name a temporary's name repeats, so that the
// temporary's name stays within the 255 bytes a name may have.
constexpr std::size_t kNameInTemporary = 100;
constexpr int kMostLinks = 40;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 || errno == EINTR;
    }

private:
    int fd_;
};

[[noreturn]] void failWrite(const std::string& path, int error) {
    failOnFile(error == ENOSPC || error == EDQUOT ? FailureCode::DiskFullError : FailureCode::FileWriteError, path,
               error);
}

// The replacement cannot keep what the file has: write it in place.
struct WriteInPlaceInstead {};

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

// --- finding the file to write

// The file a save replaces: its folder (open, so that every later step
// works on that folder even if a path on the way changes) and its name.
struct Target {
    std::string path;  // for messages: the path given, or where its links led
    FileDescriptor folder;
    bool folderReadable = false;  // fsync and the scan for old temporaries need it
    std::string name;
    bool exists = false;
    struct stat info {};
};

// The folder, or -1 with errno set.
FileDescriptor openFolder(const std::string& folder, bool& readable) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    readable = fd >= 0;
    // A folder one may write and search but not list.
    if (fd < 0 && errno == EACCES) fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return FileDescriptor(fd);
}

[[noreturn]] void failDangling(const std::string& path, const std::string& end) {
    failOnFile(FailureCode::FileOpenFailure, path, "The symbolic link leads to " + end + ", which does not exist");
}

// Whether a save may follow this symbolic link, which sits in a folder
// described by `folder`. The kernel refuses links in a sticky folder that
// everybody may write to (/tmp) unless the link is the follower's or the
// folder owner's; a save is stricter, since a link it follows decides which
// of the saver's files receives the text: it follows only the saver's own
// links and the system's (root's), in any folder the kernel allows.
bool mayFollow(const struct stat& link, const struct stat& folder) {
    const uid_t me = ::geteuid();
    const bool stickyShared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    if (stickyShared && link.st_uid != me && link.st_uid != folder.st_uid) return false;
    return link.st_uid == me || link.st_uid == 0;
}

// Follows the path's last part through symbolic links to the regular file
// they name. Each link of a chain must pass mayFollow in its own folder; a
// relative link is read from the link's folder; more than 40 links fail as
// a loop. The chain must end at an existing regular file: a dangling link
// never creates its target. A path with no file at the end (and no link)
// names a new file. Links among the folders on the way are the kernel's to
// follow, under its own rules.
Target resolveTarget(const std::string& path) {
    std::string current = path;
    for (int links = 0; links <= kMostLinks; ++links) {
        Target target;
        target.path = current;
        target.name = nameOf(current);
        if (target.name.empty() || target.name == "." || target.name == "..") {
            failOnFile(FailureCode::FileOpenFailure, current, EISDIR);
        }
        target.folder = openFolder(folderOf(current), target.folderReadable);
        if (!target.folder.valid()) {
            if (links > 0 && (errno == ENOENT || errno == ENOTDIR)) failDangling(path, current);
            failOnFile(FailureCode::FileOpenFailure, current, errno);
        }

        struct stat info {};
        if (::fstatat(target.folder.get(), target.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) failOnFile(FailureCode::FileOpenFailure, current, errno);
            if (links > 0) failDangling(path, current);
            return target;
        }
        if (S_ISLNK(info.st_mode)) {
            struct stat folderInfo {};
            if (::fstat(target.folder.get(), &folderInfo) != 0) failOnFile(FailureCode::FileOpenFailure, current, errno);
            if (!mayFollow(info, folderInfo)) {
                failOnFile(FailureCode::FileOpenFailure, current,
                           "The symbolic link was made by another user; vTome does not write through it");
            }
            char text[PATH_MAX];
            const ssize_t n = ::readlinkat(target.folder.get(), target.name.c_str(), text, sizeof text);
            if (n < 0) failOnFile(FailureCode::FileOpenFailure, current, errno);
            if (n == 0 || static_cast<std::size_t>(n) >= sizeof text) {
                failOnFile(FailureCode::FileOpenFailure, current, ENAMETOOLONG);
            }
            std::string next(text, static_cast<std::size_t>(n));
            if (next[0] != '/') next = folderOf(current) + "/" + next;
            current = next;
            continue;
        }
        if (S_ISDIR(info.st_mode)) failOnFile(FailureCode::FileOpenFailure, current, EISDIR);
        if (!S_ISREG(info.st_mode)) failOnFile(FailureCode::FileOpenFailure, current, "Not a regular file");
        target.exists = true;
        target.info = info;
        return target;
    }
    failOnFile(FailureCode::FileOpenFailure, path, ELOOP);
}

// The existing file, open for writing (and reading, where allowed, so that
// an in-place write can put the old bytes back). Opening never follows a
// link and never blocks, and it must still be the file resolveTarget found.
FileDescriptor openExisting(const Target& target, bool& readable) {
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::openat(target.folder.get(), target.name.c_str(), O_RDWR | flags);
    readable = fd >= 0;
    if (fd < 0 && errno == EACCES) fd = ::openat(target.folder.get(), target.name.c_str(), O_WRONLY | flags);
    if (fd < 0) failOnFile(FailureCode::FileOpenFailure, target.path, errno);
    FileDescriptor file(fd);
    struct stat now {};
    if (::fstat(file.get(), &now) != 0) failOnFile(FailureCode::FileOpenFailure, target.path, errno);
    if (!S_ISREG(now.st_mode) || now.st_dev != target.info.st_dev || now.st_ino != target.info.st_ino) {
        failOnFile(FailureCode::FileOpenFailure, target.path, "The file was replaced while it was being saved");
    }
    return file;
}

// --- temporary files

std::string hostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "host";
    std::string host(name);
    std::replace(host.begin(), host.end(), '/', '_');
    return host;
}

// ".NAME.vtome-save.HOST." : what every temporary of a save of NAME on this
// machine starts with. The host keeps a save on another machine sharing the
// folder safe from this machine's check of process ids.
std::string temporaryPrefix(const std::string& targetName) {
    std::string prefix = ".";
    prefix.append(targetName.substr(0, kNameInTemporary)).append(kTemporaryMark).append(hostName()).append(".");
    return prefix;
}

std::string newTemporaryName(const std::string& targetName) {
    static std::uint64_t counter = 0;
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::uint64_t mix = now ^ (++counter * 0x9E3779B97F4A7C15ull) ^ (static_cast<std::uint64_t>(::getpid()) << 32);
    mix ^= mix >> 29;
    mix *= 0xBF58476D1CE4E5B9ull;
    mix ^= mix >> 32;
    char random[12];
    std::snprintf(random, sizeof random, "%08x", static_cast<unsigned>(mix));
    return temporaryPrefix(targetName) + std::to_string(::getpid()) + "." + random;
}

// The process id in a temporary's name after the prefix, or 0.
pid_t processOfTemporary(std::string_view rest) {
    const std::size_t dot = rest.find('.');
    if (dot == 0 || dot == std::string_view::npos || dot > 10 || rest.size() - dot - 1 != 8) return 0;
    long long pid = 0;
    for (char c : rest.substr(0, dot)) {
        if (c < '0' || c > '9') return 0;
        pid = pid * 10 + (c - '0');
    }
    for (char c : rest.substr(dot + 1)) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return 0;
    }
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

bool processRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// Removes what earlier saves of this file on this machine left behind when
// their process was killed. A temporary of a process that still runs is
// another save at work and stays. Nothing here can fail the save.
void removeLeftTemporaries(const Target& target) {
    if (!target.folderReadable) return;
    const int listing = ::openat(target.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* folder = ::fdopendir(listing);
    if (folder == nullptr) {
        ::close(listing);
        return;
    }
    const std::string prefix = temporaryPrefix(target.name);
    std::vector<std::string> left;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name(entry->d_name);
        if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) continue;
        const pid_t pid = processOfTemporary(name.substr(prefix.size()));
        if (pid != 0 && pid != ::getpid() && !processRuns(pid)) left.emplace_back(name);
    }
    ::closedir(folder);
    for (const std::string& name : left) {
        struct stat info {};
        if (::fstatat(target.folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)) {
            ::unlinkat(target.folder.get(), name.c_str(), 0);
        }
    }
}

// A temporary file in the target's folder: unnamed while it is written
// where the file system allows that, otherwise under a recognisable name.
// Its name, once it has one, is removed unless the save went through.
class Temporary {
public:
    explicit Temporary(const Target& target) : target_(target) {}
    ~Temporary() {
        if (!name_.empty() && !kept_) ::unlinkat(target_.folder.get(), name_.c_str(), 0);
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    // Creates it; a folder the saver may not create files in makes the
    // save an in-place write when the file itself exists.
    void create(bool mayBeUnnamed) {
        int fd = -1;
        if (mayBeUnnamed) {
            fd = ::openat(target_.folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
            if (fd < 0 && !unnamedUnsupported(errno)) refused(errno);
        }
        for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
            std::string name = newTemporaryName(target_.name);
            fd = ::openat(target_.folder.get(), name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC,
                          0600);
            if (fd >= 0) name_ = std::move(name);
            if (fd < 0 && errno != EEXIST) refused(errno);
        }
        if (fd < 0) failOnFile(FailureCode::FileOpenFailure, target_.path, EEXIST);
        fd_ = FileDescriptor(fd);
    }

    int fd() const { return fd_.get(); }
    bool unnamed() const { return name_.empty(); }

    enum class Linked { Done, Unsupported, NameTaken };
    // Gives the unnamed file the name `name`. Unsupported when the system
    // turns out not to allow it; then nothing was written under any name.
    Linked link(const std::string& name) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
        int result = ::linkat(AT_FDCWD, self.c_str(), target_.folder.get(), name.c_str(), AT_SYMLINK_FOLLOW);
        // Without /proc, only a saver allowed to link by descriptor can.
        if (result != 0 && errno == ENOENT) {
            result = ::linkat(fd_.get(), "", target_.folder.get(), name.c_str(), AT_EMPTY_PATH);
            if (result != 0 && (errno == ENOENT || errno == EPERM)) return Linked::Unsupported;
        }
        if (result != 0 && errno == EEXIST) return Linked::NameTaken;
        if (result != 0) failWrite(target_.path, errno);
        // Under the target's own name too, it is removed unless the save
        // goes through: the name was free a moment ago.
        name_ = name;
        return Linked::Done;
    }

    void close() {
        if (!fd_.close()) failOnFile(FailureCode::FileCloseFailure, target_.path, errno);
    }
    void keep() { kept_ = true; }
    // The named temporary takes the target's name.
    void renameOverTarget() {
        if (::renameat(target_.folder.get(), name_.c_str(), target_.folder.get(), target_.name.c_str()) != 0) {
            failWrite(target_.path, errno);
        }
        kept_ = true;
    }

private:
    static bool unnamedUnsupported(int error) {
        return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOENT;
    }
    [[noreturn]] void refused(int error) {
        if (target_.exists && (error == EACCES || error == EPERM)) throw WriteInPlaceInstead{};
        failOnFile(FailureCode::FileOpenFailure, target_.path, error);
    }

    const Target& target_;
    FileDescriptor fd_;
    std::string name_;
    bool kept_ = false;
};

// --- writing

void writeAll(int fd, const std::string& path, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t piece = std::min(kWritePieceSize, bytes.size() - done);
        const ssize_t n = ::write(fd, bytes.data() + done, piece);
        if (n < 0) {
            if (errno == EINTR) continue;
            failWrite(path, errno);
        }
        // A write that takes nothing means there is no room left.
        if (n == 0) failWrite(path, ENOSPC);
        done += static_cast<std::size_t>(n);
    }
}

void writeAllAt(int fd, const std::string& path, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t piece = std::min(kWritePieceSize, bytes.size() - done);
        const ssize_t n = ::pwrite(fd, bytes.data() + done, piece, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            failWrite(path, errno);
        }
        if (n == 0) failWrite(path, ENOSPC);
        done += static_cast<std::size_t>(n);
    }
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::vector<std::string> attributeNames(int fd) {
    std::vector<std::string> names;
    const ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size <= 0) return names;
    std::string list(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::flistxattr(fd, list.data(), list.size());
    if (got < 0) throw WriteInPlaceInstead{};
    for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
        const std::size_t end = list.find('\0', at);
        names.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

std::optional<std::string> attribute(int fd, const std::string& name) {
    const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
    if (size < 0) return std::nullopt;
    std::string value(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
    if (got < 0) return std::nullopt;
    value.resize(static_cast<std::size_t>(got));
    return value;
}

// The new file gets exactly the extended attributes (ACLs among them) of the
// old one; where it cannot, the save is done in place.
void copyAttributes(int from, int to) {
    const std::vector<std::string> wanted = attributeNames(from);
    for (const std::string& name : attributeNames(to)) {
        if (std::find(wanted.begin(), wanted.end(), name) == wanted.end() && ::fremovexattr(to, name.c_str()) != 0) {
            throw WriteInPlaceInstead{};
        }
    }
    for (const std::string& name : wanted) {
        const std::optional<std::string> value = attribute(from, name);
        if (!value) throw WriteInPlaceInstead{};
        if (attribute(to, name) == value) continue;
        if (::fsetxattr(to, name.c_str(), value->data(), value->size(), 0) != 0) throw WriteInPlaceInstead{};
    }
}

// Gives the temporary the owner, group, mode and attributes of the file it
// replaces (or, for a new file, the mode the umask allows).
void matchExisting(const Target& target, int existing, int temporary) {
    if (!target.exists) {
        if (::fchmod(temporary, newFileMode()) != 0) failOnFile(FailureCode::FileOpenFailure, target.path, errno);
        return;
    }
    struct stat made {};
    if (::fstat(temporary, &made) != 0) failOnFile(FailureCode::FileOpenFailure, target.path, errno);
    if (made.st_uid != target.info.st_uid || made.st_gid != target.info.st_gid) {
        // Only root gives a file away; others may choose among their groups.
        if (::fchown(temporary, target.info.st_uid, target.info.st_gid) != 0) {
            if (errno == EPERM || errno == EINVAL) throw WriteInPlaceInstead{};
            failOnFile(FailureCode::FileOpenFailure, target.path, errno);
        }
    }
    // After the owner: a change of owner clears the set-id bits.
    const mode_t mode = target.info.st_mode & 07777;
    if (::fchmod(temporary, mode) != 0) failOnFile(FailureCode::FileOpenFailure, target.path, errno);
    if (::fstat(temporary, &made) != 0) failOnFile(FailureCode::FileOpenFailure, target.path, errno);
    if ((made.st_mode & 07777) != mode) throw WriteInPlaceInstead{};
    copyAttributes(existing, temporary);
}

// Hands the bytes of a save to the file descriptor given: all at once, or
// as a streamed save produces them. Called again when a save starts over.
using ByteWriter = std::function<void(int fd)>;

void replaceByRename(const Target& target, int existing, const ByteWriter& write, bool mayBeUnnamed) {
    Temporary temporary(target);
    temporary.create(mayBeUnnamed);
    matchExisting(target, existing, temporary.fd());
    write(temporary.fd());
    if (::fsync(temporary.fd()) != 0) failWrite(target.path, errno);

    if (temporary.unnamed()) {
        // A new file takes its name in one step (unless one appeared in the
        // meantime); an existing one is replaced from a name of its own.
        using Linked = Temporary::Linked;
        Linked linked = target.exists ? Linked::NameTaken : temporary.link(target.name);
        const bool underTargetName = linked == Linked::Done;
        for (int attempt = 0; linked == Linked::NameTaken && attempt < 16; ++attempt) {
            linked = temporary.link(newTemporaryName(target.name));
        }
        if (linked == Linked::NameTaken) failWrite(target.path, EEXIST);
        if (linked == Linked::Unsupported) {
            // No way to name an unnamed file here: write a named one.
            replaceByRename(target, existing, write, false);
            return;
        }
        temporary.close();
        if (underTargetName) {
            temporary.keep();
        } else {
            temporary.renameOverTarget();
        }
    } else {
        temporary.close();
        temporary.renameOverTarget();
    }
}

// Room for `size` bytes in the file, before any of its bytes change: a
// full disk must stop an in-place write before it starts.
void reserveRoom(int fd, const std::string& path, off_t oldSize, std::size_t size) {
    if (static_cast<off_t>(size) <= oldSize) return;
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) return;
    if (errno != EOPNOTSUPP && errno != ENOSYS) failWrite(path, errno);
    // A file system that cannot reserve: at least the free space must do,
    // with a block to spare for the file's own bookkeeping.
    struct statvfs space {};
    if (::fstatvfs(fd, &space) != 0) return;
    const unsigned long long free = static_cast<unsigned long long>(space.f_bavail) * space.f_frsize;
    const unsigned long long needed = static_cast<unsigned long long>(size - static_cast<std::size_t>(oldSize)) +
                                      space.f_frsize;
    if (free < needed) failWrite(path, ENOSPC);
}

// Writes the new bytes over the old ones in the same file, keeping its
// owner, group, mode, attributes and every hard link.
//
// Not atomic, and this is its price: the room is reserved first, so a full
// disk stops it before the file changes, and the old bytes are read first,
// so that a write, truncate or flush that fails half-way puts them back
// (when that too fails, the file holds a mixture and the failure says so
// through its own message). A save killed during the write, or a crash of
// the system before the flush, leaves the new bytes up to some point and the
// old ones after it. That is why only files a replacement would break are
// written this way.
void writeInPlace(const Target& target, int fd, bool readable, std::string_view bytes) {
    const off_t oldSize = target.info.st_size;
    std::string old;
    if (readable) {
        old.resize(static_cast<std::size_t>(oldSize));
        std::size_t done = 0;
        while (done < old.size()) {
            const ssize_t n = ::pread(fd, old.data() + done, old.size() - done, static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) failOnFile(FailureCode::FileReadError, target.path, errno);
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
        }
        old.resize(done);
    }
    reserveRoom(fd, target.path, oldSize, bytes.size());
    try {
        writeAllAt(fd, target.path, bytes);
        if (static_cast<off_t>(bytes.size()) < oldSize && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
            failWrite(target.path, errno);
        }
        if (::fsync(fd) != 0) failWrite(target.path, errno);
    } catch (const RuntimeFailure&) {
        if (readable) {
            try {
                writeAllAt(fd, target.path, old);
            } catch (const RuntimeFailure&) {
            }
            if (::ftruncate(fd, static_cast<off_t>(old.size())) == 0) ::fsync(fd);
        }
        throw;
    }
}

// Whether a replacement would split the file from its other names.
bool mustWriteInPlace(const Target& target) { return target.exists && target.info.st_nlink > 1; }

}  // namespace

bool isSaveTemporaryName(const std::string& name, const std::string& targetName) {
    const std::string start = "." + targetName.substr(0, kNameInTemporary) + std::string(kTemporaryMark);
    return name.size() > start.size() && name.compare(0, start.size(), start) == 0;
}

namespace {

// A save whose bytes `write` hands over, and `whole` gives all at once for
// the rare save that must be written in place.
void save(const std::string& path, const ByteWriter& write, const std::function<std::string()>& whole) {
    const Target target = resolveTarget(path);
    removeLeftTemporaries(target);

    bool readable = false;
    FileDescriptor existing;
    if (target.exists) existing = openExisting(target, readable);

    bool inPlace = mustWriteInPlace(target);
    if (!inPlace) {
        try {
            replaceByRename(target, existing.get(), write, true);
        } catch (const WriteInPlaceInstead&) {
            inPlace = true;
        }
    }
    if (inPlace) {
        // Flushed by now: closing the file can no longer lose anything.
        writeInPlace(target, existing.get(), readable, whole());
    }

    // Make the rename itself durable; a failure here loses nothing.
    if (target.folderReadable) ::fsync(target.folder.get());
}

// Small pieces are gathered to this size before they are written, in
// pieces of at most kWritePieceSize as every save writes.
constexpr std::size_t kGatherSize = 256 * 1024;

// A long streamed save hands each stretch of this size to the disk as soon as
// it is written, so the flush before the rename waits for the last stretch
// only, not for the whole file, and the disk works while the rest is made.
constexpr off_t kWritebackStretch = 8 << 20;

// Starts writing [from, to) of fd to the disk without waiting for it. Only a
// head start: the flush that follows is what makes the bytes durable and
// reports any failure, so a file system that refuses the hint loses nothing.
void startWriteback(int fd, off_t from, off_t to) {
    ::sync_file_range(fd, from, to - from, SYNC_FILE_RANGE_WRITE);
}

}  // namespace

void writeFileSafely(const std::string& path, std::string_view bytes) {
    const ByteWriter write = [&](int fd) { writeAll(fd, path, bytes); };
    save(path, write, [&] { return std::string(bytes); });
}

void writeFileStreamed(const std::string& path, const std::function<void(const ByteSink&)>& produce) {
    const ByteWriter write = [&](int fd) {
        std::string gathered;
        gathered.reserve(kGatherSize);
        off_t written = 0;
        off_t handedOver = 0;
        const auto writeOut = [&](std::string_view bytes) {
            writeAll(fd, path, bytes);
            written += static_cast<off_t>(bytes.size());
            if (written - handedOver >= kWritebackStretch) {
                startWriteback(fd, handedOver, written);
                handedOver = written;
            }
        };
        produce([&](std::string_view piece) {
            if (gathered.size() + piece.size() <= kGatherSize) {
                gathered.append(piece);
                return;
            }
            writeOut(gathered);
            gathered.clear();
            if (piece.size() >= kGatherSize) {
                writeOut(piece);
            } else {
                gathered.append(piece);
            }
        });
        writeOut(gathered);
    };
    // A file written in place needs its new size before any byte changes.
    const auto whole = [&] {
        std::string bytes;
        produce([&bytes](std::string_view piece) { bytes.append(piece); });
        return bytes;
    };
    save(path, write, whole);
}

}  // namespace vtome
