#!/usr/bin/env bash
# Makes the disk image of the test guest (Debian 12 amd64 with the i386 architecture: its
# kernel, 32-bit Wine, Mesa's GL, Xvfb), or finds it made. Prints the image's folder:
#   ${XDG_CACHE_HOME:-~/.cache}/vizorama/guest32/image-HASH/{root.img,vmlinuz,initrd.img}
# HASH covers this script, the files it puts into the image and the package list it shares
# with scripts/setup.sh, so changing a package or a step makes a new image at the next run
# (older images are removed then).
# Only Debian's archive is used, through this machine's own apt sources. Downloaded packages
# are kept in .../guest32/debs for the next build.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${VZRM_GUEST_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vizorama/guest32}

# amd64: the kernel and what boots the guest; then Wine, the X server and Mesa, for both
# architectures, from the list the machine's own setup installs (scripts/wine-packages.sh).
source "$here/../wine-packages.sh"
packages=(linux-image-amd64 kmod mount xauth procps "${wine_packages[@]}")
packages_i386=("${wine_packages_i386[@]}")

hash=$(cat "$here/image.sh" "$here/init.sh" "$here/prepare.sh" "$here/boot.sh" \
         "$here/../wine-packages.sh" | sha256sum | cut -c1-12)
image="$cache/image-$hash"
if [ -f "$image/ready" ]; then echo "$image"; exit 0; fi

mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9
if [ -f "$image/ready" ]; then echo "$image"; exit 0; fi
for tool in mmdebstrap qemu-system-x86_64 mkfs.ext4; do
  command -v "$tool" >/dev/null || { echo "guest32: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done
started=$(date +%s)
echo "guest32: making the guest image (once; several minutes)" >&2
rm -rf "$cache"/image-* "$cache/work"
work="$cache/work"
mkdir -p "$work" "$cache/debs"

# The machine's own Debian sources (deb822 or one-line format), as the image's sources.
sources=/etc/apt/sources.list.d/debian.sources
[ -f "$sources" ] || sources=/etc/apt/sources.list

# Packages already on this machine or kept from an earlier build are linked in, not downloaded.
seed='for d in /var/cache/apt/archives '"$cache/debs"'; do
  find "$d" -maxdepth 1 -name "*.deb" -exec cp -ln {} "$1/var/cache/apt/archives/" \; 2>/dev/null || true
done'
keep='find "$1/var/cache/apt/archives" -maxdepth 1 -name "*.deb" -exec cp -ln {} '"$cache/debs/"' \; 2>/dev/null || true'
# The i386 packages are unpacked here and configured at the guest's first boot: their
# maintainer scripts may run 32-bit programs, which this machine may refuse.
i386='set -e
list=$(APT_CONFIG="$MMDEBSTRAP_APT_CONFIG" apt-get -s install --no-install-recommends '"${packages_i386[*]}"' | sed -n "s/^Inst \([^ ]*\) (\([^ ]*\) .*\[\([a-z0-9]*\)\]).*/\1 \2 \3/p")
APT_CONFIG="$MMDEBSTRAP_APT_CONFIG" apt-get install -y -q --download-only --no-install-recommends '"${packages_i386[*]}"'
files=""
while read -r name version arch; do
  f="/var/cache/apt/archives/${name%%:*}_$(printf %s "$version" | sed "s/:/%3a/")_$arch.deb"
  [ -f "$1$f" ] || { echo "missing $f" >&2; exit 1; }
  files="$files $f"
done <<LIST
$list
LIST
chroot "$1" dpkg --unpack --force-depends $files >/dev/null'

# The guest's initrd needs only what finds the root disk (the 9p modules are loaded from the
# root file system): a short list builds in seconds where the default takes minutes.
initrd='mkdir -p "$1/etc/initramfs-tools/conf.d" "$1/usr/share/initramfs-tools/modules.d"
echo MODULES=list > "$1/etc/initramfs-tools/conf.d/vzrm-guest"
printf "virtio_pci\nvirtio_blk\next4\n" > "$1/usr/share/initramfs-tools/modules.d/vzrm-guest"'

# No manual pages, documentation or translations: nobody reads them there.
mmdebstrap --variant=apt --architectures=amd64,i386 --include="$(IFS=,; echo "${packages[*]}")" \
  --aptopt='APT::Install-Recommends "false"' \
  --dpkgopt='path-exclude=/usr/share/man/*' --dpkgopt='path-exclude=/usr/share/doc/*' \
  --dpkgopt='path-exclude=/usr/share/info/*' --dpkgopt='path-exclude=/usr/share/locale/*' \
  --setup-hook="$seed" --setup-hook="$initrd" \
  --customize-hook="$i386" \
  --customize-hook="$keep" \
  --customize-hook="install -m 755 '$here/init.sh' \"\$1/sbin/vzrm-init\"" \
  --customize-hook='cp "$1"/boot/vmlinuz-* '"'$work/vmlinuz'"'; cp "$1"/boot/initrd.img-* '"'$work/initrd.img'"'; chmod 644 '"'$work'"'/vmlinuz '"'$work'"'/initrd.img' \
  --customize-hook='echo "/dev/vda / ext4 defaults 0 1" > "$1/etc/fstab"; echo guest32 > "$1/etc/hostname"' \
  bookworm "$work/root" "$sources" >&2

size_mb=$(( $(du -sm "$work/root" | cut -f1) + 2560 ))
mkfs.ext4 -q -F -L root -d "$work/root" "$work/root.img" "${size_mb}M" >&2
rm -rf "$work/root"

# First boot, kept: configure what could not be configured here, make the Wine prefix.
echo "guest32: first boot of the image (configuring, making the 32-bit Wine prefix)" >&2
source "$here/boot.sh"
mkdir -p "$work/in" "$work/out"
cp "$here/prepare.sh" "$work/in/main.sh"
status=0
guest_boot "$work" "$work/in" "$work/out" keep || status=$?
cat "$work/out/console.log" >&2 2>/dev/null || true
if [ "$status" != 0 ]; then
  echo "guest32: preparing the image failed ($status); serial console:" >&2
  tail -n 40 "$work/out/serial.log" >&2 || true
  exit 1
fi
rm -rf "$work/in" "$work/out"
mv "$work" "$image"
touch "$image/ready"
echo "guest32: image made in $(( $(date +%s) - started )) s: $image" >&2
echo "$image"
