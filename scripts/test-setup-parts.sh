#!/usr/bin/env bash
# The setup program's part "On its own" (the Windows program into the 64-bit Program Files) and
# its two parts together, in a 64-bit prefix: the InstallerProgram.* cases of the 64-bit Win32
# test program. The setup they run is the shipped 32-bit one (dist/, made again when its sources
# are newer) where this machine runs 32-bit programs, as on 64-bit Windows (WoW64); elsewhere the
# 64-bit test build of the same script (BUILD_DIR/dist, made by the ctest fixture setup_program).
# Run by ctest in the 64-bit Wine session of scripts/test.sh; run alone, it starts that session.
# Usage: scripts/test-setup-parts.sh [BUILD_DIR]   (default build/win64)
source "$(dirname "$0")/common.sh" --skip-setup
build=$(cd "${1:-build/win64}" && pwd)
version=$(sed -n 's/^VZRM_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
if can_run_32bit; then
  setup="$root/dist/Vizorama-$version-setup.exe"
  if [ ! -f "$setup" ] || [ -n "$(find installer "$build/program" build/win32/stage/Plugins \
                                     -newer "$setup" -print -quit 2>/dev/null)" ]; then
    bash scripts/package.sh --skip-setup --arch win32 --no-build >/dev/null
  fi
  echo "test-setup-parts: the shipped 32-bit setup in a 64-bit prefix"
else
  setup="$build/dist/Vizorama-$version-setup.exe"
  echo "test-setup-parts: this machine cannot run 32-bit programs: the 64-bit test build of setup"
fi
source scripts/wine-session.sh
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then wine_session_start win64; fi
loader=${WINE_LOADER:-$(wine_loader win64)}
winpath() { echo "Z:${1//\//\\}"; }
tests="$build/tests/win32"
"$loader" "$tests/win32_tests.exe" --stage="$(winpath "$build/stage")" \
  --standin="$(winpath "$tests/standin_configurator.exe")" \
  --testhooks="$(winpath "$build/plugin/vis_vzrm_testhooks.dll")" \
  --screenshots="$(winpath "$build/screenshots")" --setup="$(winpath "$setup")" \
  --gtest_filter='InstallerProgram.*' </dev/null
