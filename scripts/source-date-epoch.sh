#!/usr/bin/env bash
# Prints the one time that every artefact of a build carries (SOURCE_DATE_EPOCH): the value
# already in the environment, else the time of the last commit, else (a tree without git) the
# date of the newest release in CHANGELOG.md at midnight UTC.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd -P)
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  echo "$SOURCE_DATE_EPOCH"
  exit 0
fi
# Only this project's own history: an unpacked source tree may sit inside some other repository.
if top=$(git -C "$root" rev-parse --show-toplevel 2> /dev/null) && [ "$(cd "$top" && pwd -P)" = "$root" ] &&
  epoch=$(git -C "$root" log -1 --format=%ct 2> /dev/null) && [ -n "$epoch" ]; then
  echo "$epoch"
  exit 0
fi
date=$(sed -nE 's/^## [0-9]+\.[0-9]+\.[0-9]+ \(([0-9]{4}-[0-9]{2}-[0-9]{2})\)$/\1/p' "$root/CHANGELOG.md" | head -n 1)
[ -n "$date" ] || { echo "source-date-epoch.sh: no release date in CHANGELOG.md" >&2; exit 1; }
date -u -d "$date" +%s
