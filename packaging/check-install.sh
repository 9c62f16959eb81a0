#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks what a desktop needs from
# it: the program, its menu entry, its AppStream data and its icons, each
# larger icon the 32 x 32 picture with every pixel repeated (no smoothing).
#   check-install.sh BUILD_DIR APP_ID SIZE...
set -euo pipefail
build=$1 id=$2
shift 2
sizes=("$@")
scratch=$(mktemp -d /tmp/norvane-install.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix

cmake --install "$build" --prefix "$prefix" > /dev/null
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

[ -x "$prefix/bin/norvane" ] || fail "bin/norvane is missing or not executable"
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
[ -f "$desktop" ] && desktop-file-validate "$desktop" || fail "$desktop"
[ -f "$metainfo" ] && appstreamcli validate --no-net "$metainfo" > /dev/null || fail "$metainfo"
# One menu entry, or the desktop lists the program twice.
entries=$(find "$prefix/share/applications" -name '*.desktop' | wc -l)
[ "$entries" = 1 ] || fail "$entries menu entries installed: $(ls "$prefix/share/applications" | tr '\n' ' ')"
grep -qx "Icon=$id" "$desktop" || fail "the menu entry names another icon"
grep -qx "Exec=norvane" "$desktop" || fail "the menu entry starts another program"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the AppStream data does not launch the menu entry"

colours() { convert "$1" -unique-colors txt:- | awk 'NR > 1 { print $3 }' | sort -u; }
icon() { echo "$prefix/share/icons/hicolor/$1x$1/apps/$id.png"; }
base=$(icon 32)
for size in "${sizes[@]}"; do
  png=$(icon "$size")
  [ -f "$png" ] || { fail "no $size x $size icon"; continue; }
  got=$(identify -format '%m %w %h' "$png")
  [ "$got" = "PNG $size $size" ] || fail "$png is '$got'"
  # No smoothing: no colour that the 32 x 32 picture lacks ...
  extra=$(comm -13 <(colours "$base") <(colours "$png") | wc -l)
  [ "$extra" = 0 ] || fail "$size x $size icon has $extra colours the 32 x 32 picture lacks (blended pixels)"
  # ... and at whole multiples, each pixel repeated: equal to a point-sampled resize.
  if [ $((size % 32)) = 0 ]; then
    convert "$base" -filter point -resize "${size}x${size}" "$scratch/expected.png"
    diff=$(compare -metric AE "$png" "$scratch/expected.png" null: 2>&1) || true
    [ "$diff" = 0 ] || fail "$size x $size icon differs from the 32 x 32 picture in $diff pixels"
  fi
done
colours=$(identify -format '%k' "$base")
[ "$colours" -le 17 ] || fail "the 32 x 32 icon has $colours colours (16 and transparency at most)"

[ "$failures" = 0 ] && echo "install tree OK: $(find "$prefix" -type f | wc -l) files"
[ "$failures" = 0 ]
