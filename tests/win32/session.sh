#!/usr/bin/env bash
# Runs the cross-built suites under Wine, inside an X session (DISPLAY set):
#   tests/win32/session.sh CROSS_BUILD_DIR win32|win64
# win32 runs a 32-bit build under the usual loader; win64 a 64-bit build under
# 64-bit Wine, for machines whose kernel runs no 32-bit code. A private prefix
# is made for the run and removed afterwards; the Wine server is stopped on
# the way out.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
: "${DISPLAY:?session.sh needs an X display}"

prefix=$(mktemp -d /tmp/norvane-wine.XXXXXX)
export WINEPREFIX=$prefix WINEARCH=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$WINEARCH" = win64 ]; then
  # /usr/bin/wine always takes the 32-bit loader; Wine starts its helpers through WINELOADER.
  export WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
else
  export WINE=wine
fi
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2> /dev/null
  wineserver -k 2> /dev/null || true
  wineserver -w 2> /dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT

failed=()
step() {  # step NAME COMMAND...: runs one part, keeps going when it fails
  local name=$1
  shift
  echo "=== $name"
  local began=$SECONDS
  if "$@"; then
    echo "=== $name: passed ($((SECONDS - began)) s)"
  else
    echo "=== $name: FAILED ($((SECONDS - began)) s)"
    failed+=("$name")
  fi
}

# Booted with the display set, so that the program's windows reach this X server.
step "wine prefix" "$WINE" wineboot --init

for suite in "$build"/tests/engine/*.exe "$build"/tests/ui/*.exe; do
  [ -e "$suite" ] || continue
  step "$(basename "$suite" .exe)" "$WINE" "$suite" --gtest_brief=1
done

export NORVANE_EXE="Z:${build//\//\\}\\app\\win32\\Norvane.exe"
e2e=$build/tests/win32/norvane_e2e.exe

# No printer at all: Print Form must say that it failed.
step "end-to-end, no printer" env CUPS_SERVER="$prefix/no-cupsd.sock" PRINTER= LPDEST= \
  "$WINE" "$e2e" --gtest_brief=1

# A PDF printer as the default: Print Form prints and says nothing.
step "end-to-end, PDF printer" "$root/scripts/cups-session.sh" -- \
  "$WINE" "$e2e" --gtest_brief=1 --gtest_filter='*PrintForm*'

# A default queue that refuses jobs: Print Form must say that it failed.
step "end-to-end, refusing printer" "$root/scripts/cups-session.sh" -- bash -c '
  cupsreject "$NORVANE_PRINTER" &&
  NORVANE_QUEUE_STATE=rejecting "$@"' _ "$WINE" "$e2e" --gtest_brief=1 --gtest_filter='*PrintForm*'

# A paused queue holds the job, which prints once the queue resumes: no message. Both
# tests of the group leave a job waiting there.
step "end-to-end, paused printer" "$root/scripts/cups-session.sh" -- bash -c '
  cupsdisable "$NORVANE_PRINTER" &&
  NORVANE_QUEUE_STATE=paused "$@" &&
  [ "$(lpstat -o "$NORVANE_PRINTER" | wc -l)" -eq 2 ]' _ \
  "$WINE" "$e2e" --gtest_brief=1 --gtest_filter='*PrintForm*'

# The window icon as the X server has it.
window_icon() {
  "$WINE" "$build/app/win32/Norvane.exe" &
  program_pid=$!
  local window
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Norvane$' | head -n 1)
  local icon
  icon=$(xprop -id "$window" _NET_WM_ICON)
  kill "$program_pid"
  wait "$program_pid" 2> /dev/null || true
  program_pid=""
  grep -q 'Icon (32 x 32)' <<< "$icon"
}
step "window icon" window_icon

# Twice the pixels per inch: the same layout, twice as large.
step "200 % scale" bash -c '
  "$WINE" reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d 192 /f > /dev/null &&
  NORVANE_DPI=192 "$WINE" "$1" --gtest_brief=1 \
    --gtest_filter="Screen.*:MainWindow.OpensWithItsLayout:*AboutWindow.*/Escape:*LongResult.*:MainWindow.LabelsShowTheirWholeCaption"' _ "$e2e"

if [ ${#failed[@]} -gt 0 ]; then
  echo "Failed: ${failed[*]}"
  exit 1
fi
echo "All Wine suites passed."
