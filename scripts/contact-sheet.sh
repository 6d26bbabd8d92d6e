#!/usr/bin/env bash
# Renders every one of our looks (looks/*.ini) with the off-screen renderer at one fixed frame of
# the built-in signal and tiles the pictures, each with its name below it, into a contact sheet
# with ImageMagick's montage: docs/looks.png unless told otherwise. The single pictures stay in
# build/contact-sheet/.
# Usage: scripts/contact-sheet.sh [--skip-setup] [--out FILE.png] [--frame N] [--size WxH]
source "$(dirname "$0")/common.sh"
out="$root/docs/looks.png"
frame=150
size=256x144
while [ $# -gt 0 ]; do
  case "$1" in
    --out) out=$(realpath -m "$2"); shift 2 ;;
    --frame) frame=$2; shift 2 ;;
    --size) size=$2; shift 2 ;;
    *) echo "usage: scripts/contact-sheet.sh [--skip-setup] [--out FILE.png] [--frame N] [--size WxH]" >&2
       exit 2 ;;
  esac
done
command -v montage >/dev/null || { echo "contact-sheet: montage is missing (Debian package imagemagick)" >&2; exit 1; }

build native-release vzrm_render texture_set looks >/dev/null
stage="$root/build/native-release/stage/Plugins/vis_vzrm"
work="$root/build/contact-sheet"
rm -rf "$work"
mkdir -p "$work/install/Plugins/vis_vzrm/Configurations"
# The install tree shares our assets with the stage; only its settings file is its own.
for entry in "$stage"/*; do
  [ "$(basename "$entry")" = Configurations ] || ln -s "$entry" "$work/install/Plugins/vis_vzrm/"
done

tiles=()
while IFS= read -r -d '' look; do
  name=$(basename "$look" .ini)
  # A look is a settings file: the renderer reads it as the install tree's settings.
  cp "$look" "$work/install/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"
  "$root/build/native-release/tools/render/vzrm_render" --install "$work/install/" --size "$size" \
    --frames "$frame" --save "$frame:$work/$name.png" >/dev/null
  tiles+=(-label "$name" "$work/$name.png")
done < <(find "$stage/Looks" -maxdepth 1 -name '*.ini' -print0 | LC_ALL=C sort -z)
[ ${#tiles[@]} -gt 0 ] || { echo "contact-sheet: no looks in $stage/Looks" >&2; exit 1; }

mkdir -p "$(dirname "$out")"
montage -background '#101014' -fill '#e8e8f0' -font DejaVu-Sans -pointsize 14 \
  "${tiles[@]}" -tile 6x -geometry +4+4 -strip -define png:exclude-chunks=date,time "$out"
echo "contact-sheet: $((${#tiles[@]} / 3)) looks in $out"
