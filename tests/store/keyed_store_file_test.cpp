// Loading and saving: byte-for-byte round trips, and saves that fail without
// harming the file already on disk.

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/failure.h"
#include "store/file_io.h"
#include "support/store_fixture.h"

namespace vtome {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

const std::string kDataDir = VTOME_TEST_DATA_DIR;

FailureCode failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeFailure& failure) {
        return failure.code();
    }
    ADD_FAILURE() << "expected a failure";
    return FailureCode::StringOverflow;
}

class KeyedStoreFile : public ::testing::Test, protected testing::StoreFixture {};

TEST_F(KeyedStoreFile, UneditedSaveReproducesEveryFixture) {
    for (const char* name : {"lf-only.ini", "cr-only.ini", "no-final-line-end.ini", "mixed-line-ends.vtome",
                             "nul-bytes.bin", "binary-junk.bin", "text-block-unclosed.vtome"}) {
        SCOPED_TRACE(name);
        const std::string original = readFile(kDataDir + "/" + name);
        auto store = KeyedStore::loadFromFile(kDataDir + "/" + name);
        // Lookups must not disturb anything either.
        store->getString("S", "k");
        store->getSectionText("vTome Header");
        store->lineCount("vTome Contents");
        store->firstSection();
        EXPECT_EQ(saved(*store), original);
    }
}

TEST_F(KeyedStoreFile, EditKeepsUntouchedLinesOfHandWrittenFile) {
    auto store = KeyedStore::loadFromFile(kDataDir + "/lf-only.ini");
    store->setString("vTome Settings", "Scope", "topic");
    EXPECT_EQ(saved(*store), "; settings kept by hand\n[vTome Settings]\nScope=topic\ntop = 1\n\n[Other]\nkeep=me\n");
}

TEST_F(KeyedStoreFile, LargeTextSurvivesSaveInPieces) {
    std::string big;
    for (int i = 0; i < 5000; ++i) big += "[T" + std::to_string(i) + "]\r\nline=" + std::string(i % 50, 'x') + "\r\n";
    auto store = load(big);
    EXPECT_EQ(saved(*store), big);
    EXPECT_EQ(store->getString("T4999", "line"), std::string(4999 % 50, 'x'));
}

TEST_F(KeyedStoreFile, LoadFailures) {
    EXPECT_EQ(failureOf([&] { KeyedStore::loadFromFile(dir().file("missing.ini")); }),
              FailureCode::FileOpenFailure);
    EXPECT_EQ(failureOf([&] { KeyedStore::loadFromFile(dir().path().string()); }), FailureCode::FileOpenFailure);
    if (::geteuid() != 0) {
        const std::string locked = dir().file("locked.ini");
        writeFile(locked, "[S]\r\n");
        ::chmod(locked.c_str(), 0);
        EXPECT_EQ(failureOf([&] { KeyedStore::loadFromFile(locked); }), FailureCode::FileOpenFailure);
    }
}

TEST_F(KeyedStoreFile, SaveReplacesAtomicallyAndKeepsPermissions) {
    const std::string path = dir().file("user.vinfo");
    writeFile(path, "old");
    ::chmod(path.c_str(), 0640);
    auto store = KeyedStore::newEmpty();
    store->setString("S", "k", "v");
    store->saveToFile(path);
    EXPECT_EQ(readFile(path), "\r\n[S]\r\nk=v\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    // No temporary file is left beside the target.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir().path()), fs::directory_iterator()), 1);
}

TEST_F(KeyedStoreFile, SaveWritesThroughSymbolicLink) {
    const std::string real = dir().file("real.ini");
    const std::string link = dir().file("link.ini");
    writeFile(real, "old");
    fs::create_symlink("real.ini", link);
    auto store = load("[S]\r\n");
    store->saveToFile(link);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFile(real), "[S]\r\n");
}

TEST_F(KeyedStoreFile, FailedSaveLeavesOldFileIntact) {
    auto store = load("[S]\r\nnew\r\n");
    // The target is a folder.
    EXPECT_EQ(failureOf([&] { store->saveToFile(dir().path().string()); }), FailureCode::FileOpenFailure);
    // The folder does not exist.
    EXPECT_EQ(failureOf([&] { store->saveToFile(dir().file("no/such/file.ini")); }),
              FailureCode::FileOpenFailure);
    if (::geteuid() != 0) {
        const std::string readOnly = dir().file("readonly.ini");
        writeFile(readOnly, "keep me");
        ::chmod(readOnly.c_str(), 0444);
        EXPECT_EQ(failureOf([&] { store->saveToFile(readOnly); }), FailureCode::FileOpenFailure);
        EXPECT_EQ(readFile(readOnly), "keep me");
    }
}

// A full disk is injected by tests/fault; a device is no file to save to.
TEST_F(KeyedStoreFile, DeviceIsRefusedUntouched) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    EXPECT_EQ(failureOf([] { writeFileSafely("/dev/full", std::string(20000, 'x')); }),
              FailureCode::FileOpenFailure);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(KeyedStoreFile, StoreFromEmptyFileGrowsOnFirstEdit) {
    auto store = load("");
    store->setString("S", "k", "v");
    EXPECT_EQ(saved(*store), "\r\n[S]\r\nk=v\r\n");
}

}  // namespace
}  // namespace vtome
