#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program under Xvfb and checks that its main window appears
# with the right title: the design caption without the game, the versioned
# title once the game is found in a Wine prefix. Exits 77 (skipped) where
# Xvfb or xdotool is missing.
set -uo pipefail
program=$1
expected_version=$2

if [[ -z "${TAILORLOFT_SMOKE_DISPLAY:-}" ]]; then
  for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool not installed: skipped"; exit 77; }
  done
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" env TAILORLOFT_SMOKE_DISPLAY=1 "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/run" && chmod 700 "$work/run"

# Runs the program with HOME=$1 and waits up to 20 s for a visible window
# titled exactly $2.
check() {
  local home=$1 title=$2 found=1
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$work/run" WINEPREFIX= \
    QT_QPA_PLATFORM=xcb "$program" &
  local pid=$!
  for _ in $(seq 200); do
    if xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1; then
      found=0
      break
    fi
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  if [[ $found -ne 0 ]]; then
    echo "no window titled \"$title\"; windows seen:" >&2
    xdotool search --name . getwindowname %@ >&2 2>/dev/null || true
  fi
  kill $pid 2>/dev/null
  wait $pid 2>/dev/null
  return $found
}

status=0

mkdir -p "$work/nogame"
check "$work/nogame" "Tailorloft by Quillmoss" || status=1

# A Wine prefix in which the game is installed.
prefix="$work/game/.wine"
mkdir -p "$prefix/dosdevices" "$prefix/drive_c/Program Files (x86)/Maxis/The Sims/GameData/Skins"
ln -s ../drive_c "$prefix/dosdevices/c:"
cat >"$prefix/system.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Wow6432Node\\Maxis\\The Sims] 1700000000
#time=1d9a1b2c3d4e5f6
"InstallPath"="C:\\Program Files (x86)\\Maxis\\The Sims"
REG
check "$work/game" "Tailorloft - Version ${expected_version} - by Quillmoss" || status=1

[[ $status -eq 0 ]] && echo "main window shown with the right title, with and without the game"
exit $status
