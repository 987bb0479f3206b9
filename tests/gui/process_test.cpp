// Starting another program: arguments passed one by one, a bounded wait,
// and a program still running after the wait left running.

#include <QElapsedTimer>
#include <QTest>

#include <chrono>
#include <filesystem>

#include "../support/temp_dir.h"
#include "gui_support.h"

namespace vtome::gui_test {
namespace {

using namespace std::chrono_literals;
using vtome::testing::readFile;
using vtome::testing::TempDir;

TEST(GuiProcess, EachArgumentArrivesWholeBlanksIncluded) {
    TempDir dir;
    const std::string out = dir.file("args");
    const std::string script = "printf '%s|' \"$@\" > \"$0\"";
    ASSERT_TRUE(platform().runProcess("/bin/sh", {"-c", script, out, "two words", "", "x"}, 5000ms));
    EXPECT_EQ(readFile(out), "two words||x|");
}

TEST(GuiProcess, AProgramThatCannotStartIsReported) {
    EXPECT_FALSE(platform().runProcess("/nonexistent/vtome-no-such-program", {}, 1000ms));
}

TEST(GuiProcess, TheWaitEndsAtTheTimeoutAndTheProgramRunsOn) {
    TempDir dir;
    const std::string done = dir.file("done");
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(platform().runProcess("/bin/sh", {"-c", "sleep 0.4; : > \"$0\"", done}, 50ms));
    EXPECT_LT(clock.elapsed(), 350);
    EXPECT_FALSE(std::filesystem::exists(done));
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(done); }, 3000))
        << "the program was stopped when the wait ended";
}

}  // namespace
}  // namespace vtome::gui_test
