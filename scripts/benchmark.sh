#!/usr/bin/env bash
# Frames per second of the plug-in in our host under Wine, flat out (no sleep between frames),
# in a 550 x 232 window: an empty frame (clear and swap only), the default scene and the
# heaviest oscilloscope setting ("4x4", "Explosion"). Each is run twice. Prints figures only;
# nothing fails on speed.
# Usage: scripts/benchmark.sh [--skip-setup] [frames per run, default 400]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ "${1:-}" = "--skip-setup" ]; then shift; else bash scripts/setup.sh; fi
frames=${1:-400}

source scripts/wine-session.sh
if can_run_32bit; then arch=win32; else arch=win64; fi
cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch" >/dev/null
wine_session_start "$arch"

bench="$root/build/bench"
declare -A looks=(
  [empty]="oscOnOff=0\r\nlhtOnOff=0\r\n"
  [default]=""
  [heaviest]="oscSamplingRate=4x4\r\noscRenderingMode=Explosion\r\nlhtOnOff=1\r\n"
)
echo "benchmark: $arch build, $frames frames a run, 550 x 232 window"
for look in empty default heaviest; do
  tree="$bench/$look"
  rm -rf "$tree"
  mkdir -p "$tree/Plugins/vis_vzrm/Configurations"
  cp "build/$arch/stage/Winamp.exe" "$tree/"
  cp "build/$arch/stage/Plugins/vis_vzrm.dll" "$tree/Plugins/"
  cp build/$arch/stage/Plugins/vis_vzrm/*.tga "$tree/Plugins/vis_vzrm/"
  for run in 1 2; do
    printf "[Vizorama]\r\ndimResolution=2x2\r\n${looks[$look]}" \
      > "$tree/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"
    result=$("$WINE_LOADER" "$tree/Winamp.exe" --flat-out --frames "$frames" --position 600,500 \
             | tr -d '\r' | grep 'frames in')
    printf '%-9s run %d: %s\n' "$look" "$run" "${result#host: }"
  done
done
