#!/usr/bin/env bash
# Builds Saporium with its tests and runs them under Qt's offscreen platform.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SAPORIUM_TEST_BUILD:-$root/build-test}

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSAPORIUM_TESTS=ON >/dev/null
cmake --build "$build"

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
ctest --test-dir "$build" --output-on-failure -j2

# Then, unless SAPORIUM_QUICK=1: the fuzz targets (engine, JSON check, web page) for a bounded time each, the tests below the
# window under ThreadSanitizer, and the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, each in a build of its own (the AddressSanitizer run goes last, so
# that the run closes on its summary).
[ "${SAPORIUM_QUICK:-0}" = 1 ] && exit 0

fuzz_build=${SAPORIUM_FUZZ_BUILD:-$root/build-test-fuzz}
echo "== Fuzzing the database engine, the JSON check and a web page's reading for ${SAPORIUM_FUZZ_SECONDS:-30} s each (log: $fuzz_build/fuzz.log)"
mkdir -p "$fuzz_build"
if ! SAPORIUM_FUZZ_BUILD=$fuzz_build bash "$root/scripts/fuzz.sh" "${SAPORIUM_FUZZ_SECONDS:-30}" \
    >"$fuzz_build/fuzz.log" 2>&1; then
  tail -n 60 "$fuzz_build/fuzz.log"
  echo "The fuzz run failed; the input that did it is in $fuzz_build/fuzz-findings/"
  exit 1
fi
grep -E '^(== reliability_|Done|stat::number_of_executed_units|stat::new_units_added)' "$fuzz_build/fuzz.log"

echo "== The tests below the window under ThreadSanitizer"
# Only the engine, core and exchange tests: the search worker's thread and everything it reaches
# live there, and the window's tests would only add build time. Any report fails its test.
tsan=${SAPORIUM_TSAN_BUILD:-$root/build-test-tsan}
cmake -S "$root" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSAPORIUM_TESTS=ON -DSAPORIUM_TSAN=ON >/dev/null
cmake --build "$tsan" --target tests_below_window
# The suppressions for the libraries that build does not instrument are built into the test
# programs (tests/support/core_test_main.cpp).
TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1} \
  ctest --test-dir "$tsan" --output-on-failure -j2 -R '^(engine|core|exchange)_test_'

echo "== The suite under AddressSanitizer and UndefinedBehaviorSanitizer"
asan=${SAPORIUM_ASAN_BUILD:-$root/build-test-asan}
cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSAPORIUM_TESTS=ON -DSAPORIUM_SANITIZE=ON >/dev/null
cmake --build "$asan"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$asan" --output-on-failure -j2
