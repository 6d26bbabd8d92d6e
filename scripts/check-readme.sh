#!/usr/bin/env bash
# Checks that what README.md tells a reader to run can run, without running the long commands
# themselves (the test command runs the demo, and CI runs the test command):
#   - every scripts/NAME.sh it names exists and parses, and every --option given to it on the
#     same line is one the script knows (its text names it);
#   - every build preset it names (cmake --preset NAME) exists;
#   - every program path below build/ it names is one the build makes (a target's output name);
#   - every picture it shows and every file or folder link exists, every #anchor is a heading.
# Prints each fault and exits 1 when there is one.
# Usage: scripts/check-readme.sh [README]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
readme=${1:-README.md}
faults=0
fault() { echo "README: $*"; faults=$((faults + 1)); }

# Script invocations, in code blocks and in `inline code`, with the options that follow them on
# the same line (up to a comment or the end of the inline code).
while IFS= read -r use; do
  script=${use%% *}
  if [ ! -f "$script" ]; then fault "$script does not exist ($use)"; continue; fi
  bash -n "$script" 2>/dev/null || fault "$script does not parse"
  for option in $(grep -oE -- '(^| )--[a-z][a-z0-9-]*' <<<"$use"); do
    grep -qF -- "$option" "$script" || fault "$script knows no option $option ($use)"
  done
done < <(grep -oE '(^|[` ])(bash )?scripts/[a-z0-9-]+\.sh( +(--?[a-zA-Z0-9][^ `#]*|[^-# `][^ `#]*))*' "$readme" |
  sed -E 's/^[` ]//; s/^bash //' | sort -u)

# Build presets.
presets=$(grep -oE '"name": *"[^"]+"' CMakePresets.json | sed -E 's/.*"([^"]+)"$/\1/' | sort -u)
for preset in $(grep -oE -- '--preset +[a-z0-9-]+' "$readme" | awk '{print $2}' | sort -u); do
  grep -qx -- "$preset" <<<"$presets" || fault "there is no build preset $preset"
done

# Programs below build/<preset>/: their file name must be a target's output in the CMake files.
for program in $(grep -oE 'build/[a-z0-9<>-]+/[A-Za-z0-9_/.<>-]*vzrm_[a-z_]+' "$readme" | sort -u); do
  name=${program##*/}
  grep -rqE --include=CMakeLists.txt "add_executable\(${name}[ )]" . ||
    fault "no build target makes $program"
done

# Pictures and links to files of the checkout.
while IFS= read -r target; do
  path=${target%%#*}
  [ -z "$path" ] && continue
  [ -e "$path" ] || fault "links to $path, which does not exist"
done < <(grep -oE '\]\([^)#:]+(#[^)]*)?\)' "$readme" | sed -E 's/^\]\(//; s/\)$//')

# Anchors within the page: GitHub's slugs of the headings.
slugs=$(grep -E '^#+ ' "$readme" | sed -E 's/^#+ +//' | tr 'A-Z' 'a-z' |
  sed -E 's/[^a-z0-9 _-]//g; s/ /-/g')
for anchor in $(grep -oE '\]\(#[^)]+\)' "$readme" | sed -E 's/^\]\(#//; s/\)$//' | sort -u); do
  grep -qx -- "$anchor" <<<"$slugs" || fault "links to #$anchor, which is no heading"
done

if [ "$faults" -gt 0 ]; then
  echo "README: $faults faults"
  exit 1
fi
echo "README: every script, option, preset, program, picture and link it names is there"
