#!/usr/bin/env bash
# Builds the Debian package of the Linux program, build/dist/vizorama_<version>_amd64.deb, and
# checks it (scripts/check-linux-package.sh). In it: the program, built with Debian's flags
# (dpkg-buildflags, every hardening feature) and stripped; our generated assets; the desktop
# entry and the software centres' description (AppStream); icons from 16 to 512 pixels (a frame
# of our own scene, rendered off screen); the manual page, the copyright and the changelog. The
# dependencies are computed by dpkg-shlibdeps from the libraries the program links.
# The package is reproducible: the compiler maps the build's folder to "." (so no path of the
# build is inside, and the build ids agree), every date is the last changelog entry's
# (SOURCE_DATE_EPOCH), owners, modes and the order of files are fixed. scripts/reproducible-linux.sh
# builds it in two folders and compares the bytes.
# Usage: scripts/package-linux.sh [--skip-setup] [--no-check]
source "$(dirname "$0")/common.sh"
check=1
if [ "${1:-}" = "--no-check" ]; then check=0; shift; fi
export LC_ALL=C

# Every date in the package, and any the tools write, is the last changelog entry's.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l linux/debian/changelog -STimestamp)
export SOURCE_DATE_EPOCH

# Debian's build flags with every hardening feature, taken in this folder (their
# -ffile-prefix-map maps it to "."). The optimisation is theirs too (the preset adds -DNDEBUG).
flag() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
build linux-package \
  "-DCMAKE_C_FLAGS=$(flag CPPFLAGS) $(flag CFLAGS)" \
  "-DCMAKE_CXX_FLAGS=$(flag CPPFLAGS) $(flag CXXFLAGS)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(flag LDFLAGS)" \
  vizorama vzrm_render texture_set looks
build="$root/build/linux-package"
version=$(sed -n 's/^set(VZRM_VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
work="$root/build/package-linux"
tree="$work/vizorama_${version}_amd64"
dist="$root/build/dist"
deb="$dist/vizorama_${version}_amd64.deb"
rm -rf "$work"
mkdir -p "$tree" "$dist"

DESTDIR="$tree" cmake --install "$build" >/dev/null
# Stripped as Debian's packaging tools strip programs: no symbols, no compiler notes.
strip --remove-section=.comment --remove-section=.note "$tree/usr/bin/vizorama"

# The icons: a frame of the scene with every part on, rendered square at the largest size and
# scaled down for the others. Written without ImageMagick's dates.
mkdir -p "$work/icon/Plugins/vis_vzrm/Configurations"
cp -r "$build/stage/Plugins/vis_vzrm/." "$work/icon/Plugins/vis_vzrm/"
printf '[Vizorama]\r\ntofOnOff=1\r\nlhtOnOff=1\r\nvumType=Beam\r\n' \
  > "$work/icon/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"
"$build/tools/render/vzrm_render" --install "$work/icon" --size 512x512 --frames 40 \
  --save "40:$work/icon.png" >/dev/null
for size in 16 22 24 32 48 64 128 256 512; do
  icons="$tree/usr/share/icons/hicolor/${size}x${size}/apps"
  mkdir -p "$icons"
  convert "$work/icon.png" -resize "${size}x${size}" -strip -define png:exclude-chunks=date,time \
    "$icons/vizorama.png"
done

doc="$tree/usr/share/doc/vizorama"
mkdir -p "$doc"
cp linux/debian/copyright "$doc/copyright"
gzip -9n < linux/debian/changelog > "$doc/changelog.gz"
gzip -9n "$tree/usr/share/man/man1/vizorama.1"

# Files mode 0644, folders and the program 0755, whatever the umask of the build; every time
# the changelog's.
find "$tree" -type d -exec chmod 0755 {} +
find "$tree" -type f -exec chmod 0644 {} +
chmod 0755 "$tree/usr/bin/vizorama"

# Dependencies from the libraries the program links (dpkg-shlibdeps reads debian/control).
mkdir -p "$work/shlibs/debian"
printf 'Source: vizorama\n\nPackage: vizorama\nArchitecture: amd64\n' > "$work/shlibs/debian/control"
depends=$(cd "$work/shlibs" && dpkg-shlibdeps -O "$tree/usr/bin/vizorama" 2>/dev/null |
          sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "package-linux: dpkg-shlibdeps found no dependencies" >&2; exit 1; }
# SDL2 loads the window system's OpenGL (libGL.so.1, GLX) itself at run time, where
# dpkg-shlibdeps cannot see it.
depends="$depends, libgl1"
# The installed size as dpkg-gencontrol counts it: each file's size in whole KiB, one for each
# folder (du would count the build's file system's blocks).
size=$(cd "$tree" && find usr -type f -printf '%s\n' -o -printf '1\n' |
       awk '{ k += int(($1 + 1023) / 1024) } END { print k }')
mkdir -p "$tree/DEBIAN"
sed -e "s/@VERSION@/$version/" -e "s/@SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
  linux/debian/control.in > "$tree/DEBIAN/control"
(cd "$tree" && find usr -type f -print0 | sort -z | xargs -0 md5sum > DEBIAN/md5sums)
chmod 0644 "$tree/DEBIAN/control" "$tree/DEBIAN/md5sums"
find "$tree" -exec touch --no-dereference --date="@$SOURCE_DATE_EPOCH" {} +

# Owned by root, members dated SOURCE_DATE_EPOCH, entries in name order (dpkg-deb sorts them).
dpkg-deb --root-owner-group -Zxz --build "$tree" "$deb" >/dev/null
echo "package-linux: $deb"
dpkg-deb -I "$deb"
if [ "$check" = 1 ]; then bash scripts/check-linux-package.sh "$deb"; fi
