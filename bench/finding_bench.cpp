// The finding panes on a 100,000-topic document in the real widgets
// (offscreen): how long the results list takes once the typing pauses, and
// how long the contents filter takes to narrow the tree, each next to a
// baseline measured in the same run (one case-insensitive pass over the
// document's bytes; the bare title matching of the filter). Medians of
// several runs; the words searched for start with common letters.
//
//   build/bin/finding_bench            prints the table

#include <QApplication>
#include <QTreeView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "document/topic_search.h"
#include "platform/qt/contents_pane.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/side_pages.h"
#include "resources/ids.h"
#include "runtime/text_scan.h"
#include "shell/application.h"
#include "store/file_io.h"

using namespace vtome;

namespace {

constexpr int kRuns = 7;

// 1,000 chapters of 33 sections of two subsections each (99,999 topics
// after the header), titled from a small vocabulary as manuals are; every
// text a few lines of the same words, and "zeppelin" in twenty of them.
std::string generateManual(int& topics) {
    const char* nouns[] = {"network", "printer", "window", "server", "proxy",   "cache",  "font",   "colour",
                           "keyboard", "mouse",  "screen", "backup", "archive", "user",   "group",  "account",
                           "device",  "driver",  "kernel", "module", "package", "socket", "folder", "session"};
    const char* verbs[] = {"Configuring", "Installing", "Removing",   "Updating",  "Checking", "Repairing",
                           "Sharing",     "Securing",   "Monitoring", "Exporting", "Importing"};
    unsigned state = 7;
    auto pick = [&state](int n) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % static_cast<unsigned>(n));
    };
    struct Topic {
        std::string name, title;
        int depth;
    };
    std::vector<Topic> list;
    for (int c = 1; c <= 1000; ++c) {
        list.push_back({"C" + std::to_string(c), "Chapter " + std::to_string(c) + ": " + verbs[pick(11)] + " the " +
                                                     nouns[pick(24)], 0});
        for (int s = 1; s <= 33; ++s) {
            const std::string section = std::to_string(c) + "." + std::to_string(s);
            list.push_back({"C" + std::to_string(c) + "S" + std::to_string(s),
                            section + " " + verbs[pick(11)] + " " + nouns[pick(24)], 1});
            for (int t = 1; t <= 2; ++t) {
                list.push_back({list.back().name + "T" + std::to_string(t),
                                section + "." + std::to_string(t) + " " + nouns[pick(24)] + " and " + nouns[pick(24)],
                                2});
            }
        }
    }
    list.resize(99999);
    std::string doc = "[vTome Header]\r\n<text>\r\nA generated manual\r\n</text>\r\n\r\n[vTome Contents]\r\n";
    for (const Topic& t : list) doc += std::string(static_cast<std::size_t>(t.depth), '.') + t.name + "=" + t.title + "\r\n";
    doc += "\r\n";
    for (std::size_t i = 0; i < list.size(); ++i) {
        doc += "[" + list[i].name + "]\r\n<text>\r\n" + list[i].title + "\r\n";
        for (int line = 0; line < 4; ++line) {
            for (int word = 0; word < 9; ++word) doc += std::string(nouns[pick(24)]) + " ";
            doc += "and so on.\r\n";
        }
        if (i % 5000 == 2500) doc += "Here the zeppelin lands, and a Zeppelin leaves.\r\n";
        doc += "</text>\r\n";
    }
    topics = static_cast<int>(list.size());
    return doc;
}

// `after` runs after each timed run, outside the timing.
template <typename Work>
double medianMilliseconds(Work work, const std::function<void()>& after = {}) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (after) after();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void row(const char* what, double ms, double baseline) {
    std::printf("%-58s %9.2f ms   x%6.2f\n", what, ms, ms / baseline);
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::qt::QtPlatform qt(argc, argv);

    int topics = 0;
    const std::string doc = generateManual(topics);
    char folder[] = "/tmp/vtome-finding-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr) return 1;
    const std::string path = std::string(folder) + "/manual.vtome";
    writeFileSafely(path, doc);
    shell::Application app(qt, {{path}, std::string(folder) + "/vtome", std::string(folder) + "/vTome.ini",
                                std::string(folder) + "/data"});
    if (!app.start()) return 1;
    std::filesystem::remove_all(folder);
    QApplication::processEvents();
    platform::SidePages& pages = *app.sidePages();
    auto& contents = dynamic_cast<platform::qt::QtContentsPane&>(*app.viewer().panes().contents);
    // Drawn as the user sees it, so that the tree's own layout is counted.
    auto settle = [&] {
        QApplication::processEvents();
        contents.tree()->viewport()->repaint();
    };

    std::printf("document: %zu bytes, %d topics; medians of %d runs; x = time / baseline of its block\n", doc.size(),
                topics, kRuns);

    // --- the results list
    std::uint32_t found = 0;
    const double scan = medianMilliseconds([&] { found = scan::findIgnoreCase(doc, 0, "nowhere at all"); });
    row("baseline: one case-insensitive pass over the bytes", scan, scan);
    pages.showPage(platform::SidePage::Results);
    for (const char* text : {"network", "zeppelin", "n"}) {
        std::size_t listed = 0;
        const double list = medianMilliseconds([&] {
            app.viewer().panes().navigationBar->setText(ids::kNavSearchBox, text);
            app.results().onSearchTextChanged();
            app.results().update();  // the pause is over
            listed = app.results().matches().size();
            QApplication::processEvents();
        });
        const std::string what = "results list for \"" + std::string(text) + "\" (" + std::to_string(listed) + " topics)";
        row(what.c_str(), list, scan);
        // Of that, the search itself, through the viewer's table of topic
        // texts as the list goes.
        TopicTexts& texts = *app.viewer().topicTexts();
        const double search = medianMilliseconds([&] { listed = topicsContaining(texts, text).size(); });
        const std::string alone = "  of which topicsContaining";
        row(alone.c_str(), search, scan);
    }
    pages.showPage(platform::SidePage::Contents);

    // --- the contents filter
    const TopicIndex& index = *app.viewer().document().index;
    std::uint32_t matched = 0;
    const double titles = medianMilliseconds([&] {
        matched = 0;
        for (const TopicEntry* e = index.firstTopic(); e != nullptr; e = e->nextTopic()) {
            if (scan::findIgnoreCase(e->title(), 0, "proxy and cache") != scan::npos) ++matched;
        }
    });
    row("baseline: match every title against \"proxy and cache\"", titles, titles);
    auto filterBy = [&](const char* text) {
        pages.setFilterText(text);
        app.contentsFilter().onFilterChanged();
    };
    for (const char* text : {"proxy and cache", "installing", "n"}) {
        std::uint32_t shown = 0;
        const double filter = medianMilliseconds(
            [&] {
                filterBy(text);
                settle();
                shown = app.viewer().contentsTree().matchCount();
            },
            [&] {
                filterBy("");
                settle();
            });
        const std::string what = "filter the tree by \"" + std::string(text) + "\", drawn (" + std::to_string(shown) +
                                 " titles)";
        row(what.c_str(), filter, titles);
    }
    const double clear = medianMilliseconds(
        [&] {
            filterBy("");
            settle();
        },
        [&] {
            filterBy("installing");
            settle();
        });
    row("clear the filter: the whole tree again, drawn", clear, titles);
    std::printf("(baseline text found: %s; %u titles with \"proxy and cache\")\n", found == scan::npos ? "no" : "YES",
                matched);
    qt.destroyMainWindow();
    return 0;
}
