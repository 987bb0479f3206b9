#include "bench_harness.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "bench_document.h"

extern char** environ;

namespace vtome::bench {

namespace {

double now() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double processCpu() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double milliseconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

std::string formatTime(double ms) {
    char text[32];
    if (ms >= 100) {
        std::snprintf(text, sizeof text, "%.0f ms", ms);
    } else if (ms >= 1) {
        std::snprintf(text, sizeof text, "%.1f ms", ms);
    } else {
        std::snprintf(text, sizeof text, "%.3f ms", ms);
    }
    return text;
}

std::string formatRatio(double measured, double base) {
    if (base <= 0) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f×", measured / base);
    return text;
}

std::string shortCount(std::size_t n) {
    if (n >= 1000000 && n % 1000000 == 0) return std::to_string(n / 1000000) + "M";
    if (n >= 1000 && n % 1000 == 0) return std::to_string(n / 1000) + "k";
    return std::to_string(n);
}

}  // namespace

std::vector<std::size_t> Bench::sizes() const {
    std::vector<std::size_t> sizes{1000, 10000, 100000};
    if (!quick_) sizes.push_back(1000000);
    return sizes;
}

std::string Bench::document(std::size_t topics) {
    // The name carries the generator's version: a changed generator makes
    // new files rather than measuring old ones.
    const std::string path = dataFolder_ + "/generated-v1-" + shortCount(topics) + ".vtome";
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return path;
    const std::string doc = makeDocument(topics);
    const std::string partial = path + ".part";
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (out == nullptr || std::fwrite(doc.data(), 1, doc.size(), out) != doc.size() || std::fclose(out) != 0 ||
        std::rename(partial.c_str(), path.c_str()) != 0) {
        throw std::runtime_error("cannot write " + path);
    }
    return path;
}

std::string Bench::describe(std::size_t topics) {
    struct stat info {};
    ::stat(document(topics).c_str(), &info);
    char text[64];
    std::snprintf(text, sizeof text, "%s topics, %.0f MB", shortCount(topics).c_str(),
                  static_cast<double>(info.st_size) / 1e6);
    return text;
}

void Bench::row(const Row& row) {
    const bool hasBase = !row.baseline.empty();
    std::string verdict = "";
    if (row.met) verdict = *row.met ? "yes" : "**no**";
    if (row.met && !*row.met) ++failures_;
    // Wall-clock time, and the CPU time where waiting (for the disk, for
    // another program) makes them differ much.
    auto both = [](const Timing& t) {
        std::string text = formatTime(t.wall);
        if (t.cpu < 0.7 * t.wall) text += " (CPU " + formatTime(t.cpu) + ")";
        return text;
    };
    std::printf("| %s | %s | %s | %s | %s | %s | %s | %s |\n", row.work.c_str(), row.size.c_str(),
                both(row.measured).c_str(), hasBase ? (row.baseline + ": " + both(row.base)).c_str() : "",
                hasBase ? formatRatio(row.measured.wall, row.base.wall).c_str() : "",
                hasBase ? formatRatio(row.measured.cpu, row.base.cpu).c_str() : "", row.goal.c_str(),
                verdict.c_str());
    std::fflush(stdout);
}

Timing runProgram(const std::vector<std::string>& argv, const std::string& output,
                  const std::vector<std::string>& environment) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> envStrings(environment);
    std::vector<char*> env;
    for (std::string& e : envStrings) env.push_back(e.data());
    for (char** e = environ; *e != nullptr; ++e) env.push_back(*e);
    env.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const double start = now();
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0) {
    }
    Timing t;
    t.wall = now() - start;
    t.cpu = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
    // grep -c exits with 1 when nothing matched; only a crash is an error.
    if (!WIFEXITED(status)) throw std::runtime_error(argv[0] + " did not finish");
    return t;
}

Timing timeWork(const std::function<void()>& work) {
    const double wall = now();
    const double cpu = processCpu();
    work();
    return {now() - wall, processCpu() - cpu};
}

Timing median(std::vector<Timing> timings) {
    auto middle = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n == 0 ? 0.0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    };
    std::vector<double> wall, cpu;
    for (const Timing& t : timings) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    return {middle(wall), middle(cpu)};
}

std::vector<Timing> alternate(int runs, const std::vector<std::function<Timing()>>& works) {
    std::vector<std::vector<Timing>> all(works.size());
    for (int run = 0; run < runs; ++run) {
        for (std::size_t w = 0; w < works.size(); ++w) all[w].push_back(works[w]());
    }
    std::vector<Timing> medians;
    for (std::vector<Timing>& timings : all) medians.push_back(median(timings));
    return medians;
}

int benchMain(int argc, char** argv, std::span<const RowGroup> groups) {
    std::string data;
    bool quick = false;
    int runs = 0;
    std::vector<std::string> only;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else if (a == "--quick") {
            quick = true;
        } else if (a == "--runs" && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else if (a == "--only" && i + 1 < argc) {
            only.push_back(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s --data FOLDER [--quick] [--runs N] [--only GROUP]...\n", argv[0]);
            return 2;
        }
    }
    if (data.empty()) {
        std::fprintf(stderr, "%s: --data FOLDER is needed\n", argv[0]);
        return 2;
    }
    std::string self = argv[0];
    const std::size_t slash = self.rfind('/');
    Bench bench(data, slash == std::string::npos ? "." : self.substr(0, slash), quick, runs);
    for (const RowGroup& group : groups) {
        if (!only.empty() && std::find(only.begin(), only.end(), group.name) == only.end()) continue;
        group.run(bench);
    }
    return bench.failures() > 0 ? 1 : 0;
}

}  // namespace vtome::bench
