#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package with CPack, unpacks it into a scratch root the way
# dpkg would install it, and checks that it holds exactly the expected files,
# that its dependencies were computed, that the unpacked programs run, and that
# lintian finds no error and no warning in it.
# Usage: check_deb.sh BUILD_DIR VERSION APP_ID
set -uo pipefail
build=$1 version=$2 id=$3
for tool in cpack dpkg dpkg-deb dpkg-shlibdeps appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
status=0
fail() { echo "FAIL: $*"; status=1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  echo "FAIL: cpack"
  exit 1
fi
deb="$out/tailorloft_${version}_$(dpkg --print-architecture).deb"
if [[ ! -f "$deb" ]]; then
  cat "$out/cpack.log"
  echo "FAIL: cpack made no $(basename "$deb")"
  exit 1
fi

dpkg-deb --info "$deb"
[[ $(dpkg-deb -f "$deb" Package) == tailorloft ]] || fail "package name"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "package version"
[[ -n $(dpkg-deb -f "$deb" Maintainer) ]] || fail "no maintainer"
[[ $(dpkg-deb -f "$deb" Section) == utils ]] || fail "the section is not utils"
# Computed by dpkg-shlibdeps from the programs, plus the Qt platform plugins
# the program loads at run time.
depends=$(dpkg-deb -f "$deb" Depends)
names=$(sed 's/ ([^)]*)//g; s/, /\n/g' <<<"$depends")
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins fonts-liberation; do
  grep -qxF "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done

root="$out/root"
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x"; exit 1; }
expected=$(sort <<EOT
usr/bin/tailorloft
usr/bin/tailorloft-cli
usr/share/applications/$id.desktop
usr/share/doc/tailorloft/changelog.gz
usr/share/doc/tailorloft/copyright
usr/share/icons/hicolor/128x128/apps/$id.png
usr/share/icons/hicolor/16x16/apps/$id.png
usr/share/icons/hicolor/24x24/apps/$id.png
usr/share/icons/hicolor/256x256/apps/$id.png
usr/share/icons/hicolor/32x32/apps/$id.png
usr/share/icons/hicolor/48x48/apps/$id.png
usr/share/icons/hicolor/64x64/apps/$id.png
usr/share/icons/hicolor/scalable/apps/$id.svg
usr/share/man/man1/tailorloft-cli.1.gz
usr/share/man/man1/tailorloft.1.gz
usr/share/metainfo/$id.metainfo.xml
usr/share/mime/packages/$id.xml
EOT
)
actual=$(cd "$root" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort)
[[ "$actual" == "$expected" ]] ||
  fail "the package's files differ from the expected ones:"$'\n'"$(diff <(echo "$expected") <(echo "$actual"))"

for program in tailorloft tailorloft-cli; do
  [[ -x "$root/usr/bin/$program" ]] || fail "usr/bin/$program is not executable"
done
got=$("$root/usr/bin/tailorloft-cli" --version 2>&1)
[[ "$got" == "tailorloft-cli $version" ]] || fail "the unpacked tailorloft-cli --version says \"$got\""
got=$("$root/usr/bin/tailorloft-cli" --stdout body.skn | tr -d '\r' | sed -n 2p)
[[ "$got" == "version 300" ]] || fail "the unpacked tailorloft-cli wrote no CMX file"

# The menu entry starts the installed program and finds its icon.
desktop="$root/usr/share/applications/$id.desktop"
[[ $(sed -n 's/^Exec=//p' "$desktop") == "tailorloft %f" ]] || fail "the desktop entry does not start tailorloft with a file"
[[ $(sed -n 's/^MimeType=//p' "$desktop") == "application/x-sims-cmx;" ]] || fail "the desktop entry does not open suit files"
# The suit file type: a file with the header line is one, another .cmx file is not.
if command -v update-mime-database >/dev/null && command -v xdg-mime >/dev/null; then
  mimes="$out/mime"
  mkdir -p "$mimes/mime/packages" && cp "$root/usr/share/mime/packages/$id.xml" "$mimes/mime/packages/"
  update-mime-database "$mimes/mime" || fail "update-mime-database refuses the suit file type"
  printf '// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n' >"$out/suit.cmx"
  got=$(XDG_DATA_DIRS="$mimes" XDG_DATA_HOME="$mimes" xdg-mime query filetype "$out/suit.cmx" 2>/dev/null)
  [[ -z "$got" || "$got" == application/x-sims-cmx* ]] || fail "a suit file is typed as $got"
fi
[[ $(sed -n 's/^Icon=//p' "$desktop") == "$id" ]] || fail "the desktop entry's icon is not $id"
# The installed tree as a software centre reads it: metainfo, desktop entry and icon together.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"

for page in "$root"/usr/share/man/man1/*.1.gz; do
  lint=$(zcat "$page" | groff -man -ww -z 2>&1)
  [[ -z "$lint" ]] || fail "groff warns about $(basename "$page"):"$'\n'"$lint"
done

# The changelog's newest entry is this version (lintian checks its form).
got=$(dpkg-parsechangelog -l "$root/usr/share/doc/tailorloft/changelog.gz" -S Version 2>&1)
[[ "$got" == "$version" ]] || fail "the changelog's newest entry is for \"$got\", not $version"

# Debian's hardening: every program is position-independent, has the stack
# protector, read-only relocations bound at start-up; the desktop program calls
# fortified libc functions (the CLI may have no call whose size is known).
if command -v hardening-check >/dev/null; then
  for program in tailorloft tailorloft-cli; do
    report=$(hardening-check "$root/usr/bin/$program" 2>/dev/null)
    for feature in 'Position Independent Executable' 'Stack protected' 'Read-only relocations' \
                   'Immediate binding'; do
      grep -q "^ $feature: yes" <<<"$report" || fail "$program: $(grep "^ $feature:" <<<"$report")"
    done
  done
  report=$(hardening-check "$root/usr/bin/tailorloft" 2>/dev/null)
  grep -q '^ Fortify Source functions: yes' <<<"$report" ||
    fail "tailorloft: $(grep '^ Fortify Source functions:' <<<"$report")"
else
  echo "hardening-check (devscripts) is not installed: lintian's hardening tags only"
fi

# Debian's package checker: any error (E:) or warning (W:) fails; pedantic
# and informational tags are shown.
if command -v lintian >/dev/null; then
  lintian --pedantic -I --display-info "$deb" >"$out/lintian.log" 2>&1
  cat "$out/lintian.log"
  grep -q '^[EW]: ' "$out/lintian.log" && fail "lintian reports errors or warnings"
else
  echo "SKIP: lintian is not installed"
  [[ $status -eq 0 ]] && exit 77
fi
exit $status
