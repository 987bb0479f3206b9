// The benchmark rows of vTome's document work: searching, stepping through
// a document search, changing topics, opening and saving bookmarks, and the
// text export. Each row runs what a user runs (vtome-tool as a process, the
// viewer's own Application on the headless platform) and a baseline in the
// same run, alternately, and reports medians.
//
// To add a row: write a group function below (or in a program of its own
// that links vtome_bench_harness, for rows that need other libraries) and
// list it in kGroups; see bench_harness.h.

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "annotations/bookmarks.h"
#include "bench_document.h"
#include "bench_harness.h"
#include "platform/headless/headless_platform.h"
#include "resources/ids.h"
#include "shell/application.h"
#include "store/file_io.h"

using namespace vtome;
using namespace vtome::bench;

namespace {

constexpr int kRuns = 7;
// The 1M-topic document takes seconds per run: fewer runs of it.
int runsFor(const Bench& b, std::size_t topics) { return b.runs(topics >= 1000000 ? 3 : kRuns); }
std::size_t largest(const Bench& b) { return b.quick() ? 100000 : 1000000; }

// The viewer on the headless platform with `path` opened as `vtome path`.
struct Viewer {
    explicit Viewer(Bench& b, const std::string& path)
        : app(platform, {{path}, b.scratch("vtome"), b.scratch("vTome.ini"), b.scratch("userdata")}) {}
    platform::headless::HeadlessPlatform platform;
    shell::Application app;
};

// A name for the document that has its own .vinfo beside it: a hard link
// to the generated file in the same folder.
std::string linkedDocument(Bench& b, std::size_t topics, const std::string& name) {
    const std::string path = b.scratch(name + ".vtome");
    std::filesystem::remove(path);
    std::filesystem::create_hard_link(b.document(topics), path);
    return path;
}

// The .vinfo of `count` bookmarks on topics spread over the document.
std::string bookmarksFile(const TopicIndex& index, std::size_t count) {
    std::string text = "[vTome Bookmarks]\r\n";
    const std::size_t step = std::max<std::size_t>(1, index.count() / (count + 1));
    std::size_t k = 0;
    for (const TopicEntry* e = index.firstTopic(); e != nullptr && k < count; e = e->nextTopic()) {
        if (e->value % step != 0) continue;
        ++k;
        text += std::to_string(k) + "=" + std::string(e->name()) + "," + std::to_string(k % 40) + "\r\n";
    }
    return text;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

// --- vtome-tool search against grep

constexpr const char* kReadFloor = "mapping the file in, one memchr pass";

// grep's count goes to a file: with its output on /dev/null, grep stops at
// the first match, which is no count at all.
Timing grepCount(Bench& b, const std::string& word, const std::string& doc) {
    return runProgram({"grep", "-ci", word, doc}, b.scratch("grep-count.txt"), {"LC_ALL=C"});
}

void searchTool(Bench& b) {
    const std::string word(kRareWord);
    for (std::size_t topics : b.sizes()) {
        const std::string doc = b.document(topics);
        const std::vector<Timing> t = alternate(runsFor(b, topics), {
            [&] { return runProgram({b.program("vtome-tool"), "search", doc, word}, b.scratch("search.txt")); },
            [&] { return grepCount(b, word, doc); },
            [&] { return runProgram({b.program("read_whole_file"), doc}); },
        });
        Row row{"`vtome-tool search DOC " + word + "`", b.describe(topics), t[0], "`LC_ALL=C grep -ci`", t[1], "", {}};
        if (topics == 100000) {
            row.goal = "≤ 0.5×";
            row.met = t[0].wall <= 0.5 * t[1].wall;
        }
        b.row(row);
        if (topics == 100000) {
            // The tool maps the document in whole: that and one pass over it
            // is the floor below which no change of the search can go.
            b.row({"`vtome-tool search DOC " + word + "`", b.describe(topics), t[0], kReadFloor, t[2], "", {}});
        }
    }
    // A word in nearly every topic: too common to be found from its
    // occurrences, so every topic's text is read.
    if (largest(b) < 100000) return;
    const std::string doc = b.document(100000);
    const std::string common(kCommonWord);
    const std::vector<Timing> t = alternate(runsFor(b, 100000), {
        [&] { return runProgram({b.program("vtome-tool"), "search", doc, common}, b.scratch("search.txt")); },
        [&] { return grepCount(b, common, doc); },
    });
    b.row({"`vtome-tool search DOC " + common + "`", b.describe(100000), t[0], "`LC_ALL=C grep -ci`", t[1], "", {}});
}

// --- one document-scope step that crosses every topic

void searchStep(Bench& b) {
    for (std::size_t topics : {std::size_t{100000}, std::size_t{1000000}}) {
        if (topics > largest(b)) continue;
        Viewer v(b, b.document(topics));
        v.app.start();
        v.platform.chooseMenu(ids::kCmdScopeDocument);
        v.platform.dialogPane(ids::kDialogNavigationBar)->dialog().type(ids::kNavSearchBox, kRareWord);
        const TopicEntry* last = v.app.viewer().document().index->lastTopic();
        bool allFound = true;
        auto step = [&] {
            v.app.search().restartSearch();
            const Timing t = timeWork([&] { v.platform.pressKey(platform::vk::kF3); });
            allFound = allFound && v.app.viewer().document().currentTopic == last;
            return t;
        };
        // The first step of a document also works out where every topic's
        // text stands.
        const Timing first = step();
        const std::string_view text = v.app.viewer().document().store->text();
        std::size_t stops = 0;
        const std::vector<Timing> t = alternate(runsFor(b, topics) + 4, {
            step,
            [&] {
                return timeWork([&] {
                    // A plain memchr loop over the same bytes, for a byte
                    // that occurs once per topic.
                    for (const char* p = text.data(); (p = static_cast<const char*>(
                                                           std::memchr(p, '[', text.data() + text.size() - p)));
                         ++p) {
                        ++stops;
                    }
                });
            },
        });
        const double goal = topics >= 1000000 ? 100 : 10;
        b.row({"first document step of a run (also locates the topics)", b.describe(topics), first, "", {}, "", {}});
        b.row({std::string("document step from the title page to the last topic") + (allFound ? "" : " (NOT FOUND)"),
               b.describe(topics), t[0], "memchr loop", t[1], "≤ " + std::to_string(static_cast<int>(goal)) + " ms",
               allFound && t[0].wall <= goal});
    }
}

// --- showing a topic at the end of the document

void topicChange(Bench& b) {
    for (std::size_t topics : {std::size_t{100000}, std::size_t{1000000}}) {
        if (topics > largest(b)) continue;
        Viewer v(b, b.document(topics));
        v.app.start();
        DocumentViewer& viewer = v.app.viewer();
        TopicEntry* last = viewer.document().index->lastTopic();
        TopicEntry* before = last->prevTopic();
        const Timing first = timeWork([&] { viewer.selectTopic(last); });
        bool shown = true;
        KeyedStore& store = *viewer.document().store;
        std::size_t bodySize = 0;
        int change = 0;
        const std::vector<Timing> t = alternate(runsFor(b, topics) + 4, {
            [&] {
                TopicEntry* target = ++change % 2 ? before : last;
                const Timing took = timeWork([&] { viewer.selectTopic(target); });
                shown = shown && viewer.document().currentTopic == target;
                return took;
            },
            // What each change of topic cost before: the store's own lookup,
            // searching the text from its start.
            [&] { return timeWork([&] { bodySize += store.getSectionText(last->name())->size(); }); },
        });
        b.row({"first change of topic (builds the section index)", b.describe(topics), first, "", {}, "", {}});
        b.row({std::string("change to a topic at the end of the document") + (shown ? "" : " (NOT SHOWN)"),
               b.describe(topics), t[0], "the store's lookup from the start", t[1], "≤ 1 ms",
               shown && t[0].wall <= 1});
    }
}

// --- opening a document with bookmarks

// The topics of the generated document, as the viewer reads them, for
// writing bookmarks that name them.
std::unique_ptr<TopicIndex> topicsOf(Bench& b, std::size_t topics) {
    auto index = std::make_unique<TopicIndex>();
    Viewer v(b, b.document(topics));
    v.app.start();
    for (const TopicEntry* e = v.app.viewer().document().index->firstTopic(); e; e = e->nextTopic()) {
        index->addTopic(index->keepText(e->name()), index->keepText(e->title()));
    }
    return index;
}

void bookmarksOpen(Bench& b) {
    const std::size_t topics = 100000;
    const std::unique_ptr<TopicIndex> index = topicsOf(b, topics);
    const std::vector<std::size_t> counts{0, 1000, 4000};
    std::vector<std::string> paths;
    for (std::size_t count : counts) {
        const std::string path = linkedDocument(b, topics, "open-" + std::to_string(count));
        if (count > 0) writeBytes(path.substr(0, path.size() - 6) + ".vinfo", bookmarksFile(*index, count));
        paths.push_back(path);
    }
    std::vector<std::function<Timing()>> works;
    std::vector<std::size_t> loaded(counts.size());
    for (std::size_t i = 0; i < counts.size(); ++i) {
        works.push_back([&, i] {
            Viewer v(b, paths[i]);
            const Timing t = timeWork([&] { v.app.start(); });
            loaded[i] = v.app.bookmarks().list() ? v.app.bookmarks().list()->count() : 0;
            return t;
        });
    }
    const std::vector<Timing> t = alternate(b.runs(kRuns), works);
    for (std::size_t i = 1; i < counts.size(); ++i) {
        const bool all = loaded[i] == counts[i];
        b.row({"open the document with " + std::to_string(counts[i]) + " bookmarks" + (all ? "" : " (NOT ALL LOADED)"),
               b.describe(topics), t[i], "the open without bookmarks", t[0], "≤ 1.2×",
               all && t[i].wall <= 1.2 * t[0].wall});
    }
}

// --- saving bookmarks

void bookmarksSave(Bench& b) {
    const std::size_t topics = 100000;
    const std::unique_ptr<TopicIndex> index = topicsOf(b, topics);
    std::vector<Timing> times;
    for (std::size_t count : {1000, 2000, 4000, 8000}) {
        const std::string path = linkedDocument(b, topics, "save-" + std::to_string(count));
        const std::string vinfo = path.substr(0, path.size() - 6) + ".vinfo";
        const std::string bytes = bookmarksFile(*index, count);
        writeBytes(vinfo, bytes);
        Viewer v(b, path);
        v.app.start();
        Bookmarks& bookmarks = v.app.bookmarks();
        const std::vector<Timing> t = alternate(b.runs(kRuns + 4), {
            [&] { return timeWork([&] { bookmarks.saveBookmarks(); }); },
            // The file write alone: the same bytes, written as safely.
            [&] { return timeWork([&] { writeFileSafely(b.scratch("save-baseline.vinfo"), bytes); }); },
        });
        times.push_back(t[0]);
        const bool same = bookmarks.list() != nullptr && bookmarks.list()->count() == count;
        Row row{"save " + std::to_string(count) + " bookmarks" + (same ? "" : " (NOT ALL LOADED)"), b.describe(topics),
                t[0], "writing the same file", t[1], "", {}};
        if (count == 8000) {
            row.goal = "≤ 10 ms";
            row.met = same && t[0].wall <= 10;
        }
        b.row(row);
    }
    // Linear: eight times the bookmarks cost at most about eight times as
    // much, in wall-clock time and in the CPU time the save itself takes.
    b.row({"save 8000 bookmarks against 1000 (linear: 8×)", b.describe(topics), times[3], "save 1000 bookmarks",
           times[0], "≤ 10×", times[3].wall <= 10 * times[0].wall && times[3].cpu <= 10 * times[0].cpu});
}

// --- the text export

void textExport(Bench& b) {
    for (std::size_t topics : {std::size_t{100000}, std::size_t{1000000}}) {
        if (topics > largest(b)) continue;
        const std::string doc = b.document(topics);
        const std::string out = b.scratch("export.txt");
        const std::string copy = b.scratch("copy.txt");
        const std::vector<Timing> t = alternate(runsFor(b, topics), {
            [&] { return runProgram({b.program("vtome-tool"), "export", doc, out}); },
            [&] { return runProgram({"cp", doc, copy}); },
            [&] { return runProgram({"sh", "-c", "cp \"$0\" \"$1\" && sync \"$1\"", doc, copy}); },
            [&] { return runProgram({b.program("vtome-tool"), "export", doc, "-"}, "/dev/null"); },
            [&] { return runProgram({"cat", doc}, "/dev/null"); },
            [&] { return runProgram({b.program("read_whole_file"), doc}); },
        });
        std::filesystem::remove(out);
        std::filesystem::remove(copy);
        b.row({"`vtome-tool export DOC OUT`", b.describe(topics), t[0], "`cp DOC OUT`", t[1], "≤ 2×",
               t[0].wall <= 2 * t[1].wall});
        // The export is flushed to disk before it replaces the file; cp
        // leaves that to the system.
        b.row({"`vtome-tool export DOC OUT`", b.describe(topics), t[0], "`cp DOC OUT && sync OUT`", t[2], "", {}});
        b.row({"`vtome-tool export DOC -` (to /dev/null)", b.describe(topics), t[3], "`cat DOC` (to /dev/null)", t[4],
               "", {}});
        b.row({"`vtome-tool export DOC -` (to /dev/null)", b.describe(topics), t[3], kReadFloor, t[5], "", {}});
    }
}

constexpr RowGroup kGroups[] = {
    {"search", searchTool},       {"step", searchStep},          {"topic", topicChange},
    {"open", bookmarksOpen},      {"save", bookmarksSave},       {"export", textExport},
};

}  // namespace

int main(int argc, char** argv) { return benchMain(argc, argv, kGroups); }
