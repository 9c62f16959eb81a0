#!/usr/bin/env bash
# Start-up benchmark of the Linux program: first paint and memory of Norvane, round by round
# with a floor, a bare Qt window with the same menus and widgets (bench/floor/qt_floor.cpp),
# and Debian's xcalc, in a private X session (Xvfb, openbox).
#   bench/startup.sh [-n RUNS] [PROGRAM]
# PROGRAM: the built or installed executable (default: build/app/qt/norvane, else
# /usr/bin/norvane). First paint and memory: see bench/firstpaint.c. Without xfonts-base xcalc
# draws with the X server's built-in font and paints sooner than on a desktop.
# Goals (medians of one run): first paint <= 1.10 x floor and below xcalc; peak memory
# <= 1.15 x floor.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

if [ "${1:-}" = --session ]; then
  # A fixed locale, so that all three start alike.
  export LANG=C.UTF-8
  exec bash "$here/rounds.sh" "$BENCH_WORK/firstpaint" "$BENCH_WORK/results.txt" "$BENCH_RUNS" 2 \
    norvane Norvane "$BENCH_PROGRAM" \
    floor "Qt floor" "$BENCH_WORK/floor/qt_floor" \
    xcalc Calculator xcalc
fi

runs=20
while getopts ":n:" option; do
  case $option in
    n) runs=$OPTARG ;;
    *) echo "usage: $0 [-n RUNS] [PROGRAM]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
program=${1:-}
if [ -z "$program" ]; then
  for candidate in "$root/build/app/qt/norvane" /usr/bin/norvane; do
    [ -x "$candidate" ] && { program=$candidate; break; }
  done
fi
[ -n "$program" ] && [ -x "$program" ] || { echo "$0: no program to measure; give its path" >&2; exit 2; }
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
bash "$root/scripts/deps.sh" packages-bench.txt

work=$(mktemp -d /tmp/norvane-bench.XXXXXX)
trap 'rm -rf "$work/floor"' EXIT
cc -O2 -o "$work/firstpaint" "$here/firstpaint.c" -lXdamage -lX11
cmake -S "$here/floor" -B "$work/floor" > "$work/floor.log" 2>&1 &&
  cmake --build "$work/floor" -j 2 >> "$work/floor.log" 2>&1 || { cat "$work/floor.log" >&2; exit 1; }

echo "measuring $program"
echo "$runs rounds after 2 for warming up; load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
BENCH_WORK=$work BENCH_PROGRAM=$program BENCH_RUNS=$runs \
  "$root/scripts/xsession.sh" -- bash "${BASH_SOURCE[0]}" --session 2> "$work/progress.log"
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
status=0
/usr/bin/python3 "$here/summary.py" "$work/results.txt" floor \
  'norvane:paint_ms<=1.10' 'norvane:paint_ms<xcalc' 'norvane:hwm_kb<=1.15' || status=$?
echo "each run: $work/results.txt"
exit "$status"
