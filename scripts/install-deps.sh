#!/usr/bin/env bash
# Installs the Debian 12 packages Saporium needs to build, run and test; skips what is there.
set -euo pipefail

packages=(
  build-essential dpkg-dev cmake ninja-build pkg-config file help2man
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsqlcipher-dev sqlcipher
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth imagemagick poppler-utils weston qt6-wayland
  fonts-dejavu-core fonts-liberation2 fonts-croscore fonts-wine
  clang libclang-rt-14-dev
  libgumbo-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
