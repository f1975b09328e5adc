#!/usr/bin/env bash
# The shipped exe must run on any 32-bit NT Windows as it comes: PE32 for
# i386, GUI subsystem 4.0, and imports from system DLLs only (a statically
# linked runtime, so no libgcc or libstdc++ DLL); and it stays within its
# size budget.
set -u
# objdump speaks the locale's language; the checks below read its English.
export LC_ALL=C
exe=$1
objdump=${2:-i686-w64-mingw32-objdump}
headers=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }
status=0
expect() {
  if ! grep -qE "$1" <<<"$headers"; then
    echo "missing: $2"
    status=1
  fi
}
expect 'file format pei-i386' 'PE for i386'
expect '^Magic[[:space:]]+010b' 'PE32 (not PE32+)'
expect '^Subsystem[[:space:]]+00000002' 'Windows GUI subsystem'
expect '^MajorSubsystemVersion[[:space:]]+4$' 'subsystem major version 4'
expect '^MinorSubsystemVersion[[:space:]]+0$' 'subsystem minor version 0'

allowed='^(KERNEL32|USER32|COMDLG32|ADVAPI32|COMCTL32|MSVCRT)\.DLL$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
[ -n "$imports" ] || { echo "no import table found"; status=1; }
while read -r dll; do
  [ -z "$dll" ] && continue
  if ! grep -qE "$allowed" <<<"${dll^^}"; then
    echo "imports a DLL that Windows does not ship: $dll"
    status=1
  fi
done <<<"$imports"
echo "imports: $(tr '\n' ' ' <<<"$imports")"

# The footprint budget, resources included.
budget=24576
size=$(stat -c %s "$exe")
echo "size: $size bytes (budget $budget)"
if [ "$size" -gt "$budget" ]; then
  echo "quorvel.exe has grown past its budget of $budget bytes"
  status=1
fi
exit $status
