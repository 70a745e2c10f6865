#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, through apt-get, whatever the build and the tests need and this
# machine does not have yet. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev libxcb-damage0-dev
  libcli11-dev nlohmann-json3-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-dev
  xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core fonts-liberation
  g++-mingw-w64-x86-64-posix wine64 wine fonts-wine nsis zip unzip
  desktop-file-utils appstream dpkg-dev file groff-base lintian devscripts
  qt6ct qt6-gtk-platformtheme
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
echo "Installing: ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
