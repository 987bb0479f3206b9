// vtome-tool check: the findings of the document check, one line each in the
// form compilers use ("FILE:LINE: error: message"), so that editors can jump
// to them, then a summary line.

#include <string>

#include "app/tool_command.h"
#include "app/tool_document.h"
#include "document/document_check.h"
#include "store/keyed_store.h"

namespace vtome::tool {

namespace {

constexpr std::string_view kQuiet = "--quiet";

std::string counted(std::size_t count, std::string_view what) {
    return std::to_string(count) + " " + std::string(what) + (count == 1 ? "" : "s");
}

// Exit status 0 when the document has no errors, 1 when it has (or cannot be
// found). With --quiet only the errors are printed: no warnings, no summary.
int check(const Arguments& a) {
    bool quiet = false;
    const std::string* argument = nullptr;
    for (const std::string& word : a) {
        if (word == kQuiet) {
            if (quiet) throw UsageError{};
            quiet = true;
        } else if (argument == nullptr) {
            argument = &word;
        } else {
            throw UsageError{};
        }
    }
    if (argument == nullptr) throw UsageError{};

    const std::optional<std::string> path = findToolDocument(*argument);
    if (!path) return kFalse;
    // The file is checked as it is written: an Info manual is not converted.
    const std::unique_ptr<KeyedStore> document = KeyedStore::loadFromFile(*path);
    std::size_t errors = 0;
    std::size_t warnings = 0;
    for (const CheckFinding& finding : checkDocument(*document)) {
        const bool isError = finding.severity == CheckFinding::Severity::Error;
        (isError ? errors : warnings) += 1;
        if (quiet && !isError) continue;
        writeOut(*path + ":" + std::to_string(finding.line) + (isError ? ": error: " : ": warning: ") +
                 finding.message + "\n");
    }
    if (!quiet) writeOut(counted(errors, "error") + ", " + counted(warnings, "warning") + "\n");
    return errors == 0 ? kSuccess : kFalse;
}

constexpr ToolCommand kCheckCommands[] = {
    {"check", "[--quiet] DOC                  (FILE:LINE: error|warning: MESSAGE per finding)", 1, check, 1},
};

}  // namespace

std::span<const ToolCommand> checkCommands() { return kCheckCommands; }

}  // namespace vtome::tool
