#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints, as one deb822 file, the source entries (Types: deb-src) matching the
# Debian package entries this machine's apt is configured with: the same URIs,
# suites, components and Signed-By, so sources come through whatever mirror or
# proxy the machine uses. Only enabled entries for Debian's own suites of this
# release, with Debian's components and keys, are taken; other vendors'
# repositories often publish no sources, and the build must not depend on them.
#
#   scripts/apt-debian-sources.sh                 the machine's configuration
#   scripts/apt-debian-sources.sh FILE...         these .list / .sources files
#   APT_CODENAME=bookworm ...                     the release (default: os-release)
#
# Exits 1 with a message when no Debian entry is configured.
set -euo pipefail

codename=${APT_CODENAME:-}
if [[ -z $codename ]]; then
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
fi
[[ -n $codename ]] || { echo "apt-debian-sources: cannot tell this Debian release's codename" >&2; exit 1; }

files=("$@")
if [[ ${#files[@]} -eq 0 ]]; then
  # Where this machine's apt keeps its lists, as apt itself resolves them.
  eval "$(apt-config shell list Dir::Etc::sourcelist/f parts Dir::Etc::sourceparts/d)"
  [[ -f ${list:-} ]] && files+=("$list")
  if [[ -d ${parts:-} ]]; then
    shopt -s nullglob
    files+=("$parts"/*.list "$parts"/*.sources)
  fi
fi

awk -v codename="$codename" '
  # A suite of this Debian release: bookworm, bookworm-updates,
  # bookworm-security, bookworm-backports, or the older bookworm/updates.
  function debian_suites(list,    n, i, out, s) {
    n = split(list, s, /[ \t]+/)
    out = ""
    for (i = 1; i <= n; i++)
      if (s[i] == codename || index(s[i], codename "-") == 1 || index(s[i], codename "/") == 1)
        out = out (out == "" ? "" : " ") s[i]
    return out
  }
  # Debian'"'"'s own components; another vendor publishing under the release'"'"'s
  # name ("bookworm stable") has components of its own.
  function debian_components(list,    n, i, c) {
    n = split(list, c, /[ \t]+/)
    for (i = 1; i <= n; i++)
      if (c[i] !~ /^(main|contrib|non-free|non-free-firmware)$/) return 0
    return 1
  }
  # Signed by Debian'"'"'s keys: none named (the keys apt trusts by default), a
  # key written out in the stanza, or a keyring file of Debian'"'"'s. A vendor
  # using Debian'"'"'s suite and component names ("bookworm main") signs with a
  # keyring of its own.
  function debian_key(signed) {
    return signed == "" || index(signed, "-----BEGIN") > 0 || signed ~ /(^|\/)debian-[^\/]*$/
  }
  function emit(uris, suites, components, signed) {
    suites = debian_suites(suites)
    if (uris == "" || suites == "" || !debian_components(components) || !debian_key(signed)) return
    if (printed++) print ""
    print "Types: deb-src"
    print "URIs: " uris
    print "Suites: " suites
    if (components != "") print "Components: " components
    if (signed != "") print "Signed-By: " signed
  }
  function has_word(list, word,    n, i, w) {
    n = split(list, w, /[ \t]+/)
    for (i = 1; i <= n; i++) if (w[i] == word) return 1
    return 0
  }
  function flush_stanza() {
    if (tolower(f["enabled"]) != "no" && has_word(f["types"], "deb"))
      emit(f["uris"], f["suites"], f["components"], f["signed-by"])
    delete f
    key = ""
  }
  function trim(s) { gsub(/^[ \t]+|[ \t\r]+$/, "", s); return s }

  FNR == 1 { if (deb822) flush_stanza(); deb822 = (FILENAME ~ /\.sources$/) }

  # deb822: stanzas of "Key: value" fields, continued by indented lines.
  deb822 {
    if ($0 ~ /^#/) next
    if ($0 ~ /^[ \t\r]*$/) { flush_stanza(); next }
    if ($0 ~ /^[ \t]/) { if (key != "") f[key] = f[key] "\n" $0; next }
    colon = index($0, ":")
    if (colon == 0) next
    key = tolower(trim(substr($0, 1, colon - 1)))
    f[key] = trim(substr($0, colon + 1))
    next
  }

  # One-line form: deb [options] uri suite [component...]
  {
    line = $0
    sub(/#.*/, "", line)
    line = trim(line)
    if (line !~ /^deb[ \t]/) next
    line = trim(substr(line, 4))
    signed = ""
    if (substr(line, 1, 1) == "[") {
      close_at = index(line, "]")
      if (close_at == 0) next
      n = split(substr(line, 2, close_at - 2), opt, /[ \t]+/)
      for (i = 1; i <= n; i++)
        if (tolower(opt[i]) ~ /^signed-by=/) signed = substr(opt[i], 11)
      line = trim(substr(line, close_at + 1))
    }
    n = split(line, word, /[ \t]+/)
    if (n < 2) next
    components = ""
    for (i = 3; i <= n; i++) components = components (i > 3 ? " " : "") word[i]
    emit(word[1], word[2], components, signed)
  }

  END {
    if (deb822) flush_stanza()
    if (!printed) {
      print "apt-debian-sources: apt has no enabled entry for Debian " codename \
            "; add one (a .sources file or a deb line) so its sources can be fetched" > "/dev/stderr"
      exit 1
    }
  }
' "${files[@]}" /dev/null
