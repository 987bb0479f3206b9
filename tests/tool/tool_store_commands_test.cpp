// vtome-tool's store commands, run as a script would run them.

#include <gtest/gtest.h>

#include "support/process.h"
#include "support/temp_dir.h"

namespace vtome {
namespace {

using testing::ProcessResult;
using testing::readFile;
using testing::writeFile;

class ToolStoreCommands : public ::testing::Test {
protected:
    ProcessResult tool(std::vector<std::string> args, const std::string& input = {}) {
        return testing::runProcess(VTOME_TOOL_PATH, args, input);
    }
    std::string file(const std::string& name) { return dir_.file(name); }

    testing::TempDir dir_;
};

TEST_F(ToolStoreCommands, SetThenGetBuildsTheFileByteForByte) {
    const std::string ini = file("vTome.ini");
    EXPECT_EQ(tool({"set", ini, "vTome Settings", "Scope", "doc"}).status, 0);
    EXPECT_EQ(tool({"set-bytes", ini, "vTome Settings", "WinPos", "6400000032000000580200002003000000000000"}).status, 0);
    EXPECT_EQ(tool({"set-uns", ini, "vTome Settings", "vBar", "200"}).status, 0);
    EXPECT_EQ(readFile(ini),
              "\r\n[vTome Settings]\r\nScope=doc\r\nWinPos=6400000032000000580200002003000000000000\r\nvBar=200\r\n");

    ProcessResult get = tool({"get", ini, "vTome Settings", "Scope"});
    EXPECT_EQ(get.status, 0);
    EXPECT_EQ(get.out, "doc\n");
    EXPECT_EQ(tool({"get-bytes", ini, "vTome Settings", "WinPos", "8"}).out, "6400000032000000\n");
    EXPECT_EQ(tool({"get-uns", ini, "vTome Settings", "vBar"}).out, "200\n");
    EXPECT_EQ(tool({"get", ini, "vTome Settings", "missing"}).status, 1);
    EXPECT_EQ(tool({"get", file("absent.ini"), "S", "k"}).status, 1);
}

TEST_F(ToolStoreCommands, TypedValues) {
    const std::string ini = file("t.ini");
    EXPECT_EQ(tool({"set-int", ini, "S", "i", "-42"}).status, 0);
    EXPECT_EQ(tool({"set-hex", ini, "S", "h", "ff"}).status, 0);
    EXPECT_EQ(tool({"set-bool", ini, "S", "b", "true"}).status, 0);
    EXPECT_EQ(tool({"get-int", ini, "S", "i"}).out, "-42\n");
    EXPECT_EQ(tool({"get-hex", ini, "S", "h"}).out, "000000FF\n");
    EXPECT_EQ(tool({"get-bool", ini, "S", "b"}).out, "true\n");
    EXPECT_EQ(tool({"get-bool", ini, "S", "nothing"}).out, "false\n");
    EXPECT_EQ(tool({"get-int", ini, "S", "nothing"}).out, "0\n");
    EXPECT_EQ(readFile(ini), "\r\n[S]\r\ni=-42\r\nh=000000FF\r\nb=true\r\n");
}

TEST_F(ToolStoreCommands, SectionsAndBodies) {
    const std::string doc = file("doc.vtome");
    writeFile(doc, "[vTome Header]\r\n<text>\r\nHello\r\n</text>\r\n[vTome Contents]\r\nA\r\n.B=Bee\r\n\r\n"
                   "[A]\r\nalpha\r\n[Bin]\r\n<bin>41 42\r\n</bin>\r\n");
    EXPECT_EQ(tool({"sections", doc}).out, "vTome Header\nvTome Contents\nA\nBin\n");
    EXPECT_EQ(tool({"section", doc, "vTome Header"}).out, "Hello");
    EXPECT_EQ(tool({"section", doc, "Bin"}).status, 1);
    EXPECT_EQ(tool({"section-bytes", doc, "Bin"}).out, "AB");
    EXPECT_EQ(tool({"section-bytes", doc, "A"}).out, "alpha\r\n");
    EXPECT_EQ(tool({"lines", doc, "vTome Contents"}).out, "2\n");
    EXPECT_EQ(tool({"line", doc, "vTome Contents", "1"}).out, ".B=Bee\n");
    EXPECT_EQ(tool({"line", doc, "vTome Contents", "2"}).status, 1);
    EXPECT_EQ(tool({"find-line", doc, "vTome Contents", ".b=BEE"}).out, "1\n");
    EXPECT_EQ(tool({"find-line", doc, "vTome Contents", "C"}).status, 1);
}

TEST_F(ToolStoreCommands, SetSectionReadsStandardInputExactly) {
    const std::string ini = file("notes.vinfo");
    const std::string body("<text>\r\nline\0with nul\nand LF\r\n</text>\r\n", 37);
    EXPECT_EQ(tool({"set-section", ini, "Topic"}, body).status, 0);
    EXPECT_EQ(readFile(ini), "\r\n[Topic]\r\n" + body + "\r\n");
}

TEST_F(ToolStoreCommands, EditsThatReportFalseWriteNothing) {
    const std::string ini = file("e.ini");
    const std::string original = "[S]\r\nk=v\r\n[L]\r\na\r\n";
    writeFile(ini, original);
    EXPECT_EQ(tool({"delete-key", ini, "S", "zz"}).status, 1);
    EXPECT_EQ(tool({"delete-line", ini, "L", "5"}).status, 1);
    EXPECT_EQ(tool({"rename-key", ini, "S", "zz", "y"}).status, 1);
    EXPECT_EQ(tool({"rename-section", ini, "Q", "R"}).status, 1);
    EXPECT_EQ(readFile(ini), original);
    EXPECT_EQ(tool({"delete-key", file("never.ini"), "S", "k"}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(file("never.ini")));
}

TEST_F(ToolStoreCommands, LineAndRenameEdits) {
    const std::string ini = file("l.ini");
    writeFile(ini, "[S]\r\nk=v\r\n\r\n[L]\r\na\r\nc\r\n");
    EXPECT_EQ(tool({"insert-line", ini, "L", "1", "b"}).status, 0);
    EXPECT_EQ(tool({"replace-line", ini, "L", "0", "A"}).status, 0);
    EXPECT_EQ(tool({"delete-line", ini, "L", "2"}).status, 0);
    EXPECT_EQ(tool({"rename-key", ini, "S", "k", "key"}).status, 0);
    EXPECT_EQ(tool({"rename-section", ini, "L", "List"}).status, 0);
    EXPECT_EQ(readFile(ini), "[S]\r\nkey=v\r\n\r\n[List]\r\nA\r\nb\r\n");
    EXPECT_EQ(tool({"delete-key", ini, "S", "key"}).status, 0);
    EXPECT_EQ(tool({"delete-section", ini, "S"}).status, 0);
    EXPECT_EQ(readFile(ini), "[List]\r\nA\r\nb\r\n");
}

TEST_F(ToolStoreCommands, CopyReproducesBytes) {
    const std::string in = file("in.bin");
    std::string junk;
    for (int i = 0; i < 40000; ++i) junk.push_back(static_cast<char>((i * 7919) % 256));
    writeFile(in, junk);
    EXPECT_EQ(tool({"copy", in, file("out.bin")}).status, 0);
    EXPECT_EQ(readFile(file("out.bin")), junk);
}

TEST_F(ToolStoreCommands, UsageAndFailures) {
    EXPECT_EQ(tool({}).status, 2);
    EXPECT_EQ(tool({"frobnicate"}).status, 2);
    EXPECT_EQ(tool({"get", "only-two", "args"}).status, 2);
    EXPECT_EQ(tool({"set-int", file("x.ini"), "S", "k", "12x"}).status, 2);
    EXPECT_EQ(tool({"set-bytes", file("x.ini"), "S", "k", "ABC"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(file("x.ini")));
    ProcessResult help = tool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("rename-section"), std::string::npos);
    ProcessResult version = tool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vtome-tool " VTOME_VERSION "\n");
    EXPECT_EQ(tool({"--version", "x"}).status, 2);

    const std::string ini = file("n.ini");
    writeFile(ini, "[S]\r\nbig=4294967296\r\n");
    ProcessResult range = tool({"get-uns", ini, "S", "big"});
    EXPECT_EQ(range.status, 3);
    EXPECT_EQ(range.err, "vtome-tool: Value out of range (3)\n");

    ProcessResult folder = tool({"get", dir_.path().string(), "S", "k"});
    EXPECT_EQ(folder.status, 3);
    EXPECT_EQ(folder.err, "vtome-tool: " + dir_.path().string() + ": Is a directory (File open failure, 25)\n");
}

// Output that cannot be written ends with status 3 and says so, whatever
// the command; a silent status 3 leaves a script guessing.
TEST_F(ToolStoreCommands, StandardOutputThatCannotBeWrittenIsAWriteFailure) {
    const std::string ini = file("s.ini");
    writeFile(ini, "[S]\r\nk=value\r\n");
    writeFile(file("doc.vtome"), "[vTome Header]\r\nHead\r\n");
    const std::vector<std::vector<std::string>> commands = {
        {"get", ini, "S", "k"}, {"export", file("doc.vtome"), "-"}, {"--version"}, {"--help"}};
    for (const std::vector<std::string>& command : commands) {
        SCOPED_TRACE(command[0]);
        std::string line = "exec \"$0\"";
        for (std::size_t i = 0; i < command.size(); ++i) line += " \"$" + std::to_string(i + 1) + "\"";
        std::vector<std::string> args = {"-c", line + " > /dev/full", VTOME_TOOL_PATH};
        args.insert(args.end(), command.begin(), command.end());
        const ProcessResult result = testing::runProcess("/bin/sh", args);
        EXPECT_EQ(result.status, 3);
        EXPECT_EQ(result.err, "vtome-tool: standard output: No space left on device (Disk full error, 28)\n");
    }
}

TEST_F(ToolStoreCommands, MemoryThatCannotBeHadIsAnAllocationFailure) {
#ifdef VTOME_SANITIZED
    GTEST_SKIP() << "the sanitizers' allocator ends the process itself";
#else
    // 3 GB of bytes asked for under a 1 GB limit on the address space.
    const ProcessResult result = testing::runProcess(
        "/bin/sh", {"-c", "ulimit -v 1000000 && exec \"$0\" get-bytes \"$1\" S k 3000000000", VTOME_TOOL_PATH,
                    file("none.ini")});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err, "vtome-tool: Memory allocation failure (38)\n");
#endif
}

}  // namespace
}  // namespace vtome
