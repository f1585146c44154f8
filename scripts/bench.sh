#!/usr/bin/env bash
# Builds the benchmark (Release, in build-bench) and runs it: the recipe store on generated
# encrypted databases against what SQLCipher and Qt do alone. It generates about 5 GB of
# databases in the temporary folder and removes them at the end; a whole run takes 30 to 60 minutes
# on two cores (docs/benchmarks.md).
# Arguments go to the benchmark: --table=FILE also writes the result table there,
# --data-dir=DIR keeps the databases there for later runs, --benchmark_filter=REGEX picks
# benchmarks, --no-memory skips the peak-memory probes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SAPORIUM_BENCH_BUILD:-$root/build-bench}

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSAPORIUM_BENCH=ON -DSAPORIUM_TESTS=OFF >/dev/null
cmake --build "$build" --target saporium_bench

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
"$build/bin/saporium_bench" "$@"
