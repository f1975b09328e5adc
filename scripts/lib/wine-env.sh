# Shared by the scripts that run Windows programs here: private Wine prefixes
# under the build folder and a private Xvfb display, all stopped by what
# started them. Source this file; it defines functions and sets nothing else.
#
# For the shipped 32-bit build (build/cross), two prefixes: WINEPREFIX, a
# 32-bit Windows, and QUORVEL_WINEPREFIX64, a 64-bit one where the 32-bit
# program runs under WOW64. For the 64-bit build (build/cross64), used where
# this machine cannot run 32-bit x86 code, one 64-bit prefix. WINEARCH is
# given only when a prefix is made: Wine refuses to run in a prefix of the
# other architecture while it is set.

# quorvel_machine_runs_32bit: true when this machine's kernel runs 32-bit x86
# programs. Some do not (IA-32 emulation switched off): there 32-bit Wine
# cannot start at all, and only 64-bit Windows programs run.
quorvel_machine_runs_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# quorvel_wine_build: the build folder whose programs run under Wine here:
# build/cross (the shipped 32-bit program) where the machine runs 32-bit
# code, else build/cross64 (the same sources built for 64-bit Windows).
quorvel_wine_build() {
  if quorvel_machine_runs_32bit; then echo build/cross; else echo build/cross64; fi
}

# quorvel_wine_env BUILD_DIR: the environment every Wine run uses, for the
# programs of BUILD_DIR.
quorvel_wine_env() {
  local build
  build="$(realpath -m "$1")"
  # Wine takes only an absolute prefix path.
  export WINEPREFIX="$build/wineprefix"
  unset WINEARCH QUORVEL_WINEPREFIX64
  if [ "$(basename "$build")" = cross64 ]; then
    export QUORVEL_WINEARCH=win64
    if ! quorvel_machine_runs_32bit; then
      # Debian's wine launchers take the 32-bit loader whenever it is
      # installed, even where it cannot run; these take the 64-bit one.
      mkdir -p "$build/wine64-only"
      printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$build/wine64-only/wine"
      chmod +x "$build/wine64-only/wine"
      ln -sf wine "$build/wine64-only/wine-stable"
      export WINELOADER=/usr/lib/wine/wine64
      case ":$PATH:" in *":$build/wine64-only:"*) ;; *) export PATH="$build/wine64-only:$PATH" ;; esac
    fi
  else
    export QUORVEL_WINEARCH=win32
    export QUORVEL_WINEPREFIX64="$build/wineprefix64"
  fi
  export WINEDEBUG=-all
  # No prompt to install Mono or Gecko: the program needs neither. A file
  # copied over system32\cacls.exe (the tests' stand-in) runs rather than
  # Wine's builtin.
  export WINEDLLOVERRIDES="mscoree,mshtml=;cacls.exe=n"
  # Makes Wine's ANSI code page 932 and its user locale Japanese.
  export LC_ALL=ja_JP.UTF-8
}

# quorvel_prepare_prefix [PREFIX ARCH]: creates and configures a prefix
# (default: $WINEPREFIX, of the build's own architecture) once; later calls
# only start its persistent wineserver.
quorvel_prepare_prefix() {
  local prefix=${1:-$WINEPREFIX} arch=${2:-$QUORVEL_WINEARCH}
  local stamp="$prefix/.quorvel-prefix-v1"
  (
    export WINEPREFIX=$prefix
    if [ ! -f "$stamp" ]; then
      rm -rf "$WINEPREFIX"
      mkdir -p "$(dirname "$WINEPREFIX")"
      WINEARCH=$arch wineboot -i >/dev/null 2>&1
      # A crash must fail its test at once instead of waiting on a dialog.
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      # Without a window manager, managed windows cost a 2 s wait whenever one is hidden.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      # The dialog's font, mapped to the metric-compatible IPA font.
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS PGothic' /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
      wineserver -w
      touch "$stamp"
    fi
    wineserver -p
  )
}

# quorvel_prepare_prefixes: every prefix of the build, for the tests.
quorvel_prepare_prefixes() {
  quorvel_prepare_prefix "$WINEPREFIX" "$QUORVEL_WINEARCH"
  if [ -n "${QUORVEL_WINEPREFIX64:-}" ]; then
    quorvel_prepare_prefix "$QUORVEL_WINEPREFIX64" win64
  fi
}

# quorvel_install_standin BUILD_DIR: puts the stand-in cacls of that build
# where the system's own lives in the prefix $WINEPREFIX: the 32-bit build in
# a 32-bit prefix's system32; in a 64-bit prefix the 64-bit build in system32
# and the 32-bit build in syswow64.
quorvel_install_standin() {
  local windows="$WINEPREFIX/drive_c/windows" standin="$1/standin"
  if [ -d "$windows/syswow64" ]; then
    cp "$standin/x86_64/cacls.exe" "$windows/system32/cacls.exe" &&
      cp "$standin/i386/cacls.exe" "$windows/syswow64/cacls.exe"
  else
    cp "$standin/i386/cacls.exe" "$windows/system32/cacls.exe"
  fi
}

# quorvel_start_display: a private Xvfb on a free display number; sets DISPLAY
# and QUORVEL_XVFB_PID.
quorvel_start_display() {
  local n=77
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  QUORVEL_XVFB_PID=$!
  local tries=0
  while [ ! -e "/tmp/.X11-unix/X$n" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! kill -0 "$QUORVEL_XVFB_PID" 2>/dev/null; then
      echo "Xvfb did not start on :$n" >&2
      return 1
    fi
    sleep 0.05
  done
  export DISPLAY=":$n"
}

# quorvel_stop_all: stops the wineserver of each prefix and the Xvfb that
# quorvel_start_display started, nothing else.
quorvel_stop_all() {
  # A server that has already ended is no failure, also under set -e.
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && { wineserver -k >/dev/null 2>&1 || true; }
  [ -n "${QUORVEL_WINEPREFIX64:-}" ] && [ -d "$QUORVEL_WINEPREFIX64" ] &&
    { WINEPREFIX=$QUORVEL_WINEPREFIX64 wineserver -k >/dev/null 2>&1 || true; }
  if [ -n "${QUORVEL_XVFB_PID:-}" ]; then
    kill "$QUORVEL_XVFB_PID" 2>/dev/null
    wait "$QUORVEL_XVFB_PID" 2>/dev/null
    QUORVEL_XVFB_PID=
  fi
  return 0
}
