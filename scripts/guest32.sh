#!/usr/bin/env bash
# The 32-bit tier: the files users download, run under 32-bit Wine. That is exactly the stripped
# files scripts/package.sh puts into the 32-bit zip and setup program (dist/), with our 32-bit host
# (build/win32) as Winamp.exe, and the 32-bit Win32 test programs driving them.
#
# Where this machine cannot run 32-bit programs, they run in an emulated x86-64 guest whose Linux
# runs them (Debian 12 with 32-bit Wine, booted once per run in QEMU; its disk image is made by
# scripts/guest32/image.sh on the first run and kept in ~/.cache/vizorama/guest32). Elsewhere
# they run under the machine's own 32-bit Wine.
#
# The frames of the default and the full scene are then compared with the same frames of the
# 64-bit build (build/win64, run here under 64-bit Wine).
#
# --guest takes the emulated guest even where this machine runs 32-bit programs, to try that
# route on any machine (the first run makes the image: 25 minutes or so).
#
# Usage: scripts/guest32.sh [--skip-setup] [--guest] [gtest filter]   (after building win32 and
#        packaging)
# Prints "N passed, N failed"; exits non-zero when a test failed.
source "$(dirname "$0")/common.sh"
guest=
if [ "${1:-}" = "--guest" ]; then guest=1; shift; fi

# What runs of the Win32 test program (tests/win32), as a gtest filter: setup installing and
# uninstalling, the frames of both scenes, Render from another thread, hostile files, 20 stops
# and starts, the utility's pages, Apply and a second copy, the module header, a first start's
# settings. The rest of the program does not run here, for time (one to three frames a second):
# the 2000-frame settings run and those needing the test build of the plug-in (OtherHosts.*,
# Scene.*, RenderWindow.EachStartFailure...), the nine-picture model runs (Model.*), full screen
# and window driving (RenderWindow.*), the host's own messages (HostRun.*), the other utility
# and setup dialogs (ConfigTool.*, ConfigEndToEnd.*, Installer.*), and Wine's profile functions
# against ours (ProfileDifferential.*); the Wine tier runs them all on the same sources.
guest_tests=(
  Installer.InstallsTheStagedTreeKeepsSettingsRunsAndUninstalls
  'Frames.*'
  'HostileFiles.*'
  LongRun.StartsAndStopsEndHoldingWhatTheFirstLeftBehind
  ConfigTool.PagesShowTheFileAndCancelOrResetThenCancelLeaveItUntouched
  ConfigTool.ApplyAndOkWriteWhatThePagesShowAndKeepTheRestOfTheFile
  'PluginModule.*'
  HostRun.StartsWritesEveryKeyInOrderAndStops
)
filter=${1:-$(IFS=:; echo "${guest_tests[*]}")}

version=$(sed -n 's/^VZRM_VERSION:[A-Z]*=//p' build/win32/CMakeCache.txt 2>/dev/null || true)
zip="dist/Vizorama-$version.zip"
setup="dist/Vizorama-$version-setup.exe"
tests=build/win32/tests/win32
for f in "$zip" "$setup" build/win32/stage/Winamp.exe "$tests/win32_tests.exe"; do
  [ -f "$f" ] || { echo "guest32: $f is missing: build win32, then package" >&2; exit 1; }
done

# The files going in, laid out where the tests expect them.
run="$root/build/guest32"
in="$run/in" out="$run/out"
rm -rf "$run"
mkdir -p "$in/stage" "$in/tests" "$out"
(cd "$in/stage" && unzip -q "$root/$zip")
cp build/win32/stage/Winamp.exe "$in/stage/"
cp "$setup" "$in/setup.exe"
cp "$tests/win32_tests.exe" "$tests/reader_tests.exe" "$tests/standin_configurator.exe" \
   "$tests/wine_gl_probe.exe" \
   build/win32/plugin/vis_vzrm_testhooks.dll "$in/tests/"
cp -r tests/models "$in/tests/models"
cp -r fuzz/seeds "$in/seeds"
cp scripts/guest32/tests.sh "$in/tests.sh"

source scripts/wine-session.sh
started=$(date +%s)
status=0
if [ -z "$guest" ] && can_run_32bit; then
  echo "== 32-bit tier: under this machine's 32-bit Wine"
  (wine_session_start win32 && bash "$in/tests.sh" "$in" "$out" "$filter") || status=$?
else
  why="this machine cannot run 32-bit programs"
  [ -z "$guest" ] || why="asked for with --guest"
  echo "== 32-bit tier: in an emulated guest ($why)"
  image=$(bash scripts/guest32/image.sh)
  echo "guest32: image ready after $(( $(date +%s) - started )) s"
  source scripts/guest32/boot.sh
  printf 'VZRM_IN_GUEST=1 VZRM_TIME_SCALE=20 exec bash /mnt/in/tests.sh /mnt/in /mnt/out %q\n' \
    "$filter" > "$in/main.sh"
  booted=$(date +%s)
  guest_boot "$image" "$in" "$out" || status=$?
  echo "guest32: guest ran $(( $(date +%s) - booted )) s (status $status)"
  cat "$out/console.log" 2>/dev/null || true
  if [ "$status" = 125 ]; then
    echo "guest32: the guest did not run the tests; its console:"
    tail -n 30 "$out/serial.log" || true
  fi
fi
passed=0 failed=0
for log in win32_tests reader_tests; do
  cat "$out/$log.log" 2>/dev/null || echo "guest32: no $log.log"
  passed=$((passed + $(cat "$out/$log.log" 2>/dev/null | grep -c '^\[       OK \]' || true)))
  failed=$((failed + $(cat "$out/$log.log" 2>/dev/null |
                       grep -cE '^\[  FAILED  \] .* \([0-9]+ ms\)$' || true)))
done
if grep -q 'loads, no problems' "$out/asecheck.log" 2>/dev/null; then
  passed=$((passed + 1))
else
  echo "guest32: the shipped model checker did not pass the tests' model:"
  cat "$out/asecheck.log" 2>/dev/null || true
  failed=$((failed + 1))
fi
[ "$status" = 0 ] || [ "$failed" != 0 ] || failed=1  # ended without saying which test failed

# The frames against the 64-bit build's.
compare_status=0
bash scripts/guest32/compare.sh "$out/screenshots" || compare_status=$?
case "$compare_status" in
  0) passed=$((passed + 1)) ;;
  *) failed=$((failed + 1)) ;;
esac
echo "guest32: $(( $(date +%s) - started )) s in all"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
