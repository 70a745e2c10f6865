#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Windows downloads from a MinGW-w64 build of the project: the
# portable folder Tailorloft/ (the two programs, the Qt DLLs and plugins they
# load, the licence texts), Tailorloft-<version>-win64.zip of it, and
# Tailorloft-<version>-setup.exe, which installs the same folder per user.
#
#   scripts/windows-package.sh BUILD_DIR QT_PREFIX OUT_DIR [VERSION]
#
# VERSION defaults to the project's; the tests also make an older one to
# install over, with the files named in TAILORLOFT_PACKAGE_EXTRA added and
# TAILORLOFT_PACKAGE_MARK appended to every program and DLL, so that its
# files differ from the newer ones.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$1
qt=$2
out=$3
version=${4:-$(sed -n 's/^project(Tailorloft VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)}
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$out/stage-$version
folder=$stage/Tailorloft
rm -rf "$stage"
mkdir -p "$folder"

# The programs, as the project installs them, straight into the folder.
cmake --install "$build" --prefix "$folder" >/dev/null
mv "$folder"/bin/*.exe "$folder/"
rmdir "$folder/bin"
[[ -f $folder/tailorloft.exe && -f $folder/tailorloft-cli.exe ]] || { echo "programs missing" >&2; exit 1; }

# What tailorloft.exe loads: three Qt DLLs (the MinGW runtime is linked into
# each), the windows platform, the native style, and the .ico reader for
# its icon. Qt finds plugins in these folders next to the program.
cp "$qt"/bin/Qt6{Core,Gui,Widgets}.dll "$folder/"
for plugin in platforms/qwindows styles/qwindowsvistastyle imageformats/qico; do
  mkdir -p "$folder/$(dirname "$plugin")"
  cp "$qt/plugins/$plugin.dll" "$folder/$plugin.dll"
done

# Licences: Qt's (LGPL 3 lets users replace the DLLs with their own build)
# and those of the code linked in with it and with the MinGW-w64 runtime.
mkdir -p "$folder/licenses"
cp -r "$qt/licenses" "$folder/licenses/Qt"
cp /usr/share/doc/mingw-w64-common/copyright "$folder/licenses/mingw-w64-runtime.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$folder/licenses/gcc-runtime.txt"
for extra in ${TAILORLOFT_PACKAGE_EXTRA:-}; do
  cp "$extra" "$folder/"
done
if [[ -n ${TAILORLOFT_PACKAGE_MARK:-} ]]; then
  find "$folder" -type f \( -name '*.exe' -o -name '*.dll' \) -exec sh -c 'printf %s "$0" >>"$1"' \
    "$TAILORLOFT_PACKAGE_MARK" {} \;
fi
cat >"$folder/README.txt" <<EOF
Tailorloft $version for Windows

Start tailorloft.exe. tailorloft-cli.exe writes the same CMX suit files from a
command prompt; run "tailorloft-cli --help" to see how.

The Qt libraries (Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll and the plugins in
platforms, styles and imageformats) are Qt $(dpkg-query -W -f='${Version}' qt6-base-dev-tools | cut -d+ -f1),
used under the GNU Lesser General Public License version 3
(licenses/Qt/LGPL-3.0-only.txt). You may replace them with your own build of
the same Qt version. The folder licenses/ holds every licence text.

The user guide follows: how to make a suit, how the program finds the game,
and the command-line program.

EOF
# The guide itself: the project's README, plain enough to read as text.
cat README.md >>"$folder/README.txt"
# Windows line ends for Notepad.
sed -i 's/$/\r/' "$folder/README.txt"

# Same bytes for the same files: fixed times, sorted names.
find "$stage" -exec touch -h -d '2000-01-01 00:00:00 UTC' {} +
zip_file=$out/Tailorloft-$version-win64.zip
rm -f "$zip_file"
(cd "$stage" && find Tailorloft | LC_ALL=C sort | zip -q -X -9 "$zip_file" -@)

# The installer's file lists, exactly what the folder holds: installing puts
# these files in, each checked (PutFile, installer.nsi), uninstalling takes
# these files (and nothing else) out, and the programs and DLLs among them
# are the files a running Tailorloft holds (CheckHeld, common.nsh).
files=$stage/files.nsh
remove_files=$stage/uninstall-files.nsh
remove_folders=$stage/uninstall-folders.nsh
held=$stage/held.nsh
: >"$files"
: >"$remove_files"
: >"$held"
while IFS= read -r dir; do
  rel=${dir#"$folder"}
  rel=${rel#/}
  win=${rel//\//\\}
  echo "SetOutPath \"\$INSTDIR${win:+\\$win}\"" >>"$files"
  while IFS= read -r file; do
    name=$(basename "$file")
    echo "!insertmacro PutFile \"$file\" \"$name\"" >>"$files"
    echo "Delete \"\$INSTDIR${win:+\\$win}\\$name\"" >>"$remove_files"
    case $name in
      *.exe | *.dll) echo "!insertmacro CheckHeld \"${win:+$win\\}$name\"" >>"$held" ;;
    esac
  done < <(find "$dir" -maxdepth 1 -type f | LC_ALL=C sort)
done < <(find "$folder" -type d | LC_ALL=C sort)
# Folders deepest first, each removed only when empty.
: >"$remove_folders"
while IFS= read -r dir; do
  rel=${dir#"$folder"/}
  echo "RMDir \"\$INSTDIR\\${rel//\//\\}\"" >>"$remove_folders"
done < <(find "$folder" -mindepth 1 -type d | LC_ALL=C sort -r)
size_kb=$(du -sk "$folder" | cut -f1)

# The uninstaller first: the installer puts it in the folder like any other file.
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$stage/uninstall.exe" \
  "$root/packaging/windows/uninstaller.nsi" >&2
setup=$out/Tailorloft-$version-setup.exe
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" \
  -DSIZE_KB="$size_kb" "$root/packaging/windows/installer.nsi" >&2

echo "-- $(basename "$zip_file"): $(( $(stat -c %s "$zip_file") / 1024 )) KiB," \
  "$(basename "$setup"): $(( $(stat -c %s "$setup") / 1024 )) KiB" >&2
