#!/usr/bin/env bash
# Long runs of the plug-in (its test build, which counts frames that mixed two versions of the
# settings) in our host under Wine, with the process's counters read along the way:
#   1. FRAMES frames flat out while the host replaces the settings file every 4 frames;
#   2. CYCLES starts and stops (Init, 3 frames, Quit) without reloading the plug-in.
# Prints the host's figures; the Wine tier runs short versions of both as a test (long_run).
# Usage: scripts/longrun.sh [--skip-setup] [FRAMES, default 50000] [CYCLES, default 1000]
source "$(dirname "$0")/common.sh"
frames=${1:-50000}
cycles=${2:-1000}

source scripts/wine-session.sh
arch=$(wine_default_arch)
build "$arch" >/dev/null
wine_session_start "$arch"

# An install tree of its own, with both models, holding the test build of the plug-in.
tree="$root/build/longrun"
rm -rf "$tree"
cp -r "build/$arch/stage" "$tree"
cp "build/$arch/plugin/vis_vzrm_testhooks.dll" "$tree/Plugins/vis_vzrm.dll"
rm -f "$tree/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"

run() {
  "$WINE_LOADER" "$tree/Winamp.exe" --flat-out "$@" | tr -d '\r' \
    | grep --line-buffered -v 'textures held\|texture set loads\|settings writes'
}

echo "== $frames frames, the settings file replaced every 4 frames ($arch build)"
run --frames "$frames" --replace-settings 4 --counters-every $((frames / 10 > 0 ? frames / 10 : 1))
echo
echo "== $cycles starts and stops, 3 frames each"
run --cycles "$cycles" --frames 3 --counters-every $((cycles / 10 > 0 ? cycles / 10 * 3 : 3))
