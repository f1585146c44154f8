#!/usr/bin/env bash
# Runs a test program as a client of its own headless Wayland compositor (weston), started in a
# private runtime folder and stopped afterwards.   with_weston.sh <program> [arguments...]
set -uo pipefail
command -v weston >/dev/null || { echo "with_weston.sh: weston is not installed (scripts/install-deps.sh)" >&2; exit 1; }
runtime=$(mktemp -d) || exit 1
trap 'kill "$weston" 2>/dev/null; wait "$weston" 2>/dev/null; rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=saporium-test QT_QPA_PLATFORM=wayland
# Under AddressSanitizer: the full stack of each allocation, so that a leak of Mesa's, made below
# frames without frame pointers, still shows the library the suppressions name.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 --shell=desktop-shell.so \
  >"$runtime/weston.log" 2>&1 &
weston=$!
# The socket appears once weston listens; a generous bound for a loaded machine.
for _ in $(seq 600); do
  [ -S "$runtime/$WAYLAND_DISPLAY" ] && break
  kill -0 "$weston" 2>/dev/null || { cat "$runtime/weston.log" >&2; echo "with_weston.sh: weston stopped" >&2; exit 1; }
  sleep 0.1
done
[ -S "$runtime/$WAYLAND_DISPLAY" ] || { cat "$runtime/weston.log" >&2; echo "with_weston.sh: no socket" >&2; exit 1; }
"$@"
