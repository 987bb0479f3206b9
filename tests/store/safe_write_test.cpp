// Saving against what a real disk and other users put in the way: special
// files, links someone else planted, files shared through hard links, owners
// and groups, folders the saver cannot write, and temporaries left by saves
// that were killed. Cases that need a second user run as root, which makes
// one in a child process (setresuid), and are skipped otherwise.

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include "runtime/failure.h"
#include "store/file_io.h"
#include "store/keyed_store.h"
#include "support/temp_dir.h"

namespace vtome {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

constexpr uid_t kOtherUser = 4242;
constexpr uid_t kThirdUser = 4244;
constexpr gid_t kSharedGroup = 4243;

struct Outcome {
    bool failed = false;
    FailureCode code = FailureCode::StringOverflow;
    std::string path;
    std::string reason;
};

Outcome attempt(const std::function<void()>& action) {
    Outcome outcome;
    try {
        action();
    } catch (const RuntimeFailure& failure) {
        outcome = {true, failure.code(), failure.path(), failure.reason()};
    }
    return outcome;
}

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct stat statOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) throw std::runtime_error("lstat " + path);
    return info;
}

bool isRoot() { return ::geteuid() == 0; }

// Runs `action` in a child process as another user (with kSharedGroup as
// its only other group) and gives its result: 0 done, the failure number,
// or 255 for anything else. Only root can do this.
int runAsUser(uid_t uid, const std::function<void()>& action) {
    const pid_t child = ::fork();
    if (child == 0) {
        const gid_t groups[] = {kSharedGroup};
        if (::setgroups(1, groups) != 0 || ::setresgid(uid, uid, uid) != 0 || ::setresuid(uid, uid, uid) != 0) {
            ::_exit(255);
        }
        int code = 0;
        try {
            action();
        } catch (const RuntimeFailure& failure) {
            code = failure.number();
        } catch (...) {
            code = 255;
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

class SafeWrite : public ::testing::Test {
protected:
    void SetUp() override {
        // A FIFO that blocked a save would hang the suite: end it instead.
        ::alarm(20);
    }
    void TearDown() override { ::alarm(0); }

    TempDir dir_;
};

// --- what stands where the file should be

TEST_F(SafeWrite, NonRegularTargetsAreRefusedOnReadAndSaveWithoutBlocking) {
    const std::string fifo = dir_.file("fifo.vinfo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = dir_.file("folder.vinfo");
    fs::create_directory(folder);
    fs::create_symlink("fifo.vinfo", dir_.file("to-fifo.vinfo"));
    fs::create_symlink("folder.vinfo", dir_.file("to-folder.vinfo"));
    fs::create_symlink("/dev/null", dir_.file("to-device.ini"));

    const std::vector<std::string> before = entries(dir_.path());
    for (const char* name : {"fifo.vinfo", "folder.vinfo", "to-fifo.vinfo", "to-folder.vinfo", "to-device.ini"}) {
        SCOPED_TRACE(name);
        const std::string path = dir_.file(name);
        const Outcome load = attempt([&] { KeyedStore::loadFromFile(path); });
        EXPECT_TRUE(load.failed);
        EXPECT_EQ(load.code, FailureCode::FileOpenFailure);
        EXPECT_FALSE(load.reason.empty());

        const Outcome save = attempt([&] { writeFileSafely(path, "[S]\r\n"); });
        EXPECT_TRUE(save.failed);
        EXPECT_EQ(save.code, FailureCode::FileOpenFailure);
        EXPECT_FALSE(save.path.empty());
        EXPECT_FALSE(save.reason.empty());
    }
    EXPECT_EQ(entries(dir_.path()), before);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(SafeWrite, UnreadableAndUnwritableFilesFailWithTheirReason) {
    if (isRoot()) {
        // Root reads and writes anything; a second user sees the modes.
        fs::permissions(dir_.path(), fs::perms::all);
        const std::string locked = dir_.file("locked.vinfo");
        writeFile(locked, "keep");
        ::chmod(locked.c_str(), 0600);
        EXPECT_EQ(runAsUser(kOtherUser, [&] { KeyedStore::loadFromFile(locked); }), 25);
        EXPECT_EQ(runAsUser(kOtherUser, [&] { writeFileSafely(locked, "new"); }), 25);
        EXPECT_EQ(readFile(locked), "keep");
        return;
    }
    const std::string locked = dir_.file("locked.vinfo");
    writeFile(locked, "keep");
    ::chmod(locked.c_str(), 0);
    const Outcome load = attempt([&] { KeyedStore::loadFromFile(locked); });
    EXPECT_EQ(load.code, FailureCode::FileOpenFailure);
    EXPECT_EQ(load.reason, std::strerror(EACCES));
    const Outcome save = attempt([&] { writeFileSafely(locked, "new"); });
    EXPECT_EQ(save.code, FailureCode::FileOpenFailure);
    EXPECT_EQ(save.path, locked);
    ::chmod(locked.c_str(), 0600);
    EXPECT_EQ(readFile(locked), "keep");
}

TEST_F(SafeWrite, DocumentCutShortBetweenOpeningAndReadingIsAReadError) {
    const std::string path = dir_.file("guide.vtome");
    writeFile(path, "[vTome Header]\r\nA long enough title page\r\n");
    InputFile file(path);
    ASSERT_EQ(::truncate(path.c_str(), 5), 0);
    std::string bytes(file.size(), '\0');
    const Outcome read = attempt([&] { file.readInto(bytes.data(), file.size()); });
    EXPECT_EQ(read.code, FailureCode::FileReadError);
    EXPECT_EQ(read.path, path);
    EXPECT_FALSE(read.reason.empty());
}

TEST_F(SafeWrite, MissingFolderAndFolderPathFail) {
    for (const std::string& path : {dir_.file("no/such/file.ini"), dir_.path().string() + "/", dir_.file(".")}) {
        SCOPED_TRACE(path);
        const Outcome save = attempt([&] { writeFileSafely(path, "x"); });
        EXPECT_EQ(save.code, FailureCode::FileOpenFailure);
    }
    EXPECT_TRUE(entries(dir_.path()).empty());
}

// --- symbolic links

TEST_F(SafeWrite, OwnLinkChainIsWrittenThroughAndStaysALink) {
    fs::create_directory(dir_.file("real"));
    const std::string real = dir_.file("real/data.vinfo");
    writeFile(real, "old");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink("real/data.vinfo", dir_.file("middle.vinfo"));
    fs::create_symlink(dir_.file("middle.vinfo"), dir_.file("guide.vinfo"));

    writeFileSafely(dir_.file("guide.vinfo"), "new");
    EXPECT_EQ(readFile(real), "new");
    EXPECT_TRUE(fs::is_symlink(dir_.file("guide.vinfo")));
    EXPECT_TRUE(fs::is_symlink(dir_.file("middle.vinfo")));
    EXPECT_EQ(statOf(real).st_mode & 0777, 0640u);
    EXPECT_EQ(entries(dir_.file("real")), std::vector<std::string>{"data.vinfo"});
}

TEST_F(SafeWrite, DanglingLinkAndLoopChangeNothing) {
    fs::create_symlink("missing/target.vinfo", dir_.file("dangling.vinfo"));
    fs::create_symlink("nowhere.vinfo", dir_.file("dangling2.vinfo"));
    fs::create_symlink("loop-b.vinfo", dir_.file("loop-a.vinfo"));
    fs::create_symlink("loop-a.vinfo", dir_.file("loop-b.vinfo"));
    const std::vector<std::string> before = entries(dir_.path());
    for (const char* name : {"dangling.vinfo", "dangling2.vinfo", "loop-a.vinfo"}) {
        SCOPED_TRACE(name);
        const Outcome save = attempt([&] { writeFileSafely(dir_.file(name), "text of someone else"); });
        EXPECT_EQ(save.code, FailureCode::FileOpenFailure);
        EXPECT_EQ(save.path, dir_.file(name));
    }
    // The target of a dangling link is never created.
    EXPECT_EQ(entries(dir_.path()), before);
}

TEST_F(SafeWrite, LinkPlantedByAnotherUserIsNotFollowed) {
    if (!isRoot()) GTEST_SKIP() << "planting a link of another user needs root";
    const std::string victim = dir_.file("bashrc");
    writeFile(victim, "my settings");
    struct Case {
        const char* what;
        fs::perms folderMode;
    };
    for (const Case& c : {Case{"private folder", fs::perms::owner_all},
                          Case{"sticky folder anyone may write", fs::perms::all | fs::perms::sticky_bit}}) {
        SCOPED_TRACE(c.what);
        const std::string shared = dir_.file("shared");
        fs::remove_all(shared);
        fs::create_directory(shared);
        fs::permissions(shared, c.folderMode);
        const std::string link = shared + "/guide.vinfo";
        fs::create_symlink(victim, link);
        ASSERT_EQ(::lchown(link.c_str(), kOtherUser, kOtherUser), 0);

        const Outcome save = attempt([&] { writeFileSafely(link, "\r\n[vTome Bookmarks]\r\n1=rm -rf,0\r\n"); });
        EXPECT_EQ(save.code, FailureCode::FileOpenFailure);
        EXPECT_EQ(save.path, link);
        EXPECT_NE(save.reason.find("another user"), std::string::npos) << save.reason;
        EXPECT_EQ(readFile(victim), "my settings");
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(entries(shared), std::vector<std::string>{"guide.vinfo"});
    }
}

TEST_F(SafeWrite, RootsLinkIsFollowedForAnotherUser) {
    if (!isRoot()) GTEST_SKIP() << "needs root to act as a second user";
    fs::permissions(dir_.path(), fs::perms::all);
    const std::string data = dir_.file("data.vinfo");
    writeFile(data, "old");
    ASSERT_EQ(::chown(data.c_str(), kOtherUser, kOtherUser), 0);
    fs::create_symlink("data.vinfo", dir_.file("guide.vinfo"));  // made by root
    EXPECT_EQ(runAsUser(kOtherUser, [&] { writeFileSafely(dir_.file("guide.vinfo"), "new"); }), 0);
    EXPECT_EQ(readFile(data), "new");
    // A link of a third user, in the same folder, is not.
    fs::create_symlink("data.vinfo", dir_.file("planted.vinfo"));
    ASSERT_EQ(::lchown(dir_.file("planted.vinfo").c_str(), kThirdUser, kThirdUser), 0);
    EXPECT_EQ(runAsUser(kOtherUser, [&] { writeFileSafely(dir_.file("planted.vinfo"), "evil"); }), 25);
    EXPECT_EQ(readFile(data), "new");
}

// --- what a replacement would lose

TEST_F(SafeWrite, HardLinkedFileIsWrittenInPlaceAndStaysShared) {
    const std::string path = dir_.file("guide.vinfo");
    const std::string other = dir_.file("other-name.vinfo");
    writeFile(path, "an old text that is longer than the new one");
    fs::create_hard_link(path, other);
    const ino_t inode = statOf(path).st_ino;

    writeFileSafely(path, "new");
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(readFile(other), "new");
    EXPECT_EQ(statOf(path).st_ino, inode);
    EXPECT_EQ(statOf(path).st_nlink, 2u);

    writeFileSafely(other, std::string(100000, 'g'));  // growing works as well
    EXPECT_EQ(readFile(path), std::string(100000, 'g'));
    EXPECT_EQ(entries(dir_.path()), (std::vector<std::string>{"guide.vinfo", "other-name.vinfo"}));
}

TEST_F(SafeWrite, RootKeepsOwnerGroupAndModeOfAnotherUsersFile) {
    if (!isRoot()) GTEST_SKIP() << "giving a file away needs root";
    const std::string path = dir_.file("guide.vinfo");
    writeFile(path, "old");
    ASSERT_EQ(::chown(path.c_str(), kOtherUser, kSharedGroup), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    writeFileSafely(path, "new");
    const struct stat info = statOf(path);
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(info.st_uid, kOtherUser);
    EXPECT_EQ(info.st_gid, kSharedGroup);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(SafeWrite, GroupSharedFileOfAnotherMemberIsWrittenInPlace) {
    if (!isRoot()) GTEST_SKIP() << "needs root to act as two users";
    // A folder the group shares, and a .vinfo another member made.
    fs::permissions(dir_.path(), fs::perms::all);
    ASSERT_EQ(::chown(dir_.path().c_str(), 0, kSharedGroup), 0);
    const std::string path = dir_.file("guide.vinfo");
    writeFile(path, "bookmarks of the team, before");
    ASSERT_EQ(::chown(path.c_str(), kThirdUser, kSharedGroup), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0664), 0);
    const ino_t inode = statOf(path).st_ino;

    EXPECT_EQ(runAsUser(kOtherUser, [&] { writeFileSafely(path, "after"); }), 0);
    const struct stat info = statOf(path);
    EXPECT_EQ(readFile(path), "after");
    EXPECT_EQ(info.st_ino, inode);
    EXPECT_EQ(info.st_uid, kThirdUser);
    EXPECT_EQ(info.st_gid, kSharedGroup);
    EXPECT_EQ(info.st_mode & 07777, 0664u);
    EXPECT_EQ(entries(dir_.path()), std::vector<std::string>{"guide.vinfo"});
}

TEST_F(SafeWrite, WritableFileInReadOnlyFolderIsWrittenInPlace) {
    const std::string path = dir_.file("guide.vinfo");
    writeFile(path, "old");
    if (isRoot()) {
        ASSERT_EQ(::chown(path.c_str(), kOtherUser, kOtherUser), 0);
        fs::permissions(dir_.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                         fs::perms::others_read | fs::perms::others_exec);
        EXPECT_EQ(runAsUser(kOtherUser, [&] { writeFileSafely(path, "new"); }), 0);
        // A new file cannot be made there.
        EXPECT_EQ(runAsUser(kOtherUser, [&] { writeFileSafely(dir_.file("new.vinfo"), "x"); }), 25);
    } else {
        fs::permissions(dir_.path(), fs::perms::owner_read | fs::perms::owner_exec);
        writeFileSafely(path, "new");
        EXPECT_EQ(attempt([&] { writeFileSafely(dir_.file("new.vinfo"), "x"); }).code, FailureCode::FileOpenFailure);
        fs::permissions(dir_.path(), fs::perms::owner_all);
    }
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(entries(dir_.path()), std::vector<std::string>{"guide.vinfo"});
}

TEST_F(SafeWrite, NewFileGetsTheUmasksModeAndReplacementKeepsTheOld) {
    const mode_t old = ::umask(027);
    writeFileSafely(dir_.file("new.ini"), "x");
    ::umask(old);
    EXPECT_EQ(statOf(dir_.file("new.ini")).st_mode & 0777, 0640u);
    ::chmod(dir_.file("new.ini").c_str(), 0604);
    writeFileSafely(dir_.file("new.ini"), "y");
    EXPECT_EQ(statOf(dir_.file("new.ini")).st_mode & 0777, 0604u);
}

// --- temporaries of killed saves

TEST_F(SafeWrite, NextSaveRemovesTemporariesOfEndedSavesOnly) {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    auto temporary = [&](const std::string& machine, pid_t pid) {
        return ".guide.vinfo.vtome-save." + machine + "." + std::to_string(pid) + ".0badcafe";
    };
    const std::string dead = temporary(host, ended);
    const std::string running = temporary(host, 1);                 // a save still at work
    const std::string elsewhere = temporary("another-machine", ended);  // not ours to judge
    const std::string otherFile = ".notes.vinfo.vtome-save." + std::string(host) + "." + std::to_string(ended) + ".0badcafe";
    for (const std::string& name : {dead, running, elsewhere, otherFile}) writeFile(dir_.file(name), "partial");
    EXPECT_TRUE(isSaveTemporaryName(dead, "guide.vinfo"));
    EXPECT_FALSE(isSaveTemporaryName(otherFile, "guide.vinfo"));

    writeFileSafely(dir_.file("guide.vinfo"), "saved");
    std::vector<std::string> expected{elsewhere, running, otherFile, "guide.vinfo"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries(dir_.path()), expected);
}

}  // namespace
}  // namespace vtome
