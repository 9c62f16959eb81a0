#!/usr/bin/env bash
# The Windows installer's round trip under Wine, in a private prefix: a silent
# install, then the installed files, the shortcut and the entry in the list of
# installed programs; the installed program started (only where this machine
# runs 32-bit code); an upgrade to a later version made from the same source,
# which must replace this one; a refused downgrade; a silent uninstall, after
# which no file, folder, shortcut or registry key of ours may be left.
#   test-wine.sh INSTALLER_DIR NAME VERSION MANUFACTURER
# INSTALLER_DIR is the cross build's packaging/win32: Norvane-VERSION.msi and
# the .wxs and files it was made from.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
dir=$(cd "$1" && pwd)
name=$2 version=$3 manufacturer=$4
msi=$dir/Norvane-$version.msi
[ -f "$msi" ] || { echo "no installer at $msi" >&2; exit 1; }

# The installer is 32-bit and so is the program. 64-bit Wine installs it as 64-bit Windows
# does, into the 32-bit folders; only starting the program needs 32-bit code.
wine64=/usr/lib/wine/wine64
for tool in "$wine64" wixl msiinfo; do
  command -v "$tool" > /dev/null || { echo "$tool is missing" >&2; exit 1; }
done
if "$root/scripts/native-i386.sh"; then
  start_program=1
  # Starting the program needs an X server; the prefix must be booted with it.
  if [ -z "${DISPLAY:-}" ]; then
    exec "$root/scripts/xsession.sh" -- "$0" "$@"
  fi
  command -v xdotool > /dev/null || { echo "xdotool is missing" >&2; exit 1; }
else
  start_program=0
  unset DISPLAY
fi

scratch=$(mktemp -d /tmp/norvane-msi-wine.XXXXXX)
export WINEPREFIX=$scratch/prefix WINEARCH=win64 WINELOADER=$wine64 WINEDEBUG=-all
# No menu entries on the host for the shortcut, and no Gecko or Mono prompts.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" HOME=$scratch/home
mkdir -p "$HOME"
cleanup() {
  wineserver -k 2> /dev/null || true
  wineserver -w 2> /dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }
windows_path() { echo "Z:${1//\//\\}"; }

# The Windows Installer keeps a product's keys under the code with each group reversed.
packed() {
  local hex=${1//[\{\}-]/} out="" i
  for i in 7 6 5 4 3 2 1 0 11 10 9 8 15 14 13 12; do out+=${hex:i:1}; done
  for ((i = 16; i < 32; i += 2)); do out+=${hex:i+1:1}${hex:i:1}; done
  echo "$out"
}
product_code() { msiinfo export "$1" Property | tr -d '\r' | awk -F '\t' '$1 == "ProductCode" { print $2 }'; }

reg_value() {  # reg_value KEY NAME: the value's data; fails when there is none
  "$wine64" reg query "$1" /v "$2" 2> /dev/null | tr -d '\r' |
    sed -n "s/^    $2    REG_[A-Z_]*    \{0,1\}//p" | grep .
}
reg_has() { "$wine64" reg query "$1" > /dev/null 2>&1; }
uninstall_key() { echo "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1"; }
product_key() { echo "HKLM\\Software\\Classes\\Installer\\Products\\$(packed "$1")"; }

msiexec() {  # msiexec ARGS...: Wine's msiexec, its exit status, its log kept for failures
  local log=$scratch/msiexec-$((++msiexec_runs)).log step
  step=$(now)
  timeout 300 "$wine64" msiexec "$@" /qn /l*v "$(windows_path "$log")" > /dev/null 2>&1 || {
    local rc=$?
    echo "msiexec $* ended with $rc; the last lines of its log:" >&2
    tail -n 15 "$log" >&2
    return "$rc"
  }
  echo "msiexec $1: $(elapsed "$step") s"
}
msiexec_runs=0

drive=$WINEPREFIX/drive_c
folder="$drive/Program Files (x86)/$name"
shortcuts() { find "$drive" -path '*/Start Menu/Programs/*' -iname '*.lnk' | sort; }
files_of_prefix() {  # what Wine itself changes between runs is left out
  find "$drive" \( -path "$drive/windows/temp" -o -path "$drive/users/*/Temp" \) -prune -o \
    -printf '%P\n' | grep -vx 'windows/Installer' | sort  # Windows' own cache, kept
}

check_installed() {  # check_installed VERSION CODE: what an installed version must show
  local v=$1 code=$2 got
  [ -d "$folder" ] || { fail "no folder $folder"; return; }
  got=$(find "$folder" -mindepth 1 -printf '%P\n' | sort | tr '\n' ' ')
  [ "$got" = "License.txt Norvane.exe " ] || fail "the folder holds '$got'"
  cmp -s "$folder/Norvane.exe" "$dir/Norvane.exe" || fail "the installed Norvane.exe is not the one built"

  local links
  links=$(shortcuts)
  if [ "$(grep -c . <<< "$links")" != 1 ] || [ "$(basename "$links")" != Norvane.lnk ]; then
    fail "Start menu shortcuts: '$links', expected one Norvane.lnk"
  else
    # A shell link holds its target and its icon as text, some of it UTF-16.
    local texts
    texts=$(strings "$links" && strings -e l "$links")
    grep -qxF "C:\\Program Files (x86)\\$name\\Norvane.exe" <<< "$texts" ||
      fail "the shortcut does not start C:\\Program Files (x86)\\$name\\Norvane.exe"
    local icon
    icon=$(grep -o 'C:\\windows\\Installer\\.*\.ico$' <<< "$texts") || icon=none
    icon=${icon#C:\\}
    cmp -s "$drive/${icon//\\//}" "$dir/Norvane.ico" || fail "the shortcut's icon '$icon' is not Norvane.ico"
  fi

  local key
  key=$(uninstall_key "$code")
  while IFS='|' read -r value expected; do
    got=$(reg_value "$key" "$value") || { fail "the uninstall entry has no $value"; continue; }
    [ "$got" = "$expected" ] || fail "uninstall entry $value: '$got', expected '$expected'"
  done << EOF
DisplayName|$name
DisplayVersion|$v
Publisher|$manufacturer
UninstallString|MsiExec.exe /X$code
EOF
  # The list of installed programs shows the icon the installer registered for the product.
  local product_icon
  product_icon=$(reg_value "$(product_key "$code")" ProductIcon) ||
    { fail "no product icon registered"; return; }
  product_icon=${product_icon#C:\\}
  cmp -s "$drive/${product_icon//\\//}" "$dir/Norvane.ico" ||
    fail "the product icon '$product_icon' is not Norvane.ico"
}

entries_named() {  # how many programs in the list of installed programs carry our name
  "$wine64" reg query 'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall' /s \
    2> /dev/null | tr -d '\r' | grep -cxF "    DisplayName    REG_SZ    $name" || true
}

# The same installer as a later version: a new product code, the same upgrade code.
next_version=${version%.*}.$((${version##*.} + 1))
next_code=$(tr '[:lower:]' '[:upper:]' < /proc/sys/kernel/random/uuid)
mkdir "$scratch/next"
cp "$dir/Norvane.exe" "$dir/Norvane.ico" "$dir/License.txt" "$scratch/next/"
code=$(product_code "$msi")
bare=${code//[\{\}]/}
sed -e "s/Version=\"$version\"/Version=\"$next_version\"/" -e "s/$bare/$next_code/" \
  "$dir/Norvane.wxs" > "$scratch/next/Norvane.wxs"
next_msi=$scratch/next/Norvane-$next_version.msi
wixl --arch x86 --output "$next_msi" "$scratch/next/Norvane.wxs" 2> /dev/null
next_code=$(product_code "$next_msi")
if [ -z "$next_code" ] || [ "$next_code" = "$code" ]; then
  echo "the later version's installer has product code '$next_code', as this one" >&2
  exit 1
fi

began=$(now)
"$wine64" wineboot --init > /dev/null 2>&1
echo "prefix booted in $(elapsed "$began") s"
before=$(files_of_prefix)

began=$(now)
echo "--- install $(basename "$msi") (product $code)"
msiexec /i "$(windows_path "$msi")" || fail "the install failed"
check_installed "$version" "$code"

if [ "$start_program" = 1 ]; then
  wine "C:\\Program Files (x86)\\$name\\Norvane.exe" > /dev/null 2>&1 &
  program=$!
  window="" deadline=$((SECONDS + 30))
  while [ -z "$window" ] && [ "$SECONDS" -lt "$deadline" ]; do
    window=$(xdotool search --onlyvisible --name '^Norvane$' 2> /dev/null | head -n 1) || true
    [ -n "$window" ] || sleep 0.05
  done
  if [ -n "$window" ]; then
    echo "the installed Norvane.exe shows its window"
    # Under load Wine takes the input focus late, and a key sent before that is lost.
    xdotool windowactivate --sync "$window" 2> /dev/null || true
    deadline=$((SECONDS + 30))
    while [ "$(xdotool getwindowfocus 2> /dev/null)" != "$window" ] && [ "$SECONDS" -lt "$deadline" ]; do
      sleep 0.05
    done
    xdotool key alt+c
  else
    fail "the installed Norvane.exe showed no window within 30 s"
  fi
  deadline=$((SECONDS + 30))
  while kill -0 "$program" 2> /dev/null && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.05; done
  kill -0 "$program" 2> /dev/null && { fail "Norvane.exe did not end on Alt+C"; kill "$program"; }
  wait "$program" 2> /dev/null || true
else
  echo "skipped starting Norvane.exe: this machine runs no 32-bit x86 programs"
fi

echo "--- upgrade to $next_version (product $next_code)"
msiexec /i "$(windows_path "$next_msi")" || fail "the upgrade failed"
check_installed "$next_version" "$next_code"
reg_has "$(uninstall_key "$code")" && fail "$version is still listed after the upgrade"
[ "$(entries_named)" = 1 ] || fail "$(entries_named) programs named $name are listed after the upgrade"

echo "--- downgrade to $version, which must be refused"
msiexec /i "$(windows_path "$msi")" 2> /dev/null && fail "a downgrade to $version was installed"
[ "$(reg_value "$(uninstall_key "$next_code")" DisplayVersion)" = "$next_version" ] ||
  fail "$next_version is no longer installed after the refused downgrade"

echo "--- uninstall"
msiexec /x "$next_code" || fail "the uninstall failed"
for gone in "$(uninstall_key "$next_code")" "$(product_key "$next_code")"; do
  reg_has "$gone" && fail "the uninstall left $gone"
done
echo "round trip: $(elapsed "$began") s"

# Everything of ours, looked for in the whole prefix once Wine has written its registry out.
wineserver -k 2> /dev/null || true
wineserver -w
after=$(files_of_prefix)
left=$(comm -13 <(echo "$before") <(echo "$after"))
[ -z "$left" ] || fail "the uninstall left files: $(tr '\n' ' ' <<< "$left")"
[ -z "$(shortcuts)" ] || fail "the uninstall left shortcuts: $(shortcuts)"
[ ! -e "$folder" ] || fail "the uninstall left $folder"
for word in "$name" Norvane "$manufacturer" "$(packed "$code")" "$(packed "$next_code")" \
  "$(packed "$(msiinfo export "$msi" Property | tr -d '\r' | awk -F '\t' '$1 == "UpgradeCode" { print $2 }')")"; do
  found=$(grep -ilF "$word" "$WINEPREFIX"/*.reg || true)
  [ -z "$found" ] || fail "the registry still names '$word': $(grep -ihF "$word" "$WINEPREFIX"/*.reg | head -n 3)"
done

[ "$failures" = 0 ] || { echo "$failures faults" >&2; exit 1; }
echo "installed, checked, upgraded, uninstalled: nothing of ours left"
