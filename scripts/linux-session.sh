# Sourced by the Linux program's tests, benchmark and demo: a private X display (Xvfb, OpenGL
# through GLX in Mesa) with a window manager (openbox), and a private PulseAudio server with a
# null sink as its default output, all stopped at the end, also on failure.
#   linux_session_start       VZRM_SCREEN sets the screen (default 1024x768x24);
#                             VZRM_USE_DISPLAY=1 keeps the current display
#   linux_session_stop
# Afterwards: DISPLAY, PULSE_SERVER (unix:PATH), VZRM_SINK (the null sink's name) and
# VZRM_SESSION (a private folder, also HOME and XDG_RUNTIME_DIR of the sound server).

linux_session_start() {
  VZRM_SESSION=$(mktemp -d /tmp/vizorama-session.XXXXXX)
  export VZRM_SESSION
  if [ -z "${VZRM_USE_DISPLAY:-}" ]; then
    source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
    xvfb_start 110
    LINUX_XVFB_PID=$XVFB_STARTED_PID
    # A window manager, as on any desktop: full screen is a request to it (EWMH).
    # Started again should it end before it has taken the display (full screen needs it).
    for _ in 1 2 3; do
      HOME="$VZRM_SESSION" openbox --sm-disable >"$VZRM_SESSION/openbox.log" 2>&1 &
      LINUX_WM_PID=$!
      for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        kill -0 "$LINUX_WM_PID" 2>/dev/null || break
        sleep 0.05
      done
      kill -0 "$LINUX_WM_PID" 2>/dev/null && break
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
      echo "linux session: the window manager did not start ($(tail -n 1 "$VZRM_SESSION/openbox.log"))" >&2
  fi
  linux_sound_start
  trap linux_session_stop EXIT
}

# The sound server alone (tests stop and start it to take it away from the program).
linux_sound_start() {
  export VZRM_SINK=vizorama_test
  export PULSE_SERVER="unix:$VZRM_SESSION/pulse.socket"
  mkdir -p "$VZRM_SESSION/pulse-home" "$VZRM_SESSION/pulse-runtime"
  chmod 700 "$VZRM_SESSION/pulse-runtime"
  # As root without a system service: a private home and runtime folder, no autospawn, no
  # idle exit; clients come in through our own socket without a cookie.
  HOME="$VZRM_SESSION/pulse-home" XDG_RUNTIME_DIR="$VZRM_SESSION/pulse-runtime" \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    -L "module-null-sink sink_name=$VZRM_SINK rate=44100" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$VZRM_SESSION/pulse.socket" \
    -L "module-always-sink" >"$VZRM_SESSION/pulse.log" 2>&1 &
  LINUX_PULSE_PID=$!
  for _ in $(seq 200); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
  pactl set-default-sink "$VZRM_SINK" >/dev/null 2>&1 || true
}

linux_sound_stop() {
  if [ -n "${LINUX_PULSE_PID:-}" ]; then
    kill "$LINUX_PULSE_PID" 2>/dev/null || true
    wait "$LINUX_PULSE_PID" 2>/dev/null || true
  fi
  LINUX_PULSE_PID=
}

linux_session_stop() {
  linux_sound_stop
  if [ -n "${LINUX_WM_PID:-}" ]; then
    kill "$LINUX_WM_PID" 2>/dev/null || true
    wait "$LINUX_WM_PID" 2>/dev/null || true
  fi
  LINUX_WM_PID=
  if [ -n "${LINUX_XVFB_PID:-}" ]; then
    kill "$LINUX_XVFB_PID" 2>/dev/null || true
    wait "$LINUX_XVFB_PID" 2>/dev/null || true
  fi
  LINUX_XVFB_PID=
  [ -n "${VZRM_SESSION:-}" ] && rm -rf "$VZRM_SESSION"
  VZRM_SESSION=
}
