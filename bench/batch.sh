#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times a kerv-cli batch of 40 photos with one job and with two: files per second and the
# speed-up.
#
#   bench/batch.sh [--runs N] [--photos DIR] [--cli PATH] [-- extra kerv-cli options]
#
# The 40 photos are made at bench time (never committed) from the benchmark photos Blinds.jpg
# and Garden.jpg (by default in ../shared/samples/bench): 20 crops of each, 1024x640, at
# different offsets of the photo scaled to 1280 wide, saved as JPEG at quality 90. Each run
# carves all of them 25 % narrower into a fresh folder as JPEG (so reading, metadata and
# encoding count as in real batch work). Prints the median wall time of N runs (default 3).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=3
photos=${KERV_BENCH_PHOTOS:-$top/../shared/samples/bench}
cli=$top/build/kerv-cli
extra=()
while (($#)); do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --photos) photos=$2; shift 2 ;;
    --cli) cli=$2; shift 2 ;;
    --) shift; extra=("$@"); break ;;
    *) echo "usage: bench/batch.sh [--runs N] [--photos DIR] [--cli PATH] [-- kerv-cli options]" >&2; exit 2 ;;
  esac
done
if [[ ! -x $cli ]]; then
  bash "$top/scripts/build.sh" "$top/build" >/dev/null
fi
for photo in Blinds.jpg Garden.jpg; do
  [[ -f $photos/$photo ]] || { echo "bench: $photos/$photo not found (use --photos DIR)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in"
for photo in Blinds Garden; do
  convert "$photos/$photo.jpg" -resize 1280x "$work/$photo.png"
  for ((i = 0; i < 20; i++)); do
    convert "$work/$photo.png" -crop "1024x640+$((i * 12))+$((i * 7))" +repage -quality 90 \
      "$work/in/$photo-$i.jpg"
  done
done
inputs=("$work"/in/*.jpg)

# Prints the median wall time in seconds of $runs batches with the given number of jobs.
median_batch() {
  local jobs=$1 times=()
  for ((r = 0; r < runs; r++)); do
    rm -rf "$work/out" && mkdir "$work/out"
    local start end
    start=$(date +%s.%N)
    "$cli" -q --width 75% -j "$jobs" -o "$work/out" "${extra[@]}" "${inputs[@]}"
    end=$(date +%s.%N)
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')")
  done
  printf '%s\n' "${times[@]}" | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}

one=$(median_batch 1)
two=$(median_batch 2)
files=${#inputs[@]}
printf '%d photos (1024x640 JPEG, width -25%%), median of %d runs, %d cores\n' "$files" "$runs" "$(nproc)"
awk -v n="$files" -v one="$one" -v two="$two" 'BEGIN {
  printf "  --jobs 1: %6.2f s  %5.2f files/s\n", one, n / one
  printf "  --jobs 2: %6.2f s  %5.2f files/s\n", two, n / two
  printf "  speed-up: %.2f\n", one / two
}' 
