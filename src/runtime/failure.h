#pragma once
// Runtime failures: one exception type carrying a fixed number and the fixed
// text of that number. The number doubles as the process exit code when a
// failure reaches the program-wide report, so numbers never change once used.

#include <cstdint>
#include <exception>
#include <string>

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

class RuntimeFailure : public std::exception {
public:
    explicit RuntimeFailure(FailureCode code) : code_(code) {}

    FailureCode code() const { return code_; }
    int number() const { return static_cast<int>(code_); }
    const char* what() const noexcept override { return failureText(code_); }

private:
    FailureCode code_;
};

[[noreturn]] inline void fail(FailureCode code) { throw RuntimeFailure(code); }

// "N" up to 65535, otherwise "$" and eight hex digits: how a failure number is
// shown in the report's caption.
std::string formatFailureNumber(std::uint32_t number);

}  // namespace vtome
