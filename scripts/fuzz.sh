#!/usr/bin/env bash
# Builds the libFuzzer targets (the database engine's, the streamed JSON check's, and a web
# page's reading) with clang in a build folder of its own and runs each for a bounded time,
# starting from its corpus kept in tests/reliability (fuzz_corpus, fuzz_corpus_json,
# fuzz_corpus_page).
# Usage: scripts/fuzz.sh [seconds]   (default 30, for each target). Inputs that make one fail are
# kept in <build>/fuzz-findings/; new corpus entries go to a scratch folder, never into the
# repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SAPORIUM_FUZZ_BUILD:-$root/build-fuzz}
seconds=${1:-30}

CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSAPORIUM_TESTS=ON -DSAPORIUM_FUZZ=ON >/dev/null
cmake --build "$build" --target reliability_engine_fuzz reliability_json_fuzz reliability_page_fuzz

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/fuzz-findings"
for target in engine:fuzz_corpus json:fuzz_corpus_json page:fuzz_corpus_page; do
  name=${target%%:*}
  corpus=${target#*:}
  mkdir -p "$scratch/$name"
  echo "== reliability_${name}_fuzz"
  "$build/bin/reliability_${name}_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-findings/${name}-" "$scratch/$name" "$root/tests/reliability/$corpus"
done
