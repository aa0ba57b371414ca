#!/usr/bin/env bash
# Installs what is missing, then configures and builds both trees
# incrementally: build/win (Windows, cross-compiled) and build/host (native).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

bash scripts/install-packages.sh
bash scripts/deps.sh

[ -f build/win/CMakeCache.txt ] ||
  cmake -S . -B build/win -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
[ -f build/host/CMakeCache.txt ] ||
  cmake -S . -B build/host -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Debug >/dev/null

quiet() { sed -E '/^\[ *[0-9]+%\]|^(Consolidate|Scanning|Built target)/d'; }
echo "== building (Windows tree, then host tree)"
cmake --build build/win -j"$jobs" 2>&1 | quiet || { echo "Windows build failed"; exit 1; }
cmake --build build/host -j"$jobs" 2>&1 | quiet || { echo "host build failed"; exit 1; }
