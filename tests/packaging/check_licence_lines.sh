#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file of the project carries its licence in an SPDX line within
# its first two lines (after a #! or <?xml line), so a file copied out of the
# tree still says under which terms it may be used.
# Usage: check_licence_lines.sh SOURCE_DIR
set -uo pipefail
root=$1
line='SPDX-License-Identifier: GPL-3.0-or-later'

cd "$root" || exit 1
missing=0 checked=0
while IFS= read -r -d '' f; do
  checked=$((checked + 1))
  if ! head -n 2 "$f" | grep -qF "$line"; then
    echo "no licence line: $f"
    missing=$((missing + 1))
  fi
done < <(find . \( -path ./.git -o -path './build*' -o -path ./fuzz/corpus \) -prune -o -type f \
           \( -name '*.cpp' -o -name '*.h' -o -name '*.in' -o -name '*.sh' -o -name '*.cmake' \
              -o -name CMakeLists.txt -o -name '*.nsi' -o -name '*.xml' -o -name '*.svg' \
              -o -name '*.desktop' -o -path ./.ci/run \) -print0)

echo "$checked files checked, $missing without a licence line"
[[ $checked -gt 0 && $missing -eq 0 ]]
