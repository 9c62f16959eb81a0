#!/usr/bin/env bash
# Builds what a release publishes a second time, with scripts/release.sh, from a copy of the
# sources in another folder, later and under another umask, and compares the artefacts byte for
# byte with those of the builds under test:
#   test-reproducible.sh BUILD_DIR I686_DIR
# BUILD_DIR is the Linux build (its package is made here), I686_DIR the 32-bit Windows build
# that made Norvane.exe and its installer. A difference names the artefact and shows where.
set -euo pipefail
build=$(cd "$1" && pwd) i686=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d /tmp/norvane-repro.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
artefacts=("norvane_${version}_amd64.deb" Norvane.exe "Norvane-$version.msi")

first=$scratch/first
mkdir "$first"
cp "$("$root/packaging/make-deb.sh" "$build" "$scratch/deb")" "$first"
cp "$i686/app/win32/Norvane.exe" "$i686/packaging/win32/Norvane-$version.msi" "$first"

if [ "$(umask)" = 0022 ]; then other=077; else other=022; fi
src=$scratch/elsewhere/norvane
echo "first build: $build and $i686, umask $(umask)"
echo "second build: $src at $(date -u '+%F %T') UTC, umask $other"
# The copy has no history to take the time from: it gets the one of the builds under test.
SOURCE_DATE_EPOCH=$(bash "$root/scripts/source-date-epoch.sh")
export SOURCE_DATE_EPOCH
(
  umask "$other"
  # The sources as they stand, committed or not, without any build.
  mkdir -p "$src"
  if git -C "$root" rev-parse --is-inside-work-tree > /dev/null 2>&1; then
    (cd "$root" && git ls-files -z --cached --others --exclude-standard |
      tar --null --ignore-failed-read -T - -cf - 2> /dev/null)
  else
    tar -C "$root" --exclude=./build --exclude='./build-*' -cf - .
  fi | tar --no-same-permissions -xf - -C "$src"
  bash "$src/scripts/release.sh" "$scratch/elsewhere/build"
) > "$scratch/release.log" 2>&1 || { cat "$scratch/release.log" >&2; exit 1; }
second=$scratch/second
cp -r "$scratch/elsewhere/build/artefacts" "$second"

where() {  # where ARTEFACT: the difference, in a form a person can read
  local name=$1 side
  case $name in
    *.deb) diffoscope --no-progress --text - "$first/$name" "$second/$name" ;;
    *.exe)
      diff <(cd "$first" && i686-w64-mingw32-objdump -x -d "$name") \
        <(cd "$second" && i686-w64-mingw32-objdump -x -d "$name") ;;
    *.msi)
      for side in first second; do  # msidump writes binary columns where it runs
        mkdir "$scratch/msi-$side"
        (cd "$scratch/msi-$side" && msidump -t -s -d . "$scratch/$side/$name" > /dev/null)
      done
      (cd "$scratch" && diff -r msi-first msi-second) ;;
  esac
}

failures=0
for name in "${artefacts[@]}"; do
  if cmp -s "$first/$name" "$second/$name"; then
    echo "same: $name, $(stat -c %s "$first/$name") bytes, sha256 $(sha256sum < "$first/$name" | cut -c 1-16)"
  else
    failures=$((failures + 1))
    echo "DIFFERS: $name ($(stat -c %s "$first/$name") and $(stat -c %s "$second/$name") bytes):" >&2
    { where "$name" || true; } | head -n 120 >&2
  fi
done
[ "$failures" = 0 ] || { echo "$failures of ${#artefacts[@]} artefacts differ between the builds" >&2; exit 1; }
echo "the two builds gave the same ${#artefacts[@]} artefacts"
