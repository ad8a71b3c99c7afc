#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times Kerv from its start to its main window shown, on a private Xvfb display.
#
#   bench/startup.sh [--runs N]
#
# Each run starts build/Kerv with an empty settings folder and polls the display every few
# milliseconds for the visible main window ("Vandrel" and the version); prints every time and the median.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/lib/version.sh"
runs=5
[[ ${1:-} == --runs ]] && runs=$2
[[ -x $top/build/Kerv ]] || bash "$top/scripts/build.sh" "$top/build" >/dev/null

if [[ -z ${KERV_STARTUP_ON_DISPLAY:-} ]]; then
  exec env KERV_STARTUP_ON_DISPLAY=1 xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" "$0" --runs "$runs"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
times=()
for ((i = 0; i < runs; i++)); do
  mkdir -p "$work/home$i"
  start=$(date +%s.%N)
  (cd "$top/build" && HOME=$work/home$i exec ./Kerv) >"$work/log$i" 2>&1 &
  pid=$!
  until xdotool search --all --onlyvisible --pid "$pid" --name "^Vandrel $kerv_version$" >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "Kerv ended before its window showed:" >&2
      cat "$work/log$i" >&2
      exit 1
    fi
    sleep 0.005
  done
  end=$(date +%s.%N)
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
done
printf 'start to window shown (s): %s\n' "${times[*]}"
printf '%s\n' "${times[@]}" | sort -g | awk '{ t[NR] = $1 } END { print "median:", t[int((NR + 1) / 2)], "s" }'
