#!/usr/bin/env bash
# The 32-bit tier's tests, run where 32-bit Wine runs: inside the test guest (its init runs this
# script), or directly on a machine that runs 32-bit programs. IN is what scripts/guest32.sh laid
# out: stage/ (the shipped zip's files with our 32-bit host as Winamp.exe), setup.exe (the
# shipped setup program), tests/ (the 32-bit Win32 test programs and the tests' models) and
# seeds/ (the fuzzers' seeds). The results go to OUT: win32_tests.log, reader_tests.log,
# asecheck.log, screenshots/.
#   tests.sh IN OUT [gtest filter]
# In the guest it starts its own X server and wineserver on the prefix kept in the image; on a
# machine it runs in the Wine session its caller started.
set -u
in=$1 out=$2
filter=${3:-}
winpath() { printf 'Z:%s' "${1//\//\\}"; }
mkdir -p "$out/screenshots"

if [ -n "${VZRM_IN_GUEST:-}" ]; then
  # Programs are mapped into memory from their files, which 9p shares do not serve reliably
  # (large programs started with pages of zeros): the files go to the guest's memory first.
  cp -r "$in" /tmp/in
  in=/tmp/in
  export HOME=/root WINEARCH=win32 WINEPREFIX=/opt/vzrm/prefix WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  Xvfb :5 -screen 0 1024x768x24 -nolisten tcp -wr >/dev/null 2>&1 &
  export DISPLAY=:5
  for _ in $(seq 200); do [ -e /tmp/.X11-unix/X5 ] && break; sleep 0.05; done
  wineserver -p
  wine wineboot >/dev/null 2>&1 </dev/null || true
  # A program that crashes ends with its exit status instead of waiting on Wine's crash dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1 </dev/null || true
  echo "tests: wine $(wine --version) up after $(cut -d' ' -f1 /proc/uptime) s of the guest"
  # Without GL for 32-bit Wine every test below could only fail: say so once and stop.
  if ! said=$(wine "$in/tests/wine_gl_probe.exe" </dev/null 2>/dev/null); then
    echo "tests: 32-bit Wine in the guest cannot draw (${said//$'\r'/}):" \
         "the image lacks a package of scripts/wine-packages.sh"
    wineserver -k >/dev/null 2>&1 || true
    exit 1
  fi
  echo "tests: ${said//$'\r'/}"
fi

# Programs here run many times slower than on the machines the timeouts were chosen for.
scale=${VZRM_TIME_SCALE:-1}
status=0
started=$(date +%s)
wine "$in/tests/win32_tests.exe" \
  --stage="$(winpath "$in/stage")" --standin="$(winpath "$in/tests/standin_configurator.exe")" \
  --testhooks="$(winpath "$in/tests/vis_vzrm_testhooks.dll")" \
  --screenshots="$(winpath "$out/screenshots")" --setup="$(winpath "$in/setup.exe")" \
  --seeds="$(winpath "$in/seeds")" --time-scale="$scale" --cycles=20 \
  ${filter:+--gtest_filter="$filter"} </dev/null > "$out/win32_tests.log" 2>&1 || status=$?
echo "tests: win32_tests ended with $status after $(( $(date +%s) - started )) s"

# The readers' tests (their models are read from tests/models below the current folder).
started=$(date +%s)
(cd "$in" && wine "$in/tests/reader_tests.exe" --gtest_filter=-TgaImage.ReadsImageMagickFiles* \
  </dev/null > "$out/reader_tests.log" 2>&1) || status=1
echo "tests: reader_tests ended after $(( $(date +%s) - started )) s"

# The shipped model checker on the tests' model.
wine "$in/stage/Plugins/vis_vzrm/Configurations/vzrm_asecheck.exe" --strict \
  "$(winpath "$in/tests/models/Quad")" </dev/null > "$out/asecheck.log" 2>&1 || status=1

if [ -n "${VZRM_IN_GUEST:-}" ]; then
  wineserver -k >/dev/null 2>&1 || true
fi
exit "$status"
