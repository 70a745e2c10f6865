#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's screenshots from the real program under Xvfb: a new user
# whose game sits in ~/.wine picks a body, adds two accessories whose bones are
# suggested by their names, and the windows are captured as they look then.
# Then a suit of real size (a 500-vertex body, a 6 000-vertex head, the
# skeleton only in the game's archives), made by the benchmark program
# make_render_suit of the same build, is opened and shown in the preview.
# Needs xvfb, xdotool and imagemagick (scripts/deps.sh installs them).
# THEME=qt6ct or THEME=gtk3 runs the program under that desktop theme, set to
# a larger serif font, to see that no caption is cut; such shots go to OUT_DIR.
# Usage: [THEME=qt6ct|gtk3] docs/take-screenshots.sh [PATH/TO/tailorloft [OUT_DIR]]
#        (default build/app/tailorloft, and docs/; make_render_suit is looked
#        for in that build's bench/render_cli)
set -euo pipefail
docs=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "${1:-$docs/../build/app/tailorloft}")
out=$(realpath "${2:-$docs}")
make_suit=$(dirname "$program")/../bench/render_cli/make_render_suit
[[ -x $make_suit ]] || { echo "missing $make_suit: build the target make_render_suit" >&2; exit 2; }
make_suit=$(realpath "$make_suit")

if [[ -z "${TAILORLOFT_SHOTS_DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" env TAILORLOFT_SHOTS_DISPLAY=1 "$0" "$program" "$out"
fi

work=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb
unset WINEPREFIX
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# GTK's file dialog takes longer to open and to close.
settle=0.5
[[ "${THEME:-}" == gtk3 ]] && settle=2
case "${THEME:-}" in
  "") ;;
  qt6ct)
    mkdir -p "$XDG_CONFIG_HOME/qt6ct"
    cat >"$XDG_CONFIG_HOME/qt6ct/qt6ct.conf" <<'CONF'
[Appearance]
style=Fusion
[Fonts]
fixed="DejaVu Sans Mono,12,-1,5,50,0,0,0,0,0"
general="DejaVu Serif,12,-1,5,50,0,0,0,0,0"
CONF
    export QT_QPA_PLATFORMTHEME=qt6ct ;;
  gtk3)
    mkdir -p "$XDG_CONFIG_HOME/gtk-3.0"
    printf '[Settings]\ngtk-font-name=DejaVu Serif 12\n' >"$XDG_CONFIG_HOME/gtk-3.0/settings.ini"
    export QT_QPA_PLATFORMTHEME=gtk3 ;;
  *) echo "unknown THEME $THEME (qt6ct or gtk3)" >&2; exit 2 ;;
esac

# The game, installed in a Wine prefix with a few skins.
prefix=$HOME/.wine
skins="$prefix/drive_c/Program Files (x86)/Maxis/The Sims/GameData/Skins"
mkdir -p "$prefix/dosdevices" "$skins"
ln -s ../drive_c "$prefix/dosdevices/c:"
cat >"$prefix/system.reg" <<'REG'
WINE REGISTRY Version 2

[Software\\Wow6432Node\\Maxis\\The Sims] 1700000000
"InstallPath"="C:\\Program Files (x86)\\Maxis\\The Sims"
REG
touch "$skins"/{xskin-B700MAFit_mine-PELVIS-BODY,acc-hat-HEAD-red,acc-watch-L_HAND-gold}.skn

# The id of the visible window whose title is exactly $1, waiting up to 10 s.
window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [[ -n "$id" ]] &&
      { echo "$id"; return; }
    sleep 0.1
  done
  echo "no window titled \"$1\"" >&2
  exit 1
}
# Clicks at x y ($2 $3) relative to the top left corner of window $1.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
# Types a file name into the open file dialog titled $1 and accepts it. With
# no window manager, keys go to the window under the pointer.
choose() {
  local dialog
  dialog=$(window "$1")
  sleep 0.5
  xdotool mousemove --window "$dialog" 300 200
  # Ctrl+L opens the GTK dialog's location field; Qt's own dialog ignores it.
  xdotool key ctrl+l
  sleep "$settle"
  xdotool type --delay 5 "$2"
  xdotool key Return
  sleep "$settle"
}

cd "$HOME"
"$program" &
pid=$!
main=$(window "Tailorloft - Version .* - by Quillmoss")
sleep 0.3

click "$main" 376 34                      # ... next to the body file name
choose "Select Body File" xskin-B700MAFit_mine-PELVIS-BODY.skn

click "$main" 108 114                     # Add
add=$(window "Add Accessory")
sleep 0.5
click "$add" 376 30                       # ... next to the accessory file
choose "Select Accessory File" acc-watch-L_HAND-gold.skn
click "$add" 152 110                      # OK

click "$main" 108 114                     # Add, a second time
add=$(window "Add Accessory")
sleep 0.5
click "$add" 376 30
choose "Select Accessory File" acc-hat-HEAD-red.skn
import -window "$add" "$out/add-accessory.png"
click "$add" 152 110                      # OK

sleep 0.3
import -window "$main" "$out/main-window.png"

xdotool mousemove --window "$main" 200 60 key F1   # the About box
about=$(window "About Tailorloft")
sleep 0.5
import -window "$about" "$out/about.png"
kill "$pid"
wait "$pid" 2>/dev/null || true

# The preview of a suit of real size, opened from the command line, turned
# by dragging the figure to a view between front and left, from a little above.
game="$prefix/drive_c/Program Files (x86)/Maxis/The Sims"
"$make_suit" "$skins" "$game"
"$program" "$skins/B900MAFit_bench.cmx" &
pid=$!
main=$(window "Tailorloft - Version .* - by Quillmoss")
sleep 0.3
click "$main" 196 366                     # Preview
preview=$(window "Preview - B900MAFit_bench")
sleep 1
xdotool mousemove --window "$preview" 220 200 mousedown 1 mousemove --window "$preview" 190 210 \
  mousemove --window "$preview" 160 220 mousemove --window "$preview" 140 230 mouseup 1
sleep 0.5
import -window "$preview" "$out/preview.png"
echo "wrote $out/main-window.png, $out/add-accessory.png, $out/about.png and $out/preview.png"
