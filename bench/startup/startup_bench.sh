#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures how long tailorloft takes from start until its main window is
# mapped, its peak memory and processor time by then, against a bare Qt
# window of the same size showing one line of text (bare_window), under Xvfb,
# with the game found in a Wine prefix whose system.reg is as large as a real
# one (~1.7 MB), and without it; then how long each takes until it first
# draws into its window. The same window with its line in a text box
# (bare_window --text-box) shows what starting Qt's font system before the
# map costs.
#
#   bench/startup/startup_bench.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR defaults to build; RUNS (default 15) runs of each, alternating.
# Prints the medians and the program's ratio to the bare window.
set -euo pipefail
build=${1:-build}
runs=${2:-15}
timer=$build/bench/startup/startup_timer
bare=$build/bench/startup/bare_window
program=$build/app/tailorloft
for f in "$timer" "$bare" "$program"; do
  [[ -x $f ]] || { echo "missing $f: build the targets tailorloft, bare_window and startup_timer" >&2; exit 2; }
done

if [[ -z "${TAILORLOFT_BENCH_DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" env TAILORLOFT_BENCH_DISPLAY=1 "$0" "$build" "$runs"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
export WINEPREFIX=$HOME/.wine QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p "$WINEPREFIX/dosdevices" "$WINEPREFIX/drive_c/Program Files (x86)/Maxis/The Sims/GameData/Skins"
ln -s ../drive_c "$WINEPREFIX/dosdevices/c:"

# A registry laid out as Wine writes it, keys in order: a large
# Software\Classes part, then the game's key under Wow6432Node, then System.
awk 'BEGIN {
  print "WINE REGISTRY Version 2"; print ";; All keys relative to \\\\Machine"; print ""; print "#arch=win64"; print ""
  for (i = 0; i < 7600; i++) {
    printf "[Software\\\\Classes\\\\CLSID\\\\{%08X-1A2B-4C3D-8E9F-%012X}] 1700000000\n", i * 7919, i
    printf "#time=1d9a1b2c3d4e5f6\n@=\"Component class number %d of a typical prefix\"\n", i
    printf "\"ThreadingModel\"=\"Both\"\n\n"
  }
  print "[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1700000000"
  print "#time=1d9a1b2c3d4e5f6"
  print "\"InstallPath\"=\"C:\\\\Program Files (x86)\\\\Maxis\\\\The Sims\""
  print "\"SIMS_LANGUAGE\"=\"USEnglish\""; print ""
  for (i = 0; i < 2600; i++) {
    printf "[System\\\\CurrentControlSet\\\\Services\\\\Service%05d] 1700000000\n", i
    printf "#time=1d9a1b2c3d4e5f6\n\"DisplayName\"=\"Service %d\"\n\"Start\"=dword:00000003\n\n", i
  }
}' >"$WINEPREFIX/system.reg"
size=$(stat -c %s "$WINEPREFIX/system.reg")

# The median of column $1 of the lines read.
median() { awk -v c="$1" '{ print $c }' | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

title="Tailorloft - Version 1.0.0 - by Quillmoss"
measure() {  # name, then the timer's arguments; appends "ms peak-KiB processor-ms"
  local name=$1
  shift
  "$timer" "$@" >>"$work/$name.txt"
}
"$timer" "Bare window" "$bare" >/dev/null  # warm the file caches once
"$timer" "$title" "$program" >/dev/null
for _ in $(seq "$runs"); do
  measure bare "Bare window" "$bare"
  measure textbox "Bare window" "$bare" --text-box
  measure program "$title" "$program"
  WINEPREFIX=$work/none measure nogame "Tailorloft by Quillmoss" "$program"
  measure bare-drawn --painted "Bare window" "$bare"
  measure program-drawn --painted "$title" "$program"
done
bare_ms=$(median 1 <"$work/bare.txt")
bare_kib=$(median 2 <"$work/bare.txt")
bare_cpu=$(median 3 <"$work/bare.txt")
textbox_ms=$(median 1 <"$work/textbox.txt")
textbox_kib=$(median 2 <"$work/textbox.txt")
textbox_cpu=$(median 3 <"$work/textbox.txt")
program_ms=$(median 1 <"$work/program.txt")
program_kib=$(median 2 <"$work/program.txt")
program_cpu=$(median 3 <"$work/program.txt")
nogame_ms=$(median 1 <"$work/nogame.txt")
nogame_kib=$(median 2 <"$work/nogame.txt")
nogame_cpu=$(median 3 <"$work/nogame.txt")
bare_drawn_ms=$(median 1 <"$work/bare-drawn.txt")
program_drawn_ms=$(median 1 <"$work/program-drawn.txt")
echo "system.reg: $size bytes; $runs alternating runs of each; medians up to the mapped window:"
printf '  %-36s %8s %12s %14s\n' "" "time" "peak memory" "processor time" \
  "bare Qt window with a line of text" "$bare_ms ms" "$bare_kib KiB" "$bare_cpu ms" \
  "the same, the line in a text box" "$textbox_ms ms" "$textbox_kib KiB" "$textbox_cpu ms" \
  "tailorloft, game not found" "$nogame_ms ms" "$nogame_kib KiB" "$nogame_cpu ms" \
  "tailorloft, game found" "$program_ms ms" "$program_kib KiB" "$program_cpu ms"
awk -v p="$program_ms" -v b="$bare_ms" -v n="$nogame_ms" -v t="$textbox_ms" -v pk="$program_kib" \
  -v bk="$bare_kib" -v pc="$program_cpu" -v bc="$bare_cpu" 'BEGIN {
  printf "  tailorloft / bare window: time %.2f (game not found %.2f), memory %.2f, processor time %.2f\n",
    p / b, n / b, pk / bk, pc / bc
  printf "  tailorloft / the same with a text box: time %.2f\n", p / t
  printf "  cost of finding the game: %.1f ms\n", p - n }'
awk -v p="$program_drawn_ms" -v b="$bare_drawn_ms" 'BEGIN {
  printf "up to the first drawing in the window: bare window %.1f ms, tailorloft (game found) %.1f ms, ratio %.2f\n",
    b, p, p / b }'
