#!/usr/bin/env bash
# Builds Saporium and starts it, with a starter Recipe.mdb beside the program when none is there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SAPORIUM_BUILD:-$root/build}

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSAPORIUM_TESTS=OFF >/dev/null
cmake --build "$build" --target saporium make_starter_db

bin="$build/bin"
if [ ! -e "$bin/Recipe.mdb" ]; then
  "$bin/make_starter_db" "$bin/Recipe.mdb"
fi

if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
fi
exec "$bin/saporium" "$@"
