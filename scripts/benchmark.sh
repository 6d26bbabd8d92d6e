#!/usr/bin/env bash
# The speed table: frames per second flat out (no sleep between frames) for four looks at three
# full-screen sizes, each under Wine in our host (the real plug-in path), natively in the
# off-screen renderer (the same frame code without Wine and the window system) and in the Linux
# program (vizorama) in a window of the size on the same display, beside projectM's "Geiss -
# Approach" in a window of the same size there, as a peer to compare with. Each size is measured
# in three rounds (projectM, then our looks, three times over: the machine is shared and noisy);
# the table shows the medians, each look also as a fraction of the empty frame's rate and of
# projectM's rate in the same round, with the CPU time a frame costs (user + system, all threads,
# the software renderer's included) and heap allocations a frame after warm-up. Then the start,
# switch and quit times of the default and the full look at 1024x768, under Wine in our host
# (Winamp.exe --time-calls --switch ...) and natively (vzrm_switch_bench), median of the rounds;
# automatic changes of look every 2 s for a minute at 1024x768 (each change's frame against a
# plain frame of its look); the Linux program's and the Windows program's sound to picture
# latency; and, natively, resident memory after 1,000 and 20,000 frames. The Windows program
# (vizorama.exe, 64-bit) has a column of its own beside the Linux program's: a window of the size
# under 64-bit Wine. Prints how long it took (about 20 minutes here; --quick about 5).
# Prints figures only; nothing fails on speed.
# Usage: scripts/benchmark.sh [--skip-setup] [--quick]
#   --quick  one round, fewer frames a run and no memory run (a first look, not figures to quote)
started=$SECONDS
source "$(dirname "$0")/common.sh"
quick=
if [ "${1:-}" = "--quick" ]; then quick=1; fi

source scripts/wine-session.sh
# wine: the build people install, 32-bit where this machine runs 32-bit programs; wine64 beside
# it there: the 64-bit build of the same sources (the Windows program is 64-bit).
if can_run_32bit; then arch=win32; wine_kinds=(wine wine64); else arch=win64; wine_kinds=(wine); fi
declare -A wine_arch=([wine]=$arch [wine64]=win64)
for preset in native-release $(for kind in "${wine_kinds[@]}"; do echo "${wine_arch[$kind]}"; done); do
  build "$preset" >/dev/null
done
linux_bin=build/native-release/linux/vizorama
winprog_bin=build/win64/program/vizorama.exe
projectm_bin=build/native-release/tools/peerbench/vzrm_projectm_bench
projectm_preset="/usr/share/projectM/presets/presets_milkdrop/Geiss - Approach.milk"
# The biggest size needs a screen that holds it; each run gets a virtual desktop of its own size.
export VZRM_SCREEN=1600x1200x24
wine_session_start "$arch"
if [ "${#wine_kinds[@]}" -gt 1 ]; then wine_prefix_up win64; fi
# wine_run KIND ARGS...: a Windows program under the Wine of KIND's build.
wine_run() {
  local a=${wine_arch[$1]}
  shift
  WINEPREFIX=$(wine_prefix "$a") "$(wine_loader "$a")" "$@"
}

sizes=(640x480 1024x768 1600x1200)
looks=(empty default full heaviest)
source scripts/look-keys.sh
# Frames a run: a few seconds of each look on a software renderer, three times.
declare -A frames=([empty]=500 [default]=60 [full]=40 [heaviest]=15)
projectm_frames=200
if [ -n "$quick" ]; then frames=([empty]=200 [default]=30 [full]=20 [heaviest]=8); projectm_frames=100; fi

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
for kind in "${wine_kinds[@]}"; do make_tree "$bench/$kind" "build/${wine_arch[$kind]}/stage"; done
settings() {  # settings TREE SIZE LOOK
  printf "[Vizorama]\r\ndimResolution=$2\r\n${look_keys[$3]}" \
    > "$1/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"
}
# The Linux program reads its settings from its XDG folder: one of the benchmark's own.
linux_config="$bench/linux-config"
mkdir -p "$linux_config/vizorama"
# The Windows program reads its settings from %APPDATA%\Vizorama in the 64-bit prefix.
winprog_config=$(echo "$(wine_prefix win64)"/drive_c/users/*/AppData/Roaming | awk '{ print $1 }')/Vizorama
mkdir -p "$winprog_config"

# Three rounds a size, each projectM then our looks, so that a slow spell of the shared machine
# falls on both; the table shows the median of the rounds.
rounds=3
if [ -n "$quick" ]; then rounds=1; fi
declare -A fps cpu allocs
# The middle value of the arguments that are numbers ("" when none is).
median() {
  printf '%s\n' "$@" | { grep -E '^[0-9.]+$' || true; } | sort -g |
    awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else if (NR) printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() { awk -v a="${1:-0}" -v b="${2:-0}" 'BEGIN { if (a > 0 && b > 0) printf "%.3f", a / b; else printf "-" }'; }
have_projectm=
if [ -x "$projectm_bin" ] && [ -f "$projectm_preset" ]; then have_projectm=1; fi
for size in "${sizes[@]}"; do
  for round in $(seq "$rounds"); do
    # projectM's "Geiss - Approach" on the same display, in a window of the same size, fed the
    # same signal.
    if [ -n "$have_projectm" ]; then
      line=$("$projectm_bin" --preset "$projectm_preset" --size "$size" --frames "$projectm_frames" \
               --warmup 30 2>/dev/null | grep "frames per second" || true)
      fps[projectm,$size,$round]=$(sed -n 's/.*, \([0-9.]*\) frames per second.*/\1/p' <<<"$line")
    fi
    for look in "${looks[@]}"; do
      n=${frames[$look]}
      settings "$bench/native" "$size" "$look"
      line=$(build/native-release/tools/bench/vzrm_frame_bench --install "$bench/native" \
               --size "$size" --frames "$n" --warmup 10)
      fps[native,$size,$look,$round]=$(sed -n 's/.*fps=\([0-9.]*\).*/\1/p' <<<"$line")
      cpu[native,$size,$look,$round]=$(sed -n 's/.*cpu_ms_per_frame=\([0-9.]*\).*/\1/p' <<<"$line")
      allocs[$size,$look,$round]=$(sed -n 's/.*allocs_per_frame=\([0-9.]*\).*/\1/p' <<<"$line")

      for kind in "${wine_kinds[@]}"; do
        settings "$bench/$kind" "$size" "$look"
        line=$(wine_run "$kind" explorer "/desktop=vzrmbench,$size" "$bench/$kind/Winamp.exe" \
                 --flat-out --frames "$n" 2>/dev/null | tr -d '\r' | grep 'frames in' || true)
        fps[$kind,$size,$look,$round]=$(sed -n 's/.*(\([0-9.]*\) frames per second).*/\1/p' <<<"$line")
        cpu[$kind,$size,$look,$round]=$(sed -n 's/.*, \([0-9.]*\) ms of CPU a frame.*/\1/p' <<<"$line")
      done

      # The Linux program: a window of the size on the same display (GLX), flat out, the same
      # settings (the full-screen value draws the same band), the same built-in signal.
      if [ -x "$linux_bin" ]; then
        settings "$bench/native" "$size" "$look"
        cp "$bench/native/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini" "$linux_config/vizorama/"
        line=$(XDG_CONFIG_HOME="$linux_config" "$linux_bin" --signal builtin --flat-out --size "$size" \
                 --frames $((n + 10)) 2>/dev/null | grep 'frames per second' || true)
        fps[linux,$size,$look,$round]=$(sed -n 's/.*, \([0-9.]*\) frames per second.*/\1/p' <<<"$line")
      fi
      # The Windows program the same way, under 64-bit Wine on the same display.
      if [ -f "$winprog_bin" ]; then
        settings "$bench/native" "$size" "$look"
        cp "$bench/native/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini" "$winprog_config/"
        rm -f "$winprog_config/window.txt"
        line=$(WINEPREFIX=$(wine_prefix win64) "$(wine_loader win64)" "$winprog_bin" --signal builtin --flat-out \
                 --size "$size" --frames $((n + 10)) 2>/dev/null | tr -d '\r' | grep 'frames per second' || true)
        fps[winprog,$size,$look,$round]=$(sed -n 's/.*, \([0-9.]*\) frames per second.*/\1/p' <<<"$line")
      fi
    done
  done
  # The medians of the rounds, and the ratios worked out within each round (to the empty frame
  # and to projectM measured beside it), then their medians.
  fps[projectm,$size]=$(median $(for r in $(seq "$rounds"); do echo "${fps[projectm,$size,$r]:-}"; done))
  for look in "${looks[@]}"; do
    allocs[$size,$look]=$(median $(for r in $(seq "$rounds"); do echo "${allocs[$size,$look,$r]:-}"; done))
    for kind in native "${wine_kinds[@]}" linux winprog; do
      fps[$kind,$size,$look]=$(median $(for r in $(seq "$rounds"); do echo "${fps[$kind,$size,$look,$r]:-}"; done))
      cpu[$kind,$size,$look]=$(median $(for r in $(seq "$rounds"); do echo "${cpu[$kind,$size,$look,$r]:-}"; done))
      fps[$kind,$size,$look,empty]=$(median $(for r in $(seq "$rounds"); do
        ratio "${fps[$kind,$size,$look,$r]:-}" "${fps[$kind,$size,empty,$r]:-}"; echo; done))
      fps[$kind,$size,$look,projectm]=$(median $(for r in $(seq "$rounds"); do
        ratio "${fps[$kind,$size,$look,$r]:-}" "${fps[projectm,$size,$r]:-}"; echo; done))
    done
  done
done

rm -rf "$winprog_config"  # the Windows program's settings of the last run are the benchmark's, not a user's

# Start, switch and quit times under Wine in our host (the shipped plug-in): Init, Init to the
# first frame on screen, each change of the settings file to the first frame on screen that
# shows it, and Quit; in ms, the median of the rounds. The looks start as in the table; the
# switches go through the models and skies the install tree holds.
switches=(model-on:mdlOnOff=1,mdlName=Vizorama model-other:mdlName=Knot model-back:mdlName=Vizorama
          model-off:mdlOnOff=0 "sky-on:bgrOnOff=1,bgrName=Late Afternoon" sky-off:bgrOnOff=0)
switch_args=()
for change in "${switches[@]}"; do switch_args+=(--switch "$change"); done
time_columns=(init first-frame)
for change in "${switches[@]}"; do time_columns+=("${change%%:*}"); done
time_columns+=(quit)
time_size=1024x768
declare -A times
for look in default full; do
  for round in $(seq "$rounds"); do
    for kind in "${wine_kinds[@]}"; do
      settings "$bench/$kind" "$time_size" "$look"
      out=$(wine_run "$kind" explorer "/desktop=vzrmbench,$time_size" "$bench/$kind/Winamp.exe" \
              --flat-out --time-calls --switch-after 6 "${switch_args[@]}" 2>/dev/null | tr -d '\r')
      for column in "${time_columns[@]}"; do
        case $column in
          init|first-frame|quit) pattern="host: time $column " ;;
          *) pattern="host: time switch $column " ;;
        esac
        value=$({ grep -F "$pattern" <<<"$out" || true; } | head -1)
        value=${value#*"$pattern"}
        times[$kind,$look,$column,$round]=${value%% *}
      done
      times[$kind,$look,plain,$round]=$({ grep -F 'host: time switch ' <<<"$out" || true; } |
        sed -n 's/.*a plain frame \([0-9.]*\) ms.*/\1/p' | sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }')
    done

    # The same start and switches natively (the off-screen renderer, every frame finished).
    settings "$bench/native" "$time_size" "$look"
    line=$(build/native-release/tools/bench/vzrm_switch_bench --install "$bench/native" \
             --size "$time_size" --between 6 "${switch_args[@]}")
    times[native,$look,init,$round]=$(sed -n 's/.*start_ms=\([0-9.]*\).*/\1/p' <<<"$line")
    times[native,$look,first-frame,$round]=$(sed -n 's/.*first_frame_ms=\([0-9.]*\).*/\1/p' <<<"$line")
    times[native,$look,quit,$round]=$(sed -n 's/.*release_ms=\([0-9.]*\).*/\1/p' <<<"$line")
    times[native,$look,plain,$round]=$(sed -n 's/.*plain_frame_ms=\([0-9.]*\).*/\1/p' <<<"$line")
    for change in "${switches[@]}"; do
      name=${change%%:*}
      times[native,$look,$name,$round]=$(sed -n "s/.*switch:$name=\([0-9.]*\).*/\1/p" <<<"$line")
    done
  done
done

echo
echo "Flat out, full screen (the picture is the 275:116 band across the screen); median of $rounds"
echo "rounds, each round projectM then our looks. wine: the $arch build in our host$([ "${#wine_kinds[@]}" -gt 1 ] &&
  echo "; wine64: the win64 build in our host, under 64-bit Wine"); native: the off-screen"
echo "renderer; linux: the Linux program (vizorama) in a window of the size on the same Xvfb display"
echo "(GLX); winprog: the Windows program (vizorama.exe, 64-bit) in a window of the size under 64-bit"
echo "Wine on the same display. fps; /empty: fraction of the empty frame's fps at the same size; /pM: fraction of"
echo "projectM's fps at the same size in the same round; cpu: CPU ms a frame (all threads);"
echo "allocs: operator new calls a frame after warm-up. The projectM row: libprojectM"
echo "$(pkg-config --modversion libprojectM 2>/dev/null || echo '?'), \"Geiss - Approach\", in a window of the size on the same display (GLX)."
# One group of columns for each Wine build, then native, allocations and the Linux program.
cells() {  # cells KIND SIZE LOOK: fps, /empty, /pM and cpu of one run kind
  printf '|%7s %6s %6s %6s ' "${fps[$1,$2,$3]:--}" "${fps[$1,$2,$3,empty]:--}" \
    "${fps[$1,$2,$3,projectm]:--}" "${cpu[$1,$2,$3]:--}"
}
header=$(printf '%-9s %-8s' size look)
for kind in "${wine_kinds[@]}" native; do header+=$(printf '|%7s %6s %6s %6s ' "$kind" /empty /pM cpu); done
header+=$(printf '|%6s |%7s %6s %6s |%7s %6s %6s' allocs linux /empty /pM winprog /empty /pM)
echo "$header"
for size in "${sizes[@]}"; do
  line=$(printf '%-9s %-8s' "$size" projectM)
  for kind in "${wine_kinds[@]}" native; do line+=$(printf '|%7s %6s %6s %6s ' - - - -); done
  echo "$line$(printf '|%6s |%7s %6s %6s |%7s %6s %6s' - "${fps[projectm,$size]:--}" - 1.000 - - -)"
  for look in "${looks[@]}"; do
    line=$(printf '%-9s %-8s' "$size" "$look")
    for kind in "${wine_kinds[@]}" native; do line+=$(cells "$kind" "$size" "$look"); done
    line+=$(printf '|%6s |%7s %6s %6s |%7s %6s %6s' "${allocs[$size,$look]:--}" "${fps[linux,$size,$look]:--}" \
              "${fps[linux,$size,$look,empty]:--}" "${fps[linux,$size,$look,projectm]:--}" \
              "${fps[winprog,$size,$look]:--}" "${fps[winprog,$size,$look,empty]:--}" \
              "${fps[winprog,$size,$look,projectm]:--}")
    echo "$line"
  done
done

echo
echo "Start, switch and quit, ms at $time_size, median of $rounds: init: the Init call; first-frame: from"
echo "the call of Init to the first frame on screen; a switch: from the settings file written to the"
echo "first frame on screen that shows it (model-on: Vizorama, model-other: Knot, model-back:"
echo "Vizorama again, sky-on: Late Afternoon); plain: a frame that loads nothing; quit: the Quit"
echo "call. wine: our host, the $arch plug-in$([ "${#wine_kinds[@]}" -gt 1 ] && echo "; wine64: the win64 one");"
echo "native: the off-screen renderer (quit: the release)."
header=$(printf '%-14s' "")
for column in "${time_columns[@]}" plain; do header+=$(printf ' %11s' "$column"); done
echo "$header"
for kind in "${wine_kinds[@]}" native; do
  for look in default full; do
    line=$(printf '%-14s' "$kind $look")
    for column in "${time_columns[@]}" plain; do
      value=$(median $(for r in $(seq "$rounds"); do echo "${times[$kind,$look,$column,$r]:-}"; done))
      line+=$(printf ' %11s' "${value:--}")
    done
    echo "$line"
  done
done

# Automatic changes of look: our looks in turn, a change every 2 seconds for a minute at
# 1024x768 (the settings' shortest interval is 5 s: the test build runs the looks' clock at 250%),
# under Wine in our host with the test build of the plug-in, and natively (a change every 40
# frames, the off-screen renderer). Each change's frame against a plain frame of the look it
# brought; the Wine row also gives the 99th percentile of all frames.
echo
echo "Automatic changes of look at $time_size, our looks in turn, ms (median of $rounds rounds):"
echo "frames: all frames' median, p99 and longest; changes: the change frames' median and"
echo "longest; change/plain: a change frame over the median frame of its look, median and largest."
printf '  %-8s %8s %8s %8s %8s %8s %8s %8s\n' "" median p99 longest change longest c/p c/p-max
declare -A auto
looks_settings() {  # looks_settings TREE: the first of our looks, changing by the timer every 5 s
  local first
  first=$(ls "$1/Plugins/vis_vzrm/Looks/" | head -1)
  { printf "[Vizorama]\r\ndimResolution=$time_size\r\nlookChange=Timer\r\nlookSeconds=5\r\n"
    printf "lookOrder=In Turn\r\nlookName=${first%.ini}\r\n"
    tail -n +2 "$1/Plugins/vis_vzrm/Looks/$first"; } > "$1/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"
}
for round in $(seq "$rounds"); do
  for kind in "${wine_kinds[@]}"; do
    tree="$bench/$kind-looks"
    make_tree "$tree" "build/${wine_arch[$kind]}/stage"
    cp "build/${wine_arch[$kind]}/plugin/vis_vzrm_testhooks.dll" "$tree/Plugins/vis_vzrm.dll"
    looks_settings "$tree"
    line=$(wine_run "$kind" explorer "/desktop=vzrmbench,$time_size" "$tree/Winamp.exe" --flat-out \
             --time-calls --seconds "$([ -n "$quick" ] && echo 20 || echo 60)" --look-clock-percent 250 \
             2>/dev/null | tr -d '\r' | grep -F 'host: time frames' || true)
    read -r -a v <<<"$(sed -n 's/.*frames [0-9]* median \([0-9.]*\) ms p99 \([0-9.]*\) ms longest \([0-9.]*\) ms; look changes [0-9]* median \([0-9.]*\) ms longest \([0-9.]*\) ms;.*median \([0-9.]*\) largest \([0-9.]*\)/\1 \2 \3 \4 \5 \6 \7/p' <<<"$line")"
    for i in 0 1 2 3 4 5 6; do auto[$kind,$i,$round]=${v[$i]:-}; done
  done
  tree="$bench/native-looks"
  make_tree "$tree" build/native-release/stage
  looks_settings "$tree"
  line=$(build/native-release/tools/bench/vzrm_switch_bench --install "$tree" --size "$time_size" \
           --between 40 --look-changes "$([ -n "$quick" ] && echo 10 || echo 30)")
  # look:NAME=T/P fields: the change frames (T) and their ratios (T/P), as median and largest.
  fields=$(grep -o 'look:[^ ]*' <<<"$line" | sed 's/.*=//' || true)
  changes=$(awk -F/ '{ print $1 }' <<<"$fields")
  ratios=$(awk -F/ '$2 > 0 { printf "%.2f\n", $1 / $2 }' <<<"$fields")
  auto[native,3,$round]=$(median $changes)
  auto[native,4,$round]=$(sort -g <<<"$changes" | tail -1)
  auto[native,5,$round]=$(median $ratios)
  auto[native,6,$round]=$(sort -g <<<"$ratios" | tail -1)
done
for kind in "${wine_kinds[@]}" native; do
  line=$(printf '  %-8s' "$kind")
  for i in 0 1 2 3 4 5 6; do
    value=$(median $(for r in $(seq "$rounds"); do echo "${auto[$kind,$i,$r]:-}"; done))
    line+=$(printf ' %8s' "${value:--}")
  done
  echo "$line"
done

if [ -x "$linux_bin" ] && command -v pulseaudio >/dev/null; then
  echo
  echo "The Linux program's sound to picture latency (a private PulseAudio server's null sink,"
  echo "scripts/latency-linux.sh; on this display):"
  VZRM_USE_DISPLAY=1 bash scripts/latency-linux.sh build/native-release "$([ -n "$quick" ] && echo 4 || echo 10)" |
    sed 's/^/  /'
fi

if [ -f "$winprog_bin" ] && [ -x build/native-release/linux/vzrm_latency_probe ] && command -v pulseaudio >/dev/null; then
  echo
  echo "The Windows program's sound to picture latency (under 64-bit Wine, a private PulseAudio"
  echo "server's null sink recorded through its monitor's capture endpoint, scripts/latency-winprog.sh):"
  VZRM_USE_DISPLAY=1 bash scripts/latency-winprog.sh build/win64 build/native-release \
    "$([ -n "$quick" ] && echo 4 || echo 10)" | sed 's/^/  /'
fi

if [ -z "$quick" ]; then
  echo
  echo "Resident memory (native, 160 x 120 window, so that 20,000 frames take minutes):"
  for look in default full; do
    printf "[Vizorama]\r\n${look_keys[$look]}" > "$bench/native/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"
    line=$(build/native-release/tools/bench/vzrm_frame_bench --install "$bench/native" \
             --size 160x120 --frames 20000 --warmup 0 --rss-at 1000 --rss-at 20000)
    printf '  %-8s %s\n' "$look" "$(grep -o 'rss_kb.*' <<<"$line")"
  done
fi

echo
echo "The benchmark took $(( (SECONDS - started) / 60 )) min $(( (SECONDS - started) % 60 )) s."
