#pragma once
// Import and export at full size: a MealMaster file of 100,000 recipes imported into a new file,
// and the large database exported as JSON-LD, each beside what bare file reads and writes and
// bare SQLCipher do; and the import's peak memory for a file of a tenth of the size, to show
// that it does not grow with the file. The MealMaster files are generated once into the data
// folder's "exchange" folder and kept; the databases and exports the runs write there are
// removed again.

#include "bench/bench_databases.h"
#include "bench/results_table.h"

#include <QString>

#include <vector>

namespace bench {

void registerExchangeBenchmarks(const GeneratedDatabase &large, const QString &dataRoot);

std::vector<TableRow> exchangeTableRows();
std::vector<MemoryRow> exchangeMemoryRows(const QString &dataRoot);

// The probe side, in a process of its own: "import-full" and "import-tenth" import the file of
// 100,000 or of 10,000 recipes into a new file. Returns false for a scenario it does not know;
// throws std::runtime_error when the import fails.
bool runExchangeProbe(const QString &scenario, const QString &dataRoot);

}  // namespace bench
