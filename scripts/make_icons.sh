#!/usr/bin/env bash
# Renders assets/cardel.svg into assets/icons/cardel-N.png and into the
# Windows icon assets/cardel.ico: 16, 24, 32 and 48 pixels, each once with a
# 256-colour palette and once at 32 bits per pixel. Run it after editing the
# artwork and commit the results; the build only uses the files.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_packages librsvg2-bin imagemagick icoutils

ASSETS="$ROOT/assets"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

for size in 16 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --output "$ASSETS/icons/cardel-$size.png" \
    "$ASSETS/cardel.svg"
done

images=()
for size in 16 24 32 48; do
  png="$ASSETS/icons/cardel-$size.png"
  # A palette image has only a mask for transparency, so edge pixels are
  # either drawn or not, cut at half opacity.
  convert "$png" -background none -channel A -threshold 50% +channel -alpha background \
    +dither -colors 256 "$WORK/$size.png"
  images+=(--bit-depth=8 "$WORK/$size.png" --bit-depth=32 "$png")
done
icotool --create --icon --output="$ASSETS/cardel.ico" "${images[@]}"
icotool --list "$ASSETS/cardel.ico"
