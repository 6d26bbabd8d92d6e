# Sourced by the session scripts: a private X display.
#   xvfb_start FIRST   starts Xvfb on the first free display number from FIRST, on a screen of
#                      VZRM_SCREEN (default 1024x768x24) with a white desktop (-wr), so that
#                      windows stand out in screenshots; exports DISPLAY, sets XVFB_STARTED_PID
#                      and returns once the display takes clients.
xvfb_start() {
  local n=$1
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${VZRM_SCREEN:-1024x768x24}" -nolisten tcp -wr >/dev/null 2>&1 &
  XVFB_STARTED_PID=$!
  export DISPLAY=":$n"
  # The socket appears before the server takes clients: a client that comes too early (a window
  # manager, say) fails to open the display, so wait until one can.
  for _ in $(seq 200); do
    [ -e "/tmp/.X11-unix/X$n" ] && xdpyinfo -display ":$n" >/dev/null 2>&1 && break
    sleep 0.05
  done
}
