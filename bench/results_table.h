#pragma once
// Collects each benchmark's median and prints the table of operations against their baselines.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

// Shows the usual console output and keeps the median wall time of every benchmark in ms
// (the single run's time when a benchmark ran once).
class MedianCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override;
    // Median in ms, or a negative number when the benchmark did not run (filtered out or failed).
    double median(const std::string &name) const;
    // Why the benchmark failed, or "" when it did not.
    std::string failure(const std::string &name) const;

private:
    std::map<std::string, std::string> failures_;
    std::map<std::string, double> medians_;
    std::map<std::string, double> singles_;
};

// One line of the table: an operation, the benchmarks whose medians add up to its baseline,
// and the ratio it must stay within (0 for none).
struct TableRow {
    std::string operation;
    std::string database;
    std::string benchmark;
    std::vector<std::string> baseline;
    std::string baselineLabel;
    double target;
};

struct MemoryRow {
    std::string what;
    double peakMiB;        // negative when the probe failed
    double baselineMiB;    // 0 when the row has no baseline
    double target;
};

struct Verdict {
    int checked = 0;  // targets with both sides measured
    int missed = 0;
};

// The tables as Markdown, and how the targets fared.
Verdict printTables(std::ostream &out, const MedianCollector &medians, const std::vector<TableRow> &rows,
                 const std::vector<MemoryRow> &memory);

}  // namespace bench
