#pragma once
// Runtime failures: one exception type carrying a fixed number and the fixed
// text of that number. The number doubles as the process exit code when a
// failure reaches the program-wide report, so numbers never change once used.

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace vtome {

enum class FailureCode : std::uint16_t {
    StringOverflow = 1,
    ConversionError = 2,
    ValueOutOfRange = 3,
    IllegalCharacter = 4,
    FileOpenFailure = 25,
    FileReadError = 26,
    FileWriteError = 27,
    DiskFullError = 28,
    FileCloseFailure = 29,
    FileTooLarge = 30,
    MemoryAllocationFailure = 38,
    MemoryAccessViolation = 52,
    AbstractMethod = 58,
};

// The fixed text of a failure number ("String Overflow" for 1, ...).
const char* failureText(FailureCode code);

// The fixed text is the failure's message wherever it is reported. A failure
// about a file also carries the file's path and the system's error number,
// so that a report can say which file and why.
class RuntimeFailure : public std::exception {
public:
    explicit RuntimeFailure(FailureCode code) : code_(code) {}
    // `reason` says why in words; empty gives the system's text for systemError.
    RuntimeFailure(FailureCode code, std::string path, int systemError, std::string reason = {});

    FailureCode code() const { return code_; }
    int number() const { return static_cast<int>(code_); }
    const char* what() const noexcept override { return failureText(code_); }

    // The file concerned; empty when the failure is not about a file.
    const std::string& path() const { return path_; }
    // errno of the failed call; 0 when the system reported none.
    int systemError() const { return systemError_; }
    // Why, in the system's words ("Permission denied") or in vTome's own.
    const std::string& reason() const { return reason_; }
    bool isAboutFile() const { return !path_.empty(); }
    // "path: reason"; empty when the failure is not about a file.
    std::string detail() const;

private:
    FailureCode code_;
    std::string path_;
    int systemError_ = 0;
    std::string reason_;
};

[[noreturn]] inline void fail(FailureCode code) { throw RuntimeFailure(code); }
[[noreturn]] inline void failOnFile(FailureCode code, const std::string& path, int systemError) {
    throw RuntimeFailure(code, path, systemError);
}
// A failure about a file that no system call reported ("not a regular file").
[[noreturn]] inline void failOnFile(FailureCode code, const std::string& path, std::string reason) {
    throw RuntimeFailure(code, path, 0, std::move(reason));
}

// "N" up to 65535, otherwise "$" and eight hex digits: how a failure number is
// shown in the report's caption.
std::string formatFailureNumber(std::uint32_t number);

}  // namespace vtome
