#include "bench/results_table.h"

#include <cstdio>
#include <ostream>

namespace bench {

namespace {

std::string number(double value, const char *format)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string milliseconds(double ms)
{
    if (ms < 0)
        return "n/a";
    return number(ms, ms < 1 ? "%.3f" : ms < 10 ? "%.2f" : "%.1f");
}

// "yes" or "NO" against the target, "" without one.
std::string verdict(double ratio, double target, Verdict &tally)
{
    if (target <= 0)
        return "";
    if (ratio < 0)
        return "n/a";
    const bool met = ratio <= target;
    ++tally.checked;
    tally.missed += met ? 0 : 1;
    return (met ? "yes (<= " : "NO (<= ") + number(target, "%g") + ")";
}

}  // namespace

void MedianCollector::ReportRuns(const std::vector<Run> &runs)
{
    for (const Run &run : runs) {
        if (run.error_occurred) {
            failures_[run.run_name.function_name] = run.error_message;
            continue;
        }
        const double ms = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
            medians_[run.run_name.function_name] = ms;
        else if (run.run_type == Run::RT_Iteration)
            singles_[run.run_name.function_name] = ms;
    }
    ConsoleReporter::ReportRuns(runs);
}

std::string MedianCollector::failure(const std::string &name) const
{
    const auto it = failures_.find(name);
    return it == failures_.end() ? std::string() : it->second;
}

double MedianCollector::median(const std::string &name) const
{
    if (const auto it = medians_.find(name); it != medians_.end())
        return it->second;
    if (const auto it = singles_.find(name); it != singles_.end())
        return it->second;
    return -1;
}

Verdict printTables(std::ostream &out, const MedianCollector &medians, const std::vector<TableRow> &rows,
                    const std::vector<MemoryRow> &memory)
{
    Verdict tally;
    out << "| Operation | Database | Median (ms) | Baseline | Baseline (ms) | Ratio | Within target |\n"
        << "|---|---|---:|---|---:|---:|---|\n";
    for (const TableRow &row : rows) {
        const double time = medians.median(row.benchmark);
        double base = row.baseline.empty() ? -1 : 0;
        for (const std::string &part : row.baseline) {
            const double t = medians.median(part);
            base = (t < 0 || base < 0) ? -1 : base + t;
        }
        const std::string failure = medians.failure(row.benchmark);
        if (!failure.empty()) {
            out << "| " << row.operation << " | " << row.database << " | failed: " << failure << " | "
                << row.baselineLabel << " | | | " << (row.target > 0 ? "NO" : "") << " |\n";
            if (row.target > 0) {
                ++tally.checked;
                ++tally.missed;
            }
            continue;
        }
        if (time < 0)
            continue;
        const double ratio = (base > 0) ? time / base : -1;
        out << "| " << row.operation << " | " << row.database << " | " << milliseconds(time) << " | "
            << row.baselineLabel << " | " << milliseconds(base) << " | "
            << (ratio < 0 ? "n/a" : number(ratio, ratio < 0.1 ? "%.3f" : "%.2f")) << " | "
            << verdict(ratio, row.target, tally) << " |\n";
    }
    if (memory.empty())
        return tally;
    out << "\n| Peak memory (resident) | MiB | Baseline (MiB) | Ratio | Within target |\n"
        << "|---|---:|---:|---:|---|\n";
    for (const MemoryRow &row : memory) {
        const bool hasBase = row.baselineMiB > 0 && row.peakMiB > 0;
        const double ratio = hasBase ? row.peakMiB / row.baselineMiB : -1;
        out << "| " << row.what << " | " << (row.peakMiB < 0 ? "n/a" : number(row.peakMiB, "%.1f")) << " | "
            << (row.baselineMiB > 0 ? number(row.baselineMiB, "%.1f") : "") << " | "
            << (hasBase ? number(ratio, "%.2f") : "") << " | " << verdict(ratio, row.target, tally) << " |\n";
    }
    return tally;
}

}  // namespace bench
