#!/usr/bin/env bash
# Builds what a release publishes, norvane_<version>_amd64.deb, Norvane.exe and
# Norvane-<version>.msi, and writes them with their SHA256SUMS into one folder:
#   scripts/release.sh [BUILD_DIR]    (default build-release; the folder is BUILD_DIR/artefacts)
# Every build of one commit gives the same bytes, so anyone can rebuild and compare.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${1:-$root/build-release}" && cd "${1:-$root/build-release}" && pwd)
bash "$root/scripts/deps.sh" packages-build.txt packages-release.txt

# One time for every tree of the build.
SOURCE_DATE_EPOCH=$(bash "$root/scripts/source-date-epoch.sh")
export SOURCE_DATE_EPOCH

# The Linux program and its package. The same tree's icon tool writes the resource script
# that the Windows program takes.
cmake -S "$root" -B "$build/linux" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build/linux" -j 2 > /dev/null
deb=$("$root/packaging/make-deb.sh" "$build/linux")

cmake -S "$root" -B "$build/i686" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DNORVANE_RC="$build/linux/generated/app/norvane.rc" > /dev/null
cmake --build "$build/i686" -j 2 > /dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/i686/CMakeCache.txt")
exe=$build/i686/app/win32/Norvane.exe
msi=$build/i686/packaging/win32/Norvane-$version.msi

out=$build/artefacts
rm -rf "$out"
mkdir -p "$out"
cp "$deb" "$exe" "$msi" "$out"
(cd "$out" && LC_ALL=C sha256sum -- * > SHA256SUMS)
echo "release.sh: $out, SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"
cat "$out/SHA256SUMS"
