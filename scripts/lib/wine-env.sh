# Shared by the scripts that run Windows programs here: a private Wine prefix
# under the build folder and a private Xvfb display, both stopped by what
# started them. Source this file; it defines functions and sets nothing else.

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
# programs of BUILD_DIR (a 64-bit prefix for build/cross64).
quorvel_wine_env() {
  local build
  build="$(realpath -m "$1")"
  # Wine takes only an absolute prefix path.
  export WINEPREFIX="$build/wineprefix"
  export WINEARCH=win32
  if [ "$(basename "$build")" = cross64 ]; then
    export WINEARCH=win64
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
  fi
  export WINEDEBUG=-all
  # No prompt to install Mono or Gecko: the program needs neither.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # Makes Wine's ANSI code page 932 and its user locale Japanese.
  export LC_ALL=ja_JP.UTF-8
}

# quorvel_prepare_prefix: creates and configures the prefix once; later calls
# only start the persistent wineserver.
quorvel_prepare_prefix() {
  local stamp="$WINEPREFIX/.quorvel-prefix-v1"
  if [ ! -f "$stamp" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1
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

# quorvel_stop_all: stops the wineserver of this prefix and the Xvfb that
# quorvel_start_display started, nothing else.
quorvel_stop_all() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && wineserver -k >/dev/null 2>&1
  if [ -n "${QUORVEL_XVFB_PID:-}" ]; then
    kill "$QUORVEL_XVFB_PID" 2>/dev/null
    wait "$QUORVEL_XVFB_PID" 2>/dev/null
    QUORVEL_XVFB_PID=
  fi
  return 0
}
