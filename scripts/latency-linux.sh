#!/usr/bin/env bash
# Sound to picture latency of the Linux program, in two set-ups of a private PulseAudio server:
# - a null sink (no latency of its own): a probe plays silence and then a loud tone into it and
#   notes when the tone's first sample plays (CLOCK_MONOTONIC plus the server's reported
#   latency); the program's frame log gives when the first frame that shows the tone was on the
#   screen (after its swap);
# - a pipe sink read by a "speaker" at the real-time rate (an output with a real, reported
#   latency, about 360 ms, as Bluetooth or a busy ALSA device has): the speaker notes when it
#   reads the tone's first loud sample, when it is heard. The picture should show it then, not
#   when the monitor hands it over.
# Prints each probe, the median, and the output's lead as the program took it. A figure, never a
# test: nothing fails on it.
# Usage: scripts/latency-linux.sh [BUILD_DIR] [PROBES]   (default build/native-release, 10)
#   Uses the current DISPLAY when VZRM_USE_DISPLAY=1, else a private Xvfb.
#   VZRM_PROGRAM=PATH measures another build of vizorama (an older one, say) with the same probe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${1:-build/native-release}
probes=${2:-10}
program=${VZRM_PROGRAM:-$build/linux/vizorama}
probe="$build/linux/vzrm_latency_probe"
source scripts/linux-session.sh
linux_session_start
export HOME="$VZRM_SESSION/home"
mkdir -p "$HOME"
median() { printf '%s\n' "$@" | grep -v '^-$' | sort -n | awk '{ v[NR] = $1 } END { print NR ? v[int((NR + 1) / 2)] : "-" }'; }

# measure NAME: the program on the default output, then the probes; sets results (ms a probe).
measure() {
  local log="$VZRM_SESSION/frames-$1.log" pid heard ms
  "$program" --frame-log "$log" >/dev/null 2>"$VZRM_SESSION/$1.err" &
  pid=$!
  sleep 3
  results=()
  for _ in $(seq "$probes"); do
    heard=$("$probe" --silence-ms 600 --tone-ms 250 | sed -n 's/^onset_ns=//p')
    sleep 0.3
    if [ "$1" = speaker ]; then  # when the speaker read it, not when the server says it plays
      heard=$(sed -n 's/^heard_ns=//p' "$VZRM_SESSION/heard.log" | tail -1)
    fi
    # From 700 ms before: a picture running ahead shows up, the probe before does not.
    ms=$(awk -v t="$heard" -v f="$((heard - 700000000))" \
      '$2 >= f && ($3 + $4) / 2 >= 20 { printf "%.0f", ($2 - t) / 1e6; exit }' "$log")
    results+=("${ms:--}")
  done
  kill "$pid" 2>/dev/null || true
  # An older build could hang at the end once the pipe sink stopped writing.
  ( sleep 3; kill -9 "$pid" 2>/dev/null ) >/dev/null 2>&1 &
  wait "$pid" 2>/dev/null || true
  frame_ms=$(awk 'NR > 1 { s += ($2 - p) / 1e6; n++ } { p = $2 } END { if (n) printf "%.1f", s / n }' "$log")
  lead_ms=$(awk '$5 != 0 { print int($5 / 1000) }' "$log" | sort -n | awk '{ v[NR] = $1 } END { print NR ? v[int((NR + 1) / 2)] : 0 }')
}

measure null
echo "null sink: sound to picture (ms), $probes probes: ${results[*]}"
echo "  median $(median "${results[@]}") ms; a frame every ${frame_ms} ms on average"

pactl load-module module-pipe-sink sink_name=spk file="$VZRM_SESSION/spk.fifo" format=s16le rate=44100 channels=2 >/dev/null
"$probe" --speaker "$VZRM_SESSION/spk.fifo" >"$VZRM_SESSION/heard.log" &
speaker=$!
pactl set-default-sink spk
measure speaker
kill "$speaker" 2>/dev/null || true
echo "pipe sink and speaker: first frame showing the tone minus when it was heard (ms): ${results[*]}"
echo "  median $(median "${results[@]}") ms (negative: the picture ran ahead); the output's lead as the program took it ${lead_ms} ms"
echo "  a frame every ${frame_ms} ms on average (load average $(cut -d' ' -f1 /proc/loadavg))"
