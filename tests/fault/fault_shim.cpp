#include "fault_shim.h"

#include <array>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <mutex>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace vtome::fault {

namespace {

struct WatchedFd {
    bool watched = false;
    bool folder = false;
    dev_t dev = 0;
    ino_t ino = 0;
};

struct State {
    std::string folder;   // with a final "/"
    std::vector<Call> calls;
    std::array<int, 16> counts{};
    bool armed = false;
    Op op = Op::Open;
    int nth = 0;
    int error = 0;
    Mode mode = Mode::Fail;
    bool failNextWrite = false;
    int done = 0;
    int failError = 0;                 // the errno of the call being failed
    std::array<int, 16> standing{};   // per op: every call fails with this errno
    std::array<WatchedFd, 4096> fds{};
};

State& state() {
    static State* s = new State();  // never destroyed: calls may come during exit
    return *s;
}

std::recursive_mutex& lock() {
    static std::recursive_mutex* m = new std::recursive_mutex();
    return *m;
}

template <typename F>
F real(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

bool underFolder(const char* path) {
    const State& s = state();
    if (s.folder.empty() || path == nullptr) return false;
    const std::string p(path);
    return p.compare(0, s.folder.size(), s.folder) == 0 || p + "/" == s.folder;
}

bool fdWatched(int fd) {
    State& s = state();
    if (fd < 0 || static_cast<std::size_t>(fd) >= s.fds.size() || !s.fds[fd].watched) return false;
    struct stat info {};
    // A number reused by a call this shim did not see is not watched.
    if (::fstat(fd, &info) != 0 || info.st_dev != s.fds[fd].dev || info.st_ino != s.fds[fd].ino) {
        s.fds[fd].watched = false;
        return false;
    }
    return true;
}

bool fdIsFolder(int fd) { return fdWatched(fd) && state().fds[fd].folder; }

// A path relative to dirfd, or absolute, inside the watched folder.
bool atWatched(int dirfd, const char* path) {
    if (path != nullptr && path[0] == '/') return underFolder(path);
    return fdIsFolder(dirfd);
}

void remember(int fd, bool isFolder) {
    State& s = state();
    if (fd < 0 || static_cast<std::size_t>(fd) >= s.fds.size()) return;
    struct stat info {};
    if (::fstat(fd, &info) != 0) return;
    s.fds[fd] = {true, isFolder || S_ISDIR(info.st_mode), info.st_dev, info.st_ino};
}

void forget(int fd) {
    State& s = state();
    if (fd >= 0 && static_cast<std::size_t>(fd) < s.fds.size()) s.fds[fd].watched = false;
}

enum class Verdict { Pass, Fail, Short };

// Counts a watched call and says what it should do.
Verdict decide(Op op, bool onFolder) {
    State& s = state();
    s.calls.push_back({op, onFolder});
    if (const int error = s.standing[static_cast<int>(op)]; error != 0) {
        s.failError = error;
        return Verdict::Fail;
    }
    const int count = ++s.counts[static_cast<int>(op)];
    s.failError = s.error;
    if (!s.armed) return Verdict::Pass;
    if (op == Op::Write && s.failNextWrite && s.op == Op::Write) {
        s.failNextWrite = false;
        ++s.done;
        return Verdict::Fail;
    }
    if (op != s.op) return Verdict::Pass;
    if (count == s.nth || (s.mode == Mode::FailFromNowOn && count > s.nth)) {
        ++s.done;
        if (s.mode == Mode::Short || s.mode == Mode::ShortThenFail) {
            if (op != Op::Write) return Verdict::Fail;
            s.failNextWrite = s.mode == Mode::ShortThenFail;
            return Verdict::Short;
        }
        return Verdict::Fail;
    }
    return Verdict::Pass;
}

int failed() {
    errno = state().failError;
    return -1;
}

Op openOp(int flags) {
    if ((flags & O_TMPFILE) == O_TMPFILE) return Op::CreateUnnamed;
    if (flags & O_CREAT) return Op::Create;
    return Op::Open;
}

bool wantsMode(int flags) { return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE; }

int doOpenat(int dirfd, const char* path, int flags, mode_t mode, bool viaOpen) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    const bool watched = viaOpen ? underFolder(path) : atWatched(dirfd, path);
    if (watched) {
        const bool folder = (flags & O_DIRECTORY) && (flags & O_TMPFILE) != O_TMPFILE;
        if (decide(openOp(flags), folder) != Verdict::Pass) return failed();
    }
    using OpenAt = int (*)(int, const char*, int, ...);
    static const OpenAt realOpenat = real<OpenAt>("openat");
    const int fd = realOpenat(viaOpen ? AT_FDCWD : dirfd, path, flags, mode);
    if (fd >= 0 && watched) {
        remember(fd, (flags & O_DIRECTORY) && (flags & O_TMPFILE) != O_TMPFILE);
    } else if (fd >= 0) {
        forget(fd);
    }
    return fd;
}

ssize_t shortened(std::size_t count) { return static_cast<ssize_t>(count > 1 ? count / 2 : count); }

// From the environment, for a program the shim is preloaded into.
__attribute__((constructor)) void configureFromEnvironment() {
    const char* folder = std::getenv("VTOME_FAULT_FOLDER");
    if (folder == nullptr) return;
    watch(folder);
    const char* fault = std::getenv("VTOME_FAULT");
    if (fault == nullptr) return;
    char name[32] = {};
    int nth = 0, error = 0;
    if (std::sscanf(fault, "%31[^:]:%d:%d", name, &nth, &error) != 3) return;
    for (int op = 0; op <= static_cast<int>(Op::Map); ++op) {
        if (std::strcmp(opName(static_cast<Op>(op)), name) == 0) inject(static_cast<Op>(op), nth, error);
    }
}

}  // namespace

const char* opName(Op op) {
    static const char* const names[] = {"open",  "create-unnamed", "create",    "write",    "fsync",
                                        "close", "rename",         "link",      "fallocate", "truncate",
                                        "chmod", "chown",          "unlink",    "map"};
    return names[static_cast<int>(op)];
}

void watch(const std::string& folder) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    state().folder = folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

void reset() {
    std::lock_guard<std::recursive_mutex> guard(lock());
    State& s = state();
    s.calls.clear();
    s.counts.fill(0);
    s.armed = false;
    s.failNextWrite = false;
    s.done = 0;
}

std::vector<Call> recorded() {
    std::lock_guard<std::recursive_mutex> guard(lock());
    return state().calls;
}

void inject(Op op, int nth, int error, Mode mode) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    reset();
    State& s = state();
    s.armed = true;
    s.op = op;
    s.nth = nth;
    s.error = error;
    s.mode = mode;
}

void refuseAlways(Op op, int error) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    state().standing[static_cast<int>(op)] = error;
}

void clearFault() {
    std::lock_guard<std::recursive_mutex> guard(lock());
    state().armed = false;
    state().failNextWrite = false;
}

int faultsDone() {
    std::lock_guard<std::recursive_mutex> guard(lock());
    return state().done;
}

}  // namespace vtome::fault

// --- the interposed calls

using vtome::fault::Op;
using vtome::fault::Verdict;
namespace f = vtome::fault;

namespace vtome::fault {
// Visible to the C functions below.
inline Verdict check(Op op, int fd) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    if (!fdWatched(fd)) return Verdict::Pass;
    return decide(op, fdIsFolder(fd));
}
inline Verdict checkAt(Op op, int dirfd, const char* path) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    if (!atWatched(dirfd, path)) return Verdict::Pass;
    return decide(op, false);
}
inline int fail() { return failed(); }
inline ssize_t halve(std::size_t count) { return shortened(count); }
inline int openVia(int dirfd, const char* path, int flags, mode_t mode, bool viaOpen) {
    return doOpenat(dirfd, path, flags, mode, viaOpen);
}
inline void dropFd(int fd) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    forget(fd);
}
}  // namespace vtome::fault

extern "C" {

int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (f::wantsMode(flags)) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    return f::openVia(AT_FDCWD, path, flags, mode, true);
}
int open64(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (f::wantsMode(flags)) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    return f::openVia(AT_FDCWD, path, flags, mode, true);
}
int openat(int dirfd, const char* path, int flags, ...) {
    mode_t mode = 0;
    if (f::wantsMode(flags)) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    return f::openVia(dirfd, path, flags, mode, false);
}
int openat64(int dirfd, const char* path, int flags, ...) {
    mode_t mode = 0;
    if (f::wantsMode(flags)) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    return f::openVia(dirfd, path, flags, mode, false);
}

ssize_t write(int fd, const void* bytes, size_t count) {
    static const auto realWrite = f::real<ssize_t (*)(int, const void*, size_t)>("write");
    switch (f::check(Op::Write, fd)) {
        case Verdict::Fail: return f::fail();
        case Verdict::Short: return realWrite(fd, bytes, static_cast<size_t>(f::halve(count)));
        default: return realWrite(fd, bytes, count);
    }
}
ssize_t pwrite(int fd, const void* bytes, size_t count, off_t offset) {
    static const auto realPwrite = f::real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    switch (f::check(Op::Write, fd)) {
        case Verdict::Fail: return f::fail();
        case Verdict::Short: return realPwrite(fd, bytes, static_cast<size_t>(f::halve(count)), offset);
        default: return realPwrite(fd, bytes, count, offset);
    }
}
ssize_t pwrite64(int fd, const void* bytes, size_t count, off_t offset) { return pwrite(fd, bytes, count, offset); }

int fsync(int fd) {
    static const auto realFsync = f::real<int (*)(int)>("fsync");
    return f::check(Op::Fsync, fd) == Verdict::Pass ? realFsync(fd) : f::fail();
}
int fdatasync(int fd) {
    static const auto realFdatasync = f::real<int (*)(int)>("fdatasync");
    return f::check(Op::Fsync, fd) == Verdict::Pass ? realFdatasync(fd) : f::fail();
}

int close(int fd) {
    static const auto realClose = f::real<int (*)(int)>("close");
    const Verdict verdict = f::check(Op::Close, fd);
    f::dropFd(fd);
    // As on Linux, the descriptor is gone even when close reports a failure.
    const int result = realClose(fd);
    return verdict == Verdict::Pass ? result : f::fail();
}

int rename(const char* from, const char* to) {
    static const auto realRename = f::real<int (*)(const char*, const char*)>("rename");
    return f::checkAt(Op::Rename, AT_FDCWD, to) == Verdict::Pass ? realRename(from, to) : f::fail();
}
int renameat(int fromDir, const char* from, int toDir, const char* to) {
    static const auto realRenameat = f::real<int (*)(int, const char*, int, const char*)>("renameat");
    return f::checkAt(Op::Rename, toDir, to) == Verdict::Pass ? realRenameat(fromDir, from, toDir, to) : f::fail();
}
int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    static const auto realRenameat2 = f::real<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    return f::checkAt(Op::Rename, toDir, to) == Verdict::Pass ? realRenameat2(fromDir, from, toDir, to, flags)
                                                              : f::fail();
}

int link(const char* from, const char* to) {
    static const auto realLink = f::real<int (*)(const char*, const char*)>("link");
    return f::checkAt(Op::Link, AT_FDCWD, to) == Verdict::Pass ? realLink(from, to) : f::fail();
}
int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    static const auto realLinkat = f::real<int (*)(int, const char*, int, const char*, int)>("linkat");
    return f::checkAt(Op::Link, toDir, to) == Verdict::Pass ? realLinkat(fromDir, from, toDir, to, flags)
                                                            : f::fail();
}

int fallocate(int fd, int mode, off_t offset, off_t length) {
    static const auto realFallocate = f::real<int (*)(int, int, off_t, off_t)>("fallocate");
    return f::check(Op::Fallocate, fd) == Verdict::Pass ? realFallocate(fd, mode, offset, length) : f::fail();
}
int fallocate64(int fd, int mode, off_t offset, off_t length) { return fallocate(fd, mode, offset, length); }
int posix_fallocate(int fd, off_t offset, off_t length) {
    static const auto realPosixFallocate = f::real<int (*)(int, off_t, off_t)>("posix_fallocate");
    if (f::check(Op::Fallocate, fd) != Verdict::Pass) return f::fail(), errno;
    return realPosixFallocate(fd, offset, length);
}

int ftruncate(int fd, off_t length) {
    static const auto realFtruncate = f::real<int (*)(int, off_t)>("ftruncate");
    return f::check(Op::Truncate, fd) == Verdict::Pass ? realFtruncate(fd, length) : f::fail();
}
int ftruncate64(int fd, off_t length) { return ftruncate(fd, length); }

int fchmod(int fd, mode_t mode) {
    static const auto realFchmod = f::real<int (*)(int, mode_t)>("fchmod");
    return f::check(Op::Chmod, fd) == Verdict::Pass ? realFchmod(fd, mode) : f::fail();
}
int fchown(int fd, uid_t owner, gid_t group) {
    static const auto realFchown = f::real<int (*)(int, uid_t, gid_t)>("fchown");
    return f::check(Op::Chown, fd) == Verdict::Pass ? realFchown(fd, owner, group) : f::fail();
}

int unlink(const char* path) {
    static const auto realUnlink = f::real<int (*)(const char*)>("unlink");
    return f::checkAt(Op::Unlink, AT_FDCWD, path) == Verdict::Pass ? realUnlink(path) : f::fail();
}
int unlinkat(int dirfd, const char* path, int flags) {
    static const auto realUnlinkat = f::real<int (*)(int, const char*, int)>("unlinkat");
    return f::checkAt(Op::Unlink, dirfd, path) == Verdict::Pass ? realUnlinkat(dirfd, path, flags) : f::fail();
}

// Only mappings of a file count: anonymous memory (fd -1) passes untouched.
void* mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset) {
    static const auto realMmap = f::real<void* (*)(void*, size_t, int, int, int, off_t)>("mmap");
    if (fd < 0 || f::check(Op::Map, fd) == Verdict::Pass) return realMmap(address, length, protection, flags, fd, offset);
    f::fail();
    return MAP_FAILED;
}
void* mmap64(void* address, size_t length, int protection, int flags, int fd, off_t offset) {
    return mmap(address, length, protection, flags, fd, offset);
}

}  // extern "C"
