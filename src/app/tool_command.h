#pragma once
// The command table of vtome-tool: each row names a command, the arguments it
// takes and the function that runs it. A run returns the exit status.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vtome {
class RuntimeFailure;
}

namespace vtome::tool {

enum ExitStatus : int {
    kSuccess = 0,
    kFalse = 1,        // the operation reported false / not found
    kUsageError = 2,   // a wrong command line
    kRuntimeFailure = 3,
};

// Thrown by argument parsers on a malformed number or hex string.
struct UsageError {};

using Arguments = std::vector<std::string>;

struct ToolCommand {
    std::string_view name;
    std::string_view arguments;  // as shown in the usage text
    std::size_t argumentCount;
    int (*run)(const Arguments& args);
    std::size_t optionalArguments = 0;  // options the command may take besides
};

std::span<const ToolCommand> storeCommands();
// Commands on help documents: search and export.
std::span<const ToolCommand> searchCommands();
std::span<const ToolCommand> exportCommands();
// Checking a document, and converting an Info manual into one.
std::span<const ToolCommand> checkCommands();
std::span<const ToolCommand> infoCommands();

// Prints a failure on standard error, with the file and the reason when it
// is about a file.
void reportFailure(const RuntimeFailure& failure);
// The line reportFailure writes, ending in a line feed.
std::string failureLine(const RuntimeFailure& failure);

// Writes bytes to standard output exactly as they are.
void writeOut(std::string_view bytes);

// The name of standard output where a command takes an output file.
constexpr std::string_view kStandardOutputName = "-";

}  // namespace vtome::tool
