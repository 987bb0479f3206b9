#pragma once
// Runs a program with arguments, feeding standard input and collecting
// standard output and error, for end-to-end tests of the command-line tools.

#include <string>
#include <vector>

namespace vtome::testing {

struct ProcessResult {
    int status = -1;  // exit status, or -1 when the process did not exit normally
    std::string out;
    std::string err;
};

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {});

}  // namespace vtome::testing
