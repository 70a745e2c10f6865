#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows programs, built and tried here: Qt for Windows (built once, then
# cached outside the clone), the whole project cross-built with MinGW-w64 and
# -Werror, every test program run as a Windows program under Wine, the real
# tailorloft.exe driven under Wine and Xvfb, and the zip and the installer
# made, then unpacked, installed, started and uninstalled in a fresh prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-mingw
toolchain=$root/cmake/mingw-w64-x86_64.cmake
version=$(sed -n 's/^project(Tailorloft VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

echo "-- Qt for Windows"
qt=$(scripts/build-qt-windows.sh)
echo "$qt"

source "$root/scripts/mingw-test-deps.sh"

echo "-- cross build, with the windows"
export TAILORLOFT_QT_WINDOWS=$qt
# Release and stripped, as shipped. The forced header makes a missing NOMINMAX
# fail here as it would with MSVC.
cmake -S . -B "$build/gui" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64-qt.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s \
  "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
  -DCMAKE_CXX_FLAGS="-include $root/tests/windows/msvc_minmax.h" \
  -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DTAILORLOFT_BUILD_GUI=ON -DTAILORLOFT_BUILD_CLI=ON -DTAILORLOFT_BUILD_BENCH=OFF \
  -DTAILORLOFT_WERROR=ON -DGTest_DIR="$build/googletest-install/lib/cmake/GTest" \
  -DCLI11_DIR="$build/cli11" -Dnlohmann_json_DIR="$build/nlohmann_json" >/dev/null
cmake --build "$build/gui" -j2

echo "-- what Windows reads from the programs"
# The subsystem (no console window for tailorloft.exe), the icon, the version
# information and the manifest, as built into each program.
check_program() {
  local exe=$build/gui/$1 subsystem=$2 failed=0
  # Read whole before matching: grep -q would end the pipe early and fail it.
  local headers ascii
  headers=$(x86_64-w64-mingw32-objdump -p "$exe")
  ascii=$(strings "$exe")
  grep -q "^Subsystem.*($subsystem)" <<<"$headers" || { echo "$1: not $subsystem" >&2; failed=1; }
  local strings
  strings=$(strings -el "$exe" | tr '\n' '|')
  for pair in "IDI_ICON1|" "FileVersion|$version" "ProductVersion|$version" "ProductName|Tailorloft" "FileDescription|"; do
    [[ $strings == *"$pair"* ]] || { echo "$1: no version entry $pair" >&2; failed=1; }
  done
  for setting in '>PerMonitorV2<' '>true</longPathAware>' '8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a' \
    'Microsoft.Windows.Common-Controls' 'level="asInvoker"'; do
    grep -qF "$setting" <<<"$ascii" || { echo "$1: manifest lacks $setting" >&2; failed=1; }
  done
  return $failed
}
check_program app/tailorloft.exe "Windows GUI"
check_program cli/tailorloft-cli.exe "Windows CUI"
echo "programs: subsystems, version information and manifests as they should be"

echo "-- zip and installer"
dist=$build/dist
scripts/windows-package.sh "$build/gui" "$qt" "$dist"
# An older version to install over, with a file the new one no longer has,
# and programs and DLLs that differ from the new ones, so the tests see each
# of them replaced.
echo "gone in later versions" >"$dist/only-in-0.9.0.txt"
TAILORLOFT_PACKAGE_EXTRA="$dist/only-in-0.9.0.txt" TAILORLOFT_PACKAGE_MARK="Tailorloft 0.9.0" \
  scripts/windows-package.sh "$build/gui" "$qt" "$dist" 0.9.0 2>/dev/null

tests/windows/wine_tests.sh "$build/gui" "$qt" "$dist" "$version"
