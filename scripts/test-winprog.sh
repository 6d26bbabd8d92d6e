#!/usr/bin/env bash
# The Windows program's tier: vizorama.exe (the 64-bit build) under 64-bit Wine on a private X
# display, its sound through a private PulseAudio server that this script starts and stops itself
# (a null sink as the default output). Wine's sound driver maps the server's sinks and sources to
# endpoints. Debian's Wine 8 has no loopback capture (the output refuses it), so what is played
# is recorded through the capture endpoint on the null sink's monitor; the loopback call itself
# is exercised on Windows only. Keys and clicks go to the window through xdotool; the pictures
# are X screenshots, kept in BUILD_DIR/program-test/.
# Run by ctest in the 64-bit Wine session of scripts/test.sh (which has Xvfb and a wineserver
# up); run alone, it starts that session itself.
# Usage: scripts/test-winprog.sh [BUILD_DIR]   (default build/win64)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=$(cd "${1:-build/win64}" && pwd)
program="$build/program/vizorama.exe"
out="$build/program-test"
rm -rf "$out"
mkdir -p "$out"
if [ ! -f "$program" ]; then
  echo "test-winprog: $program is missing (the win64 build makes it)"
  exit 1
fi
source scripts/wine-session.sh
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then wine_session_start win64; fi
loader=${WINE_LOADER:-$(wine_loader win64)}
# The private sound server (scripts/linux-session.sh's), in a folder of this run.
source scripts/linux-session.sh
VZRM_SESSION=$(mktemp -d /tmp/vizorama-winprog.XXXXXX)
export VZRM_SESSION
finish() { linux_sound_stop; rm -rf "$VZRM_SESSION"; }
trap 'finish; wine_session_stop' EXIT
linux_sound_start
pactl set-default-source "$VZRM_SINK.monitor"
start_time=$(date +%s)

failures=0
pass() { echo "  ok    $1"; }
fail() { echo "  FAIL  $1"; failures=$((failures + 1)); }
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
holds() { awk "BEGIN { exit !(($1) $2 ($3)) }"; }
winpath() { echo "Z:${1//\//\\}"; }
run() { "$loader" "$program" "$@"; }
# start ARGS... &: the program in the background, $! its own process.
start() { exec "$loader" "$program" "$@"; }
# The user's folder the program keeps its files in, emptied for each case.
user_folder=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming | awk '{ print $1 }')/Vizorama
settings="$user_folder/vis_vzrm_config.ini"
fresh_user() { rm -rf "$user_folder"; }
setting() { sed -n "s/^$1=//p" "$settings" | tr -d '\r'; }
window_of() {  # window_of PID: waits for the program's window, prints its id
  local id
  for _ in $(seq 300); do
    id=$(xdotool search --all --onlyvisible --pid "$1" --name '^Vizorama$' 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
wait_for() {  # wait_for SECONDS COMMAND...: until the command holds
  local until=$(( $(date +%s) + $1 )); shift
  while ! "$@"; do [ "$(date +%s)" -ge "$until" ] && return 1; sleep 0.1; done
}
mean_of() {  # mean brightness 0..1 of an image, or of a region (mean_of FILE WxH+X+Y)
  if [ -n "${2:-}" ]; then convert "$1" -crop "$2" +repage -colorspace gray -format '%[fx:mean]' info:
  else convert "$1" -colorspace gray -format '%[fx:mean]' info:; fi
}
# The inside of the window (below the title bar Wine draws without a window manager).
inside() { timeout 20 import -window "$1" -crop 960x405+4+23 +repage "$2"; }
corner() { inside "$1" "$out/$2.png"; mean_of "$out/$2.png" 300x30+0+0; }
# Levels of a frame log (frame time left right lead) between two times (ns): "median max"
levels_between() {
  awk -v from="$2" -v to="$3" '$2 >= from && $2 <= to { print ($3 + $4) / 2 }' "$1" | sort -n |
    awk '{ v[NR] = $1 } END { if (NR == 0) print "0 0"; else print v[int((NR + 1) / 2)], v[NR] }'
}
now_ns() { date +%s%N; }  # the frame log's clock: the wall clock
geometry_of() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }

sox -V1 -n -r 44100 -c 2 -b 16 "$out/tone.wav" synth 2 sine 440 vol 0.5
tone_level=81  # twice the mean absolute 8-bit sample of a sine at half of full scale

echo "== the program's options"
check "--version prints the version" bash -c "'$loader' '$program' --version | tr -d '\r' | grep -qx 'vizorama [0-9.]*'"
said=$(run --frames 0 2>&1 >/dev/null); code=$?
check "a bad option: one line, code 2 ($said)" bash -c "[ $code -eq 2 ] && [ \$(printf '%s\n' \"$said\" | wc -l) -eq 1 ]"
run --list-sources 2>/dev/null | tr -d '\r' > "$out/sources.txt"
monitor=$(awk -F'\t' '/^Monitor of/ && /an input/ { print $1; exit }' "$out/sources.txt")
check "--list-sources lists the outputs and the monitor's capture endpoint ($monitor)" \
  bash -c "[ -n '$monitor' ] && grep -q 'an output: what it plays, the default' '$out/sources.txt'"

echo "== music played into the sound server moves the picture (the monitor's capture endpoint)"
fresh_user
start --source "$monitor" --frames 100000 --frame-log "$(winpath "$out/capture.log")" >/dev/null 2>"$out/capture.err" &
pid=$!
wid=$(window_of $pid) || fail "the window opens"
sleep 2
inside "$wid" "$out/silent.png"
tone_from=$(now_ns)
paplay "$out/tone.wav" &
play=$!
sleep 1
inside "$wid" "$out/windowed.png"
wait $play
tone_to=$(now_ns)
sleep 0.5
kill $pid; wait $pid 2>/dev/null
read -r _ silent_max < <(levels_between "$out/capture.log" 0 "$tone_from")
awk -v a="$tone_from" -v b="$tone_to" '$2 >= a && $2 <= b && $3 > 0' "$out/capture.log" > "$out/tone.log"
read -r tone_median _ < <(levels_between "$out/tone.log" 0 "$tone_to")
echo "  levels: silence max $silent_max, tone $tone_median (played at $tone_level)"
check "nothing played: level 0" test "$silent_max" = 0
check "the tone moves the picture at the level it was played (within 10 %)" \
  bash -c "awk 'BEGIN { exit !($tone_median >= $tone_level * 0.9 && $tone_median <= $tone_level * 1.1) }'"
silent_mean=$(mean_of "$out/silent.png"); tone_mean=$(mean_of "$out/windowed.png")
echo "  brightness: silent $silent_mean, with the tone $tone_mean"
check "the picture is brighter with music than in silence" holds "$tone_mean" ">" "$silent_mean * 1.2"

echo "== failures show in the window and the scene runs on silence"
# shows NAME ARGS...: the program with ARGS until its frame log (NAME.log) has 20 frames; then
# its window's message corner is saved (NAME.png, its brightness in $panel) and Escape ends it
# (its exit code in $code).
shows() {
  local name=$1; shift
  start "$@" --frames 100000 --frame-log "$(winpath "$out/$name.log")" >/dev/null 2>"$out/$name.err" &
  pid=$!
  wid=$(window_of $pid) || fail "the window opens"
  wait_for 30 bash -c "[ \$(cat '$out/$name.log' 2>/dev/null | wc -l) -ge 20 ]"
  panel=$(corner "$wid" "$name")
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  xdotool key Escape
  wait_for 10 bash -c "! kill -0 $pid 2>/dev/null" || kill $pid
  wait $pid; code=$?
}
silent_log() { [ "$(awk '$3 > 0 || $4 > 0' "$out/$1.log" | wc -l)" -eq 0 ] && [ "$(wc -l < "$out/$1.log")" -ge 20 ]; }
fresh_user
shows loopback-refused  # the default output, recorded by loopback: Wine's refuses it
check "an output that refuses loopback: said in the window (corner $panel), silence, code 0" \
  bash -c "[ $code -eq 0 ] && grep -q 'cannot record' '$out/loopback-refused.err' && awk 'BEGIN { exit !($panel > 0.03) }'"
check "... the scene ran on silence" silent_log loopback-refused
PULSE_SERVER=unix:$VZRM_SESSION/nothing.socket shows no-server
check "no sound server: 'no audio device' in the window (corner $panel), code 0" \
  bash -c "[ $code -eq 0 ] && grep -q 'no audio device' '$out/no-server.err' && awk 'BEGIN { exit !($panel > 0.03) }'"
check "... the scene ran on silence" silent_log no-server
fresh_user
# A folder where the settings file should be: it cannot be read, and must be left as it is.
mkdir -p "$settings"
touch "$settings/keep"
shows unreadable --signal builtin
check "an unreadable settings file: said in the window (corner $panel), left as it is, code 0" \
  bash -c "[ $code -eq 0 ] && grep -q 'cannot read' '$out/unreadable.err' && awk 'BEGIN { exit !($panel > 0.03) }' && [ -e '$settings/keep' ]"
rm -rf "$settings"

echo "== keys change the settings file and the picture; F covers the screen"
fresh_user
start --signal builtin --frames 100000 >/dev/null 2>"$out/keys.err" &
pid=$!
wid=$(window_of $pid) || fail "the window opens"
xdotool windowfocus --sync "$wid" 2>/dev/null || true
sleep 1
key() { xdotool key "$@"; sleep 0.7; }
check "the settings file is written at the start (%APPDATA%\\Vizorama)" test "$(setting oscType)" = Waveform
key o; check "O: next oscilloscope type (No Filter)" test "$(setting oscType)" = "No Filter"
key shift+o; check "shift+O: back to Waveform" test "$(setting oscType)" = Waveform
inside "$wid" "$out/keys-before.png"
key b
wait_for 10 bash -c "[ \"\$(sed -n 's/^bgrOnOff=//p' '$settings' | tr -d '\r')\" = 1 ]"
sleep 1.5
inside "$wid" "$out/sky.png"
dark() { convert "$1" -colorspace gray -threshold 2% -negate -format '%[fx:mean]' info:; }
before=$(dark "$out/keys-before.png"); sky=$(dark "$out/sky.png")
echo "  black background fraction: without a sky $before, with B's sky $sky"
check "B: a sky in the settings file ($(setting bgrName)) and in the picture" \
  bash -c "[ '$(setting bgrOnOff)' = 1 ] && awk 'BEGIN { exit !($before > 0.08 && $sky < 0.02) }'"
# The looks' keys: ours beside the program, the user's own settings saved first as "My look".
key Right
wait_for 10 bash -c "[ -n \"\$(sed -n 's/^lookName=//p' '$settings' | tr -d '\r')\" ]"
shown=$(setting lookName)
check "Right: one of our looks ($shown), after the user's settings were saved as My look" \
  bash -c "[ -f '$build/program/Looks/$shown.ini' ] && grep -q 'bgrOnOff=1' '$user_folder/Looks/My look.ini'"
key Left
wait_for 10 bash -c "[ \"\$(sed -n 's/^lookName=//p' '$settings' | tr -d '\r')\" = 'My look' ]"
check "Left: back to My look, saved once only" \
  bash -c "[ '$(setting lookName)' = 'My look' ] && [ \$(ls '$user_folder/Looks' | wc -l) = 1 ]"
key a; check "A: the look changes by the timer" test "$(setting lookChange)" = Timer
key a; key a; check "A twice more: on the beat, then off" test "$(setting lookChange)" = Off
key h
sleep 0.5
inside "$wid" "$out/overlay.png"
panel=$(mean_of "$out/overlay.png" 300x30+0+0)
check "H shows the overlay of keys (corner $panel)" holds "$panel" ">" 0.05
key h
key f
wait_for 10 bash -c "[ \"\$(xwininfo -id $wid | awk '/Width:/ { w = \$2 } /Height:/ { h = \$2 } END { print w \"x\" h }')\" = 1024x768 ]"
sleep 1
full=$(geometry_of "$wid")
timeout 20 import -window root "$out/fullscreen.png"
# Above the window's place (it opens at y 181) the white desktop showed: now the scene does.
white=$(convert "$out/fullscreen.png" -crop 1024x170+0+0 +repage -fill black +opaque white -fill white -opaque white -format '%[fx:mean]' info:)
at=$(xwininfo -id "$wid" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } END { print x "," y }')
echo "  full screen: $full at $at, white (desktop) fraction above the window's place $white"
check "F: the window covers the whole screen, the desktop no longer shows" \
  bash -c "[ '$full' = 1024x768 ] && [ '$at' = 0,0 ] && awk 'BEGIN { exit !($white < 0.5) }'"
key Escape
wait_for 10 bash -c "[ \"\$(xwininfo -id $wid | awk '/Width:/ { print \$2 }')\" != 1024 ]"
check "Escape leaves full screen ($(geometry_of "$wid")), the program runs on" \
  bash -c "[ '$(geometry_of "$wid")' != 1024x768 ] && kill -0 $pid"
xdotool mousemove --window "$wid" 300 200 click --repeat 2 --delay 80 1
wait_for 10 bash -c "[ \"\$(xwininfo -id $wid | awk '/Width:/ { print \$2 }')\" = 1024 ]"
check "a double click: full screen ($(geometry_of "$wid"))" test "$(geometry_of "$wid")" = 1024x768
key Escape

echo "== a right click opens the configuration utility on the program's settings file"
before_ok=$(stat -c %y "$settings")
xdotool mousemove --window "$wid" 300 200 click 3
utility=
for _ in $(seq 100); do
  utility=$(xdotool search --name 'Configuration Utility' 2>/dev/null | head -1)
  [ -n "$utility" ] && break
  sleep 0.1
done
sleep 1
xdotool windowfocus --sync "$utility" 2>/dev/null || true
xdotool key Return  # OK: the settings written back
wait_for 10 bash -c "[ \"\$(stat -c %y '$settings')\" != '$before_ok' ]"
check "the utility opens, and its OK writes %APPDATA%\\Vizorama's file, none beside itself" \
  bash -c "[ -n '$utility' ] && [ \"\$(stat -c %y '$settings')\" != '$before_ok' ] && [ ! -e '$build/program/Configurations/vis_vzrm_config.ini' ]"
xdotool windowfocus --sync "$wid" 2>/dev/null || true
# A hand edit (as the utility's Apply) is taken up, and kept by the next key's write.
printf '[Vizorama]\r\nvumOnOff=0\r\nlhtStroboscope=7\r\n' > "$settings"
sleep 1
key c
check "a hand edit of the settings file is taken up and kept by the next key" \
  bash -c "[ '$(setting vumOnOff)' = 0 ] && [ '$(setting lhtStroboscope)' = 7 ]"
key Escape
wait_for 10 bash -c "! kill -0 $pid 2>/dev/null" || kill $pid
wait $pid; code=$?
check "Escape in a window quits, code 0" test $code -eq 0
check "the window's size and place are remembered ($(tr '\n' ' ' < "$user_folder/window.txt" 2>/dev/null))" \
  bash -c "grep -q '^width=960' '$user_folder/window.txt' && grep -q '^fullscreen=0' '$user_folder/window.txt'"
fresh_user

echo "test-winprog: $failures failed, in $(( $(date +%s) - start_time )) s; screenshots in $out"
[ "$failures" -eq 0 ]
