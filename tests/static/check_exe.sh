#!/usr/bin/env bash
# Checks a shipped exe:
#
#   check_exe.sh ARCHITECTURE VERSION EXE [OBJDUMP]
#
# ARCHITECTURE is the manifest's name for it: x86, the 32-bit exe that must
# run on any 32-bit NT Windows as it comes (PE32 for i386, GUI subsystem
# 4.0), or amd64, the native exe for 64-bit Windows (PE32+ for x86-64,
# subsystem 5.2, XP x64 and Server 2003). Either has ASLR (with its
# relocations; the 64-bit one with high entropy), DEP and terminal server
# awareness marked, the 32-bit one with no exception handlers (NO_SEH), the
# protections of check_protections.py (unwind data and CET for amd64; stack
# cookies for both), a manifest naming
# its own architecture, the version block of VERSION (a.b.c.d); it imports
# only the functions its architecture's column below allows, from system
# DLLs, and nothing of a C runtime's start-up or heap; and it stays within
# its size budget.
set -u
# objdump speaks the locale's language; the checks below read its English.
export LC_ALL=C
architecture=$1 version=$2 exe=$3
objdump=${4:-i686-w64-mingw32-objdump}
case $architecture in
  x86) format=pei-i386 magic=010b subsystem=4.0 flags="0x0040:DYNAMIC_BASE 0x0100:NX_COMPAT 0x0400:NO_SEH 0x8000:TERMINAL_SERVER_AWARE" ;;
  amd64) format=pei-x86-64 magic=020b subsystem=5.2 flags="0x0020:HIGH_ENTROPY_VA 0x0040:DYNAMIC_BASE 0x0100:NX_COMPAT 0x8000:TERMINAL_SERVER_AWARE" ;;
  *) echo "usage: check_exe.sh {x86 | amd64} VERSION EXE [OBJDUMP]" >&2; exit 2 ;;
esac
headers=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }
status=0
expect() {
  if ! grep -qE "$1" <<<"$headers"; then
    echo "missing: $2"
    status=1
  fi
}
expect "file format $format\$" "PE for $architecture ($format)"
expect "^Magic[[:space:]]+$magic" "the optional header of $architecture ($magic)"
expect '^Subsystem[[:space:]]+00000002' 'Windows GUI subsystem'
expect "^MajorSubsystemVersion[[:space:]]+${subsystem%.*}\$" "subsystem major version ${subsystem%.*}"
expect "^MinorSubsystemVersion[[:space:]]+${subsystem#*.}\$" "subsystem minor version ${subsystem#*.}"
expect '^FileAlignment[[:space:]]+0*200$' 'the standard 512-byte file alignment'
expect '^SectionAlignment[[:space:]]+0*1000$' 'the standard 4096-byte section alignment'
# High-entropy ASLR places the image above 4 GiB only in a program that says
# it takes such addresses.
[ "$architecture" = amd64 ] && expect '^[[:space:]]+large address aware' 'LARGE_ADDRESS_AWARE'

characteristics=$((16#$(sed -n 's/^DllCharacteristics[[:space:]]*//p' <<<"$headers")))
for flag in $flags; do
  if (((characteristics & ${flag%%:*}) == 0)); then
    echo "missing: ${flag#*:} in DllCharacteristics"
    status=1
  fi
done
python3 "$(dirname "$0")/check_protections.py" "$architecture" "$exe" "$objdump" || status=1

# ASLR needs the base relocations to move the image.
grep -qE '^Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation Directory' <<<"$headers" ||
  { echo "missing: base relocations"; status=1; }

# The manifest names the exe's own architecture, for itself and for the
# common controls it asks for: Windows refuses to start an exe whose
# manifest names another one.
manifest_architectures=$(grep -aoE 'processorArchitecture="[^"]*"' "$exe" | sort | uniq -c)
[ "$(awk '{ print $1, $2 }' <<<"$manifest_architectures")" = "2 processorArchitecture=\"$architecture\"" ] ||
  { echo "the manifest does not name $architecture twice: $(tr '\n' ' ' <<<"$manifest_architectures")"; status=1; }

# The version block's fixed part (after its signature FEEF04BD and the
# structure's version): file and product version, each as two DWORDs.
IFS=. read -r major minor patch tweak <<<"$version"
expected_version=$(printf '%08x %08x ' $(((major << 16) | minor)) $(((patch << 16) | tweak)))
signature_offset=$(grep -obUaP '\xbd\x04\xef\xfe' "$exe" | head -1 | cut -d: -f1)
if [ -z "$signature_offset" ]; then
  echo "missing: the version block"
  status=1
else
  fixed_versions=$(od -An -tx4 -j $((signature_offset + 8)) -N 16 "$exe" | tr -s ' \n' ' ')
  [ "$fixed_versions" = " $expected_version$expected_version" ] ||
    { echo "the version block says$fixed_versions, not file and product version $version"; status=1; }
fi

# Every function the exe may import, one DLL!Function a line, with the
# architectures whose exe may import it. The 32-bit exe must load on NT 4.0
# as first released, the 64-bit one on XP x64 and Server 2003 as first
# released, so only functions their system DLLs have belong here; anything
# newer is looked up at run time with GetProcAddress. A new import fails this
# check until it is added here, on purpose. Nothing of a C runtime may be
# (the program has an entry point of its own and never allocates). DLL names
# are compared in capitals: Windows ignores their case, and the import
# libraries spell them differently.
allowed_imports=$(awk -v architecture="$architecture" '
  NF > 1 { for (i = 2; i <= NF; i++) if ($i == architecture) print $1 }' <<'EOF_TABLE'
ADVAPI32.DLL!GetTokenInformation        x86 amd64
ADVAPI32.DLL!GetUserNameW               x86 amd64
ADVAPI32.DLL!LookupAccountNameW         x86 amd64
ADVAPI32.DLL!LookupAccountSidW          x86 amd64
ADVAPI32.DLL!OpenProcessToken           x86 amd64
COMCTL32.DLL!InitCommonControls         x86 amd64
KERNEL32.DLL!CloseHandle                x86 amd64
KERNEL32.DLL!CreateProcessA             x86 amd64
KERNEL32.DLL!ExitProcess                x86 amd64
KERNEL32.DLL!GetCommandLineA            x86 amd64
KERNEL32.DLL!GetACP                     x86 amd64
KERNEL32.DLL!GetCommandLineW            x86 amd64
KERNEL32.DLL!GetComputerNameW           x86 amd64
KERNEL32.DLL!GetCPInfo                  x86 amd64
KERNEL32.DLL!GetCurrentProcess          x86 amd64
KERNEL32.DLL!GetCurrentProcessId        x86 amd64
KERNEL32.DLL!GetCurrentThreadId         x86 amd64
KERNEL32.DLL!GetExitCodeProcess         x86 amd64
KERNEL32.DLL!GetFileAttributesA         x86 amd64
KERNEL32.DLL!GetModuleHandleA           x86 amd64
KERNEL32.DLL!GetProcAddress             x86 amd64
KERNEL32.DLL!GetSystemDirectoryA        x86 amd64
KERNEL32.DLL!GetSystemTimeAsFileTime    x86 amd64
KERNEL32.DLL!GetTickCount               x86 amd64
KERNEL32.DLL!GetVersion                 x86 amd64
KERNEL32.DLL!LoadLibraryExA             x86 amd64
KERNEL32.DLL!MultiByteToWideChar        x86 amd64
KERNEL32.DLL!QueryPerformanceCounter    x86 amd64
KERNEL32.DLL!TerminateProcess           x86 amd64
KERNEL32.DLL!WaitForSingleObject        x86 amd64
KERNEL32.DLL!WideCharToMultiByte        x86 amd64
USER32.DLL!DialogBoxParamW              x86 amd64
USER32.DLL!DispatchMessageA             x86 amd64
USER32.DLL!EnableWindow                 x86 amd64
USER32.DLL!EndDialog                    x86 amd64
USER32.DLL!GetActiveWindow              x86 amd64
USER32.DLL!GetCursor                    x86 amd64
USER32.DLL!GetDlgItem                   x86 amd64
USER32.DLL!GetFocus                     x86 amd64
USER32.DLL!IsChild                      x86 amd64
USER32.DLL!KillTimer                    x86 amd64
USER32.DLL!LoadCursorA                  x86 amd64
USER32.DLL!MessageBoxW                  x86 amd64
USER32.DLL!MsgWaitForMultipleObjects    x86 amd64
USER32.DLL!PeekMessageA                 x86 amd64
USER32.DLL!PostQuitMessage              x86 amd64
USER32.DLL!SendDlgItemMessageA          x86 amd64
USER32.DLL!SendDlgItemMessageW          x86 amd64
USER32.DLL!SendMessageA                 x86 amd64
USER32.DLL!SendMessageW                 x86 amd64
USER32.DLL!SetCursor                    x86 amd64
USER32.DLL!SetTimer                     x86 amd64
USER32.DLL!SetWindowLongA               x86
USER32.DLL!SetWindowLongPtrA                amd64
EOF_TABLE
)
# The start-up, exit and heap functions of the C runtimes and of Win32. The
# allow-list already refuses them; this names the fault plainly.
forbidden='^(.*!(__getmainargs|__wgetmainargs|__set_app_type|__p__.*|_initterm.*|_cexit|_exit|exit|_amsg_exit|_onexit|atexit|__dllonexit|_crt_.*|__crt.*|malloc|calloc|realloc|free|_msize|_aligned_.*|operator.*|_Znw[jmy]|_Zna[jmy]|_ZdlPv.*|_ZdaPv.*|Heap(Alloc|ReAlloc|Free|Create)|GlobalAlloc|LocalAlloc|VirtualAlloc)|(MSVCRT|MSVCR[0-9]+|UCRTBASE|API-MS-WIN-CRT-.*|LIBGCC.*|LIBSTDC\+\+.*)\.DLL!.*)$'

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
  elif ! grep -qxF "$(tr '[:lower:]' '[:upper:]' <<<"${entry%%!*}")!${entry#*!}" <<<"$allowed_imports"; then
    echo "imports a function that is not on the allowed list: $entry"
    status=1
  fi
done <<<"$imports"
echo "imports ($(wc -l <<<"$imports")): $(tr '\n' ' ' <<<"$imports")"
# The loader resolves these before the program's first instruction, so no
# rule of the program can narrow its search for them: each must be a DLL
# that Windows takes from its fixed list of system DLLs, or comctl32, which
# the manifest takes from the side-by-side store. A DLL of any other name
# would be looked for beside the exe first, where a planted copy would win.
for dll in $(cut -d'!' -f1 <<<"$imports" | tr '[:lower:]' '[:upper:]' | sort -u); do
  case $dll in
    KERNEL32.DLL | USER32.DLL | ADVAPI32.DLL | COMCTL32.DLL) ;;
    *) echo "imports from $dll, which Windows would look for beside the exe first"; status=1 ;;
  esac
done

# The footprint budget, resources included.
budget=22528
size=$(stat -c %s "$exe")
echo "size: $size bytes, budget $budget bytes, slack $((budget - size)) bytes"
if [ "$size" -gt "$budget" ]; then
  echo "$exe has grown past its budget of $budget bytes"
  status=1
fi
exit $status
