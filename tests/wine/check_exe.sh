#!/usr/bin/env bash
# The shipped exe must run on any 32-bit NT Windows as it comes: PE32 for
# i386, GUI subsystem 4.0, and imports only the listed functions of system
# DLLs (a statically linked runtime, so no libgcc or libstdc++ DLL); and it
# stays within its size budget.
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

# Every function the exe may import, one DLL!Function a line. The exe must
# load on NT 4.0 as first released, so only functions its system DLLs have
# belong here; anything newer is looked up at run time with GetProcAddress.
# A new import fails this check until it is added here, on purpose.
allowed_imports=$(cat <<'LIST'
ADVAPI32.DLL!GetUserNameA
COMCTL32.DLL!InitCommonControls
KERNEL32.DLL!CloseHandle
KERNEL32.DLL!CreateProcessA
KERNEL32.DLL!DeleteCriticalSection
KERNEL32.DLL!EnterCriticalSection
KERNEL32.DLL!FreeLibrary
KERNEL32.DLL!GetCommandLineA
KERNEL32.DLL!GetCommandLineW
KERNEL32.DLL!GetCurrentDirectoryA
KERNEL32.DLL!GetCurrentProcess
KERNEL32.DLL!GetExitCodeProcess
KERNEL32.DLL!GetFileAttributesA
KERNEL32.DLL!GetLastError
KERNEL32.DLL!GetModuleHandleA
KERNEL32.DLL!GetProcAddress
KERNEL32.DLL!GetStartupInfoA
KERNEL32.DLL!GetSystemDirectoryA
KERNEL32.DLL!InitializeCriticalSection
KERNEL32.DLL!LeaveCriticalSection
KERNEL32.DLL!LoadLibraryA
KERNEL32.DLL!MultiByteToWideChar
KERNEL32.DLL!SetUnhandledExceptionFilter
KERNEL32.DLL!Sleep
KERNEL32.DLL!TlsGetValue
KERNEL32.DLL!VirtualProtect
KERNEL32.DLL!VirtualQuery
KERNEL32.DLL!WaitForSingleObject
KERNEL32.DLL!WideCharToMultiByte
MSVCRT.DLL!__getmainargs
MSVCRT.DLL!__initenv
MSVCRT.DLL!__p__acmdln
MSVCRT.DLL!__p__commode
MSVCRT.DLL!__p__fmode
MSVCRT.DLL!__set_app_type
MSVCRT.DLL!__setusermatherr
MSVCRT.DLL!_amsg_exit
MSVCRT.DLL!_cexit
MSVCRT.DLL!_initterm
MSVCRT.DLL!_iob
MSVCRT.DLL!_onexit
MSVCRT.DLL!abort
MSVCRT.DLL!calloc
MSVCRT.DLL!exit
MSVCRT.DLL!fprintf
MSVCRT.DLL!free
MSVCRT.DLL!fwrite
MSVCRT.DLL!malloc
MSVCRT.DLL!memcpy
MSVCRT.DLL!signal
MSVCRT.DLL!strchr
MSVCRT.DLL!strlen
MSVCRT.DLL!strncmp
MSVCRT.DLL!vfprintf
USER32.DLL!DialogBoxParamA
USER32.DLL!EndDialog
USER32.DLL!GetCursor
USER32.DLL!LoadCursorA
USER32.DLL!MessageBoxA
USER32.DLL!SendDlgItemMessageA
USER32.DLL!SendMessageA
USER32.DLL!SetCursor
LIST
)

# "DLL!Function" for each imported function, the DLL name in capitals.
imports=$(awk '
  /DLL Name:/ { dll = toupper($3); next }
  dll != "" && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_]/ { print dll "!" $3 }
  /^$/ { dll = "" }' <<<"$headers")
[ -n "$imports" ] || { echo "no import table found"; status=1; }
while read -r import; do
  [ -z "$import" ] && continue
  if ! grep -qxF "$import" <<<"$allowed_imports"; then
    echo "imports a function not on the list: $import"
    status=1
  fi
done <<<"$imports"
echo "imports: $(sed 's/!.*//' <<<"$imports" | sort -u | tr '\n' ' ')($(wc -l <<<"$imports") functions)"

# The footprint budget, resources included.
budget=24576
size=$(stat -c %s "$exe")
echo "size: $size bytes (budget $budget)"
if [ "$size" -gt "$budget" ]; then
  echo "quorvel.exe has grown past its budget of $budget bytes"
  status=1
fi
exit $status
