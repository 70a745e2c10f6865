#!/usr/bin/env bash
# Renders the 256 px PNG of the icon from its SVG, and the Windows icon from the
# PNG. Both are committed, so building never needs this; run it after editing
# the SVG (Debian: librsvg2-bin, imagemagick).
set -euo pipefail
cd "$(dirname "$0")"
rsvg-convert --width 256 --height 256 io.github.tailorloft.Tailorloft.svg \
  --output io.github.tailorloft.Tailorloft-256.png
# The Windows programs' icon, every size Explorer and the task bar ask for
# (Debian: imagemagick).
convert io.github.tailorloft.Tailorloft-256.png -background none -define png:exclude-chunks=date,time \
  -define icon:auto-resize=256,64,48,32,24,16 ../windows/tailorloft.ico
