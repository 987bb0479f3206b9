// One document-scope search step over a 100,000-topic, 50 MB document whose
// search text occurs only in the last topic, next to a plain case-insensitive
// scan of the same text: the step must cost one pass over the topics, not one
// pass over the file per topic.

#include <filesystem>
#include <unistd.h>

#include "bench_support.h"
#include "platform/headless/headless_platform.h"
#include "resources/ids.h"
#include "shell/application.h"
#include "store/file_io.h"
#include "runtime/text_scan.h"

using namespace vtome;

int main() {
    const int topics = 100000;
    std::string doc = bench::generateDocument(topics, 50u * 1000 * 1000);
    const std::string needle = "zebra crossing";
    doc.insert(doc.rfind("</text>"), "A Zebra Crossing at last.\r\n");
    char folder[] = "/tmp/vtome-search-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr) return 1;
    const std::string path = std::string(folder) + "/big.vtome";
    writeFileSafely(path, doc);

    platform::headless::HeadlessPlatform platform;
    shell::Application app(platform, {{path}, std::string(folder) + "/vtome", std::string(folder) + "/vTome.ini", std::string(folder) + "/data"});
    app.start();
    std::filesystem::remove_all(folder);
    platform.chooseMenu(ids::kCmdScopeDocument);
    platform.dialogPane(ids::kDialogNavigationBar)->dialog().type(ids::kNavSearchBox, needle);
    SearchController& search = app.search();
    const TopicEntry* last = app.viewer().document().index->lastTopic();

    // The first step of a document also builds its section lookup.
    bool allFound = true;
    const double first = bench::bestSeconds(3, [&] {
        search.onIndexReplaced();  // forget the lookup: every run starts cold
        platform.pressKey(platform::vk::kF3);
        allFound = allFound && app.viewer().document().currentTopic == last;
    });
    const double step = bench::bestSeconds(5, [&] {
        search.restartSearch();
        platform.pressKey(platform::vk::kF3);
        allFound = allFound && app.viewer().document().currentTopic == last;
    });

    std::uint32_t at = 0;
    const double scan = bench::bestSeconds(5, [&] { at = scan::findIgnoreCase(doc, 0, needle); });

    // What the step would cost with the store's own lookup, which searches
    // the file from its start for every topic: timed on the last 100 topics.
    KeyedStore& store = *app.viewer().document().store;
    TextBuffer work;
    const int sampled = 100;
    const double lookups = bench::bestSeconds(1, [&] {
        for (int i = topics - sampled; i < topics; ++i) store.getSectionToBuffer("Topic" + std::to_string(i), work);
    });

    std::printf("document: %zu bytes, %d topics, text only in the last topic (found: %s, at %u)\n", doc.size(),
                topics, allFound ? "yes" : "NO", at);
    bench::report("first document step (builds the lookup)", first, doc.size());
    bench::report("document step", step, doc.size());
    bench::report("baseline: case-insensitive scan of the text", scan, doc.size());
    std::printf("ratio first step / scan: %.2f\n", first / scan);
    std::printf("ratio step / scan: %.2f\n", step / scan);
    std::printf("for comparison, a step by the store's own lookup: about %.0f s\n",
                lookups / sampled * topics);
    return allFound ? 0 : 1;
}
