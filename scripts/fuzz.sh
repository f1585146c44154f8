#!/usr/bin/env bash
# Builds the database engine's libFuzzer target with clang in a build folder of its own and runs
# it for a bounded time, starting from the corpus kept in tests/reliability/fuzz_corpus.
# Usage: scripts/fuzz.sh [seconds]   (default 30). Inputs that make it fail are kept in
# <build>/fuzz-findings/; new corpus entries go to a scratch folder, never into the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SAPORIUM_FUZZ_BUILD:-$root/build-fuzz}
seconds=${1:-30}

CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSAPORIUM_TESTS=ON -DSAPORIUM_FUZZ=ON >/dev/null
cmake --build "$build" --target reliability_engine_fuzz

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/fuzz-findings"
"$build/bin/reliability_engine_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$build/fuzz-findings/" "$scratch" "$root/tests/reliability/fuzz_corpus"
