#!/usr/bin/env bash
# Sound to picture latency of the Linux program: it listens to the monitor of a private
# PulseAudio server's null sink (as it listens to what a desktop plays) while a probe plays
# silence and then a loud tone into that sink and notes when the tone's first sample plays
# (CLOCK_MONOTONIC plus the server's reported latency). The program's frame log gives when the
# first frame that shows the tone was on the screen (after its swap). Prints each probe and the
# median. A figure, never a test: nothing fails on it.
# Usage: scripts/latency-linux.sh [BUILD_DIR] [PROBES]   (default build/native-release, 10)
#   Uses the current DISPLAY when VZRM_USE_DISPLAY=1, else a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${1:-build/native-release}
probes=${2:-10}
source scripts/linux-session.sh
linux_session_start
export HOME="$VZRM_SESSION/home"
mkdir -p "$HOME"
log="$VZRM_SESSION/frames.log"
"$build/linux/vizorama" --frame-log "$log" >/dev/null 2>"$VZRM_SESSION/vizorama.err" &
pid=$!
sleep 3
latencies=()
for _ in $(seq "$probes"); do
  onset=$("$build/linux/vzrm_latency_probe" --silence-ms 600 --tone-ms 250 | sed -n 's/^onset_ns=//p')
  sleep 0.2
  ms=$(awk -v t="$onset" '$2 >= t && ($3 + $4) / 2 >= 20 { printf "%.0f", ($2 - t) / 1e6; exit }' "$log")
  latencies+=("${ms:--}")
done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
frame_ms=$(awk 'NR > 1 { s += ($2 - p) / 1e6; n++ } { p = $2 } END { if (n) printf "%.1f", s / n }' "$log")
median=$(printf '%s\n' "${latencies[@]}" | grep -v '^-$' | sort -n |
         awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }')
echo "sound to picture (ms), $probes probes: ${latencies[*]}"
echo "median ${median} ms; a frame every ${frame_ms} ms on average (load average $(cut -d' ' -f1 /proc/loadavg))"
