// vtome-tool search, run as a script would run it.

#include <gtest/gtest.h>

#include "support/process.h"
#include "support/temp_dir.h"

namespace vtome {
namespace {

using testing::ProcessResult;
using testing::writeFile;

class ToolSearch : public ::testing::Test {
protected:
    ProcessResult tool(std::vector<std::string> args) { return testing::runProcess(VTOME_TOOL_PATH, args); }
    std::string file(const std::string& name) { return dir_.file(name); }

    testing::TempDir dir_;
};

// The header mentions the text; A does not; B (a child) three times, two of
// them overlapping candidates; Bytes holds it as a byte block; Plain in a key
// line; Gone has no section; Zero only after a byte 0.
const std::string kDocument =
    "[vTome Header]\r\n<text>\r\nA Foo document.\r\n</text>\r\n\r\n"
    "[vTome Contents]\r\nA=First\r\n.B=Second\r\nBytes\r\nGone\r\nPlain=Plain one\r\nZero\r\n\r\n"
    "[A]\r\n<text>\r\nnothing here\r\n</text>\r\n"
    "[B]\r\n<text>\r\nFOO fOo\r\nfoofoo\r\n</text>\r\n"
    "[Bytes]\r\n<bin>66 6F 6F\r\n</bin>\r\n"
    "[Plain]\r\nkey=foo\r\n" +
    std::string("\0", 1) + "[Zero]\r\nfoo\r\n";

TEST_F(ToolSearch, ListsMatchingTopicsInContentsOrderWithCounts) {
    writeFile(file("doc.vtome"), kDocument);
    const ProcessResult result = tool({"search", file("doc.vtome"), "foo"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out,
              "1\tvTome Header\tdoc.vtome\n"
              "4\tB\tSecond\n"
              "1\tBytes\tBytes\n"
              "1\tPlain\tPlain one\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(ToolSearch, OccurrencesDoNotOverlap) {
    writeFile(file("doc.vtome"), kDocument);
    EXPECT_EQ(tool({"search", file("doc.vtome"), "oFoo"}).out, "1\tB\tSecond\n");  // "foofoo" holds one
    EXPECT_EQ(tool({"search", file("doc.vtome"), "OO FOO"}).out, "1\tB\tSecond\n");
}

TEST_F(ToolSearch, NothingFoundIsExitStatusOne) {
    writeFile(file("doc.vtome"), kDocument);
    for (const std::string text : {"absent", ""}) {
        const ProcessResult result = tool({"search", file("doc.vtome"), text});
        EXPECT_EQ(result.status, 1) << text;
        EXPECT_EQ(result.out, "") << text;
    }
}

TEST_F(ToolSearch, DocumentIsFoundAsTheViewerFindsIt) {
    writeFile(file("doc.vtome"), kDocument);
    EXPECT_EQ(tool({"search", file("doc"), "document"}).out, "1\tvTome Header\tdoc.vtome\n");

    const ProcessResult missing = tool({"search", file("missing.vtome"), "foo"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("missing.vtome"), std::string::npos);
    EXPECT_EQ(tool({"search", file("doc.vtome")}).status, 2);
}

}  // namespace
}  // namespace vtome
