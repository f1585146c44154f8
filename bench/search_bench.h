#pragma once
// Search on the large database: building the index from nothing, typed queries shown in the
// tree, and the memory a build takes, each beside what bare SQLCipher and a bare QTreeWidget
// do. The recipe file is copied into folders of its own under the data folder once, so that
// the index files the runs make and remove never sit beside the database the others measure.

#include "bench/bench_databases.h"
#include "bench/results_table.h"

#include <QString>

#include <vector>

namespace bench {

void registerSearchBenchmarks(const GeneratedDatabase &large, const QString &dataRoot);

// The rows of the results table; the queries' labels carry their hit counts once measured.
std::vector<TableRow> searchTableRows();
// Runs the search probes; fillCatalogueMiB is the peak of FillCatalogue on the large database.
std::vector<MemoryRow> searchMemoryRows(const QString &dataRoot, double fillCatalogueMiB);

// The probe side, in a process of its own: "search" (the store open, the index built from
// nothing, the queries run and shown), "ftsfile" and "ftsmemory" (the raw build into a new
// encrypted file or into memory). Returns false for a scenario it does not know.
bool runSearchProbe(const QString &kind, const QString &dataRoot);

}  // namespace bench
