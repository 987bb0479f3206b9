// The streamed text export against the export it replaced (every section's
// text copied by the store into a buffer and appended to one output
// buffer), and the streamed file write against what a replacing write must
// leave behind.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "document/text_export.h"
#include "runtime/failure.h"
#include "store/file_io.h"
#include "support/generated_documents.h"
#include "support/store_fixture.h"

namespace vtome {
namespace {

using testing::readFile;
using testing::writeFile;

std::string plainExport(KeyedStore& document) {
    TextBuffer output;
    TextBuffer section;
    output.insertString("\r\n");
    for (const SectionNameEntry* entry = document.firstSection(); entry != nullptr; entry = entry->nextName()) {
        if (!document.getSectionToBuffer(entry->name, section)) section.reset();
        output.toEnd();
        output.insertString(entry->name);
        output.insertChar(':');
        output.insertString("\r\n");
        output.insertBuffer(section);
        output.insertString("\r\n\r\n");
    }
    return std::string(output.view());
}

std::string streamedExport(KeyedStore& document) {
    std::string out;
    writeTextExport(document, [&out](std::string_view piece) { out.append(piece); });
    return out;
}

class TextExportTest : public ::testing::Test, protected testing::StoreFixture {
protected:
    std::string file(const std::string& name) const { return dir().file(name); }
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir().path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(TextExportTest, SameBytesAsTheBufferedExport) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const testing::GeneratedHelpDocument doc = testing::generateHelpDocument(seed);
        auto store = load(doc.text);
        const std::string expected = plainExport(*store);
        ASSERT_EQ(streamedExport(*store), expected);
        // Every write is flushed to disk: a sample of them through a file.
        if (seed % 20 == 0) {
            writeTextExport(*store, file("out.txt"));
            ASSERT_EQ(readFile(file("out.txt")), expected);
        }
    }
}

// Pieces larger than the write buffer, and many small ones around them.
TEST_F(TextExportTest, LargeAndSmallSectionsReachTheFileWhole) {
    std::string doc = "[vTome Header]\r\n<text>\r\n" + std::string(700000, 'h') + "\r\n</text>\r\n";
    for (int i = 0; i < 1500; ++i) doc += "[S" + std::to_string(i) + "]\r\nline " + std::to_string(i) + "\r\n";
    doc += "[Big]\r\n" + std::string(300000, 'b') + "\r\n";
    auto store = load(doc);
    writeTextExport(*store, file("out.txt"));
    EXPECT_EQ(readFile(file("out.txt")), plainExport(*store));
}

TEST_F(TextExportTest, ReplacesTheFileKeepingItsModeAndLeavesNothingBeside) {
    auto store = load("[A]\r\nnew text\r\n");
    writeFile(file("out.txt"), "old export");
    ::chmod(file("out.txt").c_str(), 0640);
    writeTextExport(*store, file("out.txt"));
    EXPECT_EQ(readFile(file("out.txt")), "\r\nA:\r\nnew text\r\n\r\n\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(file("out.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    // The loaded store's file and the export: no temporary file is left.
    EXPECT_EQ(folderEntries().size(), 2u);
}

TEST_F(TextExportTest, WritesThroughASymbolicLinkToTheFileItNames) {
    auto store = load("[A]\r\nx\r\n");
    std::filesystem::create_directory(file("real"));
    writeFile(file("real/target.txt"), "old");
    std::filesystem::create_symlink("real/target.txt", file("link.txt"));
    writeTextExport(*store, file("link.txt"));
    EXPECT_TRUE(std::filesystem::is_symlink(file("link.txt")));
    EXPECT_EQ(readFile(file("real/target.txt")), "\r\nA:\r\nx\r\n\r\n\r\n");
}

TEST_F(TextExportTest, AFailureHalfWayLeavesTheOldFileAndNoTemporary) {
    // A section name too long for the lookups fails the export after the
    // sections before it were written.
    std::string doc = "[A]\r\n" + std::string(400000, 'a') + "\r\n[" + std::string(5000, 'n') + "]\r\nx\r\n";
    auto store = load(doc);
    writeFile(file("out.txt"), "the old export");
    const std::vector<std::string> before = folderEntries();
    try {
        writeTextExport(*store, file("out.txt"));
        FAIL() << "the export went through";
    } catch (const RuntimeFailure& failure) {
        EXPECT_EQ(failure.code(), FailureCode::StringOverflow);
    }
    EXPECT_EQ(readFile(file("out.txt")), "the old export");
    EXPECT_EQ(folderEntries(), before);
}

// A file with another name of its own is written in place, so that both
// names keep showing the same file; the streamed pieces arrive whole.
TEST_F(TextExportTest, AFileWithAnotherNameIsWrittenInPlace) {
    std::string doc;
    for (int i = 0; i < 3000; ++i) doc += "[S" + std::to_string(i) + "]\r\n" + std::string(200, 'x') + "\r\n";
    auto store = load(doc);
    writeFile(file("out.txt"), "old");
    std::filesystem::create_hard_link(file("out.txt"), file("other-name.txt"));
    writeTextExport(*store, file("out.txt"));
    const std::string expected = plainExport(*store);
    EXPECT_EQ(readFile(file("out.txt")), expected);
    EXPECT_EQ(readFile(file("other-name.txt")), expected);
    EXPECT_EQ(std::filesystem::hard_link_count(file("out.txt")), 2u);
}

TEST_F(TextExportTest, AFolderIsRefused) {
    auto store = load("[A]\r\nx\r\n");
    std::filesystem::create_directory(file("folder"));
    try {
        writeTextExport(*store, file("folder"));
        FAIL() << "a folder was written";
    } catch (const RuntimeFailure& failure) {
        EXPECT_EQ(failure.code(), FailureCode::FileOpenFailure);
        EXPECT_EQ(failure.path(), file("folder"));
    }
    EXPECT_TRUE(std::filesystem::is_empty(file("folder")));
}

TEST_F(TextExportTest, AMissingFolderIsAnOpenFailure) {
    auto store = load("[A]\r\nx\r\n");
    EXPECT_THROW(writeTextExport(*store, file("no/such/folder/out.txt")), RuntimeFailure);
}

}  // namespace
}  // namespace vtome
