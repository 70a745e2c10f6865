#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The writer under stress, with real tailorloft-cli processes:
# 1. Race: ROUNDS times, 20 writers of one new name at once, without -f.
#    Every round exactly one may succeed; the others must say "already
#    exists", and the file must be one complete suit. With SHIM set to the
#    test build's save_shim.so (tests/cli), all 20 first look at the target
#    and only then rename, the widest window a race can have.
# 2. Kill loop: SAVES saves with -f over one file, alternating two suits,
#    each sent kill -9 after a random delay of 0-40 ms. After each one the file must be
#    exactly the old or the new suit. Temporary files left by the kills are
#    counted, aged past the writer's limit, and one more save must remove them.
# Usage: bench/writer_race.sh [tailorloft-cli] [ROUNDS] [SAVES]
# TMPDIR chooses the folder written to.
set -uo pipefail
source "$(dirname "$0")/../tests/cli/race_round.sh"
cli=${1:-build/cli/tailorloft-cli}
rounds=${2:-100}
saves=${3:-300}
cli=$(cd "$(dirname "$cli")" && pwd -P)/$(basename "$cli")
work=$(mktemp -d "${TMPDIR:-/tmp}/tailorloft-race.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
body=x-B07-PELVIS-BODY.skn
mkdir expected && "$cli" -o expected/t.cmx "$body"  # the suit is named after its file

echo "== race: $rounds rounds of 20 writers${SHIM:+ (all held at the rename by $SHIM)}"
one_winner=0 worst=0
start=$EPOCHREALTIME
for round in $(seq "$rounds"); do
  dir=race/$round
  read -r wins refused < <(race_round "$dir" "$cli" "$body" "${SHIM:-}")
  if [[ $wins == 1 && $refused == 19 ]] && cmp -s "$dir/t.cmx" expected/t.cmx; then
    one_winner=$((one_winner + 1))
  else
    echo "round $round: $wins saved, $refused refused" >&2
    failures=$((failures + 1))
  fi
  ((wins > worst)) && worst=$wins
  rm -rf "$dir"
done
elapsed=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print b - a }')
printf 'rounds with exactly one winner: %d of %d; most winners in a round: %d; %.1f s\n' \
  "$one_winner" "$rounds" "$worst" "$elapsed"

echo "== kill loop: $saves saves, each sent kill -9 after 0-40 ms"
# Two suits of about 170 KB each: a save takes about 30 ms, flushes included,
# so the kills fall into every step of it, and some saves finish.
accessories=()
for i in $(seq 5000); do accessories+=("L_HAND=x-acc$i-L_HAND-a.skn"); done
# Both saved as B07.cmx, the name the suit takes from its file.
mkdir a b kill
"$cli" -o a/B07.cmx "$body" "${accessories[@]}"
"$cli" -o b/B07.cmx x-B08-PELVIS-BODY.skn "${accessories[@]}"
cp a/B07.cmx kill/B07.cmx
killed=0 finished=0 damaged=0
for n in $(seq "$saves"); do
  if ((n % 2)); then next=x-B08-PELVIS-BODY.skn; else next=$body; fi
  "$cli" -f -o kill/B07.cmx "$next" "${accessories[@]}" 2>/dev/null &
  pid=$!
  sleep "0.0$(printf '%02d' $((RANDOM % 40)))"
  kill -9 "$pid" 2>/dev/null
  { wait "$pid"; } 2>/dev/null  # no "Killed" line per save
  status=$?
  if [[ $status == 137 ]]; then killed=$((killed + 1)); else finished=$((finished + 1)); fi
  if ! cmp -s kill/B07.cmx a/B07.cmx && ! cmp -s kill/B07.cmx b/B07.cmx; then
    damaged=$((damaged + 1))
    echo "save $n: B07.cmx is neither suit" >&2
  fi
done
left=$(find kill -name '.*.tmp' | wc -l)
find kill -name '.*.tmp' -exec touch -d '20 minutes ago' {} +
"$cli" -f -o kill/B07.cmx "$body" || failures=$((failures + 1))
after=$(find kill -name '.*.tmp' | wc -l)
echo "killed during the save: $killed; finished before the kill: $finished; file damaged: $damaged"
echo "temporary files left by the kills: $left; after they were 20 minutes old and one more save: $after"
((damaged > 0 || after > 0)) && failures=$((failures + 1))

exit $((failures > 0))
