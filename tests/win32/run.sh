#!/usr/bin/env bash
# Cross-builds Norvane.exe, the GoogleTest suites and the end-to-end driver
# with MinGW-w64, then runs them under Wine in a private X session:
#   tests/win32/run.sh [BUILD_DIR]
# BUILD_DIR (default build-win32 in the source tree) gets host/ (the icon
# tool, built natively) and cross/ (everything for Windows).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(mkdir -p "${1:-$root/build-win32}" && cd "${1:-$root/build-win32}" && pwd)

for tool in i686-w64-mingw32-g++-posix wine wineboot wineserver; do
  command -v "$tool" > /dev/null || { echo "run.sh: $tool is missing" >&2; exit 1; }
done

# The icon files and the resource script come from a host tool, which a cross build cannot run.
cmake -S "$root" -B "$build/host" -DNORVANE_QT=OFF -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build/host" --target norvane_icons -j 2 > /dev/null
cmake -S "$root" -B "$build/cross" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DNORVANE_WERROR=ON \
  -DNORVANE_RC="$build/host/generated/app/norvane.rc" > /dev/null
cmake --build "$build/cross" -j 2

exec "$root/scripts/xsession.sh" -- "$here/session.sh" "$build/cross"
