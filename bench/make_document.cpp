// make_document TOPICS OUT: writes the generated help document of TOPICS
// topics (bench_document.h) to OUT, the same bytes for the same TOPICS on
// every machine.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_document.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_document TOPICS OUT\n");
        return 2;
    }
    const long topics = std::strtol(argv[1], nullptr, 10);
    if (topics < 1) {
        std::fprintf(stderr, "make_document: TOPICS must be a positive number\n");
        return 2;
    }
    const std::string doc = vtome::bench::makeDocument(static_cast<std::size_t>(topics));
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr || std::fwrite(doc.data(), 1, doc.size(), out) != doc.size() || std::fclose(out) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
