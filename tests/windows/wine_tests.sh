#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the Windows build as Windows programs under Wine, with one Xvfb as the
# screen for the whole run:
#  1. every test program, in a throwaway prefix, the window tests on Qt's real
#     windows platform;
#  2. tailorloft-cli.exe itself, through pipes and files;
#  3. tailorloft.exe as a player uses it: the game's InstallPath in the
#     registry's 32-bit view, the title with the version, the setting seeded
#     in user.reg, a suit made through Wine's own file dialogs and saved with
#     exact bytes, and a screenshot of each window;
#  4. in a second, fresh prefix: the zip unpacked and started; the installer
#     run silently over an older version, the installed program started, then
#     uninstalled, leaving no file and no registry key but the user's setting.
#
#   tests/windows/wine_tests.sh BUILD_DIR QT_PREFIX DIST_DIR VERSION
#
# TAILORLOFT_SCREENSHOTS=DIR keeps the screenshots (else they are checked and
# dropped with the prefix).
set -euo pipefail
build=$1
qt=$2
dist=$3
version=$4
here=$(cd "$(dirname "$0")" && pwd)
title="Tailorloft - Version $version - by Quillmoss"

work=$(mktemp -d "${TMPDIR:-/tmp}/tailorloft-wine.XXXXXX")
prefixes=()
xvfb=
cleanup() {
  local p
  for p in "${prefixes[@]}"; do WINEPREFIX=$p wineserver -k 2>/dev/null || true; done
  [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# No debug chatter, no Mono or Gecko installers.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
export XAUTHORITY=/dev/null

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

new_prefix() {
  export WINEPREFIX=$work/$1
  prefixes+=("$WINEPREFIX")
  wine wineboot --init >/dev/null 2>&1
}

# Waits up to $2 seconds (default 60) for a visible window titled exactly $1
# and prints its id.
wait_window() {
  local id
  for _ in $(seq $((${2:-60} * 10))); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) || true
    if [[ -n $id ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  echo "no window \"$1\"; windows seen:" >&2
  xdotool search --onlyvisible --name . getwindowname %@ >&2 2>/dev/null || true
  return 1
}

wait_gone() {
  for _ in $(seq $((${2:-30} * 10))); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# Clicks at ($2, $3) pixels inside window $1 (the client area: without a
# window manager Wine's X window is the client area alone).
click() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + $2)) $((Y + $3)) click 1
}

# Brings window $1 to the front with the keyboard focus: without a window
# manager nobody else does. A click on its top left corner, where dialogs
# have no control, makes Wine take it as the active window.
activate() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  xdotool windowraise "$1" windowfocus "$1"
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + 3)) $((Y + 3)) click 1
  sleep 0.3
}

# Types $2 and Enter into window $1, into the control that has the focus.
type_into() {
  activate "$1"
  xdotool type --delay 20 "$2"
  xdotool key Return
}

# The control positions of the fixed layouts, in pixels (twips / 15): the
# centre of each button.
main_file=(376 34) main_add=(108 114) main_save=(32 366) main_quit=(360 366)
add_file=(376 30) add_ok=(152 110)

# The value $2 of the key $1 in user.reg, as written there (backslashes doubled).
# Passed through the environment: awk -v would undo the doubling.
user_reg_value() {
  KEY="[$1]" NAME="\"$2\"" awk '
    BEGIN { key = ENVIRON["KEY"]; name = ENVIRON["NAME"] }
    index($0, key) == 1 { inkey = 1; next }
    /^\[/ { inkey = 0 }
    inkey && index($0, name "=") == 1 { print substr($0, length(name) + 2) }
  ' "$WINEPREFIX/user.reg"
}

echo "-- Wine prefix for the tests"
new_prefix tests
program=$WINEPREFIX/drive_c/Tailorloft
cp -r "$dist/stage-$version/Tailorloft" "$program"
testdir=$WINEPREFIX/drive_c/tests
cp -r "$program" "$testdir"
cp "$qt/bin/Qt6Test.dll" "$testdir/"
for test in core/core_tests env/env_platform_tests env/env_tests ui/ui_tests cli/cli_tests; do
  cp "$build/tests/$test.exe" "$testdir/"
done

echo "-- test programs under Wine"
for test in core_tests env_platform_tests env_tests ui_tests cli_tests; do
  echo "-- $test.exe"
  # The window tests on the real windows platform, shown on Xvfb. Wine does
  # not hand QT_QPA_PLATFORM to Windows programs, so it goes on the command line.
  wine "$testdir/$test.exe" -platform windows --gtest_brief=1 || fail "$test.exe"
done

echo "-- tailorloft-cli.exe under Wine"
printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$testdir/tailorloft-cli.exe" >"$work/cli"
chmod +x "$work/cli"
[[ $("$work/cli" --version) == "tailorloft-cli $version" ]] || fail "tailorloft-cli.exe --version"
cmake -DCLI="$work/cli" -DFOLDER="$WINEPREFIX/drive_c/cli-test" \
  -P "$here/../cli/binary_test.cmake" || fail "tailorloft-cli.exe save, refusal and --stdout"

echo "-- tailorloft.exe under Wine: the game found, a suit made and saved"
skins=$WINEPREFIX/drive_c/Games/The\ Sims/GameData/Skins
mkdir -p "$skins"
: >"$skins/x-B07-PELVIS-BODY.skn"
: >"$skins/acc-ring-L_HAND-gold.skn"
# Where the game's installer writes it: the 32-bit view of the registry.
wine reg add 'HKLM\Software\Maxis\The Sims' /v InstallPath /t REG_SZ /d 'C:\Games\The Sims' \
  /reg:32 /f >/dev/null
shots=${TAILORLOFT_SCREENSHOTS:-$work/screenshots}
mkdir -p "$shots"

start_program() {
  (cd "$1" && exec wine ./tailorloft.exe "${@:2}") >/dev/null 2>&1 &
}
# Ends the program by its Quit button and lets Wine write the registry out.
quit_program() {
  click "$1" "${main_quit[@]}"
  wait_gone "$title" || fail "Quit did not close the window"
  wineserver -w
}

# First run: the title shows the version, and the setting is seeded with the
# game's skin folder.
start_program "$program"
if main=$(wait_window "$title"); then
  sleep 1
  import -window root "$shots/wine-main-window.png"
  quit_program "$main"
  seeded=$(user_reg_value 'Software\\Tailorloft\\Tailorloft\\Settings' 'Last File Path')
  [[ $seeded == '"C:\\Games\\The Sims\\gamedata\\skins"' ]] ||
    fail "setting seeded in user.reg: $seeded"
else
  fail "tailorloft.exe showed no window titled \"$title\""
fi

# Second run: the dialogs open in the remembered folder, so the bare file
# names typed there are found; the save proposes B07.cmx.
start_program "$program"
if main=$(wait_window "$title"); then
  click "$main" "${main_file[@]}"
  if dialog=$(wait_window "Select Body File" 20); then
    type_into "$dialog" x-B07-PELVIS-BODY.skn
    wait_gone "Select Body File" || fail "body file dialog stayed open"
  else
    fail "no body file dialog"
  fi
  click "$main" "${main_add[@]}"
  if add=$(wait_window "Add Accessory" 20); then
    click "$add" "${add_file[@]}"
    if dialog=$(wait_window "Select Accessory File" 20); then
      type_into "$dialog" acc-ring-L_HAND-gold.skn
      wait_gone "Select Accessory File" || fail "accessory file dialog stayed open"
    else
      fail "no accessory file dialog"
    fi
    sleep 0.5
    import -window root "$shots/wine-add-accessory.png"
    click "$add" "${add_ok[@]}"
    wait_gone "Add Accessory" || fail "Add Accessory stayed open after OK"
  else
    fail "no Add Accessory window"
  fi
  click "$main" "${main_save[@]}"
  if dialog=$(wait_window "Save File As" 20); then
    activate "$dialog"
    xdotool key Return
    wait_gone "Save File As" || fail "save dialog stayed open"
  else
    fail "no save dialog"
  fi
  sleep 0.5
  import -window root "$shots/wine-main-window-filled.png"
  quit_program "$main"
  printf '%s\r\n' "// Character File. Copyright 1997, Maxis Inc." "version 300" 0 1 B07 0 0 2 \
    PELVIS x-B07-PELVIS-BODY 0 0 L_HAND acc-ring-L_HAND-gold 0 0 0 >"$work/expected.cmx"
  cmp "$skins/B07.cmx" "$work/expected.cmx" || fail "B07.cmx saved through Wine's dialog"
  remembered=$(user_reg_value 'Software\\Tailorloft\\Tailorloft\\Settings' 'Last File Path')
  [[ ${remembered,,} == '"c:\\games\\the sims\\gamedata\\skins\\"' ]] ||
    fail "remembered folder in user.reg after the save: $remembered"
else
  fail "tailorloft.exe did not start again"
fi
for shot in "$shots"/wine-*.png; do
  [[ -s $shot ]] || fail "screenshot $shot"
done
echo "-- screenshots: $(cd "$shots" && ls wine-*.png | tr '\n' ' ')"

echo "-- the zip in a fresh prefix"
new_prefix fresh
unzip -q "$dist/Tailorloft-$version-win64.zip" -d "$WINEPREFIX/drive_c/users/Public"
start_program "$WINEPREFIX/drive_c/users/Public/Tailorloft"
# No game in this prefix: the design caption.
if main=$(wait_window "Tailorloft by Quillmoss"); then
  click "$main" "${main_quit[@]}"
  wait_gone "Tailorloft by Quillmoss" || fail "the zip's program did not quit"
else
  fail "the zip's tailorloft.exe showed no window"
fi
wineserver -w

echo "-- the installer: over an older version, started, uninstalled"
appdata=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData | grep -v /Public/ | head -1)
installed=$appdata/Local/Programs/Tailorloft
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tailorloft'
wine "$dist/Tailorloft-0.9.0-setup.exe" /S || fail "installing 0.9.0"
wineserver -w
[[ -f $installed/only-in-0.9.0.txt ]] || fail "0.9.0 installed"
wine "$dist/Tailorloft-$version-setup.exe" /S || fail "installing $version over 0.9.0"
wineserver -w
# The upgrade took the old version's files away first.
[[ -e $installed/only-in-0.9.0.txt ]] && fail "a file of 0.9.0 left after the upgrade"
[[ -f $installed/tailorloft.exe && -f $installed/platforms/qwindows.dll ]] || fail "installed files"
[[ -f $appdata/Roaming/Microsoft/Windows/Start\ Menu/Programs/Tailorloft.lnk ]] || fail "Start menu entry"
wine reg query "$uninstall_key" /v DisplayVersion 2>/dev/null | tr -d '\r' | grep -q "REG_SZ *$version\$" ||
  fail "uninstall entry shows version $version"
wine reg query 'HKCU\Software\Classes\.cmx\OpenWithProgids' /v Tailorloft.cmx >/dev/null 2>&1 ||
  fail "Open with Tailorloft for .cmx"
wine reg query 'HKCU\Software\Classes\.cmx' /ve 2>/dev/null | grep -qi tailorloft &&
  fail ".cmx made Tailorloft's by default"
start_program "$installed"
if main=$(wait_window "Tailorloft by Quillmoss"); then
  click "$main" "${main_quit[@]}"
  wait_gone "Tailorloft by Quillmoss" || fail "the installed program did not quit"
else
  fail "the installed tailorloft.exe showed no window"
fi
wineserver -w
# The user's own setting, as the program writes it once it has found the game.
wine reg add 'HKCU\Software\Tailorloft\Tailorloft\Settings' /v 'Last File Path' /d 'C:\Skins\' /f >/dev/null
# The uninstaller copies itself away and returns at once: wait for Wine to end.
wine "$installed/uninstall.exe" /S || fail "uninstalling"
wineserver -w
if [[ -e $installed ]]; then
  fail "files left after uninstalling: $(cd "$installed" && find . -mindepth 1 | tr '\n' ' ')"
fi
[[ -e $appdata/Roaming/Microsoft/Windows/Start\ Menu/Programs/Tailorloft.lnk ]] && fail "Start menu entry left"
for key in "$uninstall_key" 'HKCU\Software\Classes\Tailorloft.cmx' \
  'HKCU\Software\Classes\Applications\tailorloft.exe' 'HKCU\Software\Classes\.cmx'; do
  wine reg query "$key" >/dev/null 2>&1 && fail "registry key left: $key"
done
# The user's setting is theirs and stays.
wine reg query 'HKCU\Software\Tailorloft\Tailorloft\Settings' /v 'Last File Path' >/dev/null 2>&1 ||
  fail "the user's setting went with the uninstall"

if [[ $failures -ne 0 ]]; then
  echo "$failures Windows checks failed" >&2
  exit 1
fi
echo "-- every Windows check passed"
