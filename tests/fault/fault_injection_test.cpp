// Every write path against failing system calls. A save is run once to
// record the calls it makes; then each of them in turn fails (with ENOSPC,
// EIO and EACCES), writes short, or writes short and then fails. Whatever
// happens, the file holds exactly the old bytes or exactly the new ones,
// nothing else is left in the folder, and a failed save says which fixed
// failure it was, about which file and why.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <sys/stat.h>

#include "document/text_export.h"
#include "fault_shim.h"
#include "runtime/failure.h"
#include "store/file_io.h"
#include "store/keyed_store.h"
#include "store/text_buffer.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace vtome {
namespace {

namespace fs = std::filesystem;
using fault::Mode;
using fault::Op;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Equal bytes, or where they differ (the contents are too long to print).
::testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    return ::testing::AssertionFailure() << actual.size() << " bytes instead of " << expected.size()
                                         << ", first difference at byte " << at;
}

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

std::string note(std::size_t size) {
    std::string text;
    while (text.size() < size) text += "A line of a long note, typed by hand.\r\n";
    return text;
}

// One way vTome writes a file, with the bytes it writes.
struct WritePath {
    std::string name;
    std::function<void(const std::string& path)> save;
    std::string bytes;
};

// What the target looks like before the save.
enum class Situation { Replace, New, InPlaceGrowing, InPlaceShrinking };

const char* situationName(Situation s) {
    switch (s) {
        case Situation::Replace: return "replace";
        case Situation::New: return "new file";
        case Situation::InPlaceGrowing: return "in place, growing";
        case Situation::InPlaceShrinking: return "in place, shrinking";
    }
    return "?";
}

// What a failing call must lead to.
struct Expected {
    bool mayFail = true;
    bool maySucceed = false;
    FailureCode code = FailureCode::FileOpenFailure;
};

FailureCode writeFailure(int error) {
    return error == ENOSPC ? FailureCode::DiskFullError : FailureCode::FileWriteError;
}

Expected expectationFor(const fault::Call& call, bool firstCall, int error, Mode mode, Situation situation) {
    const bool exists = situation != Situation::New;
    if (mode == Mode::Short) return {false, true};
    switch (call.op) {
        case Op::Open:
            // Finding the folder and opening the file must work, though a
            // folder that cannot be listed and a file that cannot be read
            // still do for a save; the look for old temporaries may fail
            // unnoticed.
            if (error == EACCES) return {true, true, FailureCode::FileOpenFailure};
            if (firstCall || !call.onFolder) return {true, false, FailureCode::FileOpenFailure};
            return {true, true, FailureCode::FileOpenFailure};
        case Op::CreateUnnamed:
        case Op::Create:
            // A folder the saver may not create files in: the file is written in place.
            if (error == EACCES && exists) return {false, true};
            return {true, false, FailureCode::FileOpenFailure};
        case Op::Chmod:
        case Op::Chown:
            return {true, false, FailureCode::FileOpenFailure};
        case Op::Write:
        case Op::Link:
        case Op::Rename:
        case Op::Fallocate:
        case Op::Truncate:
            return {true, false, writeFailure(error)};
        case Op::Fsync:
            // The folder's flush after the rename loses nothing.
            if (call.onFolder) return {false, true};
            return {true, false, writeFailure(error)};
        case Op::Close:
            // Closing the temporary counts; closing the old file or the folder does not.
            if (call.onFolder) return {false, true};
            return {true, true, FailureCode::FileCloseFailure};
        case Op::Unlink:
        case Op::Map:  // saves map nothing
            return {false, true};
    }
    return {};
}

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override { fault::watch(dir_.path().string()); }
    void TearDown() override {
        fault::clearFault();
        fault::refuseAlways(Op::CreateUnnamed, 0);
        fault::watch("");
    }

    std::string target() const { return dir_.file("target.vinfo"); }
    std::string otherName() const { return dir_.file("other-name.vinfo"); }

    // Puts the old state back: the old bytes in the same file (so that a
    // hard link stays one), or no file at all.
    void prepare(Situation situation, const std::string& newBytes) {
        fault::clearFault();
        fault::refuseAlways(Op::CreateUnnamed, named_ ? EOPNOTSUPP : 0);
        for (const std::string& name : entries(dir_.path())) fs::remove(dir_.path() / name);
        switch (situation) {
            case Situation::Replace: old_ = "[old]\r\nkept=1\r\n"; break;
            case Situation::New: old_.clear(); return;
            case Situation::InPlaceGrowing: old_ = "[old]\r\n"; break;
            case Situation::InPlaceShrinking: old_ = newBytes + std::string(30000, 'o'); break;
        }
        writeFile(target(), old_);
        if (situation == Situation::InPlaceGrowing || situation == Situation::InPlaceShrinking) {
            fs::create_hard_link(target(), otherName());
        }
    }

    void checkAfter(const WritePath& path, Situation situation, const std::vector<std::string>& before,
                    ino_t inode, const Expected& expected, const std::string& what) {
        SCOPED_TRACE(what);
        std::optional<RuntimeFailure> failure;
        try {
            path.save(target());
        } catch (const RuntimeFailure& f) {
            failure = f;
        }
        fault::clearFault();
        const bool exists = situation != Situation::New;
        const bool inPlace = situation == Situation::InPlaceGrowing || situation == Situation::InPlaceShrinking;
        if (failure) {
            EXPECT_TRUE(expected.mayFail) << "failed: " << failure->what() << " " << failure->detail();
            EXPECT_EQ(failure->code(), expected.code) << failure->what();
            EXPECT_EQ(failure->path(), target());
            EXPECT_FALSE(failure->reason().empty());
            if (exists) {
                EXPECT_TRUE(sameBytes(readFile(target()), old_)) << "the old file was changed";
            } else {
                EXPECT_FALSE(fs::exists(target()));
            }
            EXPECT_EQ(entries(dir_.path()), before) << "something was left beside the target";
        } else {
            EXPECT_TRUE(expected.maySucceed) << "a save with a failing call succeeded";
            EXPECT_TRUE(sameBytes(readFile(target()), path.bytes));
            std::vector<std::string> after = before;
            if (!exists) after = {"target.vinfo"};
            EXPECT_EQ(entries(dir_.path()), after) << "something was left beside the target";
        }
        if (inPlace) {
            EXPECT_EQ(inodeOf(target()), inode);
            EXPECT_TRUE(sameBytes(readFile(otherName()), readFile(target())));
        }
    }

    void runEveryFault(const WritePath& path, Situation situation) {
        SCOPED_TRACE(path.name + ", " + situationName(situation));
        // The calls of a save that goes through.
        prepare(situation, path.bytes);
        fault::reset();
        path.save(target());
        const std::vector<fault::Call> calls = fault::recorded();
        ASSERT_FALSE(calls.empty());
        ASSERT_TRUE(sameBytes(readFile(target()), path.bytes));

        std::map<Op, int> seen;
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (named_ && calls[i].op == Op::CreateUnnamed) continue;  // refused every time
            const int nth = ++seen[calls[i].op];
            std::vector<std::pair<int, Mode>> faults = {{ENOSPC, Mode::Fail}, {EIO, Mode::Fail}, {EACCES, Mode::Fail}};
            if (calls[i].op == Op::Write) {
                faults.push_back({ENOSPC, Mode::Short});
                faults.push_back({ENOSPC, Mode::ShortThenFail});
                faults.push_back({EIO, Mode::ShortThenFail});
            }
            for (const auto& [error, mode] : faults) {
                prepare(situation, path.bytes);
                const std::vector<std::string> before = entries(dir_.path());
                const ino_t inode = inodeOf(target());
                const Expected expected = expectationFor(calls[i], i == 0, error, mode, situation);
                fault::inject(calls[i].op, nth, error, mode);
                checkAfter(path, situation, before, inode, expected,
                           std::string(fault::opName(calls[i].op)) + " #" + std::to_string(nth) + " fails with " +
                               std::strerror(error) + (mode == Mode::Fail ? "" : " after writing short"));
                ++cases_;
            }
        }
    }

    std::vector<WritePath> writePaths() {
        std::vector<WritePath> paths;

        // The user data: bookmarks and a note, as the viewer keeps them.
        auto userData = std::shared_ptr<KeyedStore>(KeyedStore::newEmpty());
        userData->setSectionText("Installation_vTomeNote", "<text>\r\n" + note(20000) + "\r\n</text>\r\n");
        userData->setString("vTome Bookmarks", "1", "Introduction,0");
        paths.push_back({"user data", [userData](const std::string& p) { userData->saveToFile(p); },
                         std::string(userData->text())});

        // The settings, as written at shutdown.
        auto settings = std::shared_ptr<KeyedStore>(KeyedStore::newEmpty());
        settings->setString("vTome Settings", "WinPos", "0A000000140000005802000020030000000000000");
        settings->setString("vTome Settings", "Scope", "doc");
        settings->setInt32("vTome Settings", "top", 1);
        settings->setUns32("vTome Settings", "vBar", 180);
        paths.push_back({"settings", [settings](const std::string& p) { settings->saveToFile(p); },
                         std::string(settings->text())});

        // The text export of a document.
        const std::string documentPath = documentDir_.file("guide.vtome");
        writeFile(documentPath, "[vTome Header]\r\n<text>\r\n" + note(18000) +
                                    "\r\n</text>\r\n\r\n[vTome Contents]\r\nintro\r\n\r\n[intro]\r\nHello\r\n");
        auto document = std::shared_ptr<KeyedStore>(KeyedStore::loadFromFile(documentPath));
        std::string exported;
        writeTextExport(*document, [&exported](std::string_view piece) { exported.append(piece); });
        paths.push_back({"export", [document](const std::string& p) { writeTextExport(*document, p); }, exported});

        // A buffer written whole, as vtome-tool's edits and copies are.
        auto buffer = std::make_shared<TextBuffer>();
        const std::string big = note(40000);
        buffer->insertBytes(big.data(), static_cast<std::uint32_t>(big.size()));
        paths.push_back({"text buffer", [buffer](const std::string& p) { buffer->writeToFile(p); }, big});
        return paths;
    }

    TempDir dir_;
    TempDir documentDir_;
    std::string old_;
    bool named_ = false;
    int cases_ = 0;
};

TEST_F(FaultInjection, EveryCallOfEveryWritePathFailsSafely) {
    for (const WritePath& path : writePaths()) {
        for (Situation situation :
             {Situation::Replace, Situation::New, Situation::InPlaceGrowing, Situation::InPlaceShrinking}) {
            runEveryFault(path, situation);
        }
    }
    RecordProperty("cases", cases_);
    EXPECT_GT(cases_, 300);
}

TEST_F(FaultInjection, NamedTemporariesFailSafelyToo) {
    // A file system without unnamed temporary files: the named ones take
    // their place, and every step failing must remove them again.
    named_ = true;
    for (const WritePath& path : writePaths()) {
        for (Situation situation : {Situation::Replace, Situation::New}) runEveryFault(path, situation);
    }
    EXPECT_GT(cases_, 100);
}

TEST_F(FaultInjection, StayingFullDiskNeverDamagesTheOldFile) {
    for (const WritePath& path : writePaths()) {
        SCOPED_TRACE(path.name);
        prepare(Situation::Replace, path.bytes);
        // Full from the second piece on where there is one, else at once.
        fault::inject(Op::Write, path.bytes.size() > kWritePieceSize ? 2 : 1, ENOSPC, Mode::FailFromNowOn);
        try {
            path.save(target());
            ADD_FAILURE() << "the save succeeded on a full disk";
        } catch (const RuntimeFailure& failure) {
            EXPECT_EQ(failure.code(), FailureCode::DiskFullError);
            EXPECT_EQ(failure.systemError(), ENOSPC);
        }
        fault::clearFault();
        EXPECT_TRUE(sameBytes(readFile(target()), old_));
        EXPECT_EQ(entries(dir_.path()), std::vector<std::string>{"target.vinfo"});
    }
}

TEST_F(FaultInjection, FailedCloseOfTheNewFileFailsTheSave) {
    const WritePath path = writePaths().front();
    prepare(Situation::New, path.bytes);
    fault::inject(Op::Close, 1, EIO);
    try {
        path.save(target());
        ADD_FAILURE() << "a failed close went unreported";
    } catch (const RuntimeFailure& failure) {
        EXPECT_EQ(failure.code(), FailureCode::FileCloseFailure);
        EXPECT_EQ(failure.detail(), target() + ": " + std::strerror(EIO));
    }
    EXPECT_TRUE(entries(dir_.path()).empty());
}

// A file system that cannot map files (some network and FUSE ones) still
// serves a mapped read: the file is read into memory instead.
TEST_F(FaultInjection, AFileThatCannotBeMappedIsReadInstead) {
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += "[S" + std::to_string(i) + "]\r\nk=v\r\n";
    writeFile(target(), bytes);
    for (const int error : {ENODEV, EACCES, ENOMEM}) {
        SCOPED_TRACE(error);
        fault::reset();
        fault::inject(Op::Map, 1, error);
        const TextBuffer mapped = TextBuffer::fromFile(target(), FileReading::Map);
        EXPECT_EQ(fault::faultsDone(), 1);
        EXPECT_EQ(mapped.view(), bytes);
        EXPECT_EQ(mapped.data()[bytes.size()], '\0');
    }
}

// vtome-tool's edits, with the shim preloaded into the real program.
TEST_F(FaultInjection, ToolEditsReportTheFailureAndKeepTheFile) {
    struct Case {
        const char* fault;
        int number;
        const char* text;
        int error;
    };
    const std::string original = "[S]\r\nk=old\r\n";
    for (const Case& c : {Case{"write:1:28", 28, "Disk full error", ENOSPC}, Case{"fsync:1:5", 27, "File write error", EIO},
                          Case{"rename:1:13", 27, "File write error", EACCES},
                          Case{"create-unnamed:1:5", 25, "File open failure", EIO},
                          Case{"link:1:28", 28, "Disk full error", ENOSPC}}) {
        SCOPED_TRACE(c.fault);
        writeFile(target(), original);
        ::setenv("VTOME_FAULT_FOLDER", dir_.path().c_str(), 1);
        ::setenv("VTOME_FAULT", c.fault, 1);
        ::setenv("LD_PRELOAD", VTOME_FAULT_SHIM_PATH, 1);
        // A sanitized tool wants its runtime first; the shim is harmless before it.
        ::setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
        const testing::ProcessResult result =
            testing::runProcess(VTOME_TOOL_PATH, {"set", target(), "S", "k", "new"});
        ::unsetenv("LD_PRELOAD");
        ::unsetenv("VTOME_FAULT");
        ::unsetenv("VTOME_FAULT_FOLDER");
        ::unsetenv("ASAN_OPTIONS");
        EXPECT_EQ(result.status, 3) << result.err;
        EXPECT_NE(result.err.find(target()), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(std::strerror(c.error)), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(std::string(c.text) + ", " + std::to_string(c.number)), std::string::npos)
            << result.err;
        EXPECT_EQ(readFile(target()), original);
        EXPECT_EQ(entries(dir_.path()), std::vector<std::string>{"target.vinfo"});
    }
}

}  // namespace
}  // namespace vtome
