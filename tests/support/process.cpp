#include "support/process.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <csignal>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vtome::testing {

namespace {

struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() {
        if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    }
    ~Pipe() {
        closeEnd(0);
        closeEnd(1);
    }
    void closeEnd(int end) {
        if (fds[end] >= 0) ::close(fds[end]);
        fds[end] = -1;
    }
};

}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input) {
    // A child that exits without reading its input must not kill the test.
    std::signal(SIGPIPE, SIG_IGN);
    Pipe in, out, err;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.fds[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out.fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err.fds[1], 2);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + program);
    in.closeEnd(0);
    out.closeEnd(1);
    err.closeEnd(1);

    ProcessResult result;
    std::size_t written = 0;
    if (input.empty()) in.closeEnd(1);
    // Feed and drain together so that neither side can block the other.
    while (out.fds[0] >= 0 || err.fds[0] >= 0) {
        pollfd polls[3] = {{out.fds[0], POLLIN, 0}, {err.fds[0], POLLIN, 0}, {in.fds[1], POLLOUT, 0}};
        if (::poll(polls, 3, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        char piece[65536];
        for (int i = 0; i < 2; ++i) {
            if (polls[i].fd < 0 || !(polls[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = ::read(polls[i].fd, piece, sizeof piece);
            Pipe& source = i == 0 ? out : err;
            if (n <= 0) {
                source.closeEnd(0);
            } else {
                (i == 0 ? result.out : result.err).append(piece, static_cast<std::size_t>(n));
            }
        }
        if (polls[2].fd >= 0 && (polls[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t n = ::write(in.fds[1], input.data() + written, input.size() - written);
            if (n > 0) written += static_cast<std::size_t>(n);
            if (n < 0 || written == input.size()) in.closeEnd(1);
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace vtome::testing
