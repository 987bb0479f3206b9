// Opening a 100,000-topic document and showing its first topic, next to
// reading the same file into memory: opening must stay linear in the topics.

#include <filesystem>
#include <unistd.h>

#include "bench_support.h"
#include "platform/headless/headless_platform.h"
#include "shell/application.h"
#include "store/file_io.h"
#include "store/text_buffer.h"

using namespace vtome;

int main() {
    const int topics = 100000;
    const std::string doc = bench::generateDocument(topics, 50u * 1000 * 1000);
    char folder[] = "/tmp/vtome-open-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr) return 1;
    const std::string path = std::string(folder) + "/big.vtome";
    writeFileSafely(path, doc);

    const double read = bench::bestSeconds(3, [&] { TextBuffer::fromFile(path); });

    std::size_t shown = 0;
    const double open = bench::bestSeconds(3, [&] {
        platform::headless::HeadlessPlatform platform;
        shell::Application app(platform, {{path}, std::string(folder) + "/vtome", std::string(folder) + "/vTome.ini", std::string(folder) + "/data"});
        app.start();
        shown = app.viewer().document().index->count();
    });
    std::filesystem::remove_all(folder);

    std::printf("document: %zu bytes, %zu topics in the index\n", doc.size(), shown);
    bench::report("read the file into memory", read, doc.size());
    bench::report("open it and show the first topic", open, doc.size());
    std::printf("ratio open / read: %.2f\n", open / read);
    return 0;
}
