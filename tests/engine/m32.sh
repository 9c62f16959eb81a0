#!/usr/bin/env bash
# Builds the engine and its tests as 32-bit x86 (x87 floating point, g++-multilib) and runs them:
# natively where the kernel runs 32-bit programs, otherwise under QEMU's user-mode emulator,
# whose x87 unit rounds as the hardware does. GoogleTest is built for 32 bits from Debian's
# sources in /usr/src/googletest. Usage: tests/engine/m32.sh [build-dir]
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/../build-engine-m32}
mkdir -p "$build"
build=$(cd "$build" && pwd)
gtest=$build/googletest

if "$root/scripts/native-i386.sh"; then
  echo "m32.sh: this machine runs 32-bit x86 programs: the tests run natively"
  flags=-m32 emulate=()
  if [ ! -f "$gtest/install/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$gtest/build" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_CXX_FLAGS=-m32 -DCMAKE_C_FLAGS=-m32 -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON \
      -DCMAKE_INSTALL_PREFIX="$gtest/install" -DCMAKE_INSTALL_LIBDIR=lib > /dev/null
    cmake --build "$gtest/build" -j2 > /dev/null
    cmake --install "$gtest/build" > /dev/null
  fi
else
  command -v qemu-i386 > /dev/null || { echo "m32.sh: qemu-i386 (qemu-user) is missing" >&2; exit 1; }
  echo "m32.sh: this machine runs no 32-bit x86 programs: the tests run under qemu-i386"
  # Declared a cross build, so that test discovery and ctest both go through the emulator
  # (and GoogleTest is built from its sources within the project).
  # GCC 12 reports a false -Wrestrict inside std::string there (GCC bug 105329).
  flags="-m32 -Wno-restrict"
  emulate=(-DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR=i686
    -DCMAKE_CROSSCOMPILING_EMULATOR=qemu-i386)
fi

cmake -S "$root" -B "$build/project" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="$flags" "${emulate[@]}" \
  -DNORVANE_ENGINE_ONLY=ON -DNORVANE_QT=OFF -DNORVANE_WERROR=ON -DNORVANE_SANITIZE=OFF \
  -DNORVANE_FUZZ_TEST=OFF -DNORVANE_M32_TEST=OFF \
  -DCMAKE_PREFIX_PATH="$gtest/install" -DGTest_DIR="$gtest/install/lib/cmake/GTest" >/dev/null
cmake --build "$build/project" -j2

# The fifth byte of an ELF file is 1 for 32-bit code.
class=$(od -An -tu1 -j4 -N1 "$build/project/tests/engine/test_engine_rounding" | tr -d ' ')
if [ "$class" != 1 ]; then
  echo "m32.sh: the tests were not built as 32-bit code" >&2
  exit 1
fi

cd "$build/project"
ctest --output-on-failure -j2
