// Section lookup over a 50 MB document against a plain memmem scan of the
// same text: the store's lookups should run at memory speed.

#include <cstring>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "bench_support.h"
#include "store/file_io.h"
#include "store/keyed_store.h"

using namespace vtome;

int main() {
    const int topics = 100000;
    const std::string doc = bench::generateDocument(topics, 50u * 1000 * 1000);
    char path[] = "/tmp/vtome-bench-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0) return 1;
    ::close(fd);
    writeFileSafely(path, doc);

    std::unique_ptr<KeyedStore> store;
    const double load = bench::bestSeconds(3, [&] { store = KeyedStore::loadFromFile(path); });
    ::unlink(path);

    const std::string last = "Topic" + std::to_string(topics - 1);
    std::size_t bodySize = 0;
    const double lookup = bench::bestSeconds(10, [&] { bodySize = store->getSectionText(last)->size(); });

    const std::string needle = "[" + last + "]";
    const void* hit = nullptr;
    const double baseline = bench::bestSeconds(10, [&] {
        hit = ::memmem(doc.data(), doc.size(), needle.data(), needle.size());
    });

    std::printf("document: %zu bytes, %d topics, last body %zu bytes\n", doc.size(), topics, bodySize);
    bench::report("load from file", load, doc.size());
    bench::report("getSectionText(last topic)", lookup, doc.size());
    bench::report("baseline: memmem over the same text", baseline, doc.size());
    std::printf("ratio lookup / baseline: %.2f\n", lookup / baseline);
    return hit != nullptr ? 0 : 1;
}
