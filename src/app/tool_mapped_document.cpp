#include "app/tool_mapped_document.h"

#include <atomic>
#include <csignal>
#include <cstdint>

#include <unistd.h>

#include "app/tool_command.h"
#include "runtime/failure.h"
#include "store/file_io.h"

namespace vtome::tool {

namespace {

// What the handler needs, made before any fault: it may only call write,
// pause and _exit.
std::string guardedMessage;
std::uintptr_t guardedStart = 0;
std::uintptr_t guardedEnd = 0;

void onBusError(int signal, siginfo_t* info, void*) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    if (info->si_code == BUS_ADRERR && address >= guardedStart && address < guardedEnd) {
        // Both threads of a search may read past the end at once: the first
        // says so and ends the process, the other waits for that end.
        static std::atomic_flag reported;  // clear until set
        if (reported.test_and_set()) {
            for (;;) ::pause();
        }
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, guardedMessage.data(), guardedMessage.size());
        ::_exit(kRuntimeFailure);
    }
    // Not ours: the fault happens again on return and ends the process as usual.
    std::signal(signal, SIG_DFL);
}

}  // namespace

void guardMappedDocument(const std::string& path, std::string_view bytes) {
    const RuntimeFailure failure(FailureCode::FileReadError, path, 0, std::string(kFileBecameShorter));
    guardedMessage = failureLine(failure);
    guardedStart = reinterpret_cast<std::uintptr_t>(bytes.data());
    guardedEnd = guardedStart + bytes.size();
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, nullptr);
}

}  // namespace vtome::tool
