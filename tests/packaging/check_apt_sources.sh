#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/apt-debian-sources.sh on the apt configurations in apt/: the
# deb-src entries it prints for Debian's entries of the release, exactly
# (deb822 and one-line forms, a key written out in a stanza, several suites),
# nothing for disabled, source-only, commented-out or other vendors' entries,
# and a refusal with its message when no Debian entry is configured.
# Usage: check_apt_sources.sh SOURCE_DIR
set -uo pipefail
root=$1
script=$root/scripts/apt-debian-sources.sh
apt=$root/tests/packaging/apt
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# check NAME EXPECTED_STATUS EXPECTED_STDOUT_FILE EXPECTED_STDERR FILE...
check() {
  local name=$1 status=$2 stdout=$3 stderr=$4
  shift 4
  APT_CODENAME=bookworm bash "$script" "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [[ $got -ne $status ]]; then
    echo "$name: exit status $got, expected $status"
    failed=1
  fi
  if ! diff -u "$stdout" "$work/out"; then
    echo "$name: output differs (above: - expected, + printed)"
    failed=1
  fi
  if [[ "$(cat "$work/err")" != "$stderr" ]]; then
    echo "$name: message \"$(cat "$work/err")\", expected \"$stderr\""
    failed=1
  fi
}

check "Debian entries among others" 0 "$apt/expected.sources" "" "$apt/debian.sources" "$apt/classic.list"
check "no Debian entry" 1 /dev/null \
  "apt-debian-sources: apt has no enabled entry for Debian bookworm; add one (a .sources file or a deb line) so its sources can be fetched" \
  "$apt/vendor-only.list"

[[ $failed -eq 0 ]] && echo "apt-debian-sources.sh: deb-src entries as expected"
exit $failed
