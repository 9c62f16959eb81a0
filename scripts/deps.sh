#!/usr/bin/env bash
# Installs whatever Debian packages are missing from the given lists.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# A line "PACKAGE recommends" also installs what PACKAGE recommends.
missing=() full=()
for list in "$@"; do
  while read -r pkg extra; do
    [[ -z $pkg || $pkg == \#* ]] && continue
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' && continue
    if [ "$extra" = recommends ]; then full+=("$pkg"); else missing+=("$pkg"); fi
  done < "$here/$list"
done
[ $((${#missing[@]} + ${#full[@]})) -eq 0 ] && exit 0
echo "Installing: ${missing[*]} ${full[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
export DEBIAN_FRONTEND=noninteractive
if printf '%s\n' "${missing[@]}" "${full[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
[ ${#missing[@]} -eq 0 ] || $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
# Wine's X11 driver and its dialog fonts come only as recommendations.
[ ${#full[@]} -eq 0 ] || $sudo apt-get install -y -q "${full[@]}"
