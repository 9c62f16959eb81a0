#!/usr/bin/env bash
# Makes the Debian package of a build, the same bytes under any umask:
#   packaging/make-deb.sh BUILD_DIR [OUT_DIR]   (OUT_DIR defaults to BUILD_DIR)
# and prints the package's path. CPack takes the modes of the package's folders and of its
# ar members from the umask, so it runs under Debian's usual one.
set -euo pipefail
build=$(cd "$1" && pwd)
out=$(mkdir -p "${2:-$build}" && cd "${2:-$build}" && pwd)
umask 022
log=$(cd "$out" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" 2>&1) ||
  { echo "$log" >&2; exit 1; }
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<< "$log")
[ -f "$deb" ] || { echo "$log" >&2; echo "cpack made no package" >&2; exit 1; }
echo "$deb"
