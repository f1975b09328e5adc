# Shared by the scripts that run Windows programs here: a private Wine prefix
# under the build folder and a private Xvfb display, both stopped by what
# started them. Source this file; it defines functions and sets nothing else.

# quorvel_wine_env BUILD_DIR: the environment every Wine run uses.
quorvel_wine_env() {
  # Wine takes only an absolute prefix path.
  export WINEPREFIX="$(realpath -m "$1")/wineprefix"
  export WINEARCH=win32
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
