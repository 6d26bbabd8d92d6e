# Sourced first by the commands in scripts/: source "$(dirname "$0")/common.sh"
# Strict mode; the checkout's top as $root and the current folder; scripts/setup.sh, unless the
# command's first argument is --skip-setup (then taken off its arguments); and what the commands
# share: build, and the choice of the Windows build that runs under Wine here.

set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
if [ "${1:-}" = "--skip-setup" ]; then shift; else bash scripts/setup.sh; fi

# build PRESET [-DNAME=VALUE...] [TARGET...]: configures the preset (warnings as errors under CI,
# and the cache settings given) and builds all of it, or only the targets named.
build() {
  local preset=$1 werror=OFF settings=()
  shift
  while [ $# -gt 0 ] && [[ $1 == -D* ]]; do settings+=("$1"); shift; done
  if [ -n "${CI:-}" ]; then werror=ON; fi
  cmake --preset "$preset" -DVZRM_WERROR=$werror "${settings[@]}" >/dev/null
  if [ $# -gt 0 ]; then cmake --build --preset "$preset" --target "$@"
  else cmake --build --preset "$preset"; fi
}

# Whether this machine can run 32-bit Linux programs (and so 32-bit Wine).
can_run_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The Windows build the demo, the benchmark and the long runs take: the shipped 32-bit one where
# this machine runs it, else the 64-bit one; VZRM_WINE_ARCH=win64 chooses the 64-bit build anywhere.
wine_default_arch() {
  if [ -n "${VZRM_WINE_ARCH:-}" ]; then echo "$VZRM_WINE_ARCH"
  elif can_run_32bit; then echo win32
  else echo win64; fi
}

# other_revision REV TARGETS...: builds TARGETS (native-release) in this tree and in REV's own
# work tree below build/compare/ (made once), for the commands that compare the two; sets
# revision (REV, short), work (build/compare) and tree (REV's work tree).
other_revision() {
  revision=$(git rev-parse --short "$1")
  shift
  work="$root/build/compare"
  tree="$work/tree-$revision"
  mkdir -p "$work"
  if [ ! -d "$tree" ]; then git worktree add --detach "$tree" "$revision" >/dev/null; fi
  local side
  for side in "$tree" "$root"; do
    (cd "$side" && build native-release "$@" >/dev/null)
  done
}
