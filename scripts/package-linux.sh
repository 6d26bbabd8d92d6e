#!/usr/bin/env bash
# Builds the Debian package of the Linux program, build/dist/vizorama_<version>_amd64.deb, from
# the optimised native build: the program (stripped), our generated assets, the desktop entry,
# an icon (a frame of our own scene, rendered off screen), the manual page, the copyright and
# changelog. The dependencies are computed by dpkg-shlibdeps from the libraries the program
# links; lintian checks the result.
# Usage: scripts/package-linux.sh [--skip-setup]
source "$(dirname "$0")/common.sh"

build native-release vizorama vzrm_render texture_set
build="$root/build/native-release"
version=$(sed -n 's/^set(VZRM_VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
work="$root/build/package-linux"
tree="$work/vizorama_${version}_amd64"
dist="$root/build/dist"
deb="$dist/vizorama_${version}_amd64.deb"
rm -rf "$work"
mkdir -p "$tree" "$dist"

DESTDIR="$tree" cmake --install "$build" --prefix /usr --strip >/dev/null
# Files mode 0644, folders and the program 0755, whatever the umask of the build.
find "$tree" -type d -exec chmod 0755 {} +
find "$tree" -type f -exec chmod 0644 {} +
chmod 0755 "$tree/usr/bin/vizorama"

# The icon: a frame of the scene with every part on, square.
icon="$tree/usr/share/icons/hicolor/256x256/apps"
mkdir -p "$icon" "$work/icon/Plugins/vis_vzrm/Configurations"
cp -r "$build/stage/Plugins/vis_vzrm/." "$work/icon/Plugins/vis_vzrm/"
printf '[Vizorama]\r\ntofOnOff=1\r\nlhtOnOff=1\r\nvumType=Beam\r\n' \
  > "$work/icon/Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini"
"$build/tools/render/vzrm_render" --install "$work/icon" --size 256x256 --frames 40 \
  --save "40:$icon/vizorama.png"
chmod 0644 "$icon/vizorama.png"

doc="$tree/usr/share/doc/vizorama"
mkdir -p "$doc"
install -m 0644 linux/debian/copyright "$doc/copyright"
gzip -9n < linux/debian/changelog > "$doc/changelog.gz"
chmod 0644 "$doc/changelog.gz"
gzip -9n "$tree/usr/share/man/man6/vizorama.6"

# Dependencies from the libraries the program links (dpkg-shlibdeps reads debian/control).
mkdir -p "$work/shlibs/debian"
printf 'Source: vizorama\n\nPackage: vizorama\nArchitecture: amd64\n' > "$work/shlibs/debian/control"
depends=$(cd "$work/shlibs" && dpkg-shlibdeps -O "$tree/usr/bin/vizorama" 2>/dev/null |
          sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "package-linux: dpkg-shlibdeps found no dependencies" >&2; exit 1; }
# SDL2 loads the window system's OpenGL (libGL.so.1, GLX) itself at run time, where
# dpkg-shlibdeps cannot see it.
depends="$depends, libgl1"
size=$(du -sk --exclude=DEBIAN "$tree" | cut -f1)
mkdir -p "$tree/DEBIAN"
sed -e "s/@VERSION@/$version/" -e "s/@SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
  linux/debian/control.in > "$tree/DEBIAN/control"
(cd "$tree" && find usr -type f -print0 | sort -z | xargs -0 md5sum > DEBIAN/md5sums)
chmod 0644 "$tree/DEBIAN/control" "$tree/DEBIAN/md5sums"

dpkg-deb --root-owner-group -Zxz --build "$tree" "$deb" >/dev/null
echo "package-linux: $deb"
dpkg-deb -I "$deb"
echo "== lintian"
lintian --tag-display-limit 0 --info "$deb" 2>&1 | grep -v "root privileges" || true
if lintian "$deb" 2>/dev/null | grep -q '^E:'; then
  echo "package-linux: lintian reports errors" >&2
  exit 1
fi
