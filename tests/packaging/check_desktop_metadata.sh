#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop entry and the AppStream metainfo pass their validators, and each
# PNG icon is really as many pixels as its name says.
# Usage: check_desktop_metadata.sh FILE.desktop FILE.metainfo.xml ICON_DIR APP_ID
set -uo pipefail
desktop=$1 metainfo=$2 icons=$3 id=$4

for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
status=0

# Hints fail too: one is what a menu shows twice, an entry in two main
# categories.
out=$(desktop-file-validate "$desktop" 2>&1)
rc=$?
echo "$out"
if [[ $rc -ne 0 ]] || grep -Eq ': (error|warning|hint):' <<<"$out"; then
  echo "FAIL: desktop-file-validate"
  status=1
fi

if ! appstreamcli validate --no-net --strict "$metainfo"; then
  echo "FAIL: appstreamcli validate"
  status=1
fi

# A PNG's IHDR chunk holds the width and height as big-endian 32-bit numbers
# at bytes 16 and 20.
for want in 16 24 32 48 64 128 256; do
  png=$icons/$id-$want.png
  size=$(od -An -tu1 -j16 -N8 "$png" | awk '{printf "%d x %d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  if [[ "$size" != "$want x $want" ]]; then
    echo "FAIL: $png is $size pixels, not $want x $want"
    status=1
  fi
done
exit $status
