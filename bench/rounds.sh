#!/usr/bin/env bash
# Starts programs one after the other in the X session it runs in, round after round, and
# records how each started (bench/firstpaint.c):
#   bench/rounds.sh FIRSTPAINT RESULTS RUNS WARMUP LABEL TITLE COMMAND [LABEL TITLE COMMAND]...
# COMMAND is split into words at blanks (no quoting). Rounds alternate their order (A B, then
# B A), so that neither program always runs right after the other; the WARMUP rounds before
# them fill the caches and are not recorded. RESULTS gets one line per run:
#   LABEL ROUND key=value...
set -euo pipefail
firstpaint=$1 results=$2 runs=$3 warmup=$4
shift 4
labels=() titles=() commands=()
while [ $# -ge 3 ]; do
  labels+=("$1") titles+=("$2") commands+=("$3")
  shift 3
done
[ $# -eq 0 ] && [ ${#labels[@]} -gt 0 ] || { echo "rounds.sh: LABEL TITLE COMMAND triples" >&2; exit 2; }

: > "$results"
count=${#labels[@]}
for ((round = 1 - warmup; round <= runs; round++)); do
  for ((k = 0; k < count; k++)); do
    i=$(((round % 2 == 0) ? count - 1 - k : k))
    read -r -a words <<< "${commands[$i]}"
    line=$("$firstpaint" "${titles[$i]}" "${words[@]}" 2>> "$results.stderr") || true
    [ -n "$line" ] || line="ok=0"
    if [ "$round" -ge 1 ]; then echo "${labels[$i]} $round $line" >> "$results"; fi
    printf '%3d %-12s %s\n' "$round" "${labels[$i]}" "$line" >&2
  done
done
