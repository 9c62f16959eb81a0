#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: an
# optimised build with the system suites, and an address+undefined
# sanitizer build. Warnings are errors in both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
bash "$root/scripts/deps.sh" packages-build.txt packages-release.txt packages.txt

export QT_QPA_PLATFORM=offscreen

# Kernels of this kind differ: some run no 32-bit x86 program. Probe once; every step below
# takes the answer from NORVANE_NATIVE_I386 (which a caller may set to 0 to force "no").
if "$root/scripts/native-i386.sh"; then
  export NORVANE_NATIVE_I386=1
  echo "test.sh: this machine runs 32-bit x86 programs: the 32-bit engine tests run natively" \
    "and the Windows suites test Norvane.exe itself under 32-bit Wine."
else
  export NORVANE_NATIVE_I386=0
  echo "test.sh: this machine runs no 32-bit x86 programs: the 32-bit engine tests run under" \
    "qemu-i386, the Windows suites test the same sources built as 64-bit under 64-bit Wine," \
    "and Norvane.exe (32-bit) is checked as a file."
fi

asan=$root/build-test/asan
cmake -S "$root" -B "$asan" -DCMAKE_BUILD_TYPE=Debug -DNORVANE_WERROR=ON -DNORVANE_SANITIZE=ON > /dev/null
cmake --build "$asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$asan" -j "$jobs" --output-on-failure -LE 'system|fuzz|m32'

release=$root/build-test/release
cmake -S "$root" -B "$release" -DCMAKE_BUILD_TYPE=Release -DNORVANE_WERROR=ON \
  -DNORVANE_FUZZ_TEST=ON -DNORVANE_M32_TEST=ON -DNORVANE_SYSTEM_TESTS=ON > /dev/null
cmake --build "$release" -j "$jobs"
ctest --test-dir "$release" -j "$jobs" --output-on-failure
