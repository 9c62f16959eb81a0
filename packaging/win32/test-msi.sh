#!/usr/bin/env bash
# Reads the Windows installer's tables back and checks what it installs and
# how it presents itself: names, version, upgrade code, the one program file,
# the one shortcut, the folder, and that it does nothing else.
#   test-msi.sh MSI EXE ICO NAME VERSION MANUFACTURER
# EXE and ICO are the Norvane.exe and Norvane.ico the installer was built from.
set -euo pipefail
msi=$1 exe=$2 ico=$3 name=$4 version=$5 manufacturer=$6
# Every version so far and every later one: a different code and Windows no longer replaces
# the installed version but installs a second copy beside it.
upgrade_code='{6D0C2A8E-5B1F-4E7A-9C3D-2F8B41A7E905}'
for tool in msiinfo msidump msiextract; do
  command -v "$tool" > /dev/null || { echo "$tool is missing (package msitools)" >&2; exit 1; }
done
[ -f "$msi" ] || { echo "no installer at $msi" >&2; exit 1; }
scratch=$(mktemp -d /tmp/norvane-msi.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
# msiinfo and msidump write binary columns into the folder they run in.
msi=$(realpath "$msi") exe=$(realpath "$exe") ico=$(realpath "$ico")
cd "$scratch"

failures=0 checks=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

tables=$(msiinfo tables "$msi" | tr -d '\r')
rows() {  # rows TABLE: the table's rows, tab-separated, without the three header lines
  if grep -qx "$1" <<< "$tables"; then
    msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4
  fi
}
cell() {  # cell TABLE[@KEYCOLUMN] KEY COLUMN: one value of the row whose key column (1) is KEY
  local keycol=1
  [[ $1 == *@* ]] && keycol=${1#*@}
  rows "${1%@*}" | awk -F '\t' -v key="$2" -v keycol="$keycol" -v col="$3" \
    '$keycol == key { print $col; found++ } END { exit found != 1 }'
}

# TABLE[@KEYCOLUMN] | KEY | COLUMN | expected value
while IFS='|' read -r table key column expected; do
  [ -n "$table" ] || continue
  checks=$((checks + 1))
  got=$(cell "$table" "$key" "$column") || { fail "$table has no single row $key"; continue; }
  [ "$got" = "$expected" ] || fail "$table $key column $column: '$got', expected '$expected'"
done << EOF2
Property|ProductName|2|$name
Property|ProductVersion|2|$version
Property|Manufacturer|2|$manufacturer
Property|UpgradeCode|2|$upgrade_code
Property|ALLUSERS|2|1
Property|ARPPRODUCTICON|2|Norvane.ico
Directory|ProgramFilesFolder|2|TARGETDIR
Directory|INSTALLDIR|2|ProgramFilesFolder
Directory|INSTALLDIR|3|$name
Directory|ProgramMenuFolder|2|TARGETDIR
Component|Program|3|INSTALLDIR
Component|Program|6|Norvane.exe
File|Norvane.exe|2|Program
File|Norvane.exe|3|Norvane.exe
File|Norvane.exe|4|$(stat -c %s "$exe")
Component|Licence|3|INSTALLDIR
File|License.txt|3|License.txt
Shortcut|StartMenuShortcut|2|ProgramMenuFolder
Shortcut|StartMenuShortcut|3|Norvane
Shortcut|StartMenuShortcut|5|[#Norvane.exe]
Shortcut|StartMenuShortcut|9|Norvane.ico
Shortcut|StartMenuShortcut|12|INSTALLDIR
Upgrade@7|WIX_UPGRADE_DETECTED|1|$upgrade_code
Upgrade@7|WIX_UPGRADE_DETECTED|3|$version
Upgrade@7|WIX_DOWNGRADE_DETECTED|1|$upgrade_code
Upgrade@7|WIX_DOWNGRADE_DETECTED|2|$version
InstallExecuteSequence|RemoveExistingProducts|2|
EOF2

# TABLE | number of rows: nothing beyond the program, its licence and its shortcut.
while IFS='|' read -r table count; do
  checks=$((checks + 1))
  got=$(rows "$table" | wc -l)
  [ "$got" = "$count" ] || fail "$table has $got rows, expected $count: $(rows "$table" | cut -f 1 | tr '\n' ' ')"
done << EOF2
File|2
Component|2
Shortcut|1
Icon|1
CustomAction|0
ServiceInstall|0
ServiceControl|0
Registry|0
RemoveRegistry|0
IniFile|0
Environment|0
Extension|0
ProgId|0
Verb|0
Class|0
TypeLib|0
MIME|0
EOF2

# The 32-bit package of a 32-bit program: Windows then picks the 32-bit Program Files folder.
checks=$((checks + 1))
template=$(msiinfo suminfo "$msi" | tr -d '\r' | sed -n 's/^Template: //p')
[ "$template" = "Intel;1033" ] || fail "summary template '$template', expected 'Intel;1033'"

# The program in the cabinet is the one that was built, and the icon is the program's.
checks=$((checks + 3))
mkdir "$scratch/dump" && msidump -s -d "$scratch/dump" "$msi" > /dev/null
cmp -s "$scratch/dump/_Streams/Icon.Norvane.ico" "$ico" || fail "the installer's icon is not Norvane.ico"
(cd "$scratch" && msiextract "$msi" > /dev/null)
installed=$(find "$scratch" -type f -name Norvane.exe)
if [ -n "$installed" ]; then
  cmp -s "$installed" "$exe" || fail "the Norvane.exe in the installer is not the one built"
  file -b "$installed" | grep -q '^PE32 executable (GUI) Intel 80386' ||
    fail "the installed program is '$(file -b "$installed")', not a 32-bit GUI program"
else
  fail "msiextract found no Norvane.exe"
fi

[ "$failures" = 0 ] || { echo "$failures of $checks checks failed" >&2; exit 1; }
echo "$(basename "$msi"), $(stat -c %s "$msi") bytes: $checks checks passed"
