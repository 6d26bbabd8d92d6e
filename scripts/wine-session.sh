# Sourced by the test and demo commands: a private X display (Xvfb) and one wineserver for the
# whole run, both stopped at the end, also on failure.
#   wine_session_start ARCH   ARCH: win32 or win64; VZRM_SCREEN sets the screen (default 1024x768x24)
#   wine_session_stop

wine_session_start() {
  local arch=$1 root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX="$root/build/wineprefix-$arch"
  if [ "$arch" = win64 ]; then WINE_LOADER=/usr/lib/wine/wine64; else WINE_LOADER=wine; fi
  export WINE_LOADER

  if [ -z "${VZRM_USE_DISPLAY:-}" ]; then
    source "$root/scripts/xvfb.sh"
    xvfb_start 90
    XVFB_PID=$XVFB_STARTED_PID
  fi

  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: preparing the $arch prefix (once)"
    WINEARCH=$arch "$WINE_LOADER" wineboot -i >/dev/null 2>&1 || true
    # Without a window manager every DestroyWindow of a top-level window stalls otherwise.
    "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  fi
  # One persistent server for the whole run (a server left from preparing the prefix, or from
  # an interrupted run, is ended first: it would refuse to become persistent).
  wineserver -k >/dev/null 2>&1 || true
  wineserver -p
  trap wine_session_stop EXIT
  # Start Wine's background services now, with no output: started by the first test program they
  # would inherit its output pipe and keep the test runner waiting for it to close.
  "$WINE_LOADER" wineboot >/dev/null 2>&1 </dev/null || true
}

wine_session_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  XVFB_PID=
}

# Whether this machine can run 32-bit Linux programs (and so 32-bit Wine).
can_run_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
