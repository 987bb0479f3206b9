#pragma once
// Shared pieces of the benchmarks: a generated help document of a given size
// and a best-of-N timer.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace vtome::bench {

// A document of `topics` topics whose texts total about `bytes` bytes; the
// last topic is "Topic<topics-1>".
inline std::string generateDocument(int topics, std::size_t bytes) {
    const std::size_t perTopic = bytes / static_cast<std::size_t>(topics);
    std::string doc = "[vTome Header]\r\n<text>\r\nGenerated document\r\n</text>\r\n\r\n[vTome Contents]\r\n";
    for (int i = 0; i < topics; ++i) doc += "Topic" + std::to_string(i) + "=Title " + std::to_string(i) + "\r\n";
    doc += "\r\n";
    const std::string line = "The quick brown fox jumps over the lazy dog, again and again. ";
    for (int i = 0; i < topics; ++i) {
        doc += "[Topic" + std::to_string(i) + "]\r\n<text>\r\n";
        std::size_t written = 0;
        while (written < perTopic) {
            doc += line;
            doc += "\r\n";
            written += line.size() + 2;
        }
        doc += "</text>\r\n\r\n";
    }
    return doc;
}

// The fastest of `runs` runs of `work`, in seconds.
template <typename Work>
double bestSeconds(int runs, Work work) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

inline void report(const char* what, double seconds, std::size_t bytes) {
    std::printf("%-44s %9.3f ms %10.0f MB/s\n", what, seconds * 1e3, static_cast<double>(bytes) / seconds / 1e6);
}

}  // namespace vtome::bench
