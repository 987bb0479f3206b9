// The real window on huge documents and huge topics: the viewer on the Qt
// platform (offscreen unless a display is set), each case in a process of
// its own so that its peak memory is its own, next to a tiny document opened
// the same way in the same run.
//
//   window_bench            generates the documents, runs every case five
//                           times and prints the medians and ratios
//   window_bench measure DOC [--show TITLE] [--scroll] [--search WORD]
//                           one run; prints "name value" lines

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QScrollBar>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/qt/qt_platform.h"
#include "platform/qt/topic_view.h"
#include "shell/application.h"

using namespace vtome;

namespace {

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The peak resident memory of this process image (VmHWM starts afresh at
// exec, unlike getrusage's maximum, which a child inherits from its parent).
double peakMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return 0;
}

// Until nothing is left to do: layout, painting, posted events.
void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

int measure(int argc, char** argv) {
    platform::qt::QtPlatform platform(argc, argv);
    const std::string folder = std::filesystem::path(argv[2]).parent_path().string();
    shell::Application app(platform, {{argv[2]}, folder + "/vtome", folder + "/bench.ini", folder + "/data"});
    QElapsedTimer clock;
    clock.start();
    if (!app.start()) return 1;
    settle();
    std::printf("open_cpu_ms %.1f\nopen_wall_ms %.1f\nopen_peak_mib %.1f\n", cpuSeconds() * 1e3,
                static_cast<double>(clock.nsecsElapsed()) / 1e6, peakMiB());
    auto& view = dynamic_cast<platform::qt::QtTopicView&>(*app.viewer().panes().topicView);
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--show" && i + 1 < argc) {
            TopicEntry* topic = app.viewer().document().index->findByTitle(argv[++i]);
            clock.restart();
            app.viewer().selectTopic(topic);
            settle();
            std::printf("show_ms %.1f\nshow_peak_mib %.1f\n", static_cast<double>(clock.nsecsElapsed()) / 1e6,
                        peakMiB());
        } else if (option == "--scroll") {
            for (const auto& [name, action] : {std::pair{"line", platform::ScrollAction::LineDown},
                                               std::pair{"page", platform::ScrollAction::PageDown}}) {
                std::vector<double> keys;
                for (int k = 0; k < 40; ++k) {
                    clock.restart();
                    view.scroll(action);
                    view.editor()->viewport()->repaint();  // the key is done once it is drawn
                    keys.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
                }
                std::printf("scroll_%s_ms %.2f\n", name, median(keys));
            }
        } else if (option == "--search" && i + 1 < argc) {
            const std::string word = argv[++i];
            std::vector<double> steps;
            const double before = peakMiB();
            for (int k = 0; k < 20; ++k) {
                clock.restart();
                app.search().searchInTopic(std::string_view(word));
                steps.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
            }
            std::printf("search_step_ms %.2f\nsearch_growth_mib %.1f\n", median(steps), peakMiB() - before);
        }
    }
    return 0;
}

// --- the documents

const char* const kWords[] = {"the",  "of",     "and",  "to",       "in",    "is",     "that",  "for",  "it",
                              "as",   "with",   "was",  "on",       "be",    "by",     "this",  "are",  "or",
                              "from", "at",     "which", "not",     "have",  "text",   "topic", "page", "window",
                              "file", "search", "line", "document", "note",  "bookmark"};

std::string sentence(std::mt19937& random, std::size_t bytes) {
    std::string text;
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kWords) - 1);
    std::size_t words = 0;
    while (text.size() < bytes) {
        text += kWords[pick(random)];
        text += ++words % 12 == 0 ? ".\r\n" : " ";
    }
    return text;
}

// A contents of chapters, sections and topics; ~500 bytes a topic.
void writeLargeDocument(const std::string& path, int topics) {
    std::mt19937 random(7);
    std::ofstream out(path, std::ios::binary);
    out << "[vTome Header]\r\n<text>\r\nGenerated\r\n</text>\r\n\r\n[vTome Contents]\r\n";
    for (int i = 0; i < topics; ++i) {
        out << std::string(i % 100 == 0 ? 0 : i % 10 == 0 ? 1 : 2, '.') << "T" << i << "=Topic " << i << "\r\n";
    }
    out << "\r\n";
    std::uniform_int_distribution<std::size_t> length(200, 800);
    for (int i = 0; i < topics; ++i) out << "[T" << i << "]\r\n<text>\r\n" << sentence(random, length(random)) << "\r\n</text>\r\n\r\n";
}

// One topic of 50 MB of words, and runs without a blank of 1.6 and 10 MB.
void writeHugeTopics(const std::string& path) {
    std::mt19937 random(9);
    std::ofstream out(path, std::ios::binary);
    out << "[vTome Header]\r\n<text>\r\nHuge topics\r\n</text>\r\n\r\n[vTome Contents]\r\n"
           "Big=Big topic\r\nRun=Long run\r\nRun10=Longer run\r\n\r\n";
    out << "[Big]\r\n<text>\r\n" << sentence(random, 50'000'000) << "\r\n</text>\r\n\r\n";
    out << "[Run]\r\n<text>\r\n" << std::string(1'600'000, 'x') << "\r\n</text>\r\n\r\n";
    out << "[Run10]\r\n<text>\r\n" << std::string(10'000'000, 'y') << "\r\n</text>\r\n";
}

using Values = std::map<std::string, double>;

Values runOnce(const std::string& self, const QStringList& arguments) {
    QProcess child;
    child.start(QString::fromStdString(self), QStringList{QStringLiteral("measure")} + arguments);
    child.waitForFinished(300000);
    Values values;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 2) values[parts[0].toStdString()] = parts[1].toDouble();
    }
    return values;
}

// The medians over `runs` runs of each value.
Values medians(const std::string& self, const QStringList& arguments, int runs) {
    std::map<std::string, std::vector<double>> all;
    for (int i = 0; i < runs; ++i) {
        for (const auto& [name, value] : runOnce(self, arguments)) all[name].push_back(value);
    }
    Values result;
    for (const auto& [name, values] : all) result[name] = median(values);
    return result;
}

int drive(const std::string& self, int runs) {
    char folder[] = "/tmp/vtome-window-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr) return 1;
    const std::string base = folder;
    const std::string tiny = base + "/tiny.vtome";
    std::ofstream(tiny, std::ios::binary) << "[vTome Header]\r\n<text>\r\nTiny\r\n</text>\r\n\r\n[vTome Contents]\r\nA\r\n\r\n[A]\r\nHello\r\n";
    const std::string doc100k = base + "/t100k.vtome";
    const std::string doc1m = base + "/t1m.vtome";
    const std::string huge = base + "/huge.vtome";
    writeLargeDocument(doc100k, 100'000);
    writeLargeDocument(doc1m, 1'000'000);
    writeHugeTopics(huge);
    std::map<std::string, double> sizes;
    for (const std::string& path : {doc100k, doc1m, huge}) {
        sizes[path] = static_cast<double>(std::filesystem::file_size(path)) / 1048576.0;
    }
    auto mib = [&sizes](const std::string& path) { return sizes.at(path); };

    const auto q = [](const std::string& s) { return QString::fromStdString(s); };
    const Values small = medians(self, {q(tiny)}, runs);
    const Values v100k = medians(self, {q(doc100k)}, runs);
    const Values v1m = medians(self, {q(doc1m)}, runs);
    const Values big = medians(self, {q(huge), "--show", "Big topic", "--scroll", "--search", "zebra"}, runs);
    const Values run16 = medians(self, {q(huge), "--show", "Long run"}, runs);
    const Values run10 = medians(self, {q(huge), "--show", "Longer run"}, runs);
    std::filesystem::remove_all(base);

    const double tinyCpu = small.at("open_cpu_ms");
    const double tinyPeak = small.at("open_peak_mib");
    std::printf("window (Qt %s platform), medians of %d runs; tiny document: %.0f ms CPU, %.0f MiB\n",
                qEnvironmentVariable("QT_QPA_PLATFORM", "default").toUtf8().constData(), runs, tinyCpu, tinyPeak);
    std::printf("%-44s %14s %16s\n", "work", "measured", "ratio / goal");
    std::printf("%-44s %11.0f ms %9.2f x (<= 2)\n", "open 100,000 topics, CPU", v100k.at("open_cpu_ms"),
                v100k.at("open_cpu_ms") / tinyCpu);
    std::printf("%-44s %10.0f MiB %9.2f x (<= 1.3 of %.0f MiB file)\n", "  memory above the tiny document",
                v100k.at("open_peak_mib") - tinyPeak, (v100k.at("open_peak_mib") - tinyPeak) / mib(doc100k), mib(doc100k));
    std::printf("%-44s %11.0f ms %9s (<= 500 ms)\n", "open 1,000,000 topics, CPU", v1m.at("open_cpu_ms"), "");
    std::printf("%-44s %10.0f MiB %9.2f x (<= 1.5 of %.0f MiB file)\n", "  memory above the tiny document",
                v1m.at("open_peak_mib") - tinyPeak, (v1m.at("open_peak_mib") - tinyPeak) / mib(doc1m), mib(doc1m));
    std::printf("%-44s %11.0f ms %9s (<= 1000 ms)\n", "show one 50 MB topic", big.at("show_ms"), "");
    std::printf("%-44s %10.0f MiB %9.2f x (<= 1: file + 2x topic)\n", "  memory above the tiny document",
                big.at("show_peak_mib") - tinyPeak, (big.at("show_peak_mib") - tinyPeak) / (mib(huge) + 2 * 47.7));
    std::printf("%-44s %11.2f ms %9s (<= 5 ms)\n", "scroll a line in it", big.at("scroll_line_ms"), "");
    std::printf("%-44s %11.2f ms %9s (<= 5 ms)\n", "scroll a page in it", big.at("scroll_page_ms"), "");
    std::printf("%-44s %11.2f ms %9s (<= 10 ms)\n", "topic search step in it (no hit left)", big.at("search_step_ms"), "");
    std::printf("%-44s %10.1f MiB %9s (no copy)\n", "  memory growth over 20 steps", big.at("search_growth_mib"), "");
    std::printf("%-44s %11.0f ms %9s (<= 300 ms)\n", "show a 1.6 MB run without blanks", run16.at("show_ms"), "");
    std::printf("%-44s %11.0f ms\n", "show a 10 MB run without blanks", run10.at("show_ms"));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "measure") == 0) return measure(argc, argv);
    if (std::getenv("DISPLAY") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const int runs = argc >= 3 && std::strcmp(argv[1], "--runs") == 0 ? std::max(1, std::atoi(argv[2])) : 5;
    std::error_code error;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe", error).string();
    return drive(self, runs);
}
