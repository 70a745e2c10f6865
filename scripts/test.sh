#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything and runs every test: the normal build, the same tests
# under AddressSanitizer + UndefinedBehaviorSanitizer, the Windows programs
# cross-built with MinGW-w64 and tried under Wine, and the parsers fuzzed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
log=$(mktemp)
trap 'rm -f "$log"' EXIT

echo "== build and test"
cmake -S . -B build -G Ninja -DTAILORLOFT_WERROR=ON >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2 | tee -a "$log"

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAILORLOFT_SANITIZE=ON \
  -DTAILORLOFT_BUILD_BENCH=OFF -DTAILORLOFT_WERROR=ON >/dev/null
cmake --build build-asan -j2
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2 | tee -a "$log"

echo "== the Windows programs: Qt for Windows, the cross build, the zip and the installer, tests under Wine"
scripts/windows-test.sh | tee -a "$log"

echo "== fuzzing the parsers of files we do not control"
scripts/fuzz-test.sh

# One line for the whole run: every test of every stage above passed.
# (Programs under Wine end their lines with CR LF.)
passed=$(tr -d '\r' <"$log" |
  sed -n -e 's/.*tests failed out of \([0-9]*\)$/\1/p' -e 's/^\[  PASSED  \] \([0-9]*\) tests\?\.$/\1/p' |
  awk '{ n += $1 } END { print n + 0 }')
echo "all stages: $passed passed, 0 failed"
