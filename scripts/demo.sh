#!/usr/bin/env bash
# Runs the visualisation in our host on the built-in signal (or a WAV file), in a window on
# your display. Without a display it runs on a virtual one and saves a screenshot instead.
# Usage: scripts/demo.sh [--skip-setup] [host options, e.g. --wav song.wav --double-size]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ "${1:-}" = "--skip-setup" ]; then shift; else bash scripts/setup.sh; fi
source scripts/wine-session.sh

# The shipped plug-in is 32-bit; where this machine cannot run 32-bit programs, the same
# sources built 64-bit stand in for it.
if can_run_32bit; then arch=win32; else arch=win64; fi
cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch"

host="build/$arch/stage/Winamp.exe"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export VZRM_USE_DISPLAY=1
  wine_session_start "$arch"
  echo "demo: close the player window or press Escape in the visualisation to stop"
  "$WINE_LOADER" "$host" "$@"
else
  wine_session_start "$arch"
  shot="$root/build/demo.png"
  echo "demo: no display found; running on a virtual one and saving $shot"
  "$WINE_LOADER" "$host" --frames 200 "$@" &
  pid=$!
  sleep 4
  import -window root "$shot"
  wait "$pid"
  echo "demo: screenshot saved to $shot"
fi
