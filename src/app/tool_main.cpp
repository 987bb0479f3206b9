// vtome-tool: reads and edits vTome's keyed files from scripts, with the same
// store code the viewer uses.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include <unistd.h>

#include "app/tool_command.h"
#include "runtime/failure.h"

namespace vtome::tool {

void writeOut(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

namespace {

constexpr std::size_t kOutputBufferSize = 256 * 1024;

// Every command table of the tool, in the order the usage lists them.
std::span<const ToolCommand> (*const kCommandTables[])() = {storeCommands, searchCommands, exportCommands,
                                                                   checkCommands, infoCommands};

void printUsage(std::FILE* out) {
    std::fputs("usage: vtome-tool COMMAND ARGUMENTS...\n"
               "or:    vtome-tool --help | --version\n\n"
               "A FILE that does not exist reads as an empty file. Exit status: 0 done,\n"
               "1 not found or refused (nothing written), 2 wrong command line, 3 failure.\n\n"
               "Commands:\n",
               out);
    for (auto table : kCommandTables) {
        for (const ToolCommand& command : table()) {
            std::fprintf(out, "  %.*s %.*s\n", static_cast<int>(command.name.size()), command.name.data(),
                         static_cast<int>(command.arguments.size()), command.arguments.data());
        }
    }
}

// Standard output as the last step of a command: whatever could not be
// written (a full disk, a closed pipe) is a write failure like any file's.
int finishOutput(int status) {
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return status;
    const int error = errno;
    const RuntimeFailure failure(error == ENOSPC || error == EDQUOT ? FailureCode::DiskFullError
                                                                    : FailureCode::FileWriteError,
                                 "standard output", error);
    reportFailure(failure);
    return kRuntimeFailure;
}

const ToolCommand* findCommand(std::string_view name) {
    for (auto table : kCommandTables) {
        for (const ToolCommand& command : table()) {
            if (command.name == name) return &command;
        }
    }
    return nullptr;
}

}  // namespace

std::string failureLine(const RuntimeFailure& failure) {
    // "vtome-tool: FILE: REASON (TEXT, N)" for a file, else "vtome-tool: TEXT (N)".
    const std::string number = formatFailureNumber(static_cast<std::uint32_t>(failure.number()));
    if (failure.isAboutFile()) return "vtome-tool: " + failure.detail() + " (" + failure.what() + ", " + number + ")\n";
    return std::string("vtome-tool: ") + failure.what() + " (" + number + ")\n";
}

void reportFailure(const RuntimeFailure& failure) {
    std::fflush(stdout);
    std::fputs(failureLine(failure).c_str(), stderr);
}

int runTool(int argc, char** argv) {
    // Output for a pipe or a file goes out in large writes: an export to
    // standard output is tens of megabytes. A terminal keeps its line buffer.
    static char outputBuffer[kOutputBufferSize];
    if (::isatty(STDOUT_FILENO) == 0) std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printUsage(stdout);
        return finishOutput(kSuccess);
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs("vtome-tool " VTOME_VERSION "\n", stdout);
        return finishOutput(kSuccess);
    }
    const ToolCommand* command = argc >= 2 ? findCommand(argv[1]) : nullptr;
    const auto given = static_cast<std::size_t>(argc - 2);
    if (command == nullptr || given < command->argumentCount ||
        given > command->argumentCount + command->optionalArguments) {
        printUsage(stderr);
        return kUsageError;
    }
    const Arguments args(argv + 2, argv + argc);
    try {
        return finishOutput(command->run(args));
    } catch (const UsageError&) {
        printUsage(stderr);
        return kUsageError;
    } catch (const RuntimeFailure& failure) {
        reportFailure(failure);
        return kRuntimeFailure;
    } catch (const std::bad_alloc&) {
        // A count or a file too large for memory ends like the viewer's own
        // allocation failures, with their number and text.
        reportFailure(RuntimeFailure(FailureCode::MemoryAllocationFailure));
        return kRuntimeFailure;
    }
}

}  // namespace vtome::tool

int main(int argc, char** argv) { return vtome::tool::runTool(argc, argv); }
