#!/usr/bin/env bash
# Installs what building and testing Vizorama needs on Debian 12, only what is missing.
# Safe to run again: a machine that has everything installs nothing.
set -euo pipefail
source "$(dirname "$0")/wine-packages.sh"

# Wine and what it needs to draw, for both architectures, come from the list shared with the
# test guest's image (scripts/wine-packages.sh).
packages=(
  "${wine_packages[@]}" "${wine_packages_i386[@]}"
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  x11-utils xdotool imagemagick
  libosmesa6-dev libglu1-mesa-dev libgl-dev
  googletest libgtest-dev libstb-dev
  nsis zip
  clang-14 libclang-rt-14-dev
  libsdl2-dev libpulse-dev pulseaudio pulseaudio-utils sox
  libprojectm-dev projectm-data
  dpkg-dev lintian fakeroot openbox devscripts appstream desktop-file-utils
  mmdebstrap qemu-system-x86 e2fsprogs
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  rm -f /tmp/.vizorama-apt-updated
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
