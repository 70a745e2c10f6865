#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the PNG icons, in the sizes menus and task bars ask for, from the
# SVGs: 16 and 24 pixels from the small drawing, whose bolder shapes stay
# readable there, the others from the full one. The PNGs are committed, so
# building never needs this; run it after editing an SVG (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
id=io.github.tailorloft.Tailorloft
for size in 16 24 32 48 64 128 256; do
  source=$id.svg
  [[ $size -le 24 ]] && source=$id-small.svg
  rsvg-convert --width "$size" --height "$size" "$source" --output "$id-$size.png"
done
# The Windows programs' icon, every size Explorer and the task bar ask for
# (Debian: imagemagick).
convert $id-256.png -background none -define png:exclude-chunks=date,time \
  -define icon:auto-resize=256,64,48,32,24,16 ../windows/tailorloft.ico
