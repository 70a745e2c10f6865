#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures tailorloft-cli --render of a suit of the largest real size (a
# 500-vertex body with a 256 texture, a 6 000-vertex head with a 128 one,
# about 12 750 triangles, the skeleton only in an archive of the game) at
# 512 x 512, as a whole process, against png_floor, a program that only
# loads Qt Gui and writes an empty PNG of the same size: the floor any Qt
# program pays for a picture.
#
#   bench/render_cli/render_cli_bench.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR defaults to build; RUNS (default 21) runs of each, alternating.
# Prints the medians of the wall-clock time and of the CPU time (user +
# system), and the ratios.
set -euo pipefail
build=${1:-build}
runs=${2:-21}
cli=$build/cli/tailorloft-cli
make=$build/bench/render_cli/make_render_suit
floor=$build/bench/render_cli/png_floor
for f in "$cli" "$make" "$floor"; do
  [[ -x $f ]] || { echo "missing $f: build the targets tailorloft-cli, make_render_suit and png_floor" >&2; exit 2; }
done
cli=$(realpath "$cli")
floor=$(realpath "$floor")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$make" "$work/suit" "$work/game"
cd "$work/suit"

TIMEFORMAT='%R %U %S'
render() { "$cli" --render B900MAFit_bench.cmx -o out.png --game ../game; }
bare() { "$floor" floor.png 512 512; }
render && bare  # warm the file caches once
for _ in $(seq "$runs"); do
  { time render; } 2>>"$work/render.txt"
  { time bare; } 2>>"$work/floor.txt"
done

# The median of the numbers read, one a line.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
wall() { awk '{ print $1 * 1000 }' "$1" | median; }
cpu() { awk '{ print ($2 + $3) * 1000 }' "$1" | median; }
render_wall=$(wall "$work/render.txt")
floor_wall=$(wall "$work/floor.txt")
render_cpu=$(cpu "$work/render.txt")
floor_cpu=$(cpu "$work/floor.txt")
echo "$runs alternating runs of each, 512 x 512; medians:"
printf '  %-44s %6s ms wall %6s ms CPU\n' "tailorloft-cli --render" "$render_wall" "$render_cpu" \
  "png_floor (Qt Gui, an empty PNG)" "$floor_wall" "$floor_cpu"
awk -v rw="$render_wall" -v fw="$floor_wall" -v rc="$render_cpu" -v fc="$floor_cpu" 'BEGIN {
  printf "  --render / floor: %.2f wall, %.2f CPU (goal: at most 3)\n", rw / fw, rc / fc }'
