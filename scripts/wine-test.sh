#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds the code that has a Windows side without Qt (the suit core, the
# install lookup and tailorloft-cli) with MinGW-w64, and runs its tests under Wine in a
# throwaway prefix: the registry tests write the keys they read.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-mingw
toolchain=$root/cmake/mingw-w64-x86_64.cmake

source "$root/scripts/mingw-test-deps.sh"

echo "-- cross build"
cmake -S . -B "$build/tailorloft" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DTAILORLOFT_BUILD_GUI=OFF -DTAILORLOFT_BUILD_CLI=ON -DTAILORLOFT_BUILD_BENCH=OFF \
  -DTAILORLOFT_WERROR=ON -DGTest_DIR="$build/googletest-install/lib/cmake/GTest" \
  -DCLI11_DIR="$build/cli11" -Dnlohmann_json_DIR="$build/nlohmann_json" >/dev/null
cmake --build "$build/tailorloft" -j2 --target core_tests env_platform_tests cli_tests

echo "-- tests under Wine"
prefix=$(mktemp -d "${TMPDIR:-/tmp}/tailorloft-wine.XXXXXX")
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT
# No display, no debug chatter, no Mono or Gecko installers: only the console
# test programs run.
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
tests=$build/tailorloft/tests
cp "$tests/core/core_tests.exe" "$tests/env/env_platform_tests.exe" "$tests/cli/cli_tests.exe" \
  "$prefix/"
# The first start sets up the prefix; the second finds its server still running.
status=0
for test in core_tests env_platform_tests cli_tests; do
  echo "-- $test.exe"
  wine "$prefix/$test.exe" --gtest_brief=1 || status=1
done
exit $status
