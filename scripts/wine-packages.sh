# Sourced by scripts/setup.sh and scripts/guest32/image.sh: what Wine needs to run and draw our
# programs, for both architectures. One list for both, so that a package missing here breaks
# the Wine tests on every machine, not only on one that runs 32-bit programs: where the kernel
# refuses 32-bit code the guest image is made from this list, elsewhere the machine's own
# 32-bit Wine runs on it. Changing it makes a new guest image (its hash covers this file).
#
# Wine is installed without recommends, and libwine only recommends its GL: without Mesa's GL
# for an architecture, every start of the plug-in there says "ChoosePixelFormat() failed!".

# 64-bit: Wine, its fonts, the X server and Mesa's drivers.
wine_packages=(wine wine64 fonts-wine xvfb libgl1-mesa-dri)

# 32-bit: Wine, Mesa's GL and GLU, and the font and X libraries Wine loads at run time. Their
# maintainer scripts are plain shell, so they also install where 32-bit programs cannot run.
wine_packages_i386=(wine32:i386 libgl1:i386 libglx0:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  libglu1-mesa:i386 libfreetype6:i386 libfontconfig1:i386 libxrender1:i386 libxrandr2:i386
  libxi6:i386 libxcursor1:i386 libxext6:i386 libxfixes3:i386 libxinerama1:i386
  libxcomposite1:i386 libxxf86vm1:i386)

# Those of an architecture's packages (win32 or win64) that are missing here, on one line.
wine_missing_packages() {
  local p missing=() list
  if [ "$1" = win32 ]; then list=("${wine_packages_i386[@]}"); else list=("${wine_packages[@]}"); fi
  for p in "${list[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  echo "${missing[*]}"
}
