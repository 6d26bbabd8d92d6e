#!/usr/bin/env bash
# Builds what users download, from the player-folder tree the build stages and the Windows
# program's folder the 64-bit build stages (build/win64/program):
#   dist/Vizorama-<version>-setup.exe    the setup program (NSIS, 32-bit like the player): the
#                                        plug-in for the player, the program on its own, or both
#   dist/Vizorama-<version>.zip          the plug-in's Plugins\... tree, to unpack by hand
#   dist/Vizorama-<version>-windows-program.zip  the program alone (Vizorama\vizorama.exe and
#                                        its assets), to unpack and run anywhere
#   dist/Vizorama-<version>-symbols.zip  debugging symbols of the shipped programs, for crash
#                                        reports (the program's below Vizorama/)
# The programs in all packages are stripped; their symbols go into the last file.
#
# With --arch win64 it builds the same setup program 64-bit from the 64-bit build, into
# build/win64/dist/, for the Wine tests on machines that cannot run 32-bit code. It is never shipped.
# The program part comes from the 64-bit build for either setup program.
#
# --no-build packages what is built as it is (the Wine tests use it to make their setup program);
# only a 64-bit program that was never built is built then.
#
# Usage: scripts/package.sh [--skip-setup] [--arch win32|win64] [--no-build]
source "$(dirname "$0")/common.sh"
arch=win32
build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) arch=$2; shift 2 ;;
    --no-build) build=0; shift ;;
    *) echo "usage: scripts/package.sh [--skip-setup] [--arch win32|win64] [--no-build]" >&2; exit 2 ;;
  esac
done
case "$arch" in
  win32) triple=i686-w64-mingw32; nsis_arch=x86; dist="$root/dist" ;;
  win64) triple=x86_64-w64-mingw32; nsis_arch=amd64; dist="$root/build/win64/dist" ;;
  *) echo "package: unknown architecture $arch (win32 or win64)" >&2; exit 2 ;;
esac
command -v makensis >/dev/null || { echo "package: makensis is missing (Debian package nsis)" >&2; exit 1; }

program_stage="$root/build/win64/program"
if [ "$build" = 1 ]; then
  build "$arch" >/dev/null
  [ "$arch" = win64 ] || build win64 vizorama_win >/dev/null
elif [ ! -f "$program_stage/vizorama.exe" ]; then
  echo "package: building the 64-bit program for the setup's program part" >&2
  build win64 vizorama_win >/dev/null
fi
version=$(sed -n 's/^VZRM_VERSION:[A-Z]*=//p' "build/$arch/CMakeCache.txt")
[ -n "$version" ] || { echo "package: no version in build/$arch/CMakeCache.txt" >&2; exit 1; }

work="$root/build/$arch/package"
tree="$work/tree"
program_tree="$work/program/Vizorama"
symbols="$work/symbols"
rm -rf "$work"
mkdir -p "$tree" "$symbols" "$dist" "$(dirname "$program_tree")"

# Everything the build staged below Plugins\ (the plug-in and its folder with the utility,
# textures, skyboxes and models), but never a settings file: setup must not replace a user's.
cp -r "build/$arch/stage/Plugins" "$tree/"
find "$tree" -name vis_vzrm_config.ini -delete
sed 's/$/\r/' installer/Readme.txt > "$tree/Plugins/vis_vzrm/Readme.txt"
# The program's folder as the build staged it; it keeps no settings beside itself.
cp -r "$program_stage" "$program_tree"
find "$program_tree" \( -name vis_vzrm_config.ini -o -name window.txt \) -delete

# Stripped programs; their debugging information in separate files that a debugger finds
# through the link each program keeps (the file's name and checksum).
# strip_programs TREE TRIPLE: TREE's programs; symbols at their paths below TREE's parent.
strip_programs() {
  local top=$1 tools=$2 program relative debug
  while IFS= read -r -d '' program; do
    relative=${program#"$(dirname "$top")/"}
    debug="$symbols/$relative.debug"
    mkdir -p "$(dirname "$debug")"
    "$tools-objcopy" --only-keep-debug "$program" "$debug"
    "$tools-strip" --strip-all "$program"
    (cd "$(dirname "$debug")" && "$tools-objcopy" --add-gnu-debuglink="$(basename "$debug")" "$program")
  done < <(find "$top" -type f \( -iname '*.dll' -o -iname '*.exe' \) -print0)
}
strip_programs "$tree/Plugins" "$triple"
strip_programs "$program_tree" x86_64-w64-mingw32

# The setup program's file lists: what to install, and what its uninstaller removes (the same
# files, then each folder deepest first, removed only when nothing else is left in it).
nsis_path() {  # a path below the tree as NSIS text: backslashes, "$" doubled
  local p=${1//\//\\}
  printf '%s' "${p//\$/\$\$}"
}
if find "$tree" "$program_tree" -name '*"*' | grep -q .; then
  echo "package: a file name holds a double quote; NSIS cannot take it" >&2
  exit 1
fi
# file_lists TOP FOLDER BASE INSTALL UNINSTALL: the lists for the tree below TOP/FOLDER, installed
# below the NSIS folder BASE ($INSTDIR or $ProgramDir) at the same paths relative to TOP.
file_lists() {
  local top=$1 from=$2 base=$3 install_list=$4 uninstall_list=$5 folder relative files file
  : > "$install_list"
  : > "$uninstall_list"
  while IFS= read -r -d '' folder; do
    relative=${folder#"$top"}
    relative=${relative#/}
    files=$(find "$folder" -maxdepth 1 -type f | LC_ALL=C sort)
    if [ -z "$files" ]; then  # an empty folder the plug-in writes into (the settings file)
      printf 'CreateDirectory "%s\\%s"\n' "$base" "$(nsis_path "$relative")" >> "$install_list"
      continue
    fi
    printf 'SetOutPath "%s%s"\n' "$base" "${relative:+\\$(nsis_path "$relative")}" >> "$install_list"
    while IFS= read -r file; do
      printf 'File "%s"\n' "$(nsis_path "$file" | sed 's/\\/\//g')" >> "$install_list"
      printf 'Delete "%s\\%s"\n' "$base" "$(nsis_path "${file#"$top/"}")" >> "$uninstall_list"
    done <<< "$files"
  done < <(find "$top${from:+/$from}" -type d -print0 | LC_ALL=C sort -z)
  printf 'SetOutPath "%s"\n' "$base" >> "$install_list"
}
install_list="$work/install.nsh"
uninstall_list="$work/uninstall.nsh"
file_lists "$tree" Plugins '$INSTDIR' "$install_list" "$uninstall_list"
find "$tree/Plugins/vis_vzrm" -mindepth 1 -type d | LC_ALL=C sort -r | while IFS= read -r folder; do
  printf 'RMDir "$INSTDIR\\%s"\n' "$(nsis_path "${folder#"$tree/"}")" >> "$uninstall_list"
done
program_install="$work/program-install.nsh"
program_uninstall="$work/program-uninstall.nsh"
file_lists "$program_tree" "" '$ProgramDir' "$program_install" "$program_uninstall"
find "$program_tree" -mindepth 1 -type d | LC_ALL=C sort -r | while IFS= read -r folder; do
  printf 'RMDir "$ProgramDir\\%s"\n' "$(nsis_path "${folder#"$program_tree/"}")" >> "$program_uninstall"
done

setup="$dist/Vizorama-$version-setup.exe"
makensis -V2 -NOCD -DVERSION="$version" -DARCH="$nsis_arch" -DOUTFILE="$setup" \
  -DFILES="$install_list" -DUNFILES="$uninstall_list" \
  -DPROGRAM_FILES="$program_install" -DPROGRAM_UNFILES="$program_uninstall" \
  -DPLUGIN_SIZE_KB="$(du -sk "$tree" | cut -f1)" -DPROGRAM_SIZE_KB="$(du -sk "$program_tree" | cut -f1)" \
  installer/Vizorama.nsi
echo "package: $setup"

if [ "$arch" = win32 ]; then
  for name in "Vizorama-$version.zip:$tree" "Vizorama-$version-windows-program.zip:$work/program" \
              "Vizorama-$version-symbols.zip:$symbols"; do
    rm -f "$dist/${name%%:*}"
    (cd "${name#*:}" && zip -q -r -X "$dist/${name%%:*}" .)
    echo "package: $dist/${name%%:*}"
  done
fi
