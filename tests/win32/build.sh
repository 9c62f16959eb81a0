#!/usr/bin/env bash
# Cross-builds the Windows program and its test suites with MinGW-w64:
#   tests/win32/build.sh [BUILD_DIR]
# BUILD_DIR (default build-win32 in the source tree) gets host/ (the icon
# tool, built natively) and i686/, Norvane.exe and its installer as shipped. Where this machine
# runs no 32-bit code, the suites come from x86_64/ instead: the same sources
# built as a 64-bit program, which 64-bit Wine runs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(mkdir -p "${1:-$root/build-win32}" && cd "${1:-$root/build-win32}" && pwd)

# The icon files and the resource script come from a host tool, which a cross build cannot run.
cmake -S "$root" -B "$build/host" -DNORVANE_QT=OFF -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build/host" --target norvane_icons -j 2 > /dev/null

cross() {  # cross ARCH [TARGET...]
  local arch=$1
  shift
  cmake -S "$root" -B "$build/$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DNORVANE_WERROR=ON \
    -DNORVANE_RC="$build/host/generated/app/norvane.rc" > /dev/null
  cmake --build "$build/$arch" -j 2 ${1:+--target "$@"}
}

if "$root/scripts/native-i386.sh"; then
  echo "build.sh: this machine runs 32-bit x86 programs: building the 32-bit suites for Wine"
  cross i686
else
  echo "build.sh: this machine runs no 32-bit x86 programs: building Norvane.exe as 32-bit," \
    "and the same sources with every suite as 64-bit for 64-bit Wine"
  cross i686 Norvane norvane_msi
  cross x86_64
fi
