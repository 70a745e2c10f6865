#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# No address with a host (http, https or ftp) is written into the scripts,
# the CMake files or the CI's files: what the build needs comes through the
# machine's package managers and the mirrors they are configured with, never
# from a host named in the tree. Files the repository holds, or will hold
# (new, not ignored), are checked.
# Usage: check_no_hosts.sh SOURCE_DIR
set -uo pipefail
root=$1

cd "$root" || exit 1
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "not a git checkout: skipped"
  exit 77
fi

checked=0 found=0
while IFS= read -r -d '' f; do
  case $f in
    scripts/* | cmake/* | .ci/* | CMakeLists.txt | */CMakeLists.txt | *.cmake | *.sh) ;;
    *) continue ;;
  esac
  [[ -f $f ]] || continue  # deleted, not yet committed
  checked=$((checked + 1))
  # A scheme, then the first character of a host name or of an [IPv6] address.
  if hits=$(grep -nIiE '(https?|ftp)://[[:alnum:][]' "$f"); then
    while IFS= read -r hit; do echo "$f:$hit"; done <<<"$hits"
    found=$((found + 1))
  fi
done < <(git ls-files -z --cached --others --exclude-standard)

echo "$checked files checked, $found naming a host"
[[ $checked -gt 0 && $found -eq 0 ]]
