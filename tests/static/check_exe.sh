#!/usr/bin/env bash
# The shipped exe must run on any 32-bit NT Windows as it comes: PE32 for
# i386, GUI subsystem 4.0, ASLR (with its relocations), DEP and terminal
# server awareness marked; it imports only the functions listed below, from
# system DLLs, and nothing of a C runtime's start-up or heap; and it stays
# within its size budget.
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
expect '^FileAlignment[[:space:]]+0*200$' 'the standard 512-byte file alignment'
expect '^SectionAlignment[[:space:]]+0*1000$' 'the standard 4096-byte section alignment'

characteristics=$((16#$(sed -n 's/^DllCharacteristics[[:space:]]*//p' <<<"$headers")))
for flag in 0x0040:DYNAMIC_BASE 0x0100:NX_COMPAT 0x8000:TERMINAL_SERVER_AWARE; do
  if (((characteristics & ${flag%%:*}) == 0)); then
    echo "missing: ${flag#*:} in DllCharacteristics"
    status=1
  fi
done
# ASLR needs the base relocations to move the image.
grep -qE '^Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation Directory' <<<"$headers" ||
  { echo "missing: base relocations"; status=1; }

# Every function the exe may import, one DLL!Function a line. The exe must
# load on NT 4.0 as first released, so only functions its system DLLs have
# belong here; anything newer is looked up at run time with GetProcAddress.
# A new import fails this check until it is added here, on purpose. Nothing
# of a C runtime may be (the program has an entry point of its own and never
# allocates).
allowed_imports='
ADVAPI32.dll!GetUserNameW
COMCTL32.DLL!InitCommonControls
KERNEL32.dll!CloseHandle
KERNEL32.dll!CreateProcessA
KERNEL32.dll!ExitProcess
KERNEL32.dll!GetCommandLineA
KERNEL32.dll!GetCommandLineW
KERNEL32.dll!GetCurrentDirectoryA
KERNEL32.dll!GetCurrentProcess
KERNEL32.dll!GetExitCodeProcess
KERNEL32.dll!GetFileAttributesA
KERNEL32.dll!GetModuleHandleA
KERNEL32.dll!GetProcAddress
KERNEL32.dll!GetSystemDirectoryA
KERNEL32.dll!LoadLibraryA
KERNEL32.dll!MultiByteToWideChar
KERNEL32.dll!WaitForSingleObject
KERNEL32.dll!WideCharToMultiByte
USER32.dll!DialogBoxParamA
USER32.dll!DispatchMessageA
USER32.dll!EnableWindow
USER32.dll!EndDialog
USER32.dll!GetActiveWindow
USER32.dll!GetCursor
USER32.dll!GetFocus
USER32.dll!IsChild
USER32.dll!KillTimer
USER32.dll!LoadCursorA
USER32.dll!MessageBoxA
USER32.dll!MsgWaitForMultipleObjects
USER32.dll!PeekMessageA
USER32.dll!PostQuitMessage
USER32.dll!SendDlgItemMessageA
USER32.dll!SendDlgItemMessageW
USER32.dll!SendMessageA
USER32.dll!SetCursor
USER32.dll!SetTimer
USER32.dll!SetWindowLongA
'
# The start-up, exit and heap functions of the C runtimes and of Win32. The
# allow-list already refuses them; this names the fault plainly.
forbidden='^(.*!(__getmainargs|__wgetmainargs|__set_app_type|__p__.*|_initterm.*|_cexit|_exit|exit|_amsg_exit|_onexit|atexit|__dllonexit|_crt_.*|__crt.*|malloc|calloc|realloc|free|_msize|_aligned_.*|operator.*|_Znwj|_Znaj|_ZdlPv.*|_ZdaPv.*|Heap(Alloc|ReAlloc|Free|Create)|GlobalAlloc|LocalAlloc|VirtualAlloc)|(MSVCRT|MSVCR[0-9]+|UCRTBASE|API-MS-WIN-CRT-.*|LIBGCC.*|LIBSTDC\+\+.*)\.DLL!.*)$'

imports=$(awk '
  /^[[:space:]]*DLL Name: / { dll = $3; next }
  dll != "" && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[^[:space:]]+$/ { print dll "!" $3 }
  /^[[:space:]]*$/ { dll = "" }' <<<"$headers")
[ -n "$imports" ] || { echo "no import table found"; status=1; }
while read -r entry; do
  [ -z "$entry" ] && continue
  if grep -qiE "$forbidden" <<<"$entry"; then
    echo "imports a C runtime start-up or heap function: $entry"
    status=1
  elif ! grep -qxF "$entry" <<<"$allowed_imports"; then
    echo "imports a function that is not on the allowed list: $entry"
    status=1
  fi
done <<<"$imports"
echo "imports ($(wc -l <<<"$imports")): $(tr '\n' ' ' <<<"$imports")"

# The footprint budget, resources included.
budget=16384
size=$(stat -c %s "$exe")
echo "size: $size bytes, budget $budget bytes, slack $((budget - size)) bytes"
if [ "$size" -gt "$budget" ]; then
  echo "quorvel.exe has grown past its budget of $budget bytes"
  status=1
fi
exit $status
