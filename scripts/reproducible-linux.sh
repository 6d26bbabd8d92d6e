#!/usr/bin/env bash
# Checks that the Linux program's Debian package is reproducible: makes it here
# (scripts/package-linux.sh) and again from a copy of this checkout in another folder, with
# another umask, time zone and locale, then compares the two .deb files byte for byte. When they
# differ it names the files inside that differ and keeps both packages in build/reproducible/
# (diffoscope shows how, if installed).
# Usage: scripts/reproducible-linux.sh [--skip-setup]
source "$(dirname "$0")/common.sh"
out="$root/build/reproducible"
rm -rf "$out"
mkdir -p "$out"
elsewhere=$(mktemp -d "${TMPDIR:-/tmp}/vizorama-reproducible.XXXXXX")
trap 'rm -rf "$elsewhere"' EXIT
copy="$elsewhere/a/folder/of/another/length/vizorama"
mkdir -p "$copy"
tar -C "$root" --exclude=./build --exclude=./dist --exclude=./.git -cf - . | tar -C "$copy" -xf -

start=$(date +%s)
# package NAME: scripts/package-linux.sh in the current folder, its package kept as NAME.deb
package() {
  local deb
  if ! bash scripts/package-linux.sh --skip-setup --no-check > "$out/$1.log" 2>&1; then
    cat "$out/$1.log" >&2
    echo "reproducible: the package could not be made ($1)" >&2
    exit 1
  fi
  deb=$(sed -n 's/^package-linux: //p' "$out/$1.log")
  cp "$deb" "$out/$1.deb"
}
package here
(umask 0002; cd "$copy" && TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 LANG=C.UTF-8 package elsewhere)
echo "reproducible: built in $root and in $copy ($(( $(date +%s) - start )) s)"
sha256sum "$out/here.deb" "$out/elsewhere.deb" | sed "s|$out/||"

if cmp -s "$out/here.deb" "$out/elsewhere.deb"; then
  echo "reproducible: the two packages are identical"
  exit 0
fi
echo "reproducible: the two packages differ" >&2
for side in here elsewhere; do
  dpkg-deb -R "$out/$side.deb" "$out/$side"
  dpkg-deb -c "$out/$side.deb" > "$out/$side.list"
done
diff -r "$out/here" "$out/elsewhere" >&2
diff "$out/here.list" "$out/elsewhere.list" >&2
exit 1
