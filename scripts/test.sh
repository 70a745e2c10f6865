#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, the same tests
# under AddressSanitizer + UndefinedBehaviorSanitizer, and the Windows code
# cross-built with MinGW-w64 and run under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export QT_QPA_PLATFORM=offscreen

echo "== build and test"
cmake -S . -B build -G Ninja -DTAILORLOFT_WERROR=ON >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAILORLOFT_SANITIZE=ON \
  -DTAILORLOFT_BUILD_BENCH=OFF -DTAILORLOFT_WERROR=ON >/dev/null
cmake --build build-asan -j2
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2

echo "== Windows code cross-built with MinGW-w64, tests under Wine"
scripts/wine-test.sh

echo "== fuzzing the parsers of files we do not control"
scripts/fuzz-test.sh
