#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The writer's promises checked on real tailorloft-cli processes, steered by
# save_shim.so (no timing anywhere):
# - 20 writers of one name without -f, all past their look at the target
#   before any renames: exactly one succeeds, the others say "already exists",
#   and the file is one complete suit (3 rounds; bench/writer_race.sh runs more);
# - a signal at the last step removes the temporary file and leaves the old file;
# - the new file is flushed before the rename and the folder after it;
# - as root: a file the user may not write is refused, and a replaced file
#   keeps its owner, group and mode.
# Usage: save_processes.sh <tailorloft-cli> <save_shim.so> <scratch folder>
set -uo pipefail
source "$(dirname "$0")/race_round.sh"
cli=$1 shim=$2 folder=$3
rm -rf "$folder" && mkdir -p "$folder" && folder=$(cd "$folder" && pwd -P)
# The shim comes before the sanitizer runtime in a sanitized build.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

body=x-B07-PELVIS-BODY.skn
# The suit is named after its file: t.cmx and n.cmx as a plain save writes them.
mkdir "$folder/expected"
for name in t n; do "$cli" -o "$folder/expected/$name.cmx" "$body" || fail "plain save of $name.cmx"; done
leftovers() { find "$1" -maxdepth 1 -name '.*.tmp' | wc -l; }

echo "-- 20 writers of one name, 3 rounds"
for round in 1 2 3; do
  dir=$folder/race$round
  read -r wins refused < <(race_round "$dir" "$cli" "$body" "$shim")
  [[ $wins == 1 && $refused == 19 ]] || fail "round $round: $wins saved, $refused refused (want 1 and 19)"
  cmp -s "$dir/t.cmx" "$folder/expected/t.cmx" || fail "round $round: t.cmx is not the complete suit"
  [[ $(leftovers "$dir") == 0 ]] || fail "round $round: temporary files left"
done

echo "-- a signal at the last step"
for signal in INT TERM HUP; do
  number=$(kill -l "$signal")
  for force in "" -f; do
    dir=$folder/signal-$signal$force
    mkdir -p "$dir"
    [[ -n $force ]] && echo "old work" >"$dir/t.cmx"
    TAILORLOFT_SHIM_SIGNAL=$number LD_PRELOAD=$shim "$cli" $force -o "$dir/t.cmx" "$body" 2>/dev/null
    status=$?
    [[ $status == $((128 + number)) ]] || fail "SIG$signal $force: exit $status, want death by the signal"
    [[ $(leftovers "$dir") == 0 ]] || fail "SIG$signal $force: temporary file left"
    if [[ -n $force ]]; then
      [[ $(cat "$dir/t.cmx") == "old work" ]] || fail "SIG$signal -f: the old file changed"
    else
      [[ ! -e $dir/t.cmx ]] || fail "SIG$signal: a file was made"
    fi
  done
done

echo "-- flushes around the rename"
for force in "" -f; do
  dir=$folder/flush$force
  mkdir -p "$dir"
  [[ -n $force ]] && echo "old work" >"$dir/t.cmx"
  TAILORLOFT_SHIM_LOG=$dir/log LD_PRELOAD=$shim "$cli" $force -o "$dir/t.cmx" "$body" ||
    fail "flush $force: save failed"
  re=$(printf '%s' "$dir" | sed 's/[][\.*^$+?(){}|]/\\&/g')
  temp="$re/\.t\.cmx\.[0-9a-f]{12}\.tmp"
  if [[ -n $force ]]; then step="rename $temp $re/t\.cmx"; else step="renameat2 $temp $re/t\.cmx noreplace"; fi
  want="^fsync $temp"$'\n'"$step"$'\n'"fsync $re\$"
  [[ $(cat "$dir/log") =~ $want ]] || fail "flush $force: calls were"$'\n'"$(cat "$dir/log")"
done

if [[ $(id -u) == 0 ]] && command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
  echo "-- permissions and owners (as root and as nobody)"
  dir=$(mktemp -d)
  chmod 777 "$dir"
  as_nobody() { setpriv --reuid=nobody --regid="$(id -gn nobody)" --clear-groups "$@"; }
  echo "root's" >"$dir/r.cmx" && chmod 644 "$dir/r.cmx"
  if as_nobody "$cli" -f -o "$dir/r.cmx" "$body" 2>"$dir/err"; then fail "nobody replaced root's file"; fi
  grep -q 'permission denied' "$dir/err" || fail "no \"permission denied\": $(cat "$dir/err")"
  [[ $(stat -c %U:%a "$dir/r.cmx") == root:644 && $(cat "$dir/r.cmx") == "root's" ]] ||
    fail "root's file changed: $(stat -c %U:%a "$dir/r.cmx")"

  as_nobody sh -c "echo mine >'$dir/n.cmx' && chmod 640 '$dir/n.cmx'"
  before=$(stat -c %U:%G:%a "$dir/n.cmx")
  "$cli" -f -o "$dir/n.cmx" "$body" || fail "root could not replace nobody's file"
  [[ $(stat -c %U:%G:%a "$dir/n.cmx") == "$before" ]] ||
    fail "nobody's file became $(stat -c %U:%G:%a "$dir/n.cmx"), was $before"
  cmp -s "$dir/n.cmx" "$folder/expected/n.cmx" || fail "nobody's file is not the new suit"
  rm -rf "$dir"
else
  echo "-- permissions and owners: skipped (needs root, setpriv and the user nobody)"
fi

[[ $failures == 0 ]] && rm -rf "$folder"
exit $((failures > 0))
