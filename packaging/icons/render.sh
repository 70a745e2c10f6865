#!/usr/bin/env bash
# Renders the 256 px PNG of the icon from its SVG. The PNG is committed, so
# building never needs this; run it after editing the SVG (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
rsvg-convert --width 256 --height 256 io.github.tailorloft.Tailorloft.svg \
  --output io.github.tailorloft.Tailorloft-256.png
