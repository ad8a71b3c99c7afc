#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Extracts the translatable texts of the main program (and of the engine it shows messages of)
# into po/kerv.pot and merges them into every po/<language>.po. Run it after changing
# user-visible texts, then translate what is new (msgfmt --check is run on every catalog at
# build time).
#
#   extract-pot.sh           regenerate po/kerv.pot and merge it into the catalogs
#   extract-pot.sh --check   change nothing; fail when the texts of po/kerv.pot are not those
#                            extraction gives, or a catalog has untranslated or fuzzy texts
#                            against them
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/lib/version.sh"
cd "$top"

extract() {  # output file
  local sources
  sources=$(find app mainframe canvas update engine \( -name "*.cpp" -o -name "*.h" \) | sort)
  # shellcheck disable=SC2086
  xgettext --language=C++ --from-code=UTF-8 --add-comments=TRANSLATORS \
    --keyword=_ --keyword=wxPLURAL:1,2 --keyword=wxTRANSLATE --keyword=wxGETTEXT_IN_CONTEXT:1c,2 \
    --keyword=wxGETTEXT_IN_CONTEXT_PLURAL:1c,2,3 --keyword=wxGetTranslation:1 \
    --package-name=Kerv --package-version="$kerv_version" --copyright-holder="the Kerv authors" \
    --sort-by-file --output="$1" $sources
}

# The header's creation date changes on every run and the source locations with every edit
# elsewhere in a file; the texts, their comments and flags must match.
without_date() { grep -v -e '^"POT-Creation-Date:' -e '^#:' "$1"; }

if [[ "${1:-}" == "--check" ]]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  extract "$scratch/kerv.pot"
  status=0
  if ! diff -u <(without_date po/kerv.pot) <(without_date "$scratch/kerv.pot") >"$scratch/diff"; then
    echo "po/kerv.pot is out of date; run: bash scripts/extract-pot.sh" >&2
    head -n 40 "$scratch/diff" >&2
    status=1
  fi
  for po in po/*.po; do
    msgmerge --quiet --output-file="$scratch/merged.po" "$po" "$scratch/kerv.pot"
    stats=$(msgfmt --check --statistics --output-file=/dev/null "$scratch/merged.po" 2>&1)
    echo "$po: $stats"
    if [[ "$stats" == *untranslated* || "$stats" == *fuzzy* ]]; then
      echo "$po has untranslated or fuzzy texts; run bash scripts/extract-pot.sh and translate" >&2
      status=1
    fi
  done
  exit "$status"
fi

extract po/kerv.pot
for po in po/*.po; do
  msgmerge --quiet --update --backup=none "$po" po/kerv.pot
  msgfmt --check --output-file=/dev/null "$po"
done
echo "po/kerv.pot: $(grep -c '^msgid ' po/kerv.pot) texts"
