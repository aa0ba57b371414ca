#!/usr/bin/env bash
# Installs what is missing, then configures and builds both trees
# incrementally: build/win (Windows, cross-compiled) and build/host (native).
# BUILD_ROOT names another folder for the two trees and the Wine prefix (default
# build), so that several checkouts' builds can run side by side; the
# third-party libraries stay in build/deps.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)
br=${BUILD_ROOT:-build}
# An absolute folder stays as given; a relative one is under the checkout.
case $br in /*) ;; *) br="$root/$br" ;; esac

bash scripts/install-packages.sh
bash scripts/deps.sh

[ -f "$br/win/CMakeCache.txt" ] ||
  cmake -S . -B "$br/win" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DHOST_BUILD_DIR="$br/host" >/dev/null
[ -f "$br/host/CMakeCache.txt" ] ||
  cmake -S . -B "$br/host" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Debug >/dev/null

quiet() { sed -E '/^\[ *[0-9]+%\]|^(Consolidate|Scanning|Built target)/d'; }
echo "== building (Windows tree, then host tree)"
cmake --build "$br/win" -j"$jobs" 2>&1 | quiet || { echo "Windows build failed"; exit 1; }
cmake --build "$br/host" -j"$jobs" 2>&1 | quiet || { echo "host build failed"; exit 1; }
