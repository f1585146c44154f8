#pragma once
// Peak resident memory of one scenario, each measured in a fresh process of this program so
// that no scenario inherits another's peak.

#include <QString>

namespace bench {

// Runs this program again as `--probe=<scenario> --data-dir=<root>` and returns the peak it
// reports in MiB, or a negative number when the probe failed.
double measurePeak(const QString &scenario, const QString &dataRoot);

// The probe side: runs the scenario on the databases under dataRoot and prints the process's
// peak resident size in KiB. Scenarios: "idle" (the controls and an open store, nothing shown),
// "store-<shape>" (FillCatalogue), "raw-<shape>" (the raw read and tree fill), and the search
// and import scenarios of runSearchProbe and runExchangeProbe. Returns the process exit code.
int runProbe(const QString &scenario, const QString &dataRoot);

}  // namespace bench
