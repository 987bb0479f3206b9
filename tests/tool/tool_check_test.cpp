// vtome-tool check: one fixture per kind of fault, each giving exactly its
// finding at its line, a sound document giving none, and the exit statuses.

#include <gtest/gtest.h>

#include "support/process.h"
#include "support/temp_dir.h"

namespace vtome {
namespace {

using testing::ProcessResult;
using testing::writeFile;

const std::string kDataDir = VTOME_TEST_DATA_DIR;

ProcessResult tool(const std::vector<std::string>& args) { return testing::runProcess(VTOME_TOOL_PATH, args); }

struct Case {
    const char* file;
    std::vector<std::string> findings;  // "LINE: error|warning: MESSAGE"
};

const Case kCases[] = {
    {"sound-document.vtome", {}},
    {"contents-entry-without-section.vtome",
     {"8: error: contents entry \"Missing\" has no section [Missing]: the topic shows an empty page"}},
    {"topic-section-is-byte-block.vtome",
     {"7: error: the section of contents entry \"Logo\" is a byte block, which the viewer does not show: the "
      "topic shows an empty page"}},
    {"section-shadowed-by-mention.vtome",
     {"12: error: [Alpha] inside section \"Tips\" is taken for the header of section \"Alpha\", whose own header "
      "is at line 15: the viewer reads that section from the line after this one"}},
    {"section-only-mentioned.vtome",
     {"1: error: [Gone] before the first section is taken for the header of section \"Gone\", which has no "
      "header of its own: the viewer reads that section from the line after this one"}},
    {"text-block-unclosed.vtome",
     {"1: error: the document has no [vTome Contents] section, so it lists no topics",
      "2: error: the text block of section \"vTome Header\" has no closing </text> line, so the section has no "
      "text at all"}},
    {"text-block-runs-into-next-section.vtome",
     {"11: error: the text block of section \"A\" has no closing </text> line before the section at line 14: "
      "it runs on to the </text> at line 17, with everything between as its text"}},
    // The shape of the two faults the manual once shipped with.
    {"text-block-ended-early.vtome",
     {"13: error: this line begins with </text> and ends the text block of section \"Brackets\" here: the text "
      "after it, up to line 16, is lost (indent the line by a blank if it belongs to the text)",
      "21: error: this line begins with </text> and ends the text block of section \"Missing\" here: the text "
      "after it, up to line 24, is lost (indent the line by a blank if it belongs to the text)"}},
    {"text-block-closing-line-with-text.vtome",
     {"12: warning: the text after </text> on the closing line of section \"A\" is ignored"}},
    {"byte-block-unclosed.vtome",
     {"15: error: the byte block of section \"Logo\" has no closing </bin> at the start of a line, so it cannot "
      "be read"}},
    {"byte-block-broken.vtome",
     {"16: error: the byte block of section \"Logo\" cannot be decoded: this line holds something other than "
      "pairs of hex digits"}},
    {"header-section-missing.vtome",
     {"1: error: the document has no [vTome Header] section, so its title page is empty"}},
    {"contents-section-missing.vtome",
     {"1: error: the document has no [vTome Contents] section, so it lists no topics"}},
    {"byte-zero.vtome", {"14: error: this line holds a byte 0: the viewer sees nothing of the file after it"}},
    {"contents-cut-by-empty-line.vtome",
     {"8: error: the contents list ends at this empty line: the entries after it, from line 9 on, are not "
      "listed"}},
    {"contents-line-too-long.vtome",
     {"8: error: this contents line is 4097 characters long: the viewer stops with \"String Overflow\" on a line "
      "over 4096"}},
    {"topic-name-too-long.vtome",
     {"8: error: the topic name on this line is longer than 1024 characters: the viewer stops with \"String "
      "Overflow\""}},
    {"contents-depth-jump.vtome",
     {"10: warning: contents entry \"D\" is 2 levels deeper than the entry before it: it hangs under \"B\" at "
      "line 8"}},
    {"contents-entry-without-parent.vtome",
     {"7: warning: contents entry \"Early\" is at depth 2, but no entry one level up stands before it: it hangs "
      "under the title page"}},
    {"topic-name-listed-twice.vtome",
     {"8: warning: topic name \"A\" is listed twice (first at line 7): both entries show the same section"}},
    {"topic-names-differ-in-case.vtome",
     {"8: warning: topic name \"intro\" differs only in letter case from \"Intro\" at line 7"}},
    {"titles-repeated-under-parent.vtome",
     {"9: warning: title \"step\" is used twice under \"Setup\" (first at line 8): readers cannot tell the two "
      "topics apart",
      "10: warning: title \"Setup\" is used twice under the title page (first at line 7): readers cannot tell "
      "the two topics apart"}},
    {"section-repeated.vtome",
     {"14: warning: section \"A\" appears again: the viewer reads only the first one, at line 9"}},
    {"plain-section-cut-by-bracket-line.vtome",
     {"11: warning: this line begins with \"[\" and starts a section \"Optional\", which cuts the text of "
      "section \"Setup\" short: write that section as a text block to keep the line in its text"}},
    {"line-ends-mixed.vtome",
     {"9: warning: line ends are mixed: this line ends with LF alone, the lines before it with CR LF"}},
    {"line-ends-cr-only.vtome",
     {"1: warning: the lines end with CR alone: a section without a text block then runs on to the end of the "
      "file"}},
    {"text-not-utf8.vtome",
     {"12: warning: this line is neither UTF-8 nor plain ASCII: the viewer shows its topic as Windows-1252 "
      "text"}},
};

std::string plural(std::size_t n, const std::string& word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

TEST(ToolCheck, EachFaultGivesExactlyItsFindingAtItsLine) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.file);
        const std::string path = kDataDir + "/" + c.file;
        std::string expected;
        std::size_t errors = 0;
        for (const std::string& finding : c.findings) {
            expected += path + ":" + finding + "\n";
            if (finding.find(": error: ") != std::string::npos) ++errors;
        }
        expected += plural(errors, "error") + ", " + plural(c.findings.size() - errors, "warning") + "\n";
        const ProcessResult result = tool({"check", path});
        EXPECT_EQ(result.out, expected);
        EXPECT_EQ(result.status, errors == 0 ? 0 : 1);
        EXPECT_EQ(result.err, "");
    }
}

TEST(ToolCheck, QuietPrintsTheErrorsOnly) {
    const std::string faulty = kDataDir + "/text-block-ended-early.vtome";
    const ProcessResult errors = tool({"check", "--quiet", faulty});
    EXPECT_EQ(errors.status, 1);
    EXPECT_EQ(std::count(errors.out.begin(), errors.out.end(), '\n'), 2);
    EXPECT_EQ(errors.out.find("errors,"), std::string::npos);

    const ProcessResult warnings = tool({"check", kDataDir + "/contents-depth-jump.vtome", "--quiet"});
    EXPECT_EQ(warnings.status, 0);
    EXPECT_EQ(warnings.out, "");
}

TEST(ToolCheck, FindsTheDocumentAsTheViewerDoesAndRefusesWrongCommandLines) {
    testing::TempDir dir;
    writeFile(dir.file("guide.vtome"), testing::readFile(kDataDir + "/contents-depth-jump.vtome"));
    const ProcessResult found = tool({"check", dir.file("guide")});
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.out.rfind(dir.file("guide.vtome") + ":10: warning: ", 0), 0u) << found.out;

    const ProcessResult missing = tool({"check", dir.file("missing")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "File Not Found :" + dir.file("missing") + ".vtome\n");

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"check"}, {"check", "--quiet"}, {"check", "a", "b"}, {"check", "--quiet", "--quiet", "a"}}) {
        EXPECT_EQ(tool(args).status, 2) << args.size();
    }
    EXPECT_EQ(tool({"check", dir.path().string()}).status, 3);  // a folder cannot be read
}

// A file the tool reads through the viewer's loader is still checked as
// written: an Info manual is no help document.
TEST(ToolCheck, ChecksTheFileAsWrittenNotAConversion) {
    testing::TempDir dir;
    writeFile(dir.file("m.info"), "\x1f\nFile: m.info,  Node: Top\n\nTop text.\n");
    const ProcessResult result = tool({"check", dir.file("m.info")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("no [vTome Header] section"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace vtome
