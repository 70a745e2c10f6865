#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Qt for 64-bit Windows (MinGW-w64, shared DLLs) from Debian's qtbase
# source, with only what the two windows and their tests use, and prints the
# folder it is installed in. The build is cached outside the clone, keyed by
# the Qt version, the configure options and the toolchain, so later runs only
# print the folder.
#
#   scripts/build-qt-windows.sh            build if needed, print the prefix
#   TAILORLOFT_CACHE=DIR ...               cache somewhere else (default ~/.cache/tailorloft)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
cache=${TAILORLOFT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tailorloft}
toolchain=$root/cmake/mingw-w64-x86_64.cmake

# The host tools (moc, rcc, uic) must be the same version as the source.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)

# Everything the windows do not use is off; every option here is part of the key.
options=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  # The runtime goes into each DLL, so the folder needs no MinGW DLLs of its own.
  "-DCMAKE_SHARED_LINKER_FLAGS=-static -s"
  "-DCMAKE_MODULE_LINKER_FLAGS=-static -s"
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
  # Debian's source has no wintab, which tablet events need.
  -DFEATURE_tabletevent=OFF
  -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF -DFEATURE_harfbuzz=ON
  -DFEATURE_zstd=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_png=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_sql_sqlite=OFF -DFEATURE_openssl=OFF
  -DFEATURE_pdf=OFF -DFEATURE_movie=OFF -DFEATURE_textodfwriter=OFF
  -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
  # XPM stays on: drag and drop, which dropped suit files need, depends on it.
  -DFEATURE_imageformat_xpm=ON -DFEATURE_draganddrop=ON -DFEATURE_imageformat_ppm=OFF -DFEATURE_imageformat_xbm=OFF
  -DFEATURE_colordialog=OFF -DFEATURE_fontdialog=OFF -DFEATURE_undoview=OFF
  -DFEATURE_mdiarea=OFF -DFEATURE_calendarwidget=OFF
  -DFEATURE_testlib=ON -DFEATURE_testlib_selfcover=OFF
)
# The toolchain's comments change nothing that is built, so they are not part of it.
key=$(printf '%s\n' "$version" "${options[@]}" | cat - <(grep -v '^[[:space:]]*#' "$toolchain") |
  sha256sum | cut -c1-12)
prefix=$cache/qt-windows-$key
work=$cache/qt-windows-build-$key

# Debian's source, fetched through a private apt configuration so the
# machine's own package lists stay as they are. Its entries are the machine's
# own Debian entries turned into source entries, so the source comes through
# whatever mirror or proxy the machine uses.
fetch_source() {
  [[ -d $work/src ]] && return
  local apt=$work/apt
  mkdir -p "$apt/lists/partial" "$apt/sources.d" "$work/dl"
  "$root/scripts/apt-debian-sources.sh" >"$apt/sources.d/debian.sources"
  : >"$apt/sources.list"
  local aptopts=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o "Dir::Etc::sourceparts=$apt/sources.d"
                 -o "Dir::State::Lists=$apt/lists" -o Debug::NoDropPrivs=true -o APT::Sandbox::User=root)
  # A mirror that fails to answer for one suite need not stop the build:
  # fetching the source below says whether what it needs was found.
  apt-get "${aptopts[@]}" update -qq >&2 || echo "-- apt-get update of the source entries reported errors" >&2
  (cd "$work/dl" && apt-get "${aptopts[@]}" source --download-only -qq "qt6-base=$version" >&2) || {
    echo "build-qt-windows: could not fetch the source of qt6-base $version through apt's Debian entries" \
      "($apt/sources.d/debian.sources)" >&2
    exit 1
  }
  mkdir -p "$work/src.tmp"
  tar -xf "$work"/dl/qt6-base_*.orig.tar.xz -C "$work/src.tmp" --strip-components=1
  # With Direct2D off, Gui has no DirectWrite font database, but the Windows
  # plugin of 6.4.2 still asks for one; it then uses the GDI one, as it does
  # on request anyway.
  sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$work/src.tmp/src/plugins/platforms/windows/qwindowsintegration.cpp"
  mv "$work/src.tmp" "$work/src"
}

# The licence texts that must travel with the DLLs: Qt's own and those of the
# third-party code built into them. The source is gone after the build, so
# they are kept in the prefix.
copy_licences() {
  local to=$prefix/licenses.tmp
  rm -rf "$to"
  mkdir -p "$to/3rdparty"
  cp -r "$work/src/LICENSES/." "$to/"
  local dir file
  for dir in double-conversion easing harfbuzz-ng icc libpng md4 md5 pcre2 rfc6234 sha1 sha3 blake2 tinycbor zlib; do
    for file in "$work/src/src/3rdparty/$dir"/{LICENSE,LICENCE,COPYING}* "$work/src/src/3rdparty/$dir"/*_LICENSE; do
      [[ -f $file ]] && install -D -m 644 "$file" "$to/3rdparty/$dir/$(basename "$file")"
    done
  done
  rm -rf "$prefix/licenses"
  mv "$to" "$prefix/licenses"
}

if [[ -f $prefix/.complete ]]; then
  # A prefix built before the licences were kept gets them from the source.
  if [[ ! -d $prefix/licenses ]]; then
    fetch_source
    copy_licences
    rm -rf "$work"
  fi
  echo "$prefix"
  exit 0
fi

mkdir -p "$work"
echo "-- Qt $version for Windows: cold build into $prefix" >&2
start=$SECONDS
fetch_source

cmake -S "$work/src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  "${options[@]}" >"$work/configure.log" 2>&1 || { tail -40 "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" -j2 >"$work/build.log" 2>&1 || { tail -40 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >"$work/install.log" 2>&1
copy_licences
touch "$prefix/.complete"
echo "-- Qt for Windows built in $(( (SECONDS - start) / 60 )) min" >&2
rm -rf "$work"
echo "$prefix"
