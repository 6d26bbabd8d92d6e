#!/usr/bin/env bash
# Builds every configuration and runs every test tier:
#   1. native unit tests (portable core, under AddressSanitizer + UndefinedBehaviorSanitizer),
#      the settings tests, whose threads share the settings file, under ThreadSanitizer, and
#      each fuzz target of the file readers for a few seconds so that none can rot;
#   2. checks of the shipped 32-bit binaries (format, export, imports) and of the packages
#      (setup program, zip, symbols) that scripts/package.sh makes from them;
#   3. Win32 and end-to-end tests under Wine + Xvfb: the real DLL in our host;
#   4. the shipped 32-bit files (from dist/) under 32-bit Wine: scripts/guest32.sh, in an
#      emulated guest where this machine cannot run 32-bit programs;
#   5. the Linux program (vizorama) in a real window on Xvfb with a private PulseAudio server
#      (scripts/test-linux.sh), right after the native tests whose build it uses; then its Debian
#      package, built with Debian's flags and checked (scripts/package-linux.sh: hardening,
#      AppStream, desktop entry, icons, manual page, copyright, lintian), and built again in
#      another folder to compare the bytes (scripts/reproducible-linux.sh);
# and last the README's demo command, without a display.
# The Wine tier runs the 32-bit and the 64-bit build where this machine can run 32-bit code, and
# otherwise only the 64-bit one (some kernels cannot run 32-bit programs at all). Before each,
# a probe checks that Wine can draw for that architecture, and names what is missing if not.
# Usage: scripts/test.sh [--skip-setup] [ctest options for the Wine tier, e.g. -R HostRun]
# (with ctest options, only the Wine tier's chosen tests run after tiers 1 and 2, not tier 4)
source "$(dirname "$0")/common.sh"

echo "== native build and tests"
build native
ctest --preset native

echo "== the Linux program in a window, with a sound server (Xvfb, PulseAudio)"
bash scripts/test-linux.sh build/native

echo "== the Linux program's Debian package: built and checked, then built elsewhere to compare"
bash scripts/package-linux.sh --skip-setup
bash scripts/reproducible-linux.sh --skip-setup

echo "== settings tests under ThreadSanitizer"
build native-tsan
ctest --preset native-tsan

echo "== fuzz targets, briefly (clang, libFuzzer)"
bash scripts/fuzz.sh 12

# The Windows program is 64-bit, and the 64-bit build is what the Wine tier runs where 32-bit
# code cannot run: it is built and tested on every machine. It comes first because the shipped
# setup program (packaged by the 32-bit build's checks) carries the 64-bit program.
echo "== 64-bit Windows build"
build win64
echo "== 32-bit Windows build"
build win32
ctest --preset win32 -L binary

# Where this machine runs 32-bit programs the Wine tier runs both builds; elsewhere the 64-bit
# one, and the shipped 32-bit files run in an emulated guest below.
source scripts/wine-session.sh
if can_run_32bit; then
  wine_archs=(win32 win64)
else
  echo "== this machine cannot run 32-bit programs: the Wine tier runs the 64-bit build"
  wine_archs=(win64)
fi
for wine_arch in "${wine_archs[@]}"; do
  echo "== Wine tests ($wine_arch)"
  wine_session_start "$wine_arch"
  ctest --preset "$wine_arch" "$@"
  wine_session_stop
done

if [ $# -eq 0 ]; then
  echo "== the shipped 32-bit files"
  bash scripts/guest32.sh --skip-setup
fi

# The demo as the README starts it, here without a display: it must build what it needs from
# this run's build, draw, and save a screenshot whose scene (the window below the player's)
# is not one flat colour.
echo "== the demo command (headless)"
rm -f build/demo.png
env -u DISPLAY -u VZRM_USE_DISPLAY bash scripts/demo.sh --skip-setup >/dev/null
spread=$(convert build/demo.png -crop 500x200+60+170 +repage -colorspace Gray -format '%[fx:standard_deviation]' info:)
if awk -v s="$spread" 'BEGIN { exit !(s > 0.05) }'; then
  echo "demo: ran and drew the scene (grey spread $spread)"
else
  echo "demo: build/demo.png shows no scene (grey spread $spread)" >&2
  exit 1
fi
