#!/usr/bin/env bash
# Checks the Linux program's Debian package as Debian and the software centres look at it: the
# program is hardened (hardening-check) and holds no path of the build; the AppStream description
# and the desktop entry validate (appstreamcli offline, desktop-file-validate); the newest
# release it describes is the changelog's and the package's; there are icons at every size from
# 16 to 512 pixels; the manual page is in section 1 and names every option the program's --help
# lists; our skies, models and looks are in /usr/share/vizorama/ (every look in looks/, as it
# is); the copyright file is machine-readable and carries LICENSE's text; and lintian,
# pedantic and with its informational tags, finds nothing.
# Usage: scripts/check-linux-package.sh DEB   (scripts/package-linux.sh runs it)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deb=$1
failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "  ok    $what"; else echo "  FAIL  $what"; failures=$((failures + 1)); fi
}
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
bin="$unpacked/usr/bin/vizorama"

echo "== the package's checks"
# Control-flow protection cannot be had here: Debian 12's C library start files are built
# without it, so the linker leaves the program unmarked whatever the compiler does.
hardening-check --nocfprotection "$bin" > "$unpacked.hardening" 2>&1; code=$?
sed 's/^/  /' "$unpacked.hardening"; rm -f "$unpacked.hardening"
check "the program is hardened (hardening-check)" test "$code" -eq 0
check "no path of the build inside ($root)" bash -c "! grep -rlaF '$root' '$unpacked'"
check "the program runs and says its version" \
  bash -c "'$bin' --version | grep -qx 'vizorama [0-9.]*'"

metainfo=("$unpacked"/usr/share/metainfo/*.metainfo.xml)
check "the AppStream description validates (appstreamcli validate --no-net)" \
  bash -c "said=\$(appstreamcli validate --no-net '${metainfo[0]}' 2>&1) || { echo \"\$said\"; false; }"
check "... with a screenshot, a content rating and a release" \
  bash -c "grep -q '<image type=\"source\"' '${metainfo[0]}' &&
           grep -q '<content_rating type=\"oars-1.1\"' '${metainfo[0]}' &&
           grep -q '<release version=' '${metainfo[0]}'"
changelog="$root/linux/debian/changelog"
version=$(dpkg-parsechangelog -l "$changelog" -SVersion)
released=$(date -u -d "@$(dpkg-parsechangelog -l "$changelog" -STimestamp)" +%F)
check "the package, its changelog and the newest AppStream release agree ($version, $released)" \
  bash -c "[ \"\$(dpkg-deb -f '$deb' Version)\" = '$version' ] &&
           grep -m1 -o '<release [^>]*>' '${metainfo[0]}' | grep -qx '<release version=\"$version\" date=\"$released\">'"
desktop="$unpacked/usr/share/applications/vizorama.desktop"
check "the desktop entry validates, among audio and video programs" \
  bash -c "desktop-file-validate '$desktop' && grep -qx 'Categories=AudioVideo;Audio;' '$desktop'"

icon_sizes=""
for size in 16 22 24 32 48 64 128 256 512; do
  icon="$unpacked/usr/share/icons/hicolor/${size}x${size}/apps/vizorama.png"
  icon_sizes+=" $(identify -format '%wx%h' "$icon" 2>/dev/null || echo missing)"
done
check "icons at 16 to 512 pixels:$icon_sizes" \
  test "$icon_sizes" = " 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256 512x512"

man="$unpacked/usr/share/man/man1/vizorama.1.gz"
missing=""
for option in $("$bin" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  zcat "$man" | grep -qF -- "${option//-/\\-}" || missing+=" $option"
done
check "the manual page (section 1) names every option of --help${missing:+; missing:$missing}" \
  bash -c "[ -f '$man' ] && [ -z '$missing' ]"

data="$unpacked/usr/share/vizorama"
check "our skies and models in /usr/share/vizorama/" \
  bash -c "for sky in 'Late Afternoon' Midnight Undersea; do [ -f '$data/Skyboxes/'\"\$sky\"/Down.tga ] || exit 1; done &&
           for model in Vizorama Knot 'Ringed Planet'; do [ -f '$data/Models/'\"\$model\"/Model.ase ] || exit 1; done"
diff -r "$root/looks" "$data/Looks" >/dev/null 2>&1; looks_differ=$?
check "our looks in /usr/share/vizorama/Looks/, as looks/ holds them" \
  bash -c "[ $looks_differ -eq 0 ] && [ \$(ls '$data/Looks' | wc -l) -ge 16 ]"

copyright="$unpacked/usr/share/doc/vizorama/copyright"
check "the copyright file is machine-readable, the work under the Expat licence" \
  bash -c "head -1 '$copyright' | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' &&
           awk '/^Files: \\*\$/ { f = 1 } f && /^License:/ { print; exit }' '$copyright' | grep -qx 'License: Expat'"
check "... with LICENSE's text" \
  bash -c "diff <(awk -v RS= '/^License: Expat\n/' '$copyright' | sed -e 1d -e 's/^ //' -e 's/^\\.\$//') \
                <(sed 1,2d '$root/LICENSE') >/dev/null"

echo "== lintian --pedantic -I"
lintian --pedantic -I --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' \
  > "$unpacked.lintian"
sed 's/^/  /' "$unpacked.lintian"
check "lintian finds nothing" test ! -s "$unpacked.lintian"
rm -f "$unpacked.lintian"

echo "== package checks: $failures failure(s)"
[ "$failures" -eq 0 ]
