#!/usr/bin/env bash
# The frame rate of the default and the full look at 1024x768, natively in the off-screen
# renderer, with this work tree and with another revision, in alternating rounds of one run (the
# machine is shared and noisy, so only figures from the same run compare). For a change that
# should not cost speed: prints each round and the medians; nothing fails on speed.
# The other revision is built once in its own work tree below build/compare/, as by
# scripts/compare-frames.sh.
# Usage: scripts/compare-speed.sh [--skip-setup] [REVISION, default: the last commit] [ROUNDS]
source "$(dirname "$0")/common.sh"
other_revision "${1:-HEAD}" vzrm_frame_bench texture_set
rounds=${2:-3}
source scripts/look-keys.sh
# fps SIDE LOOK: the look's frames a second on SIDE's build.
fps() {
  local side=$1 look=$2 install="$work/speed/install"
  rm -rf "$install"
  mkdir -p "$install/Plugins"
  cp -r "$side/build/native-release/stage/Plugins/vis_vzrm" "$install/Plugins/"
  mkdir -p "$install/Plugins/vis_vzrm/Configurations"
  printf "[Vizorama]\r\ndimResolution=1024x768\r\n${look_keys[$look]}" \
    > "$install/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"
  "$side/build/native-release/tools/bench/vzrm_frame_bench" --install "$install" \
    --size 1024x768 --frames 150 --warmup 10 | sed -n 's/.*fps=\([0-9.]*\).*/\1/p'
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
declare -A rates
for round in $(seq "$rounds"); do
  for look in default full; do
    for side in before after; do
      dir=$root; [ "$side" = before ] && dir=$tree
      rate=$(fps "$dir" "$look")
      rates[$look,$side]+=" $rate"
      echo "round $round  $look  $side ($([ "$side" = before ] && echo "$revision" || echo "this tree")): $rate fps"
    done
  done
done
for look in default full; do
  before=$(median ${rates[$look,before]})
  after=$(median ${rates[$look,after]})
  printf '%-8s median fps: before %s, after %s (%+.1f%%)\n' "$look" "$before" "$after" \
    "$(python3 -c "print(($after / $before - 1) * 100)")"
done
