#!/usr/bin/env bash
# Records the demo as a video, offline: the headless renderer draws the demo scene frame by frame
# (40 frames a second, as the player hands over the audio) on our song or your own WAV file, and
# ffmpeg encodes the frames it reads from a pipe, with the music.
#   .mp4, .mkv, .webm    a video with sound (H.264 + AAC for .mp4)
#   .webp, .gif          a looping animated picture without sound, 20 frames a second
# Without ffmpeg the frames are saved as PNG files instead (OUT without its extension + "-frames/").
#
# Usage: scripts/clip.sh [--skip-setup] [--seconds N] [--start S] [--wav FILE] [--size WxH]
#                        [--scene FILE.ini] [--out FILE]
#   defaults: 10 seconds from the start of our song, 550x232 (the "2x2" window), the demo scene
#   (scripts/demo-scene.ini), build/clip/vizorama-demo.mp4
source "$(dirname "$0")/common.sh"
seconds=10 start=0 wav="" size=550x232 scene="$root/scripts/demo-scene.ini"
out="$root/build/clip/vizorama-demo.mp4"
absolute() { case "$1" in /*) printf '%s' "$1" ;; *) printf '%s/%s' "$PWD" "$1" ;; esac; }
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2 ;;
    --start) start=$2 ;;
    --wav) wav=$(absolute "$2") ;;
    --size) size=$2 ;;
    --scene) scene=$(absolute "$2") ;;
    --out) out=$(absolute "$2") ;;
    *) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
  esac
  shift 2
done

# The optimised native build: the renderer, our song and everything the build stages.
build native-release >/dev/null
build="$root/build/native-release"
[ -n "$wav" ] || wav="$build/demo/vizorama-demo.wav"
frames=$(awk -v s="$seconds" 'BEGIN { printf "%d", s * 40 }')

# A player folder of its own: the staged files with the scene as its settings file.
player="$root/build/clip/player"
rm -rf "$player"
mkdir -p "$player" "$(dirname "$out")"
cp -r "$build/stage/Plugins" "$player/"
mkdir -p "$player/Plugins/vis_vzrm/Configurations"
sed 's/\r*$/\r/' "$scene" > "$player/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"

render=("$build/tools/render/vzrm_render" --install "$player" --size "$size" --wav "$wav"
        --start "$start" --frames "$frames")

if ! command -v ffmpeg >/dev/null; then
  folder="${out%.*}-frames"
  rm -rf "$folder"
  mkdir -p "$folder"
  "${render[@]}" --png-frames "$folder"
  echo "clip: ffmpeg is missing (Debian package ffmpeg); $frames frames saved in $folder/"
  echo "clip: to make a video of them: ffmpeg -framerate 40 -i '$folder/frame-%05d.png' -ss $start -t $seconds -i '$wav' -pix_fmt yuv420p clip.mp4"
  exit 0
fi

input=(-f rawvideo -pix_fmt rgb24 -video_size "$size" -framerate 40 -i -)
case "${out##*.}" in
  webp) encode=(-vf fps=20 -c:v libwebp_anim -lossless 0 -quality 70 -loop 0) ;;
  gif) encode=(-vf "fps=20,split[a][b];[a]palettegen=stats_mode=diff[p];[b][p]paletteuse=dither=bayer" -loop 0) ;;
  *) input+=(-ss "$start" -t "$seconds" -i "$wav")
     encode=(-map 0:v -map 1:a -vf "scale=trunc(iw/2)*2:trunc(ih/2)*2" -pix_fmt yuv420p -shortest)
     case "${out##*.}" in
       mp4) encode+=(-c:v libx264 -crf 20 -c:a aac -b:a 160k -movflags +faststart) ;;
     esac ;;
esac
"${render[@]}" --video - | ffmpeg -hide_banner -loglevel error -y "${input[@]}" "${encode[@]}" "$out"
echo "clip: $seconds s ($frames frames) written to $out"
