// vtome-tool import-info: Info manuals written by the tests (whole, split,
// compressed) converted and read back through contents and section, as a
// script would; then every manual installed on the machine.

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <regex>

#include "support/process.h"
#include "support/temp_dir.h"

namespace vtome {
namespace {

using namespace std::string_literals;
using testing::ProcessResult;
using testing::readFile;
using testing::writeFile;

ProcessResult tool(const std::vector<std::string>& args) { return testing::runProcess(VTOME_TOOL_PATH, args); }

std::string node(const std::string& name, const std::string& text) {
    return "\x1f\nFile: test.info,  Node: " + name + ",  Up: Top\n\n" + text + "\n";
}

// Appends one gzip member holding bytes to the file at path.
void appendGzip(const std::string& path, const std::string& bytes) {
    gzFile file = gzopen(path.c_str(), "ab");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(gzwrite(file, bytes.data(), static_cast<unsigned>(bytes.size())), static_cast<int>(bytes.size()));
    ASSERT_EQ(gzclose(file), Z_OK);
}

std::string gunzipFile(const std::string& path) {
    gzFile file = gzopen(path.c_str(), "rb");
    std::string out;
    char chunk[65536];
    for (int n; file != nullptr && (n = gzread(file, chunk, sizeof chunk)) > 0;) out.append(chunk, n);
    if (file != nullptr) gzclose(file);
    return out;
}

const std::string kPreamble = "This is test.info, produced by hand.\n\nINFO-DIR-SECTION Tests\n\n";

// Menus three deep, a second menu naming a placed node again, a menu entry
// into another manual, an index whose entries lead to a node no real menu
// names, a mention of a later node's name in brackets, a line beginning
// with </text>, non-ASCII text and a node reached by no menu at all.
const std::vector<std::string> kNodes = {
    node("Top", "The Test Manual\n***************\n\n* Menu:\n\n* Chapter One::       the first\n"
                "* Second: Chapter Two.   the second\n* Elsewhere: (other)Top.\n* Index::\n* Another Node::\n"),
    node("Chapter One", "1 Chapter One\n\nSee [Another Node] for more.\n\n* Menu:\n\n* Section A::\n"),
    node("Section A", "1.1 Section A\n\n* Menu:\n\n* Subsection A1::\n"),
    node("Subsection A1", "Deep text.\n</text> starts this line.\n</TEXT> and this one.\n"),
    node("Chapter Two", "Caf\xc3\xa9 and na\xc3\xafve.\n\n* Menu:\n\n* Section A::   named again\n"),
    node("Index", "\0\b[index\0\b]\n* Menu:\n\n* keyword:      Chapter Two.   (line 3)\n"
                  "* lonely word: Lonely.        (line 1)\n"s),
    node("Another Node", "Reached from Top, mentioned in Chapter One."),
    node("Lonely", "No menu leads here."),
};

std::string tagTable() {
    std::string table = "\x1f\nTag Table:\n";
    for (const char* name : {"Top", "Chapter One", "Section A"}) table += std::string("Node: ") + name + "\x7f" "1\n";
    return table + "\x1f\nEnd Tag Table\n";
}

std::string wholeManual() {
    std::string text = kPreamble;
    for (const std::string& n : kNodes) text += n;
    return text + tagTable() + "\x1f\nLocal Variables:\ncoding: utf-8\nEnd:\n";
}

const char* const kExpectedContents =
    "0\tvTome Header\ttest.info\n"
    "1\tChapter One\tChapter One\n"
    "2\tSection A\tSection A\n"
    "3\tSubsection A1\tSubsection A1\n"
    "1\tChapter Two\tChapter Two\n"
    "1\tIndex\tIndex\n"
    "1\tAnother Node (2)\tAnother Node\n"  // "[Another Node]" stands in Chapter One's text
    "1\tLonely\tLonely\n";

class ToolImportInfo : public ::testing::Test {
protected:
    std::string file(const std::string& name) { return dir_.file(name); }

    // Converts, then asserts the document is sound by the tool's own check.
    void import(const std::string& info, const std::string& out) {
        const ProcessResult result = tool({"import-info", info, out});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, "");
        const ProcessResult check = tool({"check", out});
        EXPECT_EQ(check.status, 0) << check.out;
        EXPECT_EQ(check.out, "0 errors, 0 warnings\n");
    }
    std::string section(const std::string& doc, const std::string& name) {
        const ProcessResult result = tool({"section", doc, name});
        EXPECT_EQ(result.status, 0) << name;
        return result.out;
    }

    testing::TempDir dir_;
};

TEST_F(ToolImportInfo, NodesBecomeTopicsInMenuOrderWithTheirTextsWhole) {
    writeFile(file("test.info"), wholeManual());
    import(file("test.info"), file("test.vtome"));
    const std::string doc = file("test.vtome");
    EXPECT_EQ(tool({"contents", doc}).out,
              std::string(kExpectedContents).replace(std::string(kExpectedContents).find("test.info"), 9, "test.vtome"));

    EXPECT_EQ(section(doc, "vTome Header"),
              "The Test Manual\r\n***************\r\n\r\n* Menu:\r\n\r\n* Chapter One::       the first\r\n"
              "* Second: Chapter Two.   the second\r\n* Elsewhere: (other)Top.\r\n* Index::\r\n* Another Node::");
    // Lines beginning with </text> are indented, so the topic reads back whole.
    EXPECT_EQ(section(doc, "Subsection A1"), "Deep text.\r\n </text> starts this line.\r\n </TEXT> and this one.");
    EXPECT_EQ(section(doc, "Chapter Two").substr(0, 17), "Caf\xc3\xa9 and na\xc3\xafve.");
    // The mention keeps its text, and the renamed section is the node's own.
    EXPECT_NE(section(doc, "Chapter One").find("See [Another Node] for more."), std::string::npos);
    EXPECT_EQ(section(doc, "Another Node (2)"), "Reached from Top, mentioned in Chapter One.");
    // No index marker, no byte 0, no node line or separator is left.
    EXPECT_EQ(section(doc, "Index").substr(0, 9), "* Menu:\r\n");
    const std::string bytes = readFile(doc);
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
    EXPECT_EQ(bytes.find('\x1f'), std::string::npos);
    EXPECT_EQ(bytes.find("File: test.info"), std::string::npos);
}

TEST_F(ToolImportInfo, SplitAndCompressedManualsReadEveryPart) {
    // The main file holds the indirect table; part 1 is compressed in two
    // gzip members, part 2 is plain.
    appendGzip(file("test.info.gz"), kPreamble + "\x1f\nIndirect:\ntest.info-1: 60\ntest.info-2: 900\n" + tagTable());
    appendGzip(file("test.info-1.gz"), kPreamble + kNodes[0] + kNodes[1] + kNodes[2]);
    appendGzip(file("test.info-1.gz"), kNodes[3] + kNodes[4]);
    writeFile(file("test.info-2"), kPreamble + kNodes[5] + kNodes[6] + kNodes[7]);
    import(file("test.info.gz"), file("split.vtome"));
    std::string expected = kExpectedContents;
    expected.replace(expected.find("test.info"), 9, "split.vtome");
    EXPECT_EQ(tool({"contents", file("split.vtome")}).out, expected);

    // The document commands read an Info manual as the viewer opens it.
    expected.replace(expected.find("split.vtome"), 11, "test.info.gz");
    EXPECT_EQ(tool({"contents", file("test.info.gz")}).out, expected);
    EXPECT_EQ(tool({"search", file("test.info.gz"), "lonely word"}).out, "1\tIndex\tIndex\n");
}

TEST_F(ToolImportInfo, NodeNamesBecomeSafeSectionNamesAndStayTheTitles) {
    std::string text = kPreamble + node("Top", "* Menu:\n\n* a=b [x]::\n* \x7f.dotted, odd\x7f::\n* vTome Header::\n"
                                               "* Foo::\n");
    for (const char* name : {"a=b [x]", "\x7f.dotted, odd\x7f", "vTome Header"}) {
        text += node(name, std::string("Text of ") + name);
    }
    // Below another parent: the same title twice under one would be a fault.
    text += node("Foo", "* Menu:\n\n* foo::\n") + node("foo", "Text of foo");
    writeFile(file("odd.info"), text);
    import(file("odd.info"), file("odd.vtome"));
    EXPECT_EQ(tool({"contents", file("odd.vtome")}).out,
              "0\tvTome Header\todd.vtome\n"
              "1\ta-b (x)\ta=b [x]\n"
              "1\tdotted, odd\t.dotted, odd\n"
              "1\tvTome Header (2)\tvTome Header\n"
              "1\tFoo\tFoo\n"
              "2\tfoo (2)\tfoo\n");
    EXPECT_EQ(section(file("odd.vtome"), "foo (2)"), "Text of foo");
}

TEST_F(ToolImportInfo, FailuresAndRefusals) {
    writeFile(file("plain.txt"), "Just text, no nodes.\n");
    const ProcessResult notInfo = tool({"import-info", file("plain.txt"), file("out.vtome")});
    EXPECT_EQ(notInfo.status, 1);
    EXPECT_EQ(notInfo.err, "vtome-tool: " + file("plain.txt") + ": not an Info manual\n");
    EXPECT_FALSE(std::filesystem::exists(file("out.vtome")));

    // A part named by the indirect table that is not there.
    writeFile(file("split.info"), kPreamble + "\x1f\nIndirect:\nsplit.info-1: 60\n" + tagTable());
    const ProcessResult missingPart = tool({"import-info", file("split.info"), file("out.vtome")});
    EXPECT_EQ(missingPart.status, 3);
    EXPECT_EQ(missingPart.err,
              "vtome-tool: " + file("split.info-1") + ": No such file or directory (File open failure, 25)\n");

    // Compressed data cut short.
    appendGzip(file("whole.info.gz"), wholeManual());
    const std::string gz = readFile(file("whole.info.gz"));
    writeFile(file("cut.info.gz"), gz.substr(0, gz.size() / 2));
    const ProcessResult cut = tool({"import-info", file("cut.info.gz"), file("out.vtome")});
    EXPECT_EQ(cut.status, 3);
    EXPECT_EQ(cut.err, "vtome-tool: " + file("cut.info.gz") + ": Not a valid gzip file (File read error, 26)\n");
    EXPECT_FALSE(std::filesystem::exists(file("out.vtome")));

    EXPECT_EQ(tool({"import-info", file("whole.info.gz")}).status, 2);
}

// Every manual installed under /usr/share/info converts without an error of
// the check, with one topic per node of its tag table.
TEST(InstalledInfoManuals, EveryOneConvertsWithEveryNodeAsATopic) {
    const std::filesystem::path folder = "/usr/share/info";
    const std::regex mainFile(R"(.*\.info(\.gz)?)");  // not the parts, named .info-N
    std::vector<std::filesystem::path> manuals;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (std::regex_match(entry.path().filename().string(), mainFile)) manuals.push_back(entry.path());
    }
    if (manuals.empty()) GTEST_SKIP() << "no Info manuals in " << folder;

    testing::TempDir dir;
    for (const std::filesystem::path& manual : manuals) {
        SCOPED_TRACE(manual.string());
        const std::string out = dir.file(manual.filename().string() + ".vtome");
        const ProcessResult result = tool({"import-info", manual.string(), out});
        ASSERT_EQ(result.status, 0) << result.err;
        const ProcessResult check = tool({"check", "--quiet", out});
        EXPECT_EQ(check.status, 0) << check.out;

        const std::string text = manual.extension() == ".gz" ? gunzipFile(manual.string()) : readFile(manual.string());
        const std::size_t table = text.find("\x1f\nTag Table:\n");
        if (table == std::string::npos) continue;
        std::size_t nodes = 0;
        for (std::size_t at = text.find("\nNode: ", table); at != std::string::npos; at = text.find("\nNode: ", at + 1)) {
            ++nodes;
        }
        const ProcessResult contents = tool({"contents", out});
        // The Top node is the title page, listed first as every header is.
        EXPECT_EQ(static_cast<std::size_t>(std::count(contents.out.begin(), contents.out.end(), '\n')), nodes);
    }
}

}  // namespace
}  // namespace vtome
