#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Applies each deliberate fault of scripts/mutations.tsv in turn, rebuilds, runs the test suite
# and says whether any test failed (the fault was caught). The sources are restored after every
# fault, also when the script is interrupted. A fault's optional fifth column names the ctest
# labels (a regular expression) whose tests can catch it, optionally followed by a colon and a
# regular expression of test names that narrows the run to those tests (for example
# `gui:ZoomSteps|CanvasView` runs `ctest -L gui -R 'ZoomSteps|CanvasView'`); --all runs the
# whole suite regardless. A fault in a path of one instruction set names the processor flag it
# needs in a sixth column (for example `avx512f`); on a processor without it the fault is
# skipped, since no test can reach the path there. A caught fault is reported with the first
# test that failed.
#
#   scripts/mutation-check.sh [--build DIR] [--all] [ID...]   (default: every fault, build-mutation/)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$top/build-mutation
if [[ ${1:-} == --build ]]; then build=$2; shift 2; fi
everything=0
if [[ ${1:-} == --all ]]; then everything=1; shift; fi
table=$top/scripts/mutations.tsv
wanted=("$@")

bash "$top/scripts/build.sh" "$build" >/dev/null

# Replaces the text of fault $1 in its file; prints the file, or fails when the text is not
# found exactly once (the fault no longer applies to the code as it is).
apply() {
  python3 - "$top" "$table" "$1" <<'PY'
import sys
top, table, wanted = sys.argv[1:]
for line in open(table, encoding="utf-8"):
    if line.startswith("#") or not line.strip():
        continue
    ident, path, original, replacement = line.rstrip("\n").split("\t")[:4]
    if ident != wanted:
        continue
    full = f"{top}/{path}"
    text = open(full, encoding="utf-8").read()
    if text.count(original) != 1:
        sys.exit(f"{ident}: the text is found {text.count(original)} times in {path}")
    open(full, "w", encoding="utf-8").write(text.replace(original, replacement, 1))
    print(path)
    sys.exit(0)
sys.exit(f"{wanted}: no such fault")
PY
}

saved=$(mktemp -d)
trap 'restore; rm -rf "$saved"' EXIT
current=""
restore() {
  if [[ -n $current ]]; then
    # A fresh time stamp, so the build recompiles the restored file.
    cp "$saved/file" "$top/$current" && touch "$top/$current"
    current=""
  fi
}

mapfile -t ids < <(awk -F'\t' '!/^#/ && NF >= 4 { print $1 }' "$table")
((${#wanted[@]})) && ids=("${wanted[@]}")
caught=0 missed=0 broken=0 skipped=0
flags=" $(grep -m1 '^flags' /proc/cpuinfo | cut -d: -f2) "
for id in "${ids[@]}"; do
  path=$(awk -F'\t' -v id="$id" '$1 == id { print $2 }' "$table")
  labels=$(awk -F'\t' -v id="$id" '$1 == id { print $5 }' "$table")
  needs=$(awk -F'\t' -v id="$id" '$1 == id { print $6 }' "$table")
  if [[ -n $needs && $flags != *" $needs "* ]]; then
    printf '%-22s %-40s skipped: the processor lacks %s\n' "$id" "$path" "$needs"
    skipped=$((skipped + 1)); continue
  fi
  select=()
  if [[ -n $labels && $everything == 0 ]]; then
    select=(-L "${labels%%:*}")
    [[ $labels == *:* ]] && select+=(-R "${labels#*:}")
  fi
  [[ -n $path ]] || { printf '%-22s no such fault\n' "$id"; broken=$((broken + 1)); continue; }
  cp "$top/$path" "$saved/file"
  if ! apply "$id" >/dev/null; then
    printf '%-22s does not apply\n' "$id"; broken=$((broken + 1)); continue
  fi
  current=$path
  if ! cmake --build "$build" -j"$(nproc)" >"$saved/build.log" 2>&1; then
    verdict="caught (does not build)"; caught=$((caught + 1))
  elif (cd "$build" && xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" \
          ctest -j"$(nproc)" --timeout 120 --stop-on-failure "${select[@]}" >"$saved/test.log" 2>&1); then
    verdict="MISSED"; missed=$((missed + 1))
  else
    first=$(sed -n '/The following tests FAILED:/{n;p;q}' "$saved/test.log" | sed 's/^[[:space:]]*//')
    [[ -n $first ]] || first=$(grep -m1 -E '\*\*\*(Failed|Timeout|Exception)' "$saved/test.log" || true)
    verdict="caught: ${first:0:70}"; caught=$((caught + 1))
  fi
  restore
  printf '%-22s %-40s %s\n' "$id" "$path" "$verdict"
done
cmake --build "$build" -j"$(nproc)" >/dev/null 2>&1 || true
echo "$caught caught, $missed missed, $broken not applicable, $skipped skipped for the processor"
((missed == 0 && broken == 0))
