#pragma once
// What every benchmark row of vTome stands on: the generated documents
// (bench_document.h), kept in a data folder between runs; timing of
// programs and of code in this process, as medians of several runs with the
// baseline run alternately in the same run; and the table the rows make.
//
// A row group is a function that measures and calls Bench::row for each row
// it reports. A benchmark program lists its groups and hands them to
// benchMain; bench/run runs every program and prints one table.

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vtome::bench {

// One measurement: wall-clock and CPU time, in milliseconds.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

struct Row {
    std::string work;      // what was measured, as a user would run it
    std::string size;      // the document, e.g. "100k topics, 53 MB"
    Timing measured;       // medians
    std::string baseline;  // what it is compared with ("" for none)
    Timing base;           // medians of the baseline, measured in the same run
    std::string goal;      // e.g. "≤ 0.5×" or "≤ 10 ms"
    // Whether the goal holds, when the row has one; the ratio is wall-clock
    // measured / baseline.
    std::optional<bool> met;
};

class Bench {
public:
    Bench(std::string dataFolder, std::string binFolder, bool quick, int runs = 0)
        : dataFolder_(std::move(dataFolder)), binFolder_(std::move(binFolder)), quick_(quick), runs_(runs) {}

    // Without --quick, also the rows of the 1,000,000-topic document.
    bool quick() const { return quick_; }
    // How many runs a row takes: `usual`, unless --runs gave a number.
    int runs(int usual) const { return runs_ > 0 ? runs_ : usual; }
    // The document counts to measure on: 1k, 10k, 100k and (unless quick) 1M.
    std::vector<std::size_t> sizes() const;
    // The generated document of `topics` topics, written to the data folder
    // when it is not there yet.
    std::string document(std::size_t topics);
    // "100k topics, 53 MB" for the document of `topics` topics.
    std::string describe(std::size_t topics);
    // A program built beside this one (vtome-tool).
    std::string program(const std::string& name) const { return binFolder_ + "/" + name; }
    // A scratch file in the data folder.
    std::string scratch(const std::string& name) const { return dataFolder_ + "/" + name; }

    // Prints the row at once.
    void row(const Row& row);
    int failures() const { return failures_; }

private:
    std::string dataFolder_;
    std::string binFolder_;
    bool quick_;
    int runs_;
    int failures_ = 0;
};

struct RowGroup {
    const char* name;
    void (*run)(Bench&);
};

// Runs the program with arguments `argv` (argv[0] found on the PATH), its
// standard output going to `output` (a path), with `environment` added to
// this process's. The wall-clock and CPU time (user + system) of the child.
Timing runProgram(const std::vector<std::string>& argv, const std::string& output = "/dev/null",
                  const std::vector<std::string>& environment = {});
// The time `work` takes in this process.
Timing timeWork(const std::function<void()>& work);

// Medians of `runs` runs of each of `works`, run in turn (a, b, c, a, b, c,
// ...) so that every one sees the same state of the machine.
std::vector<Timing> alternate(int runs, const std::vector<std::function<Timing()>>& works);
Timing median(std::vector<Timing> timings);

// The program's main: `bench/run` passes --data FOLDER, --quick and --runs
// N (fewer runs, for slow code). Prints
// the table's rows of the groups (all, or those named after --only); the
// exit status is 1 when a goal does not hold.
int benchMain(int argc, char** argv, std::span<const RowGroup> groups);

}  // namespace vtome::bench
