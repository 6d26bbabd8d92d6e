# Sourced by the test and demo commands: a private X display (Xvfb) and one wineserver for the
# whole run, both stopped at the end, also on failure.
#   wine_session_start ARCH   ARCH: win32 or win64; VZRM_SCREEN sets the screen (default 1024x768x24)
#   wine_session_stop
#   wine_prefix_up ARCH       another architecture's prefix and server beside the session's (for
#                             runs that compare the two builds); the session's stop ends it too
# Starting a prefix checks that Wine can draw for its architecture (wine_check_gl).

# The prefix and Wine loader of ARCH, for a command: WINEPREFIX=$(wine_prefix ARCH) $(wine_loader ARCH)
wine_prefix() { echo "$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix-$1"; }
wine_loader() { if [ "$1" = win64 ]; then echo /usr/lib/wine/wine64; else echo wine; fi; }

wine_session_start() {
  local arch=$1 root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  WINEPREFIX=$(wine_prefix "$arch")
  WINE_LOADER=$(wine_loader "$arch")
  export WINEPREFIX WINE_LOADER

  if [ -z "${VZRM_USE_DISPLAY:-}" ]; then
    source "$root/scripts/xvfb.sh"
    xvfb_start 90
    XVFB_PID=$XVFB_STARTED_PID
  fi
  trap wine_session_stop EXIT
  wine_prefix_up "$arch"
}

wine_prefix_up() {
  local arch=$1 root prefix loader
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  prefix=$(wine_prefix "$arch")
  loader=$(wine_loader "$arch")
  if [ ! -f "$prefix/system.reg" ]; then
    echo "wine: preparing the $arch prefix (once)"
    WINEPREFIX=$prefix WINEARCH=$arch "$loader" wineboot -i >/dev/null 2>&1 || true
    # Without a window manager every DestroyWindow of a top-level window stalls otherwise.
    WINEPREFIX=$prefix "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ \
      /d N /f >/dev/null 2>&1
  fi
  # One persistent server for the whole run (a server left from preparing the prefix, or from
  # an interrupted run, is ended first: it would refuse to become persistent).
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$prefix wineserver -p
  WINE_PREFIXES_UP+=("$prefix")
  # Start Wine's background services now, with no output: started by the first test program they
  # would inherit its output pipe and keep the test runner waiting for it to close.
  WINEPREFIX=$prefix "$loader" wineboot >/dev/null 2>&1 </dev/null || true
  WINEPREFIX=$prefix WINE_LOADER=$loader \
    wine_check_gl "$arch" "$root/build/$arch/tests/win32/wine_gl_probe.exe"
}

# wine_check_gl ARCH PROBE: fails with one line naming what is missing when this Wine cannot
# choose a pixel format and make a GL context current for ARCH. Without the probe (a build that
# has not made it yet) there is nothing to check with, and it passes.
wine_check_gl() {
  local arch=$1 probe=$2 said missing
  [ -f "$probe" ] || return 0
  said=$("$WINE_LOADER" "$probe" </dev/null 2>/dev/null) && return 0
  said=${said//$'\r'/}
  source "$(dirname "${BASH_SOURCE[0]}")/wine-packages.sh"
  missing=$(wine_missing_packages "$arch")
  echo "wine: ${arch#win}-bit Wine cannot draw (${said:-the probe did not run});" \
       "${missing:+missing packages: $missing;} scripts/setup.sh installs what Wine needs" >&2
  return 1
}

wine_session_stop() {
  local prefix
  for prefix in ${WINE_PREFIXES_UP[@]+"${WINE_PREFIXES_UP[@]}"}; do
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  done
  WINE_PREFIXES_UP=()
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  XVFB_PID=
}
