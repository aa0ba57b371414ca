#!/usr/bin/env bash
# Builds the third-party libraries that have no mingw package: libjpeg-turbo,
# static, from the distribution's source package, with the cross compiler.
# Installs into build/deps/mingw; a stamp keeps a second run instant.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps=$root/build/deps
prefix=$deps/mingw
stamp=$prefix/.libjpeg-turbo.stamp
[ -f "$stamp" ] && [ -f "$prefix/lib/libjpeg.a" ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# apt-get source needs a deb-src entry; add one beside the binary sources.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -e 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $SUDO tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  else
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      $SUDO tee /etc/apt/sources.list.d/debian-src.list >/dev/null
  fi
  $SUDO apt-get update -qq
fi

mkdir -p "$deps/src"
cd "$deps/src"
srcdir=$(find . -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
if [ -z "$srcdir" ]; then
  apt-get source --download-only libjpeg-turbo >/dev/null
  dpkg-source --no-check -x libjpeg-turbo_*.dsc >/dev/null
  srcdir=$(find . -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
fi

cmake -S "$srcdir" -B "$deps/libjpeg-build" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
  -DWITH_JPEG8=OFF -DCMAKE_POLICY_DEFAULT_CMP0091=NEW >/dev/null
cmake --build "$deps/libjpeg-build" -j"$(nproc)" >/dev/null
cmake --install "$deps/libjpeg-build" >/dev/null
touch "$stamp"
echo "libjpeg-turbo built into $prefix"
