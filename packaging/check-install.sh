#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks what a desktop needs from
# it: the program, its menu entry, its AppStream data and its icons, each
# larger icon the 32 x 32 picture with every pixel repeated (no smoothing),
# and what a Debian package must carry: copyright, changelog, manual page.
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

# The licence in the copyright file is LICENSE's text, whole.
root=$(cd "$(dirname "$0")/.." && pwd)
doc=$prefix/share/doc/norvane
if [ -f "$doc/copyright" ]; then
  diff <(sed -n '/^License: Expat$/,$p' "$doc/copyright" | tail -n +2 | sed 's/^ //; s/^\.$//') \
    <(sed '1,/^Copyright (c) /d' "$root/LICENSE" | sed '/./,$!d') > /dev/null ||
    fail "the copyright file's licence text differs from LICENSE"
else
  fail "no copyright file"
fi
# The newest changelog entry is the release the AppStream data announces.
release=$(sed -n 's/.*<release version="\([^"]*\)" date="\([^"]*\)".*/\1 \2/p' "$metainfo" | head -n 1)
newest=$(gzip -dc "$doc/changelog.gz" 2> /dev/null | head -n 1) || fail "changelog.gz is not gzip"
[[ $newest == "norvane (${release% *}) unstable; urgency=medium" ]] ||
  fail "changelog starts '$newest', the metainfo announces ${release% *}"
stamp=$(LC_ALL=C date -u -d "${release#* }" '+%a, %d %b %Y 00:00:00 +0000')
gzip -dc "$doc/changelog.gz" | grep -q "^ -- .*>  $stamp\$" ||
  fail "the newest changelog entry is not signed '$stamp'"
man=$prefix/share/man/man1/norvane.1.gz
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man" 2>&1 > /dev/null) || fail "man cannot show $man"
[ -z "$warnings" ] || fail "the manual page has faults: $warnings"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES INSTRUCTIONS; do
  gzip -dc "$man" | grep -qx "\.SH $section" || fail "the manual page lacks $section"
done

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
