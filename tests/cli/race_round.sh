# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the tests and the benchmark that race writers against each other.
#
# race_round DIR CLI BODY [SHIM]
# Starts 20 tailorloft-cli writers of DIR/t.cmx at once, without -f (with SHIM,
# the save shim holds each at its rename until all 20 have looked at the
# target), waits for all of them and prints "SAVED REFUSED": how many
# succeeded and how many said "already exists".
race_round() {
  local dir=$1 cli=$2 body=$3 shim=${4:-}
  local -a pids=()
  local i saved=0 refused=0
  mkdir -p "$dir/barrier"
  for i in $(seq 20); do
    if [[ -n $shim ]]; then
      TAILORLOFT_SHIM_BARRIER=$dir/barrier:20 LD_PRELOAD=$shim "$cli" -o "$dir/t.cmx" "$body" 2>"$dir/err$i" &
    else
      "$cli" -o "$dir/t.cmx" "$body" 2>"$dir/err$i" &
    fi
    pids+=($!)
  done
  for i in $(seq 20); do
    if wait "${pids[$((i - 1))]}"; then
      saved=$((saved + 1))
    elif grep -q 'already exists' "$dir/err$i"; then
      refused=$((refused + 1))
    fi
  done
  echo "$saved $refused"
}
