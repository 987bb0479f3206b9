#pragma once
// The two contents the kill -9 test's child saves in turn: large enough that
// a save takes a while, different from their first byte on.

#include <string>

namespace vtome::testing {

inline std::string killContent(int which) {
    std::string text = which == 0 ? "[first]\r\n" : "[second]\r\n";
    for (int line = 0; text.size() < 256 * 1024; ++line) {
        text += (which == 0 ? "a" : "b") + std::to_string(line) + "=" + std::string(60, which == 0 ? 'x' : 'y') + "\r\n";
    }
    return text;
}

}  // namespace vtome::testing
