#pragma once
// Scaling at full size: every recipe of the large database read through Collection::readAll and
// its ingredients scaled by 2, beside the bare read of every row's four fields that the export
// row measures against too (raw/exchange_read_rows/large, registered with the exchange rows).

#include "bench/bench_databases.h"
#include "bench/results_table.h"

#include <vector>

namespace bench {

void registerScalingBenchmarks(const GeneratedDatabase &large);

std::vector<TableRow> scalingTableRows();

}  // namespace bench
