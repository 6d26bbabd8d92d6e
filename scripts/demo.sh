#!/usr/bin/env bash
# The demo: our host runs the plug-in on our own song (synthesised at build time: drums, bass,
# pads and a melody, about a minute) with the demo scene, every part switched on in a window
# twice the player's size ("2x2", scripts/demo-scene.ini), in a window on your display. Without
# a display it runs on a virtual one and saves a screenshot instead.
#
# The host hands the plug-in the music's waveform as the player does; it plays no sound itself.
# To hear it, record a clip with scripts/clip.sh (a video with the music).
#
# Usage: scripts/demo.sh [--skip-setup] [--wav YOUR.wav] [other host options, e.g. --double-size]
#        scripts/demo.sh [--skip-setup] --linux [other vizorama options, e.g. --fullscreen]
source "$(dirname "$0")/common.sh"

# --linux: the Linux program plays the song itself, audibly where the machine has a sound
# server, and shows the demo scene in its window (settings of its own below build/demo/linux,
# so the user's own settings stay as they are).
if [ "${1:-}" = "--linux" ]; then
  shift
  build native-release vizorama demo_song >/dev/null
  song="$root/build/native-release/demo/vizorama-demo.wav"
  export XDG_CONFIG_HOME="$root/build/demo/linux/config"
  mkdir -p "$XDG_CONFIG_HOME/vizorama"
  sed 's/\r*$/\r/' scripts/demo-scene.ini > "$XDG_CONFIG_HOME/vizorama/vis_vzrm_config.ini"
  program=("$root/build/native-release/linux/vizorama" --wav "$song" --size 1100x464 "$@")
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "demo: press H for the keys, F for full screen, Escape to stop"
    exec "${program[@]}"
  fi
  source scripts/linux-session.sh
  VZRM_SCREEN=${VZRM_SCREEN:-1280x800x24} linux_session_start  # room for the window
  shot="$root/build/demo-linux.png"
  echo "demo: no display found; running on a virtual one (with a private sound server) and saving $shot"
  "${program[@]}" &
  pid=$!
  sleep 15
  import -window "$(xdotool search --onlyvisible --pid "$pid" | head -1)" "$shot"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "demo: screenshot saved to $shot"
  exit 0
fi
source scripts/wine-session.sh

# The shipped plug-in is 32-bit; where this machine cannot run 32-bit programs, the same
# sources built 64-bit stand in for it.
arch=$(wine_default_arch)
# Only what the demo shows: the host, the plug-in, the utility (the plug-in starts it on a right
# click), the generated textures, skies and models, and the probe that checks Wine can draw.
build "$arch" vzrm_host vis_vzrm vis_vzrm_c texture_set looks wine_gl_probe
# Our song comes from a tool that runs on this machine: the native build makes it.
build native-release demo_song >/dev/null
song="$root/build/native-release/demo/vizorama-demo.wav"

# A player folder of its own, so the demo's settings never touch the build's install tree.
player="$root/build/demo/$arch"
rm -rf "$player"
mkdir -p "$player"
cp "build/$arch/stage/Winamp.exe" "$player/"
cp -r "build/$arch/stage/Plugins" "$player/"
mkdir -p "$player/Plugins/vis_vzrm/Configurations"
settings="$player/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"
sed 's/\r*$/\r/' scripts/demo-scene.ini > "$settings"
# Until the build stages the scene's model, leave it out rather than stop at the plug-in's
# "Failed loading Model.ase!" message.
model=$(sed -n 's/^mdlName=//p' scripts/demo-scene.ini)
if [ ! -f "$player/Plugins/vis_vzrm/Models/$model/Model.ase" ]; then
  echo "demo: the build has no model \"$model\" yet; the demo runs without the model"
  sed -i 's/^mdlOnOff=1/mdlOnOff=0/' "$settings"
fi

# The player window at 40,40; the scene's window is placed right below it. Options given to
# this script come after these and win (the host takes the last of each).
host=("$player/Winamp.exe" --position 40,40 --wav "$song" "$@")
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export VZRM_USE_DISPLAY=1
  wine_session_start "$arch"
  echo "demo: close the player window or press Escape in the visualisation to stop"
  "$WINE_LOADER" "${host[@]}"
else
  wine_session_start "$arch"
  shot="$root/build/demo.png"
  bmp="$player/demo.bmp"
  echo "demo: no display found; running on a virtual one and saving $shot"
  "$WINE_LOADER" "${host[@]}" --frames 400 --screenshot-at "400:Z:${bmp//\//\\}"
  convert "$bmp" -crop 600x440+0+0 +repage "$shot"
  echo "demo: screenshot saved to $shot"
fi
