#!/usr/bin/env bash
# Cross-builds the code that has a Windows side without Qt (the suit core, the
# install lookup and tailorloft-cli) with MinGW-w64, and runs its tests under Wine in a
# throwaway prefix: the registry tests write the keys they read.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-mingw
toolchain=$root/cmake/mingw-w64-x86_64.cmake

echo "-- GoogleTest for MinGW-w64"
if [[ ! -f $build/googletest-install/lib/cmake/GTest/GTestConfig.cmake ]]; then
  cmake -S /usr/src/googletest -B "$build/googletest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON \
    -DCMAKE_INSTALL_PREFIX="$build/googletest-install" >/dev/null
  cmake --build "$build/googletest" -j2
  cmake --install "$build/googletest" >/dev/null
fi

# CLI11 is header-only: Debian's headers serve the cross build too, without
# putting the rest of /usr/include on its path.
mkdir -p "$build/cli11/include"
ln -sfn /usr/include/CLI "$build/cli11/include/CLI"
printf '%s\n' 'add_library(CLI11::CLI11 INTERFACE IMPORTED)' \
  "set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES \"$build/cli11/include\")" \
  >"$build/cli11/CLI11Config.cmake"

echo "-- cross build"
cmake -S . -B "$build/tailorloft" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DTAILORLOFT_BUILD_GUI=OFF -DTAILORLOFT_BUILD_CLI=ON -DTAILORLOFT_BUILD_BENCH=OFF \
  -DTAILORLOFT_WERROR=ON -DGTest_DIR="$build/googletest-install/lib/cmake/GTest" \
  -DCLI11_DIR="$build/cli11" >/dev/null
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
