// vtome-tool search, run as a script would run it.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

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

// Past a few thousand occurrences every topic's text is read instead: the
// same lines either way.
TEST_F(ToolSearch, ATextInThousandsOfPlacesIsCountedInEveryTopic) {
    std::string many;
    for (int i = 0; i < 6000; ++i) many += "foo ";
    std::string doc = kDocument;
    doc.insert(doc.find("nothing here"), many);
    writeFile(file("many.vtome"), doc);
    const ProcessResult result = tool({"search", file("many.vtome"), "foo"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out,
              "1\tvTome Header\tmany.vtome\n"
              "6000\tA\tFirst\n"
              "4\tB\tSecond\n"
              "1\tBytes\tBytes\n"
              "1\tPlain\tPlain one\n");
}

// The contents are read line by line against the counts: a topic listed
// twice is written twice, a line with "=" and no title shows the name, and a
// line too long for the contents fails the document before anything is out.
TEST_F(ToolSearch, ContentsLinesAreWrittenAsTheTopicIndexKeepsThem) {
    const std::string doc =
        "[vTome Contents]\r\nA=First\r\nB=\r\nA=Again\r\n\r\n[A]\r\nfoo\r\n[B]\r\n<text>\r\nfoo foo\r\n</text>\r\n";
    writeFile(file("twice.vtome"), doc);
    const ProcessResult result = tool({"search", file("twice.vtome"), "foo"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "1\tA\tFirst\n2\tB\tB\n1\tA\tAgain\n");

    std::string tooLong = doc;
    tooLong.insert(tooLong.find("\r\n\r\n[A]"), "\r\n" + std::string(5000, 'x'));
    writeFile(file("long.vtome"), tooLong);
    const ProcessResult failed = tool({"search", file("long.vtome"), "foo"});
    EXPECT_EQ(failed.status, 3);
    EXPECT_EQ(failed.out, "");
    EXPECT_NE(failed.err.find("String Overflow"), std::string::npos) << failed.err;
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

// The tool reads a large document's pages in place: one cut short by another
// program while a search runs gives the file failure, never a crash.
TEST_F(ToolSearch, ADocumentCutShortDuringTheSearchEndsInAFileFailureNotACrash) {
    std::string document = "[vTome Header]\r\n<text>\r\nHead\r\n</text>\r\n[vTome Contents]\r\n";
    constexpr int kTopics = 40000;
    for (int i = 0; i < kTopics; ++i) document += "T" + std::to_string(i) + "\r\n";
    document += "\r\n";
    const std::string paragraph(300, 'x');
    for (int i = 0; i < kTopics; ++i) {
        document += "[T" + std::to_string(i) + "]\r\n<text>\r\nA thermostat.\r\n" + paragraph + "\r\n</text>\r\n";
    }
    const std::string source = file("source.vtome");
    const std::string doc = file("doc.vtome");
    writeFile(source, document);

    std::filesystem::copy_file(source, doc);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(tool({"search", doc, "thermostat"}).status, 0);
    const auto whole = std::chrono::steady_clock::now() - start;

    // The cuts are spread over one run's length; on a busy machine a round
    // may miss the reading altogether, so up to three rounds are tried.
    int failures = 0;
    constexpr int kTrials = 16;
    for (int round = 0; round < 3 && failures == 0; ++round) {
        for (int trial = 0; trial < kTrials; ++trial) {
            std::filesystem::copy_file(source, doc, std::filesystem::copy_options::overwrite_existing);
            std::thread cutter([&] {
                std::this_thread::sleep_for(whole * trial / kTrials);
                std::filesystem::resize_file(doc, 4096);
            });
            const ProcessResult result = tool({"search", doc, "thermostat"});
            cutter.join();
            SCOPED_TRACE(trial);
            ASSERT_NE(result.status, -1) << "ended by a signal";
            if (result.status == 3) {
                EXPECT_EQ(result.err, "vtome-tool: " + doc +
                                          ": The file became shorter while it was read (File read error, 26)\n");
                ++failures;
            } else {
                EXPECT_TRUE(result.status == 0 || result.status == 1) << result.status << " " << result.err;
            }
        }
    }
    EXPECT_GT(failures, 0) << "no cut landed while the document was read";
}

}  // namespace
}  // namespace vtome
