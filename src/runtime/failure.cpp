#include "runtime/failure.h"

#include <cstdio>

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
