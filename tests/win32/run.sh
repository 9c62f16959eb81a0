#!/usr/bin/env bash
# Runs the Windows suites that build.sh made under Wine, in a private X session:
#   tests/win32/run.sh [BUILD_DIR]
# The 32-bit build under 32-bit Wine where this machine runs 32-bit code;
# otherwise the 64-bit build under 64-bit Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build-win32}" && pwd)

if "$root/scripts/native-i386.sh"; then
  arch=i686 prefix=win32 loader=wine
else
  arch=x86_64 prefix=win64 loader=/usr/lib/wine/wine64
fi
for tool in "$loader" wineserver xdotool xprop; do
  command -v "$tool" > /dev/null || { echo "run.sh: $tool is missing" >&2; exit 1; }
done
echo "run.sh: testing the $arch build under $prefix Wine"
exec "$root/scripts/xsession.sh" -- "$here/session.sh" "$build/$arch" "$prefix"
