#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Validates what the project installs beside the programs and what translators work on: the
# desktop entry (desktop-file-validate), the AppStream metainfo (appstreamcli, offline), the man
# pages (man --warnings and lexgrog), the message template and catalogs (extract-pot.sh --check:
# current, nothing untranslated or fuzzy), the catalogs' mnemonics (check-mnemonics.py) and the
# help books (check-help.py: index, pictures, every settings key), and kerv-cli's bash completion
# (check-completion.sh); and that the metainfo and both change logs name the current version.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$top/scripts/install-deps.sh"
cd "$top"
status=0
fail() { echo "check-data: $*" >&2; status=1; }

desktop-file-validate data/*.desktop || fail "the desktop entry does not validate"
appstreamcli validate --no-net --pedantic data/*.metainfo.xml || fail "the metainfo does not validate"
for page in data/man/*.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "$page: $warnings"
  lexgrog "$page" >/dev/null || fail "$page: lexgrog finds no NAME section"
done
# The release history names the version of the project() line as its newest release.
source scripts/lib/version.sh
newest=$(grep -o -m 1 '<release version="[^"]*"' data/*.metainfo.xml | cut -d'"' -f2)
[[ "$newest" == "$kerv_version" ]] ||
  fail "the metainfo's newest release is $newest, the project's version $kerv_version"
for log in help/changelog.html help/*/changelog.html; do
  grep -q "<h3>Version $kerv_version</h3>" "$log" || fail "$log has no entry for $kerv_version"
done
bash scripts/extract-pot.sh --check || fail "the translations are not current"
python3 scripts/check-mnemonics.py || fail "mnemonics clash in a catalog"
python3 scripts/check-help.py || fail "the help books are incomplete"
bash scripts/check-completion.sh || fail "kerv-cli's bash completion does not complete"
exit "$status"
