#include "runtime/failure.h"

#include <cstdio>
#include <cstring>

namespace vtome {

namespace {

struct FailureRow {
    FailureCode code;
    const char* text;
};

// The one table of failure numbers and their texts.
constexpr FailureRow kFailureTable[] = {
    {FailureCode::StringOverflow, "String Overflow"},
    {FailureCode::ConversionError, "Conversion error"},
    {FailureCode::ValueOutOfRange, "Value out of range"},
    {FailureCode::IllegalCharacter, "Illegal character"},
    {FailureCode::FileOpenFailure, "File open failure"},
    {FailureCode::FileReadError, "File read error"},
    {FailureCode::FileWriteError, "File write error"},
    {FailureCode::DiskFullError, "Disk full error"},
    {FailureCode::FileCloseFailure, "File close failure"},
    {FailureCode::FileTooLarge, "File too large"},
    {FailureCode::MemoryAllocationFailure, "Memory allocation failure"},
    {FailureCode::MemoryAccessViolation, "Memory Access Violation"},
    {FailureCode::AbstractMethod, "Attempted to execute abstract method"},
};

}  // namespace

const char* failureText(FailureCode code) {
    for (const FailureRow& row : kFailureTable) {
        if (row.code == code) return row.text;
    }
    return "Unknown failure";
}

RuntimeFailure::RuntimeFailure(FailureCode code, std::string path, int systemError, std::string reason)
    : code_(code), path_(std::move(path)), systemError_(systemError), reason_(std::move(reason)) {
    if (reason_.empty()) reason_ = systemError_ != 0 ? std::strerror(systemError_) : failureText(code_);
}

std::string RuntimeFailure::detail() const {
    if (path_.empty()) return {};
    return path_ + ": " + reason_;
}

std::string formatFailureNumber(std::uint32_t number) {
    char text[16];
    if (number <= 65535) {
        std::snprintf(text, sizeof text, "%u", number);
    } else {
        std::snprintf(text, sizeof text, "$%08X", number);
    }
    return text;
}

}  // namespace vtome
