// vtome-tool's document commands (contents, export), and the viewer's own
// manual checked with them as a help author would check a document.

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <sstream>

#include "support/process.h"
#include "support/temp_dir.h"

namespace vtome {
namespace {

using testing::ProcessResult;
using testing::readFile;
using testing::writeFile;

ProcessResult tool(const std::vector<std::string>& args) { return testing::runProcess(VTOME_TOOL_PATH, args); }

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct ContentsLine {
    int depth;
    std::string name;
    std::string title;
};

std::vector<ContentsLine> parseContents(const std::string& out) {
    std::vector<ContentsLine> entries;
    for (const std::string& line : splitLines(out)) {
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = line.find('\t', tab1 + 1);
        EXPECT_NE(tab2, std::string::npos) << line;
        if (tab2 == std::string::npos) continue;
        entries.push_back({std::stoi(line.substr(0, tab1)), line.substr(tab1 + 1, tab2 - tab1 - 1),
                           line.substr(tab2 + 1)});
    }
    return entries;
}

class ToolDocumentCommands : public ::testing::Test {
protected:
    std::string file(const std::string& name) { return dir_.file(name); }
    testing::TempDir dir_;
};

TEST_F(ToolDocumentCommands, ContentsListsDepthsNamesAndTitlesAsTheTreeHasThem) {
    writeFile(file("guide.vtome"),
              "[vTome Header]\r\n<text>\r\nGuide.\r\n</text>\r\n\r\n"
              "[vTome Contents]\r\n..Early\r\nIntro=Introduction\r\n.Setup = Installing the viewer\r\n..Win\r\n"
              "Usage=\r\na=b=c\r\n\r\nAfterTheEmptyLine\r\n");
    const ProcessResult result = tool({"contents", file("guide")});  // ".vtome" is added
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "0\tvTome Header\tguide.vtome\n"
              "1\tEarly\tEarly\n"  // deeper than anything before it: under the header
              "1\tIntro\tIntroduction\n"
              "2\tSetup\tInstalling the viewer\n"
              "3\tWin\tWin\n"
              "1\tUsage\tUsage\n"
              "1\ta\tb=c\n");  // the empty line ends the list
}

TEST_F(ToolDocumentCommands, ADocumentThatCannotBeFoundGivesTheViewersMessage) {
    const ProcessResult contents = tool({"contents", file("missing")});
    EXPECT_EQ(contents.status, 1);
    EXPECT_EQ(contents.out, "");
    EXPECT_EQ(contents.err, "File Not Found :" + file("missing") + ".vtome\n");

    const ProcessResult exported = tool({"export", file("missing.vtome"), file("out.txt")});
    EXPECT_EQ(exported.status, 1);
    EXPECT_EQ(exported.err, "File Not Found :" + file("missing.vtome") + ".vtome\n");
    EXPECT_FALSE(std::filesystem::exists(file("out.txt")));

    EXPECT_EQ(tool({"contents"}).status, 2);
    EXPECT_EQ(tool({"export", file("missing")}).status, 2);
}

TEST_F(ToolDocumentCommands, ExportWritesEverySectionInFileOrder) {
    writeFile(file("doc.vtome"), "; a comment line\r\n[Z]\r\nz=1\r\n[vTome Header]\r\n<text>\r\nHead\r\n</text>\r\n"
                                 "[Raw]\r\n<bin>41 42\r\n</bin>\r\n");
    writeFile(file("out.txt"), "an older, longer file that must disappear completely");
    const ProcessResult result = tool({"export", file("doc.vtome"), file("out.txt")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(readFile(file("out.txt")), "\r\nZ:\r\nz=1\r\n\r\n\r\nvTome Header:\r\nHead\r\n\r\nRaw:\r\nAB\r\n\r\n");
}

// Exported over itself (a hard link makes the save write the file in place),
// the document is read whole before a byte of it changes.
TEST_F(ToolDocumentCommands, ExportOverTheDocumentItselfHoldsTheExportOfWhatItHeld) {
    std::string document = "[vTome Header]\r\n<text>\r\nHead\r\n</text>\r\n";
    for (int i = 0; i < 3000; ++i) {
        document += "[T" + std::to_string(i) + "]\r\n<text>\r\nTopic " + std::to_string(i) + "\r\n</text>\r\n";
    }
    writeFile(file("doc.vtome"), document);
    ASSERT_EQ(tool({"export", file("doc.vtome"), file("expected.txt")}).status, 0);
    std::filesystem::create_hard_link(file("doc.vtome"), file("link.vtome"));

    const ProcessResult result = tool({"export", file("doc.vtome"), file("link.vtome")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readFile(file("doc.vtome")), readFile(file("expected.txt")));
}

TEST_F(ToolDocumentCommands, ExportIntoAFolderThatDoesNotExistFails) {
    writeFile(file("doc.vtome"), "[S]\r\ns\r\n");
    const ProcessResult result = tool({"export", file("doc.vtome"), file("nowhere/out.txt")});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err, "vtome-tool: " + file("nowhere/out.txt") + ": No such file or directory (File open failure, 25)\n");
}

TEST_F(ToolDocumentCommands, ExportToDashWritesStandardOutputByteForByte) {
    writeFile(file("doc.vtome"), "[vTome Header]\r\n<text>\r\nHead\r\n</text>\r\n[Raw]\r\n<bin>00 41\r\n</bin>\r\n");
    ASSERT_EQ(tool({"export", file("doc.vtome"), file("out.txt")}).status, 0);
    const bool dashBefore = std::filesystem::exists("-");
    const ProcessResult result = tool({"export", file("doc.vtome"), "-"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, readFile(file("out.txt")));  // the NUL byte included
    EXPECT_EQ(std::filesystem::exists("-"), dashBefore) << "a file named - was written";

    // A file named - is reached as ./-, as with other tools.
    const ProcessResult dotted = tool({"export", file("doc.vtome"), file("-")});
    EXPECT_EQ(dotted.status, 0);
    EXPECT_EQ(readFile(file("-")), result.out);
}

// The manual shipped beside the executables is a sound vTome document: every
// contents entry finds its own section, written as a text block, and no
// bracketed mention in an earlier text takes a section's place.
class Manual : public ::testing::Test {
protected:
    void SetUp() override {
        manual_ = readFile(VTOME_MANUAL_PATH);
        const ProcessResult result = tool({"contents", VTOME_MANUAL_PATH});
        ASSERT_EQ(result.status, 0) << result.err;
        entries_ = parseContents(result.out);
    }

    // `word` stands alone somewhere: not as a part of a longer command name.
    bool mentionsWord(const std::string& word) const {
        auto partOfName = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-'; };
        for (std::size_t at = manual_.find(word); at != std::string::npos; at = manual_.find(word, at + 1)) {
            const std::size_t end = at + word.size();
            if ((at == 0 || !partOfName(manual_[at - 1])) && (end == manual_.size() || !partOfName(manual_[end]))) {
                return true;
            }
        }
        return false;
    }

    std::string manual_;
    std::vector<ContentsLine> entries_;
};

TEST_F(Manual, IsTheSourceCopiedBesideTheExecutables) {
    EXPECT_TRUE(manual_ == readFile(VTOME_MANUAL_SOURCE)) << VTOME_MANUAL_PATH << " is out of date";
}

TEST_F(Manual, UsesCrLfLineEndsOnly) {
    for (std::size_t at = 0; at < manual_.size(); ++at) {
        if (manual_[at] == '\n') {
            ASSERT_TRUE(at > 0 && manual_[at - 1] == '\r') << "lone LF at byte " << at;
        }
        if (manual_[at] == '\r') {
            ASSERT_TRUE(at + 1 < manual_.size() && manual_[at + 1] == '\n') << "lone CR at " << at;
        }
    }
}

TEST_F(Manual, EveryTopicHasItsOwnTextBlock) {
    ASSERT_GT(entries_.size(), 20u);
    EXPECT_EQ(entries_[0].name, "vTome Header");
    EXPECT_EQ(entries_[0].title, "vTome_doc.vtome");
    for (const ContentsLine& entry : entries_) {
        const ProcessResult section = tool({"section", VTOME_MANUAL_PATH, entry.name});
        EXPECT_EQ(section.status, 0) << "no section for " << entry.name;
        EXPECT_GT(section.out.size(), 100u) << entry.name;
        // The first "[NAME]" in the file is the section's own header line,
        // followed by a text block.
        const std::string header = "[" + entry.name + "]\r\n<text>\r\n";
        const std::size_t first = manual_.find("[" + entry.name + "]");
        EXPECT_EQ(first, manual_.find(header)) << entry.name << " is mentioned in brackets before its section";
        EXPECT_TRUE(first == 0 || manual_[first - 1] == '\n') << entry.name;
        // The topic reads back whole: the block ends at its own closing line,
        // which the next section's header (or the end of the file) follows.
        // A line of the text beginning with </text> would end it early.
        const std::size_t end = first + header.size() + section.out.size();
        const std::string rest = manual_.substr(end, 14);
        EXPECT_TRUE(rest == "\r\n</text>\r\n" || rest.rfind("\r\n</text>\r\n\r\n[", 0) == 0)
            << entry.name << " ends early, before: " << manual_.substr(end, 40);
    }
}

TEST_F(Manual, HasSeveralDepthsTitlesOfTheirOwnAndNoStraySections) {
    int deepest = 0;
    std::size_t ownTitles = 0;
    std::set<std::string> names;
    for (const ContentsLine& entry : entries_) {
        deepest = std::max(deepest, entry.depth);
        if (entry.title != entry.name) ++ownTitles;
        EXPECT_TRUE(names.insert(entry.name).second) << "listed twice: " << entry.name;
    }
    EXPECT_GE(deepest, 3);
    EXPECT_GT(ownTitles, entries_.size() / 2);

    // Every section is the contents list or a listed topic, once.
    names.insert("vTome Contents");
    const std::vector<std::string> sections = splitLines(tool({"sections", VTOME_MANUAL_PATH}).out);
    EXPECT_EQ(std::set<std::string>(sections.begin(), sections.end()), names);
    EXPECT_EQ(sections.size(), names.size());
}

TEST_F(Manual, DescribesEveryCommandOfTheTool) {
    const ProcessResult usage = tool({"--help"});
    ASSERT_EQ(usage.status, 0);
    std::size_t commands = 0;
    for (const std::string& line : splitLines(usage.out)) {
        if (line.rfind("  ", 0) != 0) continue;
        const std::string name = line.substr(2, line.find(' ', 2) - 2);
        ++commands;
        EXPECT_TRUE(mentionsWord(name)) << "the manual does not mention " << name;
    }
    EXPECT_GT(commands, 20u);
}

}  // namespace
}  // namespace vtome
