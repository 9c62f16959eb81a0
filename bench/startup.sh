#!/usr/bin/env bash
# Start-up benchmark: exec-to-first-paint and resident memory of Norvane under
# a private Xvfb, interleaved round by round with two references: a bare Qt
# window with the same widget set (the floor) and Debian's xcalc.
#   bench/startup.sh [-n RUNS] [PROGRAM]
# PROGRAM: the built or installed executable (default: build/app/qt/norvane,
# else /usr/bin/norvane). Needs ../shared/perf (the measuring harness and the
# floor's source; PERF_DIR overrides), Qt's development files, and from Debian:
# x11-apps xfonts-base libx11-dev libxdamage-dev libxfixes-dev libxext-dev
# libxres-dev. Without xfonts-base xcalc draws with the X server's built-in
# font and paints in about 13 ms instead of a desktop's 35-40 ms.
# Goals (medians): paint <= 1.10 x floor and below xcalc; RSS <= 1.15 x floor.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
perf=${PERF_DIR:-$root/../shared/perf}
runs=20
while getopts ":n:" opt; do
  case $opt in
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
[ -n "$program" ] && [ -x "$program" ] || { echo "no program to measure; give its path" >&2; exit 2; }
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
[ -x "$perf/startup-bench.sh" ] && [ -f "$perf/qt_floor.cpp" ] || { echo "missing $perf" >&2; exit 2; }
command -v xcalc > /dev/null || { echo "missing xcalc (apt-get install x11-apps)" >&2; exit 2; }

work=$(mktemp -d /tmp/norvane-bench.XXXXXX)
trap 'rm -rf "$work/floor-build"' EXIT
# The floor, built the way the program is: Release, the same compiler and Qt.
cmake -S "$perf" -B "$work/floor-build" -DCMAKE_BUILD_TYPE=Release > "$work/floor-build.log" 2>&1 &&
  cmake --build "$work/floor-build" -j 2 >> "$work/floor-build.log" 2>&1 ||
  { cat "$work/floor-build.log" >&2; exit 1; }
cp "$work/floor-build/qt_floor" "$work/qt_floor"

echo "program: $program"
# A fixed locale so that all three start alike; the harness runs no window manager.
bash "$perf/startup-bench.sh" -n "$runs" -w 2 -o "$work/run" -r floor \
  -e LANG=C.UTF-8 -e QT_QPA_PLATFORM=xcb \
  norvane '^Norvane$' "$program" \
  floor '^QtFloor$' "$work/qt_floor" \
  xcalc '^Calculator$' "xcalc" 2> "$work/progress.log"

# Judge the goals on the medians of the same run.
/usr/bin/python3 - "$work/run/results.tsv" << 'PYEOF'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    f = line.rstrip("\n").split("\t")
    if len(f) < 3 or f[0] == "label":
        continue
    d = dict(kv.split("=", 1) for kv in f[2].split() if "=" in kv)
    if d.get("ok") == "1":
        rows.setdefault(f[0], []).append(d)
med = lambda label, key: statistics.median(float(d[key]) for d in rows[label])
paint = {l: med(l, "paint_ms") for l in rows}
rss = {l: med(l, "rss_kb") / 1024 for l in rows}
goals = [
    ("first paint <= 1.10 x floor", paint["norvane"] <= 1.10 * paint["floor"],
     f"{paint['norvane']:.1f} ms vs {1.10 * paint['floor']:.1f} ms"),
    ("first paint below xcalc", paint["norvane"] < paint["xcalc"],
     f"{paint['norvane']:.1f} ms vs {paint['xcalc']:.1f} ms"),
    ("RSS <= 1.15 x floor", rss["norvane"] <= 1.15 * rss["floor"],
     f"{rss['norvane']:.1f} MB vs {1.15 * rss['floor']:.1f} MB"),
]
print()
print("| | first paint (ms, median) | x floor | RSS (MB, median) | x floor |")
print("|---|---|---|---|---|")
for l in ["norvane", "floor", "xcalc"]:
    print(f"| {l} | {paint[l]:.1f} | {paint[l] / paint['floor']:.2f} | {rss[l]:.1f} | {rss[l] / rss['floor']:.2f} |")
print()
for goal, ok, detail in goals:
    print(f"{'MET   ' if ok else 'MISSED'} {goal}: {detail}")
sys.exit(0 if all(ok for _, ok, _ in goals) else 1)
PYEOF
echo "raw results and the harness's summary: $work/run"
