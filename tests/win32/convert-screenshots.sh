#!/bin/sh
# Turns the BMP screenshots that the Wine tests saved into PNG files.
set -e
cd "$1"
found=0
for f in *.bmp; do
  [ -e "$f" ] || continue
  convert "$f" "${f%.bmp}.png"
  rm -f "$f"
  found=1
done
[ "$found" = 1 ] || { echo "no screenshots in $1"; exit 1; }
ls "$1"/*.png
