#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the Windows build as Windows programs under Wine, with one Xvfb as the
# screen for the whole run:
#  1. every test program, in a throwaway prefix, the window tests on Qt's real
#     windows platform;
#  2. tailorloft-cli.exe itself, through pipes and files, with the names
#     Windows changes (trailing dots and spaces) or refuses;
#  3. tailorloft.exe as a player uses it: the game's InstallPath in the
#     registry's 32-bit view, the title with the version, the setting seeded
#     in user.reg, a suit made through Wine's own file dialogs and saved with
#     exact bytes, opened again and shown in the preview window, and a
#     screenshot of each window;
#  4. in a second, fresh prefix: the zip unpacked and started; the installer
#     and the uninstaller refusing, silently and when asked, to touch a
#     running Tailorloft, their Retry asking again until it has quit and
#     then going on, and both failing on a file they cannot write or remove;
#     the installer run silently over an older version, replacing each of its
#     files, the installed program started, then uninstalled, leaving no file
#     and no registry key but the user's setting.
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
for test in core/core_tests game/game_tests render/render_tests env/env_platform_tests env/env_tests ui/ui_tests \
  cli/cli_tests; do
  cp "$build/tests/$test.exe" "$testdir/"
done

echo "-- test programs under Wine"
for test in core_tests game_tests render_tests env_platform_tests env_tests ui_tests cli_tests; do
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

# Names Windows would change or misread: saved as Windows really names the
# file, the suit named after it; names it cannot take refused with the
# reason, before anything is written.
names=$WINEPREFIX/drive_c/cli-names
while IFS='|' read -r given file suit; do
  rm -rf "$names"
  mkdir -p "$names"
  if (cd "$names" && "$work/cli" -o "$given" body1.skn >/dev/null 2>&1); then
    [[ $(cd "$names" && ls -A) == "$file" ]] || fail "-o \"$given\" wrote: $(cd "$names" && ls -A)"
    [[ $(sed -n 5p "$names/$file" 2>/dev/null | tr -d '\r') == "$suit" ]] ||
      fail "-o \"$given\": the suit is not named \"$suit\""
  else
    fail "-o \"$given\" refused"
  fi
done <<'EOF'
dots.cmx...|dots.cmx|dots
sp.cmx  |sp.cmx|sp
Suit.cmx. .|Suit.cmx|Suit
EOF
expect_refused() {
  rm -rf "$names"
  mkdir -p "$names"
  local message rc=0
  message=$(cd "$names" && "$work/cli" "${@:3}" -o "$1" body1.skn 2>&1 >/dev/null) || rc=$?
  [[ $rc -ne 0 ]] || fail "-o \"$1\" ${*:3}: exit code 0"
  grep -qxF "tailorloft-cli: The file name \"$1\" cannot be used: $2." <<<"${message//$'\r'/}" ||
    fail "-o \"$1\" ${*:3}: exit code $rc: $message"
  [[ -z $(ls -A "$names") ]] || fail "-o \"$1\" ${*:3} wrote $(ls -A "$names")"
}
expect_refused x.cmx:evil 'it contains ":", which Windows reads as the start of a stream name'
for c in '?' '*' '<' '>' '|'; do
  expect_refused "a${c}b.cmx" "it contains \"$c\", which Windows does not allow in file names"
done
expect_refused 'say"hi".cmx' 'it contains a quotation mark, which Windows does not allow in file names'
expect_refused com1.cmx 'it is "com1", a device name on Windows, whatever the extension'
expect_refused com1.cmx 'it is "com1", a device name on Windows, whatever the extension' -f
expect_refused NUL.txt 'it is "NUL", a device name on Windows, whatever the extension' -f

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

# Third run: the saved suit opened from the command line and its preview
# opened by its button, titled after the suit; Quit closes both. The skins
# are empty files and the prefix holds no skeleton, so the picture says how
# to pick one (ui_tests.exe draws real suits in the preview above).
main_preview=(196 366)
start_program "$program" 'C:\Games\The Sims\GameData\Skins\B07.cmx'
if main=$(wait_window "$title"); then
  click "$main" "${main_preview[@]}"
  if wait_window "Preview - B07" 20 >/dev/null; then
    sleep 1
    import -window root "$shots/wine-preview.png"
  else
    fail "Preview opened no window titled \"Preview - B07\""
  fi
  click "$main" "${main_quit[@]}"
  wait_gone "$title" || fail "Quit did not close the window"
  if ! wait_gone "Preview - B07" 10; then
    fail "the preview stayed open after Quit"
    wineserver -k
  fi
  wineserver -w
else
  fail "tailorloft.exe did not start with B07.cmx"
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
start_menu=$appdata/Roaming/Microsoft/Windows/Start\ Menu/Programs/Tailorloft.lnk
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tailorloft'
open_with_keys=('HKCU\Software\Classes\Tailorloft.cmx' 'HKCU\Software\Classes\Applications\tailorloft.exe'
  'HKCU\Software\Classes\.cmx')
x86_64-w64-mingw32-gcc -O2 -o "$work/hold_file.exe" "$here/hold_file.c"

# True when the install folder holds exactly the files of the stage folder
# $1, byte for byte, and the uninstaller.
installed_as() {
  diff <(cd "$1" && { find . -type f; echo ./uninstall.exe; } | LC_ALL=C sort) \
    <(cd "$installed" && find . -type f | LC_ALL=C sort) >&2 || return 1
  local file
  while IFS= read -r file; do
    cmp -s "$1/$file" "$installed/$file" || { echo "not the same: $file" >&2; return 1; }
  done < <(cd "$1" && find . -type f)
}
display_version() {
  wine reg query "$uninstall_key" /v DisplayVersion 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}
# Holds the file $1 as another program busy with it would, until release.
hold() {
  mkfifo "$work/hold"
  wine "$work/hold_file.exe" "$1" <"$work/hold" >"$work/held" &
  holder=$!
  exec 7>"$work/hold"
  for _ in $(seq 100); do
    grep -q held "$work/held" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "could not hold $1"
}
release() {
  exec 7>&-
  wait "$holder" || true
  rm -f "$work/hold" "$work/held"
}
# Runs $1 without /S while Tailorloft runs: it must name the running program
# in a box titled $2 before anything else, and end with a non-zero exit code
# when told Cancel.
cancel_when_asked() {
  wine "$1" &
  local run=$! box rc=0
  if box=$(wait_window "$2" 30); then
    activate "$box"
    xdotool key Escape
  else
    fail "$1 did not ask to close the running Tailorloft"
    kill "$run" 2>/dev/null
  fi
  wait "$run" || rc=$?
  [[ $rc -ne 0 ]] || fail "$1: Cancel ended with exit code 0"
}

# The visible windows of a setup titled $1, one line each: its id, then
# "page" for the setup's window (its title ends in a space) or "box" for one
# of its message boxes, told apart by their height.
setup_windows() {
  local id WINDOW X Y WIDTH HEIGHT SCREEN
  for id in $(xdotool search --onlyvisible --name "^$1 ?\$" 2>/dev/null); do
    HEIGHT=
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || true
    [[ -n $HEIGHT ]] || continue
    if ((HEIGHT >= 300)); then echo "$id page"; else echo "$id box"; fi
  done
}
# Ends the program by its Quit button (window $1) and waits for it alone:
# waiting for Wine to end would wait for every other program of the prefix.
close_program() {
  click "$1" "${main_quit[@]}"
  for _ in $(seq 300); do
    if ! pgrep -f 'tailorloft\.exe' >/dev/null; then
      # Wine lets go of its files a moment after the process has gone.
      sleep 1
      return 0
    fi
    sleep 0.1
  done
  fail "Quit did not end the program"
}
# Runs $1 without /S while Tailorloft (window $3) runs, titled $2: each
# Retry while it still runs asks again (the installer checks its folder more
# than once before the first page); once it has quit, Retry goes on to the
# first page, where Cancel ends the run.
retry_when_asked() {
  wine "$1" &
  local run=$! box windows again page='' retry
  if ! box=$(wait_window "$2" 30); then
    fail "$1 did not ask to close the running Tailorloft"
    kill "$run" 2>/dev/null
    return
  fi
  for retry in 1 2 3; do
    activate "$box"
    xdotool key Return
    # Checking every program file takes the setup a second or two.
    again=
    for _ in $(seq 100); do
      windows=$(setup_windows "$2")
      [[ $windows == *" page"* ]] && break
      if [[ $windows == *" box" && $windows != "$box box" && $windows != *$'\n'* ]]; then
        again=${windows%% *}
        break
      fi
      sleep 0.1
    done
    if [[ -z $again ]]; then
      fail "$1: Retry $retry with Tailorloft still running did not ask again: ${windows:-no window}"
      close_program "$3"
      kill "$run" 2>/dev/null
      wait "$run" || true
      return
    fi
    box=$again
  done
  close_program "$3"
  activate "$box"
  xdotool key Return
  for _ in $(seq 300); do
    windows=$(setup_windows "$2")
    [[ $windows == *" page" ]] && page=${windows%% *} && break
    sleep 0.1
  done
  if [[ -n $page ]]; then
    activate "$page"
    xdotool key Escape
  else
    fail "$1: Retry with Tailorloft closed did not go on to the first page: ${windows:-no window}"
    kill "$run" 2>/dev/null
  fi
  wait "$run" || true
}

# A file that cannot be written is never passed over: the run fails and
# leaves no half install behind.
mkdir -p "$installed"
echo "someone's own file" >"$installed/README.txt"
hold "$installed/README.txt"
wine "$dist/Tailorloft-$version-setup.exe" /S && fail "installing with README.txt held reported success"
release
[[ -e $installed/tailorloft.exe ]] && fail "files left by an install that failed"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "uninstall entry of an install that failed"
rm -rf "$installed"

wine "$dist/Tailorloft-0.9.0-setup.exe" /S || fail "installing 0.9.0"
wineserver -w
installed_as "$dist/stage-0.9.0/Tailorloft" || fail "0.9.0 installed"

# 0.9.0 running: nothing of it may change, silently or when asked.
start_program "$installed"
if main=$(wait_window "Tailorloft by Quillmoss"); then
  wine "$dist/Tailorloft-$version-setup.exe" /S && fail "installing over a running 0.9.0 reported success"
  cancel_when_asked "$dist/Tailorloft-$version-setup.exe" "Tailorloft Setup"
  installed_as "$dist/stage-0.9.0/Tailorloft" || fail "0.9.0's files changed while it ran"
  [[ $(display_version) == 0.9.0 ]] || fail "uninstall entry changed while 0.9.0 ran: $(display_version)"
  retry_when_asked "$dist/Tailorloft-$version-setup.exe" "Tailorloft Setup" "$main"
  installed_as "$dist/stage-0.9.0/Tailorloft" || fail "0.9.0's files changed before an install was chosen"
else
  fail "the installed 0.9.0 showed no window"
fi

wine "$dist/Tailorloft-$version-setup.exe" /S || fail "installing $version over 0.9.0"
wineserver -w
# Every file replaced, and the old version's own file gone.
installed_as "$dist/stage-$version/Tailorloft" || fail "$version installed over 0.9.0"
[[ -f $start_menu ]] || fail "Start menu entry"
[[ $(display_version) == "$version" ]] || fail "uninstall entry shows version $version: $(display_version)"
wine reg query 'HKCU\Software\Classes\.cmx\OpenWithProgids' /v Tailorloft.cmx >/dev/null 2>&1 ||
  fail "Open with Tailorloft for .cmx"
wine reg query 'HKCU\Software\Classes\.cmx' /ve 2>/dev/null | grep -qi tailorloft &&
  fail ".cmx made Tailorloft's by default"

# The installed program runs: the uninstaller removes nothing, silently or
# when asked.
start_program "$installed"
if main=$(wait_window "Tailorloft by Quillmoss"); then
  wine "$installed/uninstall.exe" /S && fail "uninstalling a running Tailorloft reported success"
  cancel_when_asked "$installed/uninstall.exe" "Tailorloft Uninstall"
  installed_as "$dist/stage-$version/Tailorloft" || fail "files removed while Tailorloft ran"
  [[ -f $start_menu ]] || fail "Start menu entry removed while Tailorloft ran"
  for key in "$uninstall_key" "${open_with_keys[@]}"; do
    wine reg query "$key" >/dev/null 2>&1 || fail "registry key removed while Tailorloft ran: $key"
  done
  retry_when_asked "$installed/uninstall.exe" "Tailorloft Uninstall" "$main"
  installed_as "$dist/stage-$version/Tailorloft" || fail "files removed before the uninstall was chosen"
else
  fail "the installed tailorloft.exe showed no window"
fi

# A file that cannot be removed keeps the entry, so the uninstall can be run again.
hold "$installed/README.txt"
wine "$installed/uninstall.exe" /S && fail "uninstalling with README.txt held reported success"
release
[[ $(display_version) == "$version" ]] || fail "uninstall entry gone though README.txt stayed"

# The user's own setting, as the program writes it once it has found the game.
wine reg add 'HKCU\Software\Tailorloft\Tailorloft\Settings' /v 'Last File Path' /d 'C:\Skins\' /f >/dev/null
wine "$installed/uninstall.exe" /S || fail "uninstalling"
# A copy of the uninstaller removes uninstall.exe once it has ended: wait for Wine to end.
wineserver -w
if [[ -e $installed ]]; then
  fail "files left after uninstalling: $(cd "$installed" && find . -mindepth 1 | tr '\n' ' ')"
fi
[[ -e $start_menu ]] && fail "Start menu entry left"
for key in "$uninstall_key" "${open_with_keys[@]}"; do
  wine reg query "$key" >/dev/null 2>&1 && fail "registry key left: $key"
done
# The user's setting is theirs and stays.
wine reg query 'HKCU\Software\Tailorloft\Tailorloft\Settings' /v 'Last File Path' >/dev/null 2>&1 ||
  fail "the user's setting went with the uninstall"

echo "-- tailorloft-cli.exe --render under Wine: the picture Linux draws"
# A body on PELVIS and a ring on L_HAND, each in an 8-bit BMP of its own, on
# an arm turned at the shoulder, drawn from three-quarter view; the same
# pixels as the Linux build's within a small tolerance (a build in build/
# or TAILORLOFT_LINUX_CLI), else at least a picture of the size asked for,
# transparent in the corner and inked in the middle.
render_dir=$WINEPREFIX/drive_c/render-test
mkdir -p "$render_dir"
# A box mesh NAME TEXTURE BONE HX HY HZ: 8 corners (x, y, z from bits 0, 1, 2),
# 12 faces, one binding, no blends.
box_skn() {
  local i x y z
  printf '%s\r\n%s\r\n1\r\n%s\r\n12\r\n' "$1" "$2" "$3"
  printf '%s\r\n' "4 6 2" "4 2 0" "1 3 7" "1 7 5" "0 1 5" "0 5 4" "6 7 3" "6 3 2" "2 3 1" "2 1 0" "4 5 7" \
    "4 7 6"
  printf '1\r\n0 0 8 -1 0\r\n8\r\n'
  for i in 0 1 2 3 4 5 6 7; do printf '%s %s\r\n' $((i & 1)) $((i >> 1 & 1)); done
  printf '0\r\n8\r\n'
  for i in 0 1 2 3 4 5 6 7; do
    x=$([[ $((i & 1)) -eq 1 ]] && echo "$4" || echo "-$4")
    y=$([[ $((i & 2)) -eq 2 ]] && echo "$5" || echo "-$5")
    z=$([[ $((i & 4)) -eq 4 ]] && echo "$6" || echo "-$6")
    printf '%s %s %s %s %s %s\r\n' "$x" "$y" "$z" "$x" "$y" "$z"
  done
}
box_skn body x PELVIS 0.6 1.5 0.3 >"$render_dir/xskin-B950MAFit_wine-PELVIS-BODY.skn"
box_skn acc-ring-L_HAND ringtex L_HAND 0.25 0.25 0.25 >"$render_dir/acc-ring-L_HAND.skn"
{
  printf '// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n1\r\nadult\r\n10\r\n'
  while read -r bone parent translation rotation; do
    printf '%s\r\n%s\r\n0\r\n| %s |\r\n| %s |\r\n1\r\n1\r\n1\r\n0\r\n0\r\n' "$bone" "$parent" \
      "${translation//,/ }" "${rotation//,/ }"
  done <<'BONES'
ROOT NULL 0,3,0 0,0,0,1
PELVIS ROOT 0,0,0 0,0,0,1
SPINE PELVIS 0,0.3,0 0,0,0,1
SPINE1 SPINE 0,0.4,0 0,0,0,1
SPINE2 SPINE1 0,0.4,0 0,0,0,1
NECK SPINE2 0,0.5,0 0,0,0,1
L_ARM NECK -0.35,-0.15,0 0,0,0.3826834,0.9238795
L_ARM1 L_ARM -0.5,0,0 0,0,0,1
L_ARM2 L_ARM1 -0.6,0,0 0,0,0,1
L_HAND L_ARM2 -0.6,0,0 0,0,0,1
BONES
  printf '0\r\n0\r\n'
} >"$render_dir/adult-skeleton.cmx"
printf '%s\r\n' '// Character File. Copyright 1997, Maxis Inc.' 'version 300' 0 1 B950MAFit_wine 0 0 2 PELVIS \
  xskin-B950MAFit_wine-PELVIS-BODY 0 0 L_HAND acc-ring-L_HAND 0 0 0 >"$render_dir/B950MAFit_wine.cmx"
convert -size 64x64 gradient:navy-gold -colors 200 -type Palette -compress None BMP3:"$render_dir/B950MAFitlgt_wine.bmp"
convert -size 32x32 gradient:red-white -colors 100 -type Palette -compress None BMP3:"$render_dir/ringtex.bmp"
render_args=(--render B950MAFit_wine.cmx -o wine.png --size 200x160 --view three-quarter)
if (cd "$render_dir" && "$work/cli" "${render_args[@]}" >/dev/null 2>"$work/render-err.txt"); then
  [[ -s $work/render-err.txt ]] && fail "--render warned: $(cat "$work/render-err.txt")"
  picture=$render_dir/wine.png
  [[ $(identify -format '%w %h' "$picture") == "200 160" ]] || fail "--render: the picture is not 200 x 160"
  [[ $(convert "$picture" -format '%[fx:int(255*p{0,0}.a)]' info:) == 0 ]] ||
    fail "--render: the corner is not transparent"
  [[ $(convert "$picture" -crop 100x80+50+40 +repage -format '%[fx:int(255*maxima.a)]' info:) == 255 ]] ||
    fail "--render: nothing drawn in the middle"
  linux_cli=${TAILORLOFT_LINUX_CLI:-$here/../../build/cli/tailorloft-cli}
  if [[ -x $linux_cli ]]; then
    (cd "$render_dir" && "$linux_cli" "${render_args[@]/wine.png/linux.png}" 2>/dev/null) ||
      fail "the Linux tailorloft-cli --render"
    # Pixels that differ by more than 2% in any channel, alpha included.
    differing=$(compare -metric AE -fuzz 2% -alpha on "$picture" "$render_dir/linux.png" null: 2>&1) || true
    [[ ${differing%% *} =~ ^[0-9]+$ ]] && ((${differing%% *} <= 160)) ||
      fail "--render under Wine differs from Linux in ${differing} of 32000 pixels"
    echo "-- --render: Wine and Linux differ in ${differing%% *} of 32000 pixels (beyond 2%)"
  else
    echo "-- --render: no Linux tailorloft-cli at $linux_cli to compare with; checked size, corner and middle"
  fi
else
  fail "tailorloft-cli.exe --render: $(cat "$work/render-err.txt")"
fi

if [[ $failures -ne 0 ]]; then
  echo "$failures Windows checks failed" >&2
  exit 1
fi
echo "-- every Windows check passed"
