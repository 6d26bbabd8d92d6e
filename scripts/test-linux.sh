#!/usr/bin/env bash
# The Linux program's tier: vizorama in a real window on a private X display (Xvfb, OpenGL
# through GLX in Mesa), its sound through a private PulseAudio server that this script starts
# and stops itself (a null sink as the default output; paplay plays into it, parec records its
# monitor). Keys go to the window through xdotool; the pictures are X screenshots.
# Needs the native build (scripts/test.sh makes it). Screenshots are kept in build/linux-test/.
# Usage: scripts/test-linux.sh [BUILD_DIR]   (default build/native)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${1:-build/native}
bin="$root/$build/linux/vizorama"
probe="$root/$build/linux/vzrm_latency_probe"
cursor_probe="$root/$build/linux/vzrm_cursor_probe"
out="$root/build/linux-test"
rm -rf "$out"
mkdir -p "$out"
if [ ! -x "$bin" ]; then
  echo "test-linux: $bin is missing (SDL2 or libpulse not found at configure time?)"
  exit 1
fi
# Address checking stays on; the leak report is off because the display and sound libraries
# keep allocations until exit in modules that are gone by then (nothing to suppress by name).
export ASAN_OPTIONS=detect_leaks=0
source scripts/linux-session.sh
linux_session_start
start_time=$(date +%s)

failures=0
pass() { echo "  ok    $1"; }
fail() { echo "  FAIL  $1"; failures=$((failures + 1)); }
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
# Comparisons of numbers (each side may be an expression): holds A OP B
holds() { awk "BEGIN { exit !(($1) $2 ($3)) }"; }

# A fresh home for each case: its own settings and user folders.
fresh_home() {
  export HOME="$VZRM_SESSION/home-$1"
  rm -rf "$HOME"
  mkdir -p "$HOME"
  unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME
  settings="$HOME/.config/vizorama/vis_vzrm_config.ini"
  remembered="$HOME/.local/state/vizorama/window"
}
# start_for_keys NAME: the program on the built-in signal, its messages in $out/NAME.err; sets
# pid and wid once its window is up and focused, ready for keys.
start_for_keys() {
  "$bin" --signal builtin --frames 100000 >/dev/null 2>"$out/$1.err" &
  pid=$!
  wid=$(window_of $pid) || fail "the window opens"
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  sleep 1
}
window_of() {  # window_of PID: waits for the program's window, prints its id
  local id
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
mean_of() {  # mean brightness 0..1 of an image (or of a region: mean_of FILE WxH+X+Y)
  if [ -n "${2:-}" ]; then convert "$1" -crop "$2" +repage -colorspace gray -format '%[fx:mean]' info:
  else convert "$1" -colorspace gray -format '%[fx:mean]' info:; fi
}
dark_of() {  # the fraction of an image's pixels that are black (the background without a sky)
  convert "$1" -colorspace gray -threshold 2% -negate -format '%[fx:mean]' info:
}
# Levels in a frame log (frame time left right latency) between two times (ns): "median max"
levels_between() {
  awk -v from="$2" -v to="$3" '$2 >= from && $2 <= to { print ($3 + $4) / 2 }' "$1" | sort -n |
    awk '{ v[NR] = $1 } END { if (NR == 0) print "0 0"; else print v[int((NR + 1) / 2)], v[NR] }'
}
now_ns() { awk '{ printf "%.0f", $1 * 1e9 }' /proc/uptime; }  # not the monotonic clock: see below
mono_ns() { python3 -c 'import time; print(time.clock_gettime_ns(time.CLOCK_MONOTONIC))'; }
wait_for() {  # wait_for SECONDS COMMAND...: until the command holds
  local until=$(( $(date +%s) + $1 )); shift
  while ! "$@"; do [ "$(date +%s)" -ge "$until" ] && return 1; sleep 0.1; done
}

# Test sounds: a 440 Hz tone at half of full scale (the picture's level for it: twice the mean
# absolute 8-bit sample, 2 * 64 * 2/pi = 81), and a near full-scale square wave.
sox -V1 -n -r 44100 -c 2 -b 16 "$out/tone.wav" synth 2 sine 440 vol 0.5
sox -V1 -n -r 44100 -c 2 -b 16 "$out/short.wav" synth 1 sine 440 vol 0.5
sox -V1 -n -r 44100 -c 2 -b 16 "$out/loud.wav" synth 2 square 441 vol 0.95
printf 'RIFF\x24\x00\x00\x00WAVEjunk' > "$out/broken.wav"
tone_level=81

echo "== the program's options"
check "--version prints the version" bash -c "'$bin' --version | grep -qx 'vizorama [0-9.]*'"
"$bin" --frames 0 >/dev/null 2>&1; check "a bad option ends with code 2" test $? -eq 2
check "--list-sources lists the null sink's monitor" \
  bash -c "'$bin' --list-sources | grep -q '^$VZRM_SINK.monitor'"

echo "== music played into the sound server moves the picture"
fresh_home capture
"$bin" --frames 100000 --frame-log "$out/capture.log" >/dev/null 2>"$out/capture.err" &
pid=$!
wid=$(window_of $pid) || fail "the window opens"
sleep 2
import -window "$wid" "$out/silent.png"
tone_from=$(mono_ns)
paplay "$out/tone.wav" &
play=$!
sleep 1
import -window "$wid" "$out/windowed.png"
wait $play
tone_to=$(mono_ns)
sleep 0.5
loud_from=$(mono_ns)
paplay "$out/loud.wav"
loud_to=$(mono_ns)
read -r silent_median silent_max < <(levels_between "$out/capture.log" 0 "$tone_from")
# The frames while the tone sounded (the edges of the tone make a few frames quieter).
read -r tone_median _ < <(awk -v a="$tone_from" -v b="$tone_to" '$2 >= a && $2 <= b && $3 > 0' \
  "$out/capture.log" > "$out/tone.log"; levels_between "$out/tone.log" 0 "$tone_to")
read -r _ loud_max < <(levels_between "$out/capture.log" "$loud_from" "$loud_to")
echo "  levels: silence $silent_median (max $silent_max), tone $tone_median (expected $tone_level), loud max $loud_max"
check "nothing played: level 0" test "$silent_max" = 0
check "the tone's level equals the played samples' (within 10 %)" \
  holds "$tone_median" ">=" $((tone_level * 9 / 10))
check "... and is not above them" holds "$tone_median" "<=" $((tone_level * 11 / 10))
check "the loud square wave drives the meter to its top levels" holds "$loud_max" ">=" 120
silent_mean=$(mean_of "$out/silent.png"); tone_mean=$(mean_of "$out/windowed.png")
echo "  brightness: silent $silent_mean, with the tone $tone_mean"
check "the picture is brighter with music than in silence" holds "$tone_mean" ">" "$silent_mean * 1.2"
check "the picture differs from the silent one" \
  bash -c "[ \$(compare -metric AE -fuzz 10% '$out/silent.png' '$out/windowed.png' null: 2>&1) -gt 10000 ]"

echo "== sound to picture latency (the latency probe's tone onset to the first loud frame)"
latencies=()
for i in 1 2 3; do
  onset=$("$probe" --silence-ms 700 --tone-ms 300 | sed -n 's/^onset_ns=//p')
  sleep 0.2
  first=$(awk -v t="$onset" '$2 >= t && ($3 + $4) / 2 >= 20 { print $2; exit }' "$out/capture.log")
  if [ -n "$first" ]; then latencies+=("$(( (first - onset) / 1000000 ))"); fi
done
echo "  latency ms: ${latencies[*]:-none}"
check "every probe tone reached the picture" test "${#latencies[@]}" -eq 3
kill $pid; wait $pid 2>/dev/null

echo "== --source: another source (a second null sink's monitor stands in for a line in)"
pactl load-module module-null-sink sink_name=line_in >/dev/null
fresh_home source
"$bin" --source line_in.monitor --frames 100000 --frame-log "$out/source.log" >/dev/null 2>"$out/source.err" &
pid=$!
window_of $pid >/dev/null || fail "the window opens"
sleep 1
paplay "$out/tone.wav"  # into the default output: not what this program listens to
default_to=$(mono_ns)
paplay --device=line_in "$out/tone.wav"
line_to=$(mono_ns)
kill $pid; wait $pid 2>/dev/null
read -r _ default_max < <(levels_between "$out/source.log" 0 "$default_to")
read -r line_median _ < <(awk -v a="$default_to" -v b="$line_to" '$2 >= a && $2 <= b && $3 > 0' \
  "$out/source.log" > "$out/line.log"; levels_between "$out/line.log" 0 "$line_to")
echo "  levels: while the default output played $default_max, while the line in played $line_median"
check "the chosen source moves the picture, the default output does not" \
  bash -c "[ '$default_max' = 0 ] && awk 'BEGIN { exit !($line_median >= $tone_level * 0.9) }'"
"$bin" --source no_such_source --frames 20 >/dev/null 2>"$out/nosource.err"; code=$?
check "an unknown source: said, the scene runs on silence ($(grep -m1 'no sound source' "$out/nosource.err"))" \
  bash -c "[ $code -eq 0 ] && grep -q 'no sound source named no_such_source' '$out/nosource.err'"

echo "== following the sound setup: another default output, a server restart, a stopped server"
fresh_home follow
pactl load-module module-null-sink sink_name=other rate=44100 >/dev/null
"$bin" --frames 100000 --frame-log "$out/follow.log" >/dev/null 2>"$out/follow.err" &
pid=$!
wid=$(window_of $pid) || fail "the window opens"
sleep 1
pactl set-default-sink other
wait_for 10 grep -q 'now recording' "$out/follow.err"; moved=$?
old_from=$(mono_ns)
paplay --device="$VZRM_SINK" "$out/short.wav"  # the old default: no longer what it shows
new_from=$(mono_ns)
paplay "$out/tone.wav"
new_to=$(mono_ns)
read -r _ old_max < <(levels_between "$out/follow.log" "$old_from" "$new_from")
read -r new_median _ < <(awk -v a="$new_from" -v b="$new_to" '$2 >= a && $2 <= b && $3 > 0' \
  "$out/follow.log" > "$out/follow-tone.log"; levels_between "$out/follow-tone.log" 0 "$new_to")
echo "  levels: the old default output $old_max, the new one $new_median"
check "set-default-sink: the program follows, the new output moves the picture" \
  bash -c "[ $moved -eq 0 ] && [ '$old_max' = 0 ] && awk 'BEGIN { exit !($new_median >= $tone_level * 0.9) }'"
corner() { import -window "$wid" "$out/$1.png"; mean_of "$out/$1.png" 200x40+10+10; }
linux_sound_stop
wait_for 10 grep -q 'lost the sound server' "$out/follow.err"; lost=$?
lost_panel=$(corner server-lost)
linux_sound_start
wait_for 10 grep -q 'the sound server is back' "$out/follow.err"; back=$?
back_from=$(mono_ns)
paplay "$out/tone.wav"
back_to=$(mono_ns)
read -r back_median _ < <(awk -v a="$back_from" -v b="$back_to" '$2 >= a && $2 <= b && $3 > 0' \
  "$out/follow.log" > "$out/back-tone.log"; levels_between "$out/back-tone.log" 0 "$back_to")
echo "  after the restart: level $back_median; the window's message corner $lost_panel"
check "a lost server: said on stderr and in the window" \
  bash -c "[ $lost -eq 0 ] && awk 'BEGIN { exit !($lost_panel > 0.05) }'"
check "server restarted: the picture moves again, the program never restarted" \
  bash -c "[ $back -eq 0 ] && kill -0 $pid && awk 'BEGIN { exit !($back_median >= $tone_level * 0.9) }'"
# quit PID: ends the program as its window's close button does and sets quit_ms to how long it
# took to end (10 ms steps; after 10 s it is killed). The clock is date's: a Python start (as in
# mono_ns) takes a second under load.
quit() {
  local from to state
  from=$(date +%s%N)
  kill -TERM "$1"
  for _ in $(seq 1000); do
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)
    [ -z "$state" ] || [ "$state" = Z ] && break
    sleep 0.01
  done
  to=$(date +%s%N)
  kill -9 "$1" 2>/dev/null
  wait "$1" 2>/dev/null
  quit_ms=$(( (to - from) / 1000000 ))
}
kill -STOP "$LINUX_PULSE_PID"
sleep 0.5
quit $pid
stopped_ms=$quit_ms
timeout 20 "$bin" --list-sources >/dev/null 2>"$out/list-stopped.err"; code=$?
kill -CONT "$LINUX_PULSE_PID"
echo "  quit while the server is stopped (SIGSTOP): $stopped_ms ms"
check "Quit while the server is stopped: the program ends (in $stopped_ms ms)" holds "$stopped_ms" "<" 5000
check "--list-sources while the server is stopped: says so, code 1" \
  bash -c "[ $code -eq 1 ] && grep -q 'does not answer' '$out/list-stopped.err'"

echo "== a 48 kHz output in floats is recorded as it is"
pactl load-module module-null-sink sink_name=hifi rate=48000 format=float32le >/dev/null
sox -V1 -n -r 48000 -c 2 -b 16 "$out/tone48.wav" synth 2 sine 440 vol 0.5
fresh_home hifi
"$bin" --source hifi.monitor --frames 100000 --frame-log "$out/hifi.log" >/dev/null 2>"$out/hifi.err" &
pid=$!
window_of $pid >/dev/null || fail "the window opens"
sleep 1
recorded_format=$(pactl list source-outputs | sed -n 's/^\s*Sample Specification: //p' | head -1)
hifi_from=$(mono_ns)
paplay --device=hifi "$out/tone48.wav"
hifi_to=$(mono_ns)
kill $pid; wait $pid 2>/dev/null
read -r hifi_median _ < <(awk -v a="$hifi_from" -v b="$hifi_to" '$2 >= a && $2 <= b && $3 > 0' \
  "$out/hifi.log" > "$out/hifi-tone.log"; levels_between "$out/hifi-tone.log" 0 "$hifi_to")
echo "  recorded as: $recorded_format; the tone's level $hifi_median"
check "a 48 kHz float output: recorded at 48 kHz in floats, the tone at its level" \
  bash -c "[ '$recorded_format' = 'float32le 2ch 48000Hz' ] && awk 'BEGIN { exit !($hifi_median >= $tone_level * 0.9 && $hifi_median <= $tone_level * 1.1) }'"

echo "== in step with what is heard: a pipe sink that a \"speaker\" reads at the real-time rate"
# The server reports the pipe's fill as the output's latency (about 360 ms); the speaker notes
# when it reads the first loud sample of each probe tone: when it is heard.
pactl load-module module-pipe-sink sink_name=spk file="$VZRM_SESSION/spk.fifo" format=s16le rate=44100 channels=2 >/dev/null
"$probe" --speaker "$VZRM_SESSION/spk.fifo" >"$out/speaker.log" &
speaker=$!
pactl set-default-sink spk
fresh_home instep
"$bin" --frames 100000 --frame-log "$out/instep.log" >/dev/null 2>"$out/instep.err" &
pid=$!
window_of $pid >/dev/null || fail "the window opens"
sleep 2
offsets=(); periods=()
for _ in $(seq 10); do
  from=$(mono_ns)
  "$probe" --silence-ms 600 --tone-ms 250 >/dev/null
  sleep 0.3
  heard=$(sed -n 's/^heard_ns=//p' "$out/speaker.log" | awk -v t="$from" '$1 >= t { print; exit }')
  read -r shown drawn < <(awk -v t="$from" '$2 >= t && ($3 + $4) / 2 >= 20 { print $2, $2 - p; exit } { p = $2 }' "$out/instep.log")
  if [ -n "$heard" ] && [ -n "$shown" ]; then
    offsets+=("$(( (shown - heard) / 1000000 ))")
    periods+=("$(( drawn / 1000000 ))")
  fi
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print NR ? v[int((NR + 1) / 2)] : "-" }'; }
lead=$(awk '$5 > 0 { print int($5 / 1000) }' "$out/instep.log" | sort -n | awk '{ v[NR] = $1 } END { print NR ? v[int((NR + 1) / 2)] : 0 }')
sleep 1  # nothing plays: the pipe sink stops writing, its monitor stops delivering
quit $pid
idle_ms=$quit_ms
kill $speaker 2>/dev/null; wait $speaker 2>/dev/null
pactl set-default-sink "$VZRM_SINK"
echo "  the output's reported lead over the speaker: median $lead ms"
echo "  first frame showing the tone minus when it was heard (ms): ${offsets[*]:-none}"
echo "  median $(median "${offsets[@]}") ms; those frames took $(median "${periods[@]}") ms (median) to draw"
echo "  quit with the monitor no longer delivering: $idle_ms ms"
check "every probe tone was heard and shown" test "${#offsets[@]}" -eq 10
check "the picture shows what is heard (median $(median "${offsets[@]}") ms from it; the monitor leads by $lead ms)" \
  bash -c "awk 'BEGIN { m = $(median "${offsets[@]}" | sed 's/^-$/-9999/'); exit !(m > -150 && m < 300) }'"
check "Quit while the monitor delivers nothing: the program ends (in $idle_ms ms)" holds "$idle_ms" "<" 5000

echo "== --wav plays the file audibly and shows it"
fresh_home wav
# Small fragments: what parec holds when it is stopped is not lost.
parec --latency-msec=20 --device="$VZRM_SINK.monitor" --file-format=wav "$out/heard.wav" &
rec=$!
# Recording before the program starts: silence comes in first.
wait_for 5 bash -c "[ \$(stat -c %s '$out/heard.wav' 2>/dev/null || echo 0) -gt 20000 ]"
t0=$(date +%s.%N)
"$bin" --wav "$out/tone.wav" --frame-log "$out/wav.log" 2>"$out/wav.err"
code=$?
t1=$(date +%s.%N)
sleep 1
kill -INT $rec; wait $rec 2>/dev/null
check "the program ends with the file, code 0" test $code -eq 0
heard_rms=$(sox "$out/heard.wav" -n stat 2>&1 | awk '/RMS *amplitude/ { print $3 }')
sox "$out/heard.wav" "$out/heard-trimmed.wav" silence 1 0.01 1% reverse silence 1 0.01 1% reverse
# On a machine too busy to feed the server in time, the sound stops and goes on where it stopped
# (an underrun): the gaps lengthen the sound's span but are no sound played. The length counted
# is the sound's own, gaps of more than 30 ms taken out.
sox "$out/heard-trimmed.wav" "$out/heard-sound.wav" silence -l 1 0.01 1% -1 0.03 1%
heard_span=$(soxi -D "$out/heard-trimmed.wav")
heard_length=$(soxi -D "$out/heard-sound.wav")
echo "  heard: $heard_length s of sound at RMS $heard_rms over $heard_span s (played: 2 s of a sine at 0.5, RMS 0.354)"
trimmed_rms=$(sox "$out/heard-trimmed.wav" -n stat 2>&1 | awk '/RMS *amplitude/ { print $3 }')
check "the song was heard at its level" holds "$trimmed_rms" ">" 0.33
check "... not louder" holds "$trimmed_rms" "<" 0.37
check "... for its whole length" holds "$heard_length" ">" 1.95
check "... and no longer" holds "$heard_length" "<" 2.2
read -r wav_median _ < <(levels_between "$out/wav.log" 0 99999999999999999)
check "the picture took the file's samples (level $wav_median)" \
  holds "$wav_median" ">=" $((tone_level * 85 / 100))
check "the run lasted the song (plus start-up)" holds "$t1 - $t0" ">=" 1.95
# Ended from outside after 4 s (SIGINT closes the program as its window's close button does).
timeout --preserve-status -s INT 4 "$bin" --wav "$out/short.wav" --loop --frame-log "$out/loop.log" >/dev/null 2>&1
code=$?
last_level=$(tail -1 "$out/loop.log" | awk '{ print ($3 + $4) / 2 }')
span=$(awk 'NR == 1 { a = $2 } { b = $2 } END { printf "%.2f", (b - a) / 1e9 }' "$out/loop.log")
echo "  --loop: frames over $span s of a 1 s file, the last at level $last_level"
check "--loop plays on past the file's end (and SIGINT ends it, code 0)" \
  bash -c "[ $code -eq 0 ] && awk 'BEGIN { exit !($span > 1.5 && $last_level > 40) }'"

echo "== keys change the settings file and the picture"
fresh_home keys
export XDG_DATA_HOME="$HOME/data"
mkdir -p "$XDG_DATA_HOME/vizorama/Skyboxes"
# The user's sky is named to sort right after our first ("Late Afternoon" < "Lunar Sky" <
# "Midnight"), so that the second B reaches it.
cp -r "$root/$build/stage/Plugins/vis_vzrm/Skyboxes/Late Afternoon" "$XDG_DATA_HOME/vizorama/Skyboxes/Lunar Sky"
start_for_keys keys
key() { xdotool key "$@"; sleep 0.7; }
setting() { sed -n "s/^$1=//p" "$settings" | tr -d '\r'; }
check "the settings file is written at the start" test "$(setting oscType)" = Waveform
import -window "$wid" "$out/keys-before.png"
key o; check "O: next oscilloscope type (No Filter)" test "$(setting oscType)" = "No Filter"
key shift+o; check "shift+O: back to Waveform" test "$(setting oscType)" = "Waveform"
key c; check "C: next camera (View From Above)" test "$(setting camPosition)" = "View From Above"
key v; check "V: next meter type (Beam)" test "$(setting vumType)" = "Beam"
key t; check "T: feathers on" test "$(setting tofOnOff)" = 1
key s s; check "S twice: two stroboscope steps" test "$(setting lhtStroboscope)" = 2
key shift+s shift+s
key b
check "B: skybox on, the first (ours)" bash -c "[ '$(setting bgrOnOff)' = 1 ] && [ '$(setting bgrName)' = 'Late Afternoon' ]"
sleep 0.5
import -window "$wid" "$out/sky.png"
key b
check "B again: the user's own sky from XDG_DATA_HOME" test "$(setting bgrName)" = "Lunar Sky"
sleep 0.5
import -window "$wid" "$out/my-sky.png"
before=$(dark_of "$out/keys-before.png"); sky=$(dark_of "$out/sky.png"); mine=$(dark_of "$out/my-sky.png")
echo "  black background fraction: without a sky $before, our sky $sky, the user's sky $mine"
check "the sky fills the background" bash -c "awk 'BEGIN { exit !($before > 0.2 && $sky < 0.02) }'"
check "the user's sky loads its pictures (not white faces)" \
  bash -c "awk 'BEGIN { exit !($mine < 0.02 && $(mean_of "$out/my-sky.png") < 0.6) }'"
printf '[Vizorama]\r\nvumOnOff=0\r\nbgrOnOff=0\r\n' > "$settings"
sleep 0.5
key n
check "a hand edit is taken up and kept by the next key" \
  bash -c "[ '$(setting vumOnOff)' = 0 ] && [ '$(setting bgrOnOff)' = 0 ]"
# N loaded a model, which on a busy machine may still be loading: the keys after it wait their
# turn, so each check waits (up to 10 s) for what it looks for before it judges.
overlay_panel() { import -window "$wid" "$out/overlay.png"; mean_of "$out/overlay.png" 200x40+10+10; }
overlay_shown() { holds "$(overlay_panel)" ">" 0.05; }
window_is() { [ "$(xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')" = "$1" ]; }
key h
wait_for 10 overlay_shown || true
panel=$(overlay_panel)
echo "  overlay corner brightness $panel"
check "H shows the overlay of keys (text in its corner)" holds "$panel" ">" 0.05

echo "== looks: Right, Left and A"
looks="$XDG_DATA_HOME/vizorama/Looks"
mkdir -p "$looks"
printf '[Vizorama]\r\nvumOnOff=1\r\nvumType=Beam\r\n' > "$looks/Test Beam.ini"
printf '[Vizorama]\r\noscRenderingMode=Plain\r\n' > "$looks/Test Plain.ini"
printf 'lookOrder=In Turn\r\n' >> "$settings"
sleep 0.5
own_mode=$(setting oscRenderingMode)
key Right
check "Right: the next look, its keys and name in the settings file" \
  bash -c "[ '$(setting lookName)' = 'Test Beam' ] && [ '$(setting vumType)' = Beam ] && [ '$(setting vumOnOff)' = 1 ]"
check "... after the user's own settings were saved as My look" \
  bash -c "grep -q 'oscRenderingMode=$own_mode' '$looks/My look.ini' && ! grep -q dimWidth '$looks/My look.ini'"
import -window "$wid" "$out/look-caption.png"
key Left
check "Left: back to the look before (My look)" \
  bash -c "[ '$(setting lookName)' = 'My look' ] && [ '$(setting vumOnOff)' = 0 ]"
check "... saved once only" test "$(ls "$looks" | wc -l)" = 3
key a; check "A: the look changes by the timer" test "$(setting lookChange)" = Timer
key a; check "A again: on the beat" test "$(setting lookChange)" = Beat
key a; check "A again: off" test "$(setting lookChange)" = Off
key o; check "a choice's key makes the settings the user's own again" \
  bash -c "[ -z '$(setting lookName)' ] && grep -q '^lookName=' '$settings'"

echo "== full screen"
key f
wait_for 10 window_is 1024x768 || true
sleep 0.3
read -r fw fh < <(xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
import -window root "$out/fullscreen.png"
white=$(convert "$out/fullscreen.png" -fill black +opaque white -fill white -opaque white -format '%[fx:mean]' info:)
echo "  full screen: ${fw}x${fh}, white (root) fraction $white"
check "F: the window covers the whole screen" test "${fw}x${fh}" = 1024x768
check "... and nothing of the desktop shows" holds "$white" "<" 0.01
key Escape
wait_for 10 window_is 960x405 || true
read -r ww wh < <(xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
check "Escape: back in the window (${ww}x${wh})" bash -c "[ '${ww}x${wh}' = 960x405 ] && kill -0 $pid"
xdotool mousemove --window "$wid" 300 200 click --repeat 2 --delay 80 1
wait_for 10 window_is 1024x768 || true
read -r dw dh < <(xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
check "a double click: full screen (${dw}x${dh})" test "${dw}x${dh}" = 1024x768
key Escape
key Escape
wait_for 5 bash -c "! kill -0 $pid 2>/dev/null" || kill $pid
wait $pid; code=$?
check "Escape in a window quits, code 0" test $code -eq 0

echo "== the desktop: the cursor, --display, the window remembered, minimised"
# The cursor at the pointer, as the X server shows it (screenshots leave it out): shown or hidden.
cursor() { "$cursor_probe" | awk '{ print $1 }'; }
cursor_is() { [ "$(cursor)" = "$1" ]; }
geometry_of() {  # the window's inside: X Y WIDTH HEIGHT
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}
"$bin" --display 9 >/dev/null 2>"$out/display.err"; code=$?
check "--display of a display not there: code 2, one line ($(head -1 "$out/display.err"))" \
  bash -c "[ $code -eq 2 ] && [ \$(wc -l < '$out/display.err') -eq 1 ] && grep -q 'has 1 display' '$out/display.err'"

fresh_home cursor
"$bin" --signal builtin --frames 100000 --display 1 >/dev/null 2>"$out/cursor.err" &
pid=$!
wid=$(window_of $pid) || fail "the window opens"
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool mousemove --window "$wid" 200 150
wait_for 5 cursor_is shown; check "in a window the cursor shows while the pointer moves ($(cursor))" cursor_is shown
wait_for 10 cursor_is hidden; check "... and hides once it has rested 2 s ($(cursor))" cursor_is hidden
xdotool mousemove --window "$wid" 240 170
wait_for 5 cursor_is shown; check "... and shows again when it moves ($(cursor))" cursor_is shown
xdotool key f
wait_for 10 window_is 1024x768 || true
xdotool mousemove 500 400 mousemove 520 410
sleep 0.5
full=$(window_is 1024x768 && echo yes); state=$(cursor)
check "in full screen (--display 1) the cursor is hidden, also while the pointer moves ($state)" \
  bash -c "[ '$full' = yes ] && [ '$state' = hidden ]"
kill $pid; wait $pid 2>/dev/null

fresh_home remembered
start_for_keys remembered
xdotool windowsize "$wid" 800 500 windowmove "$wid" 40 30
sleep 1
read -r first_geometry < <(geometry_of "$wid")
kill $pid; wait $pid; code=$?
echo "  the window's inside at the end of the first run: $first_geometry; remembered: $(tr '\n' ' ' < "$remembered")"
start_for_keys remembered-2
read -r second_geometry < <(geometry_of "$wid")
check "the next start opens it where it was, as large ($second_geometry)" \
  bash -c "[ $code -eq 0 ] && [ '$second_geometry' = '$first_geometry' ]"
key f
wait_for 10 window_is 1024x768 || true
kill $pid; wait $pid 2>/dev/null
start_for_keys remembered-3
wait_for 10 window_is 1024x768; check "full screen at the end: the next start is full screen" window_is 1024x768
key Escape
wait_for 10 window_is 800x500 || true
read -r back_geometry < <(geometry_of "$wid")
check "... and Escape goes back to the remembered window ($back_geometry)" test "$back_geometry" = "$first_geometry"
kill $pid; wait $pid 2>/dev/null
"$bin" --signal builtin --frames 100000 --size 640x360 >/dev/null 2>"$out/remembered-size.err" &
pid=$!
wid=$(window_of $pid) || fail "the window opens"
wait_for 10 window_is 640x360 || true
read -r sx sy sw sh < <(geometry_of "$wid")
kill $pid; wait $pid 2>/dev/null
check "--size wins over the remembered size, in the remembered place ($sx $sy ${sw}x$sh)" \
  test "$sx $sy ${sw}x$sh" = "${first_geometry% * *} 640x360"
printf 'x=5000\ny=-4000\nwidth=700\nheight=300\nfullscreen=0\n' > "$remembered"
start_for_keys remembered-lost
read -r lx ly lw lh < <(geometry_of "$wid")
kill $pid; wait $pid 2>/dev/null
check "a window that would be off the display opens on it ($lx $ly ${lw}x$lh)" \
  bash -c "[ ${lw}x$lh = 700x300 ] && [ $lx -ge 0 ] && [ $ly -ge 0 ] && [ $((lx + lw)) -le 1024 ] && [ $((ly + lh)) -le 768 ]"

fresh_home minimised
"$bin" --signal builtin --frames 100000 --frame-log "$out/minimised.log" >/dev/null 2>"$out/minimised.err" &
pid=$!
wid=$(window_of $pid) || fail "the window opens"
sleep 1
lines() { wc -l < "$out/minimised.log"; }
xdotool windowminimize --sync "$wid"
# Until a frame under way when it went is out.
settled() { local a; a=$(lines); sleep 0.5; [ "$(lines)" -eq "$a" ]; }
wait_for 10 settled || true
minimised_at=$(lines)
sleep 2
still=$(lines)
xdotool windowactivate "$wid" 2>/dev/null || xdotool windowmap "$wid"
wait_for 10 bash -c "[ \$(wc -l < '$out/minimised.log') -gt $((still + 5)) ]"
restored=$(lines)
echo "  frames logged: $minimised_at once minimised, $still 2 s later, $restored after the restore"
check "minimised: no frames drawn" test "$still" -eq "$minimised_at"
check "... restored: frames drawn again" test "$restored" -gt $((still + 5))
kill $pid; wait $pid; code=$?
check "... and it ends as usual (code $code)" test $code -eq 0

echo "== without the parts it needs"
fresh_home broken
"$bin" --wav "$out/broken.wav" 2>"$out/broken.err"; code=$?
check "a broken WAV: code 2 and why ($(head -1 "$out/broken.err"))" \
  bash -c "[ $code -eq 2 ] && grep -qi 'wav' '$out/broken.err'"
"$bin" --wav "$out/missing.wav" 2>"$out/missing.err"; code=$?
check "a missing WAV: code 2 and why" bash -c "[ $code -eq 2 ] && grep -q 'cannot open' '$out/missing.err'"
check "... and no window was opened, no settings written" test ! -e "$settings"
"$bin" --frames 100000 >/dev/null 2>"$out/gone.err" &
pid=$!
window_of $pid >/dev/null || fail "the window opens"
sleep 1
linux_sound_stop
wait_for 10 grep -q 'lost the sound server' "$out/gone.err"; said=$?
sleep 0.5
kill -0 $pid 2>/dev/null; alive=$?
kill $pid 2>/dev/null; wait $pid 2>/dev/null
check "the sound server going away: said once, the scene runs on" \
  bash -c "[ $said -eq 0 ] && [ $alive -eq 0 ] && [ \$(grep -c 'lost the sound server' '$out/gone.err') -eq 1 ]"
"$bin" --frames 30 --frame-log "$out/noserver.log" >/dev/null 2>"$out/noserver.err"; code=$?
echo "  $(head -1 "$out/noserver.err")"
check "no sound server: one line saying so, the scene runs on silence" \
  bash -c "[ $code -eq 0 ] && [ \$(wc -l < '$out/noserver.err') -le 2 ] && grep -q 'no sound server' '$out/noserver.err' && [ \$(wc -l < '$out/noserver.log') -eq 30 ]"
"$bin" --wav "$out/short.wav" 2>"$out/noserver-wav.err"; code=$?
check "no sound server: --wav still shows the file, to its end" \
  bash -c "[ $code -eq 0 ] && grep -q 'no sound server' '$out/noserver-wav.err'"
"$bin" --list-sources >/dev/null 2>&1; code=$?
check "no sound server: --list-sources says so, code 1" test $code -eq 1
linux_sound_start

fresh_home unwritable
touch "$HOME/not-a-folder"
export XDG_CONFIG_HOME="$HOME/not-a-folder"
start_for_keys unwritable
import -window "$wid" "$out/unwritable-before.png"
key b
import -window "$wid" "$out/unwritable-sky.png"
kill $pid; wait $pid 2>/dev/null
echo "  $(head -1 "$out/unwritable.err")"
check "an unwritable config folder: said once, keys still work for the session" \
  bash -c "grep -q 'last until the program ends' '$out/unwritable.err' && awk 'BEGIN { exit !($(dark_of "$out/unwritable-sky.png") < 0.02 && $(dark_of "$out/unwritable-before.png") > 0.2) }'"
unset XDG_CONFIG_HOME

fresh_home unreadable
mkdir -p "$HOME/.config/vizorama"
# A settings "file" that is a folder cannot be read, also by root (whom permissions do not stop).
mkdir "$settings"
touch "$settings/keep"
start_for_keys unreadable
wait_for 10 overlay_shown || true
panel=$(overlay_panel)
mv "$out/overlay.png" "$out/unreadable-message.png"
check "an unreadable settings file: said in the window (corner brightness $panel)" holds "$panel" ">" 0.05
key o
# Closing the window through the window manager (its Alt+F4) ends the program.
key alt+F4
wait_for 5 bash -c "! kill -0 $pid 2>/dev/null" || kill $pid
wait $pid; code=$?
check "closing the window quits, code 0" test $code -eq 0
check "an unreadable settings file: said, and left as it was" \
  bash -c "grep -q 'cannot read' '$out/unreadable.err' && [ -d '$settings' ] && [ -e '$settings/keep' ] && [ -z \"\$(ls '$HOME/.config/vizorama' | grep -v '^vis_vzrm_config.ini\$')\" ]"
if [ "$(id -u)" -ne 0 ]; then
  fresh_home unreadable-file
  mkdir -p "$HOME/.config/vizorama"
  printf '[Vizorama]\r\noscType=Sine Filter\r\n' > "$settings"
  chmod 000 "$settings"
  "$bin" --signal builtin --frames 20 >/dev/null 2>"$out/unreadable-file.err"
  chmod 600 "$settings"
  check "an unreadable settings file (permissions): never written over" \
    bash -c "grep -q 'cannot read' '$out/unreadable-file.err' && grep -q 'Sine Filter' '$settings' && [ \$(wc -l < '$settings') -eq 2 ]"
fi

fresh_home linked
mkdir -p "$HOME/.config/vizorama" "$HOME/dotfiles"
printf '[Vizorama]\r\noscType=Sine Filter\r\n' > "$HOME/dotfiles/vizorama.ini"
ln -s ../../dotfiles/vizorama.ini "$settings"
start_for_keys linked
key o
kill $pid; wait $pid 2>/dev/null
check "a settings file that is a link stays one, and the file it leads to takes the key's change" \
  bash -c "[ -L '$settings' ] && grep -q 'oscType=Cosine Filter' '$HOME/dotfiles/vizorama.ini' && [ \$(ls -A '$HOME/dotfiles' | wc -l) -eq 1 ]"

fresh_home missing-model
mkdir -p "$HOME/.config/vizorama"
printf '[Vizorama]\r\nmdlOnOff=1\r\nmdlName=Nowhere\r\n' > "$settings"
start_for_keys missing-model
wait_for 10 overlay_shown || true
panel=$(overlay_panel)
mv "$out/overlay.png" "$out/missing-model.png"
kill $pid; wait $pid 2>/dev/null
check "a model that will not load: said on stderr and in the window" \
  bash -c "grep -q 'Error: Failed loading Model.ase!' '$out/missing-model.err' && awk 'BEGIN { exit !($panel > 0.05) }'"

echo "== tier 5: $failures failure(s), $(( $(date +%s) - start_time )) s; screenshots in $out"
[ "$failures" -eq 0 ]
