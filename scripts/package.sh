#!/usr/bin/env bash
# Builds what users download, from the player-folder tree the build stages:
#   dist/Vizorama-<version>-setup.exe    the setup program (NSIS, 32-bit like the player)
#   dist/Vizorama-<version>.zip          the same Plugins\... tree, to unpack by hand
#   dist/Vizorama-<version>-symbols.zip  debugging symbols of the shipped programs, for crash reports
# The programs in both packages are stripped; their symbols go into the third file.
#
# With --arch win64 it builds the same setup program 64-bit from the 64-bit build, into
# build/win64/dist/, for the Wine tests on machines that cannot run 32-bit code. It is never shipped.
#
# --no-build packages what is built as it is (the Wine tests use it to make their setup program).
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

if [ "$build" = 1 ]; then
  build "$arch" >/dev/null
fi
version=$(sed -n 's/^VZRM_VERSION:[A-Z]*=//p' "build/$arch/CMakeCache.txt")
[ -n "$version" ] || { echo "package: no version in build/$arch/CMakeCache.txt" >&2; exit 1; }

work="$root/build/$arch/package"
tree="$work/tree"
symbols="$work/symbols"
rm -rf "$work"
mkdir -p "$tree" "$symbols" "$dist"

# Everything the build staged below Plugins\ (the plug-in and its folder with the utility,
# textures, skyboxes and models), but never a settings file: setup must not replace a user's.
cp -r "build/$arch/stage/Plugins" "$tree/"
find "$tree" -name vis_vzrm_config.ini -delete
sed 's/$/\r/' installer/Readme.txt > "$tree/Plugins/vis_vzrm/Readme.txt"

# Stripped programs; their debugging information in separate files that a debugger finds
# through the link each program keeps (the file's name and checksum).
while IFS= read -r -d '' program; do
  relative=${program#"$tree/"}
  debug="$symbols/$relative.debug"
  mkdir -p "$(dirname "$debug")"
  "$triple-objcopy" --only-keep-debug "$program" "$debug"
  "$triple-strip" --strip-all "$program"
  (cd "$(dirname "$debug")" && "$triple-objcopy" --add-gnu-debuglink="$(basename "$debug")" "$program")
done < <(find "$tree" -type f \( -iname '*.dll' -o -iname '*.exe' \) -print0)

# The setup program's file lists: what to install, and what its uninstaller removes (the same
# files, then each folder deepest first, removed only when nothing else is left in it).
nsis_path() {  # a path below the tree as NSIS text: backslashes, "$" doubled
  local p=${1//\//\\}
  printf '%s' "${p//\$/\$\$}"
}
install_list="$work/install.nsh"
uninstall_list="$work/uninstall.nsh"
: > "$install_list"
: > "$uninstall_list"
if find "$tree" -name '*"*' | grep -q .; then
  echo "package: a file name holds a double quote; NSIS cannot take it" >&2
  exit 1
fi
while IFS= read -r -d '' folder; do
  relative=${folder#"$tree/"}
  files=$(find "$folder" -maxdepth 1 -type f | LC_ALL=C sort)
  if [ -z "$files" ]; then  # an empty folder the plug-in writes into (the settings file)
    printf 'CreateDirectory "$INSTDIR\\%s"\n' "$(nsis_path "$relative")" >> "$install_list"
    continue
  fi
  printf 'SetOutPath "$INSTDIR\\%s"\n' "$(nsis_path "$relative")" >> "$install_list"
  while IFS= read -r file; do
    printf 'File "%s"\n' "$(nsis_path "$file" | sed 's/\\/\//g')" >> "$install_list"
    printf 'Delete "$INSTDIR\\%s"\n' "$(nsis_path "${file#"$tree/"}")" >> "$uninstall_list"
  done <<< "$files"
done < <(find "$tree/Plugins" -type d -print0 | LC_ALL=C sort -z)
printf 'SetOutPath "$INSTDIR"\n' >> "$install_list"
find "$tree/Plugins/vis_vzrm" -mindepth 1 -type d | LC_ALL=C sort -r | while IFS= read -r folder; do
  printf 'RMDir "$INSTDIR\\%s"\n' "$(nsis_path "${folder#"$tree/"}")" >> "$uninstall_list"
done

size_kb=$(du -sk "$tree" | cut -f1)
setup="$dist/Vizorama-$version-setup.exe"
makensis -V2 -NOCD -DVERSION="$version" -DARCH="$nsis_arch" -DOUTFILE="$setup" \
  -DFILES="$install_list" -DUNFILES="$uninstall_list" -DSIZE_KB="$size_kb" installer/Vizorama.nsi
echo "package: $setup"

if [ "$arch" = win32 ]; then
  for name in "Vizorama-$version.zip:$tree" "Vizorama-$version-symbols.zip:$symbols"; do
    rm -f "$dist/${name%%:*}"
    (cd "${name#*:}" && zip -q -r -X "$dist/${name%%:*}" .)
    echo "package: $dist/${name%%:*}"
  done
fi
