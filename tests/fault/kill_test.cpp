// Saves killed with SIGKILL at random moments (100 trials, half of them
// with named temporaries): the file always holds one whole content, and
// nothing but the file is left once the next save has run.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "kill_contents.h"
#include "store/file_io.h"
#include "support/temp_dir.h"

extern char** environ;

namespace vtome {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// A running save_loop, its standing output read to see it save.
class SaveLoop {
public:
    SaveLoop(const std::string& target, const char* mode) {
        int fds[2];
        if (::pipe(fds) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::string program = VTOME_SAVE_LOOP_PATH;
        std::vector<char*> argv{program.data(), const_cast<char*>(target.c_str()), const_cast<char*>(mode), nullptr};
        const int spawned = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out_ = fds[0];
        if (spawned != 0) throw std::runtime_error("cannot start save_loop");
    }
    ~SaveLoop() {
        if (pid_ > 0) kill();
        ::close(out_);
    }

    // Waits until `count` more saves are done; false if the loop ended.
    bool waitForSaves(int count) {
        for (int done = 0; done < count;) {
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0) return false;
            char buffer[64];
            const ssize_t n = ::read(out_, buffer, sizeof buffer);
            if (n <= 0) return false;
            done += static_cast<int>(n);
        }
        return true;
    }

    void kill() {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
};

TEST(KillDuringSave, OldOrNewAndNoLitter) {
    TempDir dir;
    const std::string target = dir.file("guide.vinfo");
    const std::string first = testing::killContent(0);
    const std::string second = testing::killContent(1);
    const std::string initial = "[vTome Bookmarks]\r\n1=Intro,0\r\n";
    std::mt19937 random(20240611);

    int leftBehind = 0;
    int trials = 0;
    for (const char* mode : {"unnamed", "named"}) {
        SCOPED_TRACE(mode);
        // How long one save takes here, so that kills fall inside saves.
        writeFile(target, initial);
        std::chrono::microseconds perSave{};
        {
            SaveLoop loop(target, mode);
            ASSERT_TRUE(loop.waitForSaves(1));
            const auto start = std::chrono::steady_clock::now();
            ASSERT_TRUE(loop.waitForSaves(5));
            perSave = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start) / 5;
        }
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            if (entry.path() != target) fs::remove(entry.path());
        }
        std::uniform_int_distribution<long> delay(0, std::max<long>(3 * perSave.count(), 200));

        for (int trial = 0; trial < 50; ++trial, ++trials) {
            writeFile(target, initial);
            {
                SaveLoop loop(target, mode);
                ASSERT_TRUE(loop.waitForSaves(1));
                std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
                loop.kill();
            }
            const std::string now = readFile(target);
            EXPECT_TRUE(now == first || now == second) << "trial " << trial << ": a mixture of " << now.size()
                                                       << " bytes";
            // Anything else is a temporary of the killed save...
            for (const auto& entry : fs::directory_iterator(dir.path())) {
                const std::string name = entry.path().filename().string();
                if (name == "guide.vinfo") continue;
                ++leftBehind;
                EXPECT_TRUE(isSaveTemporaryName(name, "guide.vinfo")) << name;
            }
            // ...which the next save removes.
            writeFileSafely(target, initial);
            std::vector<std::string> names;
            for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename());
            EXPECT_EQ(names, std::vector<std::string>{"guide.vinfo"}) << "trial " << trial;
        }
    }
    RecordProperty("trials", trials);
    RecordProperty("temporaries_left_by_a_kill", leftBehind);
    std::printf("%d kills, %d left a temporary for the next save to remove\n", trials, leftBehind);
}

}  // namespace
}  // namespace vtome
