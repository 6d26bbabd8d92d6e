#!/usr/bin/env bash
# Sound to picture latency of the Windows program (vizorama.exe, the 64-bit build) under 64-bit
# Wine, measured as for the Linux program (scripts/latency-linux.sh) on a private PulseAudio
# server's null sink: the Linux latency probe plays silence and then a loud tone into the sink
# and notes when the tone's first sample plays; the program records the sink's monitor through
# its capture endpoint (Wine 8 has no loopback) and its frame log gives when the first frame
# that shows the tone was on the screen. The probe's clock is the monotonic one, the frame log's
# the wall clock (the one both sides of Wine share): the difference is taken once.
# Prints each probe and the median. A figure, never a test: nothing fails on it.
# Usage: scripts/latency-winprog.sh [WIN64_BUILD_DIR] [NATIVE_BUILD_DIR] [PROBES]
#   (default build/win64, build/native-release, 10). Uses the current DISPLAY when
#   VZRM_USE_DISPLAY=1, else a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${1:-build/win64}
native=${2:-build/native-release}
probes=${3:-10}
program="$root/$build/program/vizorama.exe"
probe="$root/$native/linux/vzrm_latency_probe"
source scripts/wine-session.sh
wine_session_start win64
source scripts/linux-session.sh
VZRM_SESSION=$(mktemp -d /tmp/vizorama-winlatency.XXXXXX)
export VZRM_SESSION
trap 'linux_sound_stop; rm -rf "$VZRM_SESSION"; wine_session_stop' EXIT
linux_sound_start
pactl set-default-source "$VZRM_SINK.monitor"
median() { printf '%s\n' "$@" | grep -v '^-$' | sort -n | awk '{ v[NR] = $1 } END { print NR ? v[int((NR + 1) / 2)] : "-" }'; }

# The program's own settings and window, fresh: the default look in a window of the default size.
rm -rf "$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming | awk '{ print $1 }')/Vizorama"
monitor=$("$WINE_LOADER" "$program" --list-sources 2>/dev/null | tr -d '\r' |
  awk -F'\t' '/^Monitor of/ && /an input/ { print $1; exit }')
log="$VZRM_SESSION/frames.log"
(exec "$WINE_LOADER" "$program" --source "$monitor" --frame-log "Z:${log//\//\\}" >/dev/null 2>&1) &
pid=$!
sleep 4
# Wall clock minus monotonic clock, in ns.
offset=$(python3 -c 'import time; print(time.time_ns() - time.monotonic_ns())')
results=()
for _ in $(seq "$probes"); do
  heard=$("$probe" --silence-ms 600 --tone-ms 250 | sed -n 's/^onset_ns=//p')
  sleep 0.3
  wall=$((heard + offset))
  ms=$(awk -v t="$wall" -v f="$((wall - 700000000))" \
    '$2 >= f && ($3 + $4) / 2 >= 20 { printf "%.0f", ($2 - t) / 1e6; exit }' "$log")
  results+=("${ms:--}")
done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
frame_ms=$(awk 'NR > 1 { s += ($2 - p) / 1e6; n++ } { p = $2 } END { if (n) printf "%.1f", s / n }' "$log")
echo "null sink, through the monitor's capture endpoint: sound to picture (ms), $probes probes: ${results[*]}"
echo "  median $(median "${results[@]}") ms; a frame every ${frame_ms} ms on average (load average $(cut -d' ' -f1 /proc/loadavg))"
