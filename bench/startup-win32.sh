#!/usr/bin/env bash
# Start-up benchmark of the Windows program: first paint and peak memory of Norvane.exe under
# Wine, round by round with a floor, a bare Win32 program with the same window
# (bench/floor/win32_floor.cpp), in a private X session (Xvfb, openbox) with a warm Wine server.
#   bench/startup-win32.sh [-n RUNS] [-a i686|x86_64] [BUILD_DIR]
# BUILD_DIR is what tests/win32/build.sh made (default build-win32). It measures the 32-bit
# Norvane.exe under 32-bit Wine where this machine runs 32-bit code, else the 64-bit build of
# the same sources under 64-bit Wine (-a chooses); the floor is built for the same processor,
# -Os and static. First paint and memory: see bench/firstpaint.c; memory is the Wine process's.
# Goals (medians of one run): first paint <= 1.05 x floor, peak memory <= 1.10 x floor. Rounds
# differ by a third and more on a shared 2-core machine, so a median needs about 100 rounds
# (5 minutes) to settle within a few per cent.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

if [ "${1:-}" = --session ]; then
  # Inside the X session: a private prefix, booted with the display set, and a server that
  # stays up between the runs (the warm-up rounds start its services again).
  export WINEPREFIX=$BENCH_WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$BENCH_ARCH" = x86_64 ]; then
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  else
    export WINEARCH=win32
  fi
  trap 'wineserver -k; wineserver -w' EXIT
  "$BENCH_LOADER" wineboot --init > "$BENCH_WORK/wineboot.log" 2>&1
  wineserver -k
  wineserver -w
  # The programs and the theme, 7 MB that every program maps, go into the page cache in 4 KB
  # pages, while no process maps them. Fresh copies sit there in large pieces, and a program
  # whose view of one happens to start at a suitable boundary gets whole pieces mapped at a
  # stroke: megabytes counted resident that it never touches.
  /usr/bin/python3 - "$BENCH_WORK"/*.exe "$WINEPREFIX"/drive_c/windows/resources/themes/*/*.msstyles \
    << 'EOF'
import os, sys
for path in sys.argv[1:]:
    file = os.open(path, os.O_RDONLY)
    os.fsync(file)
    os.posix_fadvise(file, 0, 0, os.POSIX_FADV_DONTNEED)
    os.posix_fadvise(file, 0, 0, os.POSIX_FADV_RANDOM)
    while os.read(file, 4096):
        pass
    os.close(file)
EOF
  wineserver -p
  bash "$here/rounds.sh" "$BENCH_WORK/firstpaint" "$BENCH_WORK/results.txt" "$BENCH_RUNS" 2 \
    norvane Norvane "$BENCH_LOADER $BENCH_WORK/Norvane.exe" \
    floor "Win32 floor" "$BENCH_LOADER $BENCH_WORK/floor.exe"
  exit 0
fi

runs=100 arch=""
while getopts ":n:a:" option; do
  case $option in
    n) runs=$OPTARG ;;
    a) arch=$OPTARG ;;
    *) echo "usage: $0 [-n RUNS] [-a i686|x86_64] [BUILD_DIR]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
build=${1:-$root/build-win32}
if [ -z "$arch" ]; then
  if "$root/scripts/native-i386.sh"; then arch=i686; else arch=x86_64; fi
fi
case $arch in
  i686) loader=/usr/lib/wine/wine ;;
  x86_64) loader=/usr/lib/wine/wine64 ;;
  *) echo "$0: -a takes i686 or x86_64" >&2; exit 2 ;;
esac
program=$build/$arch/app/win32/Norvane.exe
[ -f "$program" ] || { echo "$0: no $program: build it with tests/win32/build.sh" >&2; exit 2; }
bash "$root/scripts/deps.sh" packages-bench.txt

work=$(mktemp -d /tmp/norvane-bench-win32.XXXXXX)
# The results stay; the prefix (600 MB) and the builds go.
trap 'rm -rf "$work/prefix" "$work/floor"' EXIT
cc -O2 -o "$work/firstpaint" "$here/firstpaint.c" -lXdamage -lX11
cmake -S "$here/floor" -B "$work/floor" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
  > "$work/floor.log" 2>&1 &&
  cmake --build "$work/floor" -j 2 >> "$work/floor.log" 2>&1 || { cat "$work/floor.log" >&2; exit 1; }
cp "$work/floor/win32_floor.exe" "$work/floor.exe"
# Side by side in one folder, so that both load alike.
cp "$program" "$work/Norvane.exe"

echo "measuring the $arch Norvane.exe ($program) under $loader, $("$loader" --version)"
echo "$runs rounds after 2 for warming up; load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
BENCH_WORK=$work BENCH_ARCH=$arch BENCH_LOADER=$loader BENCH_RUNS=$runs \
  "$root/scripts/xsession.sh" -- bash "${BASH_SOURCE[0]}" --session 2> "$work/progress.log"
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
status=0
/usr/bin/python3 "$here/summary.py" "$work/results.txt" floor \
  'norvane:paint_ms<=1.05' 'norvane:hwm_kb<=1.10' || status=$?
echo "each run: $work/results.txt"
exit "$status"
