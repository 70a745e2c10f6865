# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the MinGW-w64 test scripts: GoogleTest built for Windows once, and
# CLI11 and nlohmann_json for the cross build. Needs $build and $toolchain set.
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

# nlohmann_json likewise: Debian's own package configuration would put all of
# /usr/include on the cross build's path.
mkdir -p "$build/nlohmann_json/include"
ln -sfn /usr/include/nlohmann "$build/nlohmann_json/include/nlohmann"
printf '%s\n' 'add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)' \
  "set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES \"$build/nlohmann_json/include\")" \
  >"$build/nlohmann_json/nlohmann_jsonConfig.cmake"
