#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual page of tailorloft-cli stays true to the program: it formats
# without warnings, documents exactly the options and bones that --help lists,
# names the version --version prints, and its examples do what it says.
# Usage: check_cli_manual.sh TAILORLOFT-CLI MANPAGE
set -uo pipefail
cli=$(realpath "$1") page=$2
command -v groff >/dev/null || { echo "SKIP: groff is not installed"; exit 77; }
status=0
fail() { echo "FAIL: $*"; status=1; }

lint=$(groff -man -ww -z "$page" 2>&1)
[[ -z "$lint" ]] || fail "groff warns about $page:"$'\n'"$lint"

# The page's source with troff's escaped minus signs as plain dashes.
source=$(sed 's/\\-/-/g' "$page")
help=$("$cli" --help) || fail "--help exited with $?"

# Options: every one --help lists is documented, and the page documents no
# option the program does not have.
help_options=$(grep -Eo '(^|[ ,])--?[A-Za-z][A-Za-z-]*' <<<"$(grep -E '^ +-' <<<"$help")" |
               tr -d ' ,' | sort -u)
page_options=$(grep -Eo '(^|[^A-Za-z0-9_-])--?[a-z][a-z-]*' <<<"$source" | sed 's/^[^-]*//' |
               sort -u)
[[ -n "$help_options" ]] || fail "found no options in --help"
for option in $help_options; do
  grep -qx -- "$option" <<<"$page_options" || fail "--help lists $option; the manual page does not"
done
for option in $page_options; do
  grep -qx -- "$option" <<<"$help_options" || fail "the manual page names $option; --help does not"
done

# Bones: the same 28 names.
bones() { grep -Eo '\b(PELVIS|SPINE[0-9]?|NECK|HEAD|[LR]_[A-Z]+[0-9]*)\b' | sort -u; }
help_bones=$(bones <<<"$help")
page_bones=$(bones <<<"$source")
[[ $(wc -l <<<"$help_bones") -eq 28 ]] || fail "--help does not list 28 bones"
[[ "$help_bones" == "$page_bones" ]] ||
  fail "bones differ between --help and the manual page:"$'\n'"$(diff <(echo "$help_bones") <(echo "$page_bones"))"

version=$("$cli" --version)
grep -qF "$version" <<<"$source" || fail "the manual page does not show --version's \"$version\""

# The examples and the rules the page gives, run in a scratch folder.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
# Lines 5 (suit name) and 8 onward (skin count, then bone and skin per record)
# of a CMX file, CR LF removed.
records() { tr -d '\r' <"$1" | sed -n '5p;8,$p' | paste -sd' '; }
expect_records() {
  local file=$1 want=$2 got
  if [[ ! -f "$file" ]]; then fail "$file was not written"; return; fi
  got=$(records "$file")
  [[ "$got" == "$want" ]] || fail "$file holds \"$got\", expected \"$want\""
}
expect_exit() {
  local want=$1; shift
  "$cli" "$@" >/dev/null 2>err.txt
  local got=$?
  [[ $got -eq $want ]] || fail "tailorloft-cli $* exited with $got, expected $want: $(cat err.txt)"
}

expect_exit 0 xskin-B700MAFit_mine-PELVIS-BODY.skn HEAD=hat.skn L_HAND=ring.skn
expect_records B700MAFit_mine.cmx \
  "B700MAFit_mine 3 PELVIS xskin-B700MAFit_mine-PELVIS-BODY 0 0 HEAD hat 0 0 L_HAND ring 0 0 0"
expect_exit 0 -o Tuxedo.cmx some/folder/body.skn acc-cane-R_HAND-black.skn
expect_records Tuxedo.cmx "Tuxedo 2 PELVIS body 0 0 R_HAND acc-cane-R_HAND-black 0 0 0"
expect_exit 0 x-c12.skn
expect_records c12.skn.cmx "c12.skn 1 HEAD x-c12 0 0 0"
expect_exit 0 --head body1.skn
expect_records body1.cmx "body1 1 HEAD body1 0 0 0"
expect_exit 0 -f --body x-C03-HEAD-HEAD.skn
expect_records C03.cmx "C03 1 PELVIS x-C03-HEAD-HEAD 0 0 0"

# --stdout writes the bytes the file would hold.
"$cli" --stdout -o Tuxedo.cmx some/folder/body.skn acc-cane-R_HAND-black.skn >stdout.cmx
cmp -s stdout.cmx Tuxedo.cmx || fail "--stdout differs from the file written"

# The batch loop from the page, then its second run with -f.
mkdir Skins && touch Skins/xskin-B001-PELVIS-BODY.skn Skins/xskin-B002-PELVIS-BODY.skn
for skin in Skins/xskin-*-PELVIS-*.skn; do "$cli" -f "$skin" || fail "loop: $skin"; done
expect_records B001.cmx "B001 1 PELVIS xskin-B001-PELVIS-BODY 0 0 0"
expect_records B002.cmx "B002 1 PELVIS xskin-B002-PELVIS-BODY 0 0 0"

# Refusals and usage errors, each leaving the earlier file as it was.
cp B001.cmx before.cmx
expect_exit 1 Skins/xskin-B001-PELVIS-BODY.skn HEAD=hat.skn  # exists, no -f
expect_exit 1 -f -o B001.cmx body.skn acc-hat-head-red.skn     # no bone: lower case
expect_exit 1 -f -o B001.cmx body.skn x-hat-L_HAND.skn         # no bone: two dashes
expect_exit 1 x--y.skn                                        # empty default name
expect_exit 1 -f -o B001.cmx ab                               # title under 4 characters
expect_exit 2 --head --body body.skn
expect_exit 2 --no-such-option body.skn
expect_exit 2
cmp -s before.cmx B001.cmx || fail "a refused save changed B001.cmx"
exit $status
