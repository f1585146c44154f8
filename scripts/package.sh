#!/usr/bin/env bash
# Builds Saporium in Release and packs it as a Debian package; prints the folder that holds
# saporium_<version>_<arch>.deb. Install the result with: apt-get install ./saporium_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SAPORIUM_PKG_BUILD:-$root/build-pkg}
out=${SAPORIUM_PKG_OUT:-$build/package}

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DSAPORIUM_TESTS=OFF -DSAPORIUM_BENCH=OFF -DSAPORIUM_SANITIZE=OFF >/dev/null
cmake --build "$build"

# An old package of another version would be taken for this one by a saporium_*.deb glob.
rm -f "$out"/saporium_*.deb
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
ls "$out"/saporium_*.deb >/dev/null
echo "$out"
