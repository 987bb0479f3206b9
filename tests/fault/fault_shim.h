#pragma once
// A shim between vTome's file code and the system: the calls a save makes
// (open, openat, write, pwrite, fsync, close, rename, link, fallocate,
// ftruncate, fchmod, fchown, unlink, mmap of a file and their variants) are forwarded to the
// real ones, and one of them can be made to fail, or to write short.
//
// Only calls on files inside the watched folder count, so that the test's own
// output and files never do. Linked into a test executable, the functions
// below steer it; preloaded (LD_PRELOAD) into another program, the
// environment does: VTOME_FAULT_FOLDER=FOLDER and VTOME_FAULT=OP:NTH:ERRNO
// (OP as opName spells it, ERRNO a number; e.g. "write:1:28").

#include <string>
#include <vector>

namespace vtome::fault {

enum class Op {
    Open,            // open an existing file or folder
    CreateUnnamed,   // open with O_TMPFILE
    Create,          // open with O_CREAT
    Write,           // write, pwrite
    Fsync,           // fsync, fdatasync
    Close,
    Rename,          // rename, renameat, renameat2
    Link,            // link, linkat
    Fallocate,       // fallocate, posix_fallocate
    Truncate,        // ftruncate
    Chmod,           // fchmod
    Chown,           // fchown
    Unlink,          // unlink, unlinkat
    Map,             // mmap of a file
};

const char* opName(Op op);

// What one failure looks like.
enum class Mode {
    Fail,            // the call fails with the error
    Short,           // a write takes half of what it is given
    ShortThenFail,   // ... and the next write fails with the error
    FailFromNowOn,   // this call and every later one of its kind fail
};

struct Call {
    Op op;
    bool onFolder;   // the call is about the folder itself (open, fsync, close of it)
};

// Counts and fails only calls on files in this folder (and the folder).
void watch(const std::string& folder);
// Forgets every call and failure so far and starts recording.
void reset();
std::vector<Call> recorded();
// The nth (1 first) call of `op` from now on misbehaves.
void inject(Op op, int nth, int error, Mode mode = Mode::Fail);
// Every call of `op` fails with `error` until told otherwise (0), apart
// from the counting: a file system that lacks something, such as unnamed
// temporary files (CreateUnnamed with EOPNOTSUPP). Such calls are recorded
// but not counted.
void refuseAlways(Op op, int error);
// Calls go through unchanged again (apart from refuseAlways).
void clearFault();
// How many calls were failed (or shortened) since the fault was injected.
int faultsDone();

}  // namespace vtome::fault
