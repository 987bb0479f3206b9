// The installed programs run: the information options without a display,
// and the viewer, started offscreen without an argument, reads the
// installed manual.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "install_support.h"
#include "support/temp_dir.h"

namespace vtome::install_test {
namespace {

using namespace std::chrono_literals;
using testing::ProcessResult;

// No display of any kind: the options must not reach the window system.
const std::map<std::string, std::string> kNoDisplay = {{"PATH", "/usr/bin:/bin"}, {"HOME", "/nonexistent"}};

TEST(InstalledPrograms, InformationOptionsNeedNoDisplay) {
    const std::string viewer = installed("bin/vtome");
    const std::string tool = installed("bin/vtome-tool");
    const ProcessResult version = runIn("/", kNoDisplay, viewer, {"--version"});
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "vtome " VTOME_VERSION "\n");
    EXPECT_EQ(version.err, "");

    const ProcessResult help = runIn("/", kNoDisplay, viewer, {"--help"});
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.out.rfind("usage: vtome [DOCUMENT [TOPIC]]\n", 0), 0u) << help.out;

    const ProcessResult toolVersion = runIn("/", kNoDisplay, tool, {"--version"});
    EXPECT_EQ(toolVersion.status, 0);
    EXPECT_EQ(toolVersion.out, "vtome-tool " VTOME_VERSION "\n");
}

TEST(InstalledPrograms, TheToolReadsTheInstalledManual) {
    const ProcessResult contents =
        runIn("/", kNoDisplay, installed("bin/vtome-tool"), {"contents", installed("share/vtome/vTome_doc.vtome")});
    EXPECT_EQ(contents.status, 0) << contents.err;
    EXPECT_EQ(contents.out.rfind("0\tvTome Header\tvTome_doc.vtome\n", 0), 0u);
}

// Notices when the contents of a file are read, by anyone.
class ReadWatch {
public:
    explicit ReadWatch(const std::string& path) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ >= 0) watch_ = ::inotify_add_watch(fd_, path.c_str(), IN_ACCESS);
    }
    ~ReadWatch() {
        if (fd_ >= 0) ::close(fd_);
    }
    ReadWatch(const ReadWatch&) = delete;
    ReadWatch& operator=(const ReadWatch&) = delete;

    bool valid() const { return fd_ >= 0 && watch_ >= 0; }
    bool wasRead() {
        alignas(inotify_event) char events[4096];
        if (!read_ && ::read(fd_, events, sizeof events) > 0) read_ = true;
        return read_;
    }

private:
    int fd_;
    int watch_ = -1;
    bool read_ = false;
};

// The installed viewer, offscreen, in a folder and a home of its own;
// ended with SIGTERM when the test is done with it.
class InstalledViewer : public ::testing::Test {
protected:
    void TearDown() override {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    void start() {
        std::vector<std::string> words = {"/usr/bin/env", "-i", "-C", folder_.path().string(),
                                          "PATH=/usr/bin:/bin", "HOME=" + home_.path().string(),
                                          "XDG_CONFIG_HOME=" + home_.path().string() + "/config",
                                          "XDG_RUNTIME_DIR=" + home_.path().string(), "QT_QPA_PLATFORM=offscreen",
                                          installed("bin/vtome")};
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string log = home_.path().string() + "/output";
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), nullptr);
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_EQ(spawned, 0);
    }

    bool running() {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == 0) return true;
        pid_ = -1;
        return false;
    }

    template <typename Condition>
    static bool waitFor(Condition condition, std::chrono::milliseconds limit) {
        for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
            if (condition()) return true;
            std::this_thread::sleep_for(20ms);
        }
        return condition();
    }

    std::string output() { return testing::readFile(home_.path().string() + "/output"); }

    testing::TempDir folder_;
    testing::TempDir home_;
    pid_t pid_ = -1;
};

TEST_F(InstalledViewer, WithoutAnArgumentOpensTheInstalledManual) {
    ReadWatch manual(installed("share/vtome/vTome_doc.vtome"));
    ASSERT_TRUE(manual.valid());
    start();
    EXPECT_TRUE(waitFor([&] { return manual.wasRead() || !running(); }, 30s));
    EXPECT_TRUE(manual.wasRead()) << "the manual was not read; the viewer said: " << output();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(running()) << "the viewer ended instead of showing the manual: " << output();
}

TEST_F(InstalledViewer, ASourceDocumentInTheCurrentFolderComesBeforeTheManual) {
    testing::writeFile(folder_.path().string() + "/vtomesrc", "[vTome Header]\r\n<text>\r\nDraft\r\n</text>\r\n");
    ReadWatch source(folder_.path().string() + "/vtomesrc");
    ReadWatch manual(installed("share/vtome/vTome_doc.vtome"));
    ASSERT_TRUE(source.valid() && manual.valid());
    start();
    EXPECT_TRUE(waitFor([&] { return source.wasRead() || !running(); }, 30s));
    EXPECT_TRUE(source.wasRead()) << output();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(running()) << output();
    EXPECT_FALSE(manual.wasRead());
}

}  // namespace
}  // namespace vtome::install_test
