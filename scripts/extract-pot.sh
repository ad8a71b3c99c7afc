#!/usr/bin/env bash
# Extracts the translatable texts of the main program into po/kerv.pot and merges them into
# every po/<language>.po. Run it after changing user-visible texts, then translate what is new
# (msgfmt --check is run on every catalog at build time).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/lib/version.sh"
cd "$top"
sources=$(find app mainframe canvas update \( -name "*.cpp" -o -name "*.h" \) 2>/dev/null | sort || true)
# shellcheck disable=SC2086
xgettext --language=C++ --from-code=UTF-8 --add-comments=TRANSLATORS \
  --keyword=_ --keyword=wxPLURAL:1,2 --keyword=wxTRANSLATE --keyword=wxGETTEXT_IN_CONTEXT:1c,2 \
  --keyword=wxGETTEXT_IN_CONTEXT_PLURAL:1c,2,3 --keyword=wxGetTranslation:1 \
  --package-name=Kerv --package-version="$kerv_version" --copyright-holder="the Kerv authors" \
  --sort-by-file --output=po/kerv.pot $sources
for po in po/*.po; do
  msgmerge --quiet --update --backup=none "$po" po/kerv.pot
  msgfmt --check --output-file=/dev/null "$po"
done
echo "po/kerv.pot: $(grep -c '^msgid ' po/kerv.pot) texts"
