#!/usr/bin/env bash
# Renders the same frames of five looks (default, full, heaviest, "Smoke" and the "Single Fixed
# Point" meter) with the off-screen renderer of this work tree and of another revision, and
# compares them value by value: a change that should not touch the picture must keep every
# value within one step of 255, but for at most 1 value in 100,000 (llvmpipe rounds a few
# triangle edges differently when the order of GL calls changes).
# The other revision is built once in its own work tree below build/compare/.
# Usage: scripts/compare-frames.sh [--skip-setup] [REVISION, default: the last commit]
# Prints one line a look and frame; exits non-zero when a picture changed.
source "$(dirname "$0")/common.sh"
other_revision "${1:-HEAD}" vzrm_render texture_set

source scripts/look-keys.sh
frames=(1 40 150)

# render SIDE NAME LOOK: the look's frames as PNG files in $work/NAME/LOOK-FRAME.png.
render() {
  local side=$1 name=$2 look=$3 install="$work/$2/install" saves=()
  rm -rf "$install"
  mkdir -p "$install/Plugins"
  cp -r "$side/build/native-release/stage/Plugins/vis_vzrm" "$install/Plugins/"
  mkdir -p "$install/Plugins/vis_vzrm/Configurations"
  printf "[Vizorama]\r\n${look_keys[$look]}" > "$install/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"
  for f in "${frames[@]}"; do saves+=(--save "$f:$work/$name/$look-$f.png"); done
  "$side/build/native-release/tools/render/vzrm_render" --install "$install/" --size 550x232 \
    --frames "${frames[-1]}" "${saves[@]}" >/dev/null
}

# The counts of values, of values more than one step apart, and the largest difference.
differences() {
  python3 - "$1" "$2" <<'EOF'
import sys
a, b = (open(p, 'rb').read() for p in sys.argv[1:3])
if len(a) != len(b):
    print(len(a), len(a), 255)
    sys.exit()
d = [abs(x - y) for x, y in zip(a, b) if x != y]
print(len(a), sum(1 for v in d if v > 1), max(d, default=0))
EOF
}

failed=0
for look in default full heaviest smoke single; do
  render "$tree" before "$look"
  render "$root" after "$look"
  for f in "${frames[@]}"; do
    for name in before after; do
      convert "$work/$name/$look-$f.png" -depth 8 "rgb:$work/$name/$look-$f.rgb"
    done
    read -r values beyond largest < <(differences "$work/before/$look-$f.rgb" "$work/after/$look-$f.rgb")
    verdict=same
    if [ $((beyond * 100000)) -gt "$values" ]; then verdict=CHANGED; failed=1; fi
    printf '%-9s frame %4s: %7s values, %5s beyond one step, largest %3s: %s\n' \
      "$look" "$f" "$values" "$beyond" "$largest" "$verdict"
  done
done
echo "frames against $revision: $([ "$failed" = 0 ] && echo "the same" || echo "changed")"
exit "$failed"
