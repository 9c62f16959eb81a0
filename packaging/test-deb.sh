#!/usr/bin/env bash
# Builds the Debian package of a build and checks what it holds, then either
#   test-deb.sh BUILD_DIR lintian   runs lintian on it: any error or warning fails
#   test-deb.sh BUILD_DIR [install] installs it on this machine, starts the
#       installed program in a private X server and sees its window, closes it
#       with its own Close button (Alt+C), then removes the package again.
# Exit 77 (skipped) when installing and not root.
set -euo pipefail
build=$(cd "$1" && pwd)
mode=${2:-install}
root=$(cd "$(dirname "$0")/.." && pwd)
case $mode in
  lintian) command -v lintian > /dev/null || { echo "lintian is missing" >&2; exit 1; } ;;
  install) [ "$(id -u)" = 0 ] || { echo "skipped: installing a package needs root"; exit 77; } ;;
  *) echo "usage: $0 BUILD_DIR [lintian|install]" >&2; exit 2 ;;
esac
if [ "$mode" = install ] && dpkg-query -W -f='${Status}' norvane 2> /dev/null | grep -q 'ok installed'; then
  echo "norvane is already installed on this machine; not replacing it" >&2
  exit 1
fi

out=$(mktemp -d /tmp/norvane-deb.XXXXXX)
installed=0
cleanup() {
  local rc=$?
  if [ "$installed" = 1 ]; then
    dpkg --purge norvane > "$out/remove.log" 2>&1 || { cat "$out/remove.log" >&2; rc=1; }
  fi
  rm -rf "$out"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

deb=$("$root/packaging/make-deb.sh" "$build" "$out")
echo "built $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Dependencies come from the libraries the program really links (shlibdeps).
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libqt6widgets6 libqt6gui6 libqt6core6 fonts-liberation; do
  grep -q "\b$lib\b" <<< "$depends" || { echo "Depends lacks $lib" >&2; exit 1; }
done
contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for path in ./usr/bin/norvane ./usr/share/applications/com.pimbrelscomputers.Norvane.desktop \
  ./usr/share/metainfo/com.pimbrelscomputers.Norvane.metainfo.xml \
  ./usr/share/icons/hicolor/32x32/apps/com.pimbrelscomputers.Norvane.png \
  ./usr/share/doc/norvane/copyright ./usr/share/doc/norvane/changelog.gz \
  ./usr/share/man/man1/norvane.1.gz; do
  grep -qx "$path" <<< "$contents" || { echo "the package lacks $path" >&2; exit 1; }
done

if [ "$mode" = lintian ]; then
  # Informational tags are shown, for the record; errors and warnings fail, and so does a
  # lintian that could not check the package at all.
  rc=0
  lintian --fail-on error,warning --display-info "$deb" > "$out/lintian.log" 2>&1 || rc=$?
  grep -v '^running with root privileges' "$out/lintian.log" || true
  faults=$(grep -cE '^[EW]: ' "$out/lintian.log" || true)
  [ "$faults" = 0 ] || { echo "lintian: $faults errors and warnings" >&2; exit 1; }
  # Hardening as Debian's own packages have it: lintian sees PIE, relro, immediate binding
  # and fortified calls (the last two only as information); the stack protector is ours to see.
  ! grep -q '^I: .*hardening-' "$out/lintian.log" ||
    { echo "lintian: the program lacks hardening" >&2; exit 1; }
  dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/norvane > "$out/norvane"
  grep -q ' __stack_chk_fail@' <<< "$(readelf --dyn-syms -W "$out/norvane")" ||
    { echo "the packaged program has no stack protector" >&2; exit 1; }
  [ "$rc" = 0 ] || { echo "lintian failed (exit $rc)" >&2; exit 1; }
  echo "lintian: no errors, no warnings, $(grep -c '^I: ' "$out/lintian.log" || true) informational tags"
  exit 0
fi

installed=1
# apt resolves the package's dependencies (already present where the program was built).
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" \
  > "$out/install.log" 2>&1 || { cat "$out/install.log" >&2; exit 1; }
dpkg-query -W -f='${Status}\n' norvane | grep -q 'ok installed'
[ "$(command -v norvane)" = /usr/bin/norvane ]
desktop-file-validate /usr/share/applications/com.pimbrelscomputers.Norvane.desktop

# The installed program, in a real X server: its window appears, and Alt+C ends it.
"$root/scripts/xsession.sh" -- bash -c '
  set -euo pipefail
  poll() { # SECONDS COMMAND...: until the command succeeds
    local i
    for ((i = 0; i < $1 * 50; i++)); do "${@:2}" && return 0; sleep 0.02; done
    return 1
  }
  LANG=C.UTF-8 /usr/bin/norvane &
  pid=$!
  window() { wid=$(xdotool search --onlyvisible --pid "$pid" --name "^Norvane\$" 2> /dev/null | head -n 1); [ -n "$wid" ]; }
  poll 20 window || { echo "no window from the installed program" >&2; kill "$pid"; exit 1; }
  xwininfo -id "$wid" | grep -q "Map State: IsViewable"
  echo "window $wid: $(xwininfo -id "$wid" | sed -n "s/^ *Width: //p")x$(xwininfo -id "$wid" | sed -n "s/^ *Height: //p")"
  xdotool windowactivate "$wid"
  active() { [ "$(xdotool getactivewindow)" = "$wid" ]; }
  poll 10 active
  xdotool key alt+c
  ended() { ! grep -qs "^State:[[:space:]]*[RSDT]" "/proc/$pid/status"; }  # gone, or a zombie
  poll 10 ended || { echo "the installed program did not end on Alt+C" >&2; kill "$pid"; exit 1; }
  wait "$pid"
'
echo "installed, started, seen and closed"
