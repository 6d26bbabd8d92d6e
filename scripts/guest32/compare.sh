#!/usr/bin/env bash
# Compares the 32-bit tier's frames (FOLDER/frames-default.bmp and frames-full.bmp, the
# plug-in's window of 550 x 232 at 375,100) with the same frames of the 64-bit build, made here
# under 64-bit Wine from build/win64 (built when missing). Saves both windows and their
# difference as PNG files in build/guest32/frames/ to look at. Exit status 0: the same pictures.
#   compare.sh FOLDER
#
# Both builds run the same frames on the same signal with the same Mesa (llvmpipe), and two runs
# of one build give the same picture to the pixel. Only the CPU differs: llvmpipe generates code
# for the CPU features it finds, and the guest's emulated CPU has no AVX (hidden, see boot.sh),
# so a few pixels on triangle edges come out otherwise. Measured: of the 127,600 pixels of the
# window, 40 (default scene) and 505 (full scene) differed at all, 1 and 7 by more than 1% of
# full scale, 0 and 1 by more than 8%; the largest difference was 12 and 30 of 255. A pixel
# counts as different here when a channel differs by more than 8%, and at most MAX_SHARE = 0.1%
# of them (127 pixels) may: a hundred times what was measured, while a missing or moved part of
# the scene (one pulsar's glow alone covers about 900 pixels) is far more.
set -euo pipefail
shots=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
max_share=${VZRM_FRAMES_MAX_SHARE:-0.001}
fuzz=8%
ref="$root/build/guest32/reference" pictures="$root/build/guest32/frames"
rm -rf "$ref" "$pictures"
mkdir -p "$ref" "$pictures"

if [ ! -f build/win64/tests/win32/win32_tests.exe ]; then
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 >/dev/null
fi
winpath() { printf 'Z:%s' "${1//\//\\}"; }
(
  source scripts/wine-session.sh
  wine_session_start win64 >/dev/null
  "$WINE_LOADER" build/win64/tests/win32/win32_tests.exe \
    --stage="$(winpath "$root/build/win64/stage")" \
    --standin="$(winpath "$root/build/win64/tests/win32/standin_configurator.exe")" \
    --testhooks="$(winpath "$root/build/win64/plugin/vis_vzrm_testhooks.dll")" \
    --screenshots="$(winpath "$ref")" \
    --gtest_filter='Frames.TheDefaultScene*:Frames.TheFullScene*' </dev/null >"$ref/log" 2>&1
) || { cat "$ref/log"; echo "frames: the 64-bit build's frames failed"; exit 1; }

status=0
for name in default full; do
  ours="$shots/frames-$name.bmp" theirs="$ref/frames-$name.bmp"
  if [ ! -f "$ours" ] || [ ! -f "$theirs" ]; then
    echo "frames: $name: no picture (32-bit: $ours, 64-bit: $theirs)"
    status=1
    continue
  fi
  convert "$ours" -crop 550x232+375+100 +repage "$pictures/$name-32.png"
  convert "$theirs" -crop 550x232+375+100 +repage "$pictures/$name-64.png"
  # compare prints the metric on standard error and exits 1 when the pictures differ at all.
  different=$(compare -metric AE -fuzz "$fuzz" "$pictures/$name-32.png" "$pictures/$name-64.png" \
              "$pictures/$name-difference.png" 2>&1 >/dev/null || true)
  rmse=$(compare -metric RMSE "$pictures/$name-32.png" "$pictures/$name-64.png" null: 2>&1 || true)
  share=$(awk -v d="$different" 'BEGIN { printf "%.5f", d / (550 * 232) }')
  verdict=ok
  awk -v s="$share" -v m="$max_share" 'BEGIN { exit !(s <= m) }' || { verdict=DIFFERENT; status=1; }
  echo "frames: $name: $different of 127600 pixels differ by more than $fuzz" \
       "($share, at most $max_share), RMSE $rmse: $verdict"
done
exit "$status"
