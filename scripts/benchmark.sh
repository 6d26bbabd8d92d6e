#!/usr/bin/env bash
# The speed table: frames per second flat out (no sleep between frames) for four looks at three
# full-screen sizes, each under Wine in our host (the real plug-in path) and natively in the
# off-screen renderer (the same frame code without Wine and the window system), with the
# fraction of the empty frame's rate at the same size and the CPU time a frame costs (user +
# system, all threads, the software renderer's included); the Linux program (vizorama) flat out
# in a window of each size on the same display; and projectM's "Geiss - Approach" there too, as
# a peer to compare with. Then, natively: heap allocations per frame after warm-up, and resident
# memory after 1,000 and 20,000 frames.
# Prints figures only; nothing fails on speed.
# Usage: scripts/benchmark.sh [--skip-setup] [--quick]
#   --quick  fewer frames a run and no memory run (a first look, not figures to quote)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ "${1:-}" = "--skip-setup" ]; then shift; else bash scripts/setup.sh; fi
quick=
if [ "${1:-}" = "--quick" ]; then quick=1; fi

source scripts/wine-session.sh
if can_run_32bit; then arch=win32; else arch=win64; fi
for preset in native-release "$arch"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
linux_bin=build/native-release/linux/vizorama
projectm_bin=build/native-release/tools/peerbench/vzrm_projectm_bench
projectm_preset="/usr/share/projectM/presets/presets_milkdrop/Geiss - Approach.milk"
# The biggest size needs a screen that holds it; each run gets a virtual desktop of its own size.
export VZRM_SCREEN=1600x1200x24
wine_session_start "$arch"

sizes=(640x480 1024x768 1600x1200)
looks=(empty default full heaviest)
full='bgrOnOff=1\r\nbgrName=Late Afternoon\r\nmdlOnOff=1\r\nmdlName=Vizorama\r\nmdlEffectsOnOff=1\r\nmdlEffectsType=Motion Blur\r\nmdlDynamicTextureOnOff=1\r\nvumType=Beam\r\ntofOnOff=1\r\nlhtOnOff=1\r\n'
declare -A keys=(
  [empty]='oscOnOff=0\r\nvumOnOff=0\r\ntofOnOff=0\r\nlhtOnOff=0\r\nmdlOnOff=0\r\nbgrOnOff=0\r\n'
  [default]=''
  [full]="$full"
  [heaviest]="oscSamplingRate=4x4\r\noscRenderingMode=Explosion\r\n$full"
)
# Frames a run: enough for a few seconds of each look on a software renderer.
declare -A frames=([empty]=1000 [default]=150 [full]=80 [heaviest]=30)
if [ -n "$quick" ]; then frames=([empty]=200 [default]=30 [full]=20 [heaviest]=8); fi

bench="$root/build/bench"
# A player folder per platform, as installed; the settings file is written before each run.
make_tree() {
  local tree=$1 stage=$2
  rm -rf "$tree"
  mkdir -p "$tree/Plugins"
  cp -r "$stage/Plugins/vis_vzrm" "$tree/Plugins/"
  mkdir -p "$tree/Plugins/vis_vzrm/Configurations"
  [ -f "$stage/Plugins/vis_vzrm.dll" ] && cp "$stage/Plugins/vis_vzrm.dll" "$tree/Plugins/"
  [ -f "$stage/Winamp.exe" ] && cp "$stage/Winamp.exe" "$tree/"
  return 0
}
make_tree "$bench/native" build/native-release/stage
make_tree "$bench/wine" "build/$arch/stage"
settings() {  # settings TREE SIZE LOOK
  printf "[Vizorama]\r\ndimResolution=$2\r\n${keys[$3]}" \
    > "$1/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"
}
# The Linux program reads its settings from its XDG folder: one of the benchmark's own.
linux_config="$bench/linux-config"
mkdir -p "$linux_config/vizorama"

declare -A fps cpu allocs
for size in "${sizes[@]}"; do
  for look in "${looks[@]}"; do
    n=${frames[$look]}
    settings "$bench/native" "$size" "$look"
    line=$(build/native-release/tools/bench/vzrm_frame_bench --install "$bench/native" \
             --size "$size" --frames "$n" --warmup 10)
    fps[native,$size,$look]=$(sed -n 's/.*fps=\([0-9.]*\).*/\1/p' <<<"$line")
    cpu[native,$size,$look]=$(sed -n 's/.*cpu_ms_per_frame=\([0-9.]*\).*/\1/p' <<<"$line")
    allocs[$size,$look]=$(sed -n 's/.*allocs_per_frame=\([0-9.]*\).*/\1/p' <<<"$line")

    settings "$bench/wine" "$size" "$look"
    line=$("$WINE_LOADER" explorer "/desktop=vzrmbench,$size" "$bench/wine/Winamp.exe" \
             --flat-out --frames "$n" 2>/dev/null | tr -d '\r' | grep 'frames in' || true)
    fps[wine,$size,$look]=$(sed -n 's/.*(\([0-9.]*\) frames per second).*/\1/p' <<<"$line")
    cpu[wine,$size,$look]=$(sed -n 's/.*, \([0-9.]*\) ms of CPU a frame.*/\1/p' <<<"$line")

    # The Linux program: a window of the size on the same display (GLX), flat out, the same
    # settings (the full-screen value draws the same band), the same built-in signal.
    if [ -x "$linux_bin" ]; then
      settings "$bench/native" "$size" "$look"
      cp "$bench/native/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini" "$linux_config/vizorama/"
      line=$(XDG_CONFIG_HOME="$linux_config" "$linux_bin" --signal builtin --flat-out --size "$size" \
               --frames $((n + 10)) 2>/dev/null | grep 'frames per second' || true)
      fps[linux,$size,$look]=$(sed -n 's/.*, \([0-9.]*\) frames per second.*/\1/p' <<<"$line")
    fi
  done
  # projectM's "Geiss - Approach" on the same display, in a window of the same size, between
  # our runs, fed the same signal.
  if [ -x "$projectm_bin" ] && [ -f "$projectm_preset" ]; then
    line=$("$projectm_bin" --preset "$projectm_preset" --size "$size" --frames 300 \
             --warmup 30 2>/dev/null | grep "frames per second" || true)
    fps[projectm,$size]=$(sed -n 's/.*, \([0-9.]*\) frames per second.*/\1/p' <<<"$line")
  fi
done

ratio() { awk -v a="${1:-0}" -v b="${2:-0}" 'BEGIN { if (b > 0) printf "%.3f", a / b; else printf "-" }'; }
echo
echo "Flat out, full screen (the picture is the 275:116 band across the screen); Wine: $arch build"
echo "in our host; native: the off-screen renderer. fps, fraction of the empty frame's fps at"
echo "the same size, CPU ms a frame (all threads); allocs: operator new calls a frame after warm-up;"
echo "linux: the Linux program (vizorama) in a window of that size on the same Xvfb display (GLX)."
printf '%-10s %-9s | %8s %7s %7s | %8s %7s %7s | %6s | %9s %7s\n' size look "wine fps" "/empty" "cpu ms" \
  "nat fps" "/empty" "cpu ms" allocs "linux fps" "/empty"
for size in "${sizes[@]}"; do
  for look in "${looks[@]}"; do
    printf '%-10s %-9s | %8s %7s %7s | %8s %7s %7s | %6s | %9s %7s\n' "$size" "$look" \
      "${fps[wine,$size,$look]:--}" "$(ratio "${fps[wine,$size,$look]}" "${fps[wine,$size,empty]}")" \
      "${cpu[wine,$size,$look]:--}" \
      "${fps[native,$size,$look]:--}" "$(ratio "${fps[native,$size,$look]}" "${fps[native,$size,empty]}")" \
      "${cpu[native,$size,$look]:--}" "${allocs[$size,$look]:--}" \
      "${fps[linux,$size,$look]:--}" "$(ratio "${fps[linux,$size,$look]}" "${fps[linux,$size,empty]}")"
  done
done
echo
echo "projectM (libprojectM $(pkg-config --modversion libprojectM 2>/dev/null || echo '?')), preset \"Geiss - Approach\", flat out in a window"
echo "of the size on the same display (OpenGL 3.3 core, GLX), the same signal, between the runs above:"
for size in "${sizes[@]}"; do
  printf '  %-10s %8s fps\n' "$size" "${fps[projectm,$size]:--}"
done

if [ -x "$linux_bin" ] && command -v pulseaudio >/dev/null; then
  echo
  echo "The Linux program's sound to picture latency (a private PulseAudio server's null sink,"
  echo "scripts/latency-linux.sh; on this display):"
  VZRM_USE_DISPLAY=1 bash scripts/latency-linux.sh build/native-release "$([ -n "$quick" ] && echo 4 || echo 10)" |
    sed 's/^/  /'
fi

if [ -z "$quick" ]; then
  echo
  echo "Resident memory (native, 160 x 120 window, so that 20,000 frames take minutes):"
  for look in default full; do
    printf "[Vizorama]\r\n${keys[$look]}" > "$bench/native/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"
    line=$(build/native-release/tools/bench/vzrm_frame_bench --install "$bench/native" \
             --size 160x120 --frames 20000 --warmup 0 --rss-at 1000 --rss-at 20000)
    printf '  %-8s %s\n' "$look" "$(grep -o 'rss_kb.*' <<<"$line")"
  done
fi
