#!/usr/bin/env bash
# Checks Norvane.exe as a file, the way a Windows loader and shell would see
# it, without running it (so also where no Wine can run it):
#   tests/win32/check-exe.sh PATH/TO/Norvane.exe [PATH/TO/64-BIT/Norvane.exe]
# The 64-bit build, where there is one, is checked for its hardening only.
set -euo pipefail
exe=$1 exe64=${2:-}
objdump=i686-w64-mingw32-objdump windres=i686-w64-mingw32-windres

failures=0
expect() {  # expect WHAT PATTERN TEXT: TEXT must hold a line matching the extended regex
  if grep -Eq -- "$2" <<< "$3"; then
    echo "ok: $1"
  else
    echo "FAILED: $1 (no line matching: $2)"
    failures=$((failures + 1))
  fi
}

headers=$("$objdump" -f -p "$exe")
expect "Intel 80386 code" '^architecture: i386,' "$headers"
expect "PE32, not PE32+" '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' "$headers"
expect "GUI subsystem" '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)' "$headers"
expect "sections at page boundaries in the file" '^FileAlignment[[:space:]]+00001000$' "$headers"

hardened() {  # hardened EXE OBJDUMP: what the loader enforces, and the stack protector linked in
  local file=$1 dump flags name mask pe
  dump=$("$2" -p "$file")
  flags=$((16#$(sed -n 's/^DllCharacteristics[[:space:]]*//p' <<< "$dump")))
  set -- DYNAMIC_BASE 0x40 NX_COMPAT 0x100 TERMINAL_SERVICE_AWARE 0x8000
  if grep -q '^Magic.*(PE32+)' <<< "$dump"; then
    set -- "$@" HIGH_ENTROPY_VA 0x20
  else
    set -- "$@" NO_SEH 0x400  # no SEH handler to hijack: GCC unwinds with DWARF tables here
  fi
  while [ $# -gt 0 ]; do
    name=$1 mask=$2
    shift 2
    if ((flags & mask)); then
      echo "ok: $name"
    else
      echo "FAILED: $file: DllCharacteristics $(printf '%#x' "$flags") lacks $name"
      failures=$((failures + 1))
    fi
  done
  # Without the relocations, DYNAMIC_BASE is only a word: the loader cannot move the program.
  expect "base relocations kept" '^Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation Directory' "$dump"
  # The link time would make every build differ; it sits 8 bytes into the PE header.
  pe=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
  expect "no link time in the header" '^ *0$' "$(od -An -tu4 -j$((pe + 8)) -N4 "$file")"
  expect "the stack protector's handler (libssp)" 'stack smashing detected' "$(strings -n 20 "$file")"
}
hardened "$exe" "$objdump"
if [ -n "$exe64" ]; then
  if [ -f "$exe64" ]; then
    echo "the 64-bit build, $exe64:"
    hardened "$exe64" x86_64-w64-mingw32-objdump
  else
    echo "no 64-bit build here: $exe64"
  fi
fi

# A static runtime: only Windows' own libraries, none of the compiler's; and only those that
# the first paint needs. Printing and accessibility load theirs at the first use.
system_dlls='advapi32|comctl32|gdi32|kernel32|msvcrt|user32|uxtheme'
late_dlls='comdlg32|oleacc|oleaut32|ole32|shell32|winspool\.drv'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<< "$headers" | tr 'A-Z' 'a-z')
expect "imports user32" '^user32\.dll$' "$imports"
late=$(grep -Ex "($late_dlls)(\.dll)?" <<< "$imports" || true)
if [ -z "$late" ]; then
  echo "ok: imports none of the libraries of printing and accessibility"
else
  echo "FAILED: imports $(tr '\n' ' ' <<< "$late")which load at their first use"
  failures=$((failures + 1))
fi
while read -r dll; do
  grep -Eqx "($system_dlls|$late_dlls)(\.dll)?" <<< "$dll" || {
    echo "FAILED: imports $dll, which is not one of Windows' own libraries"
    failures=$((failures + 1))
  }
done <<< "$imports"

resources=$("$windres" -i "$exe" -O rc)
expect "version 1.0.0.2" '^ FILEVERSION 1, 0, 0, 2$' "$resources"
expect "product version 1.0.0.2" '^ PRODUCTVERSION 1, 0, 0, 2$' "$resources"
expect "US English in UTF-16" 'VALUE "Translation", 0x409, 1200$' "$resources"
for pair in 'CompanyName", "Pimbrel'"'"'s Computers' 'ProductName", "Pimbrel'"'"'s Norvane' \
  'FileVersion", "1.00.0002' 'ProductVersion", "1.00.0002' 'InternalName", "Norvane' \
  'OriginalFilename", "Norvane.exe'; do
  expect "${pair%%\"*}" "VALUE \"$pair\"\$" "$resources"
done
[ "$(grep -c 'VALUE "' <<< "$resources")" -eq 7 ] || {
  echo "FAILED: the version record holds other strings than the six and its translation"
  failures=$((failures + 1))
}
expect "one icon group" '^1 14 /\* RT_GROUP_ICON \*/$' "$resources"
expect "one 32 x 32, 16-colour image of 744 bytes, id 30001" \
  '"\\040\\040\\020\\000", 1, 4, 0x2e8L, 30001' "$resources"
expect "a manifest" '^1 24 /\* RT_MANIFEST \*/$' "$resources"
expect "the manifest asks for common controls 6" 'Common-Controls"" version=""6\.0\.0\.0' "$resources"
[ "$(grep -o 'processorArchitecture=""x86""' <<< "$resources" | wc -l)" -eq 2 ] || {
  echo "FAILED: the manifest must name x86 for the program and for the common controls"
  failures=$((failures + 1))
}

if [ "$failures" -gt 0 ]; then
  echo "$failures checks of $exe failed"
  exit 1
fi
echo "Norvane.exe checked as a file: all passed"
