#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times kerv-cli against ImageMagick's liquid rescale (liblqr) on the benchmark photos.
#
#   bench/run.sh [--runs N] [--photos DIR] [--cli PATH] [-- extra kerv-cli options]
#
# Both programs write binary PNM, so the figures measure carving rather than compression;
# liblqr runs single-threaded (OMP_NUM_THREADS=1). Prints the median wall time of N runs
# (default 5), the peak resident memory and the ratio kerv-cli / liblqr for each case. The last
# case carves a 3840x2160 picture made from Garden.jpg at run time.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=5
photos=${KERV_BENCH_PHOTOS:-$top/../shared/samples/bench}
extra=()
cli=$top/build/kerv-cli
while (($#)); do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --photos) photos=$2; shift 2 ;;
    --cli) cli=$2; shift 2 ;;
    --) shift; extra=("$@"); break ;;
    *) echo "usage: bench/run.sh [--runs N] [--photos DIR] [--cli PATH] [-- kerv-cli options]" >&2; exit 2 ;;
  esac
done

if [[ ! -x $cli ]]; then
  bash "$top/scripts/build.sh" "$top/build" >/dev/null
fi
for photo in Blinds.jpg Garden.jpg; do
  [[ -f $photos/$photo ]] || { echo "bench: $photos/$photo not found (use --photos DIR)" >&2; exit 1; }
done

convert=""
for candidate in /usr/bin/convert "$(command -v convert || true)"; do
  if [[ -x $candidate ]] && "$candidate" -version 2>/dev/null | grep -q '\blqr\b'; then
    convert=$candidate
    break
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A 3840x2160 photo: Garden enlarged to cover the frame and cut to it (made here, never kept).
"${convert:-/usr/bin/convert}" "$photos/Garden.jpg" -resize '3840x2160^' -gravity center -extent 3840x2160 \
  "$work/Garden-3840.ppm"

# Runs a command $runs times; prints "median-seconds peak-kilobytes".
measure() {
  local times=() peak=0
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>&1
    read -r seconds kilobytes < "$work/time"
    times+=("$seconds")
    ((kilobytes > peak)) && peak=$kilobytes
  done
  printf '%s\n' "${times[@]}" | sort -g | awk -v peak="$peak" \
    '{ t[NR] = $1 } END { m = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2; print m, peak }'
}

cases=(
  "Blinds.jpg 1440 1200 width -25%"
  "Blinds.jpg 1920 900 height -25%"
  "Garden.jpg 1920 1600 width -25%"
  "Blinds.jpg 1440 900 both -25%"
  "Blinds.jpg 2400 1200 width +25%"
  "Garden-3840.ppm 2880 2160 width -25%"
)

echo "kerv-cli ${extra[*]:-} vs ${convert:-no liblqr} -liquid-rescale; median of $runs runs; $(nproc) cores"
printf '%-34s %10s %10s %10s %10s %8s\n' case "kerv s" "kerv MB" "lqr s" "lqr MB" ratio
for entry in "${cases[@]}"; do
  read -r photo width height label <<< "$entry"
  in=$photos/$photo
  [[ $photo == *.ppm ]] && in=$work/$photo
  read -r kerv_s kerv_kb < <(measure "$cli" -q "${extra[@]}" "$in" "$work/kerv.ppm" --width "$width" --height "$height")
  lqr_s="-" lqr_mb="-" ratio="-"
  if [[ -n $convert ]]; then
    read -r lqr_s lqr_kb < <(OMP_NUM_THREADS=1 measure "$convert" "$in" -liquid-rescale "${width}x${height}!" "$work/lqr.ppm")
    lqr_mb=$(awk -v k="$lqr_kb" 'BEGIN { printf "%.0f", k / 1024 }')
    ratio=$(awk -v a="$kerv_s" -v b="$lqr_s" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }')
  fi
  printf '%-34s %10s %10.0f %10s %10s %8s\n' "${photo%.*} ${width}x${height} ($label)" "$kerv_s" \
    "$(awk -v k="$kerv_kb" 'BEGIN { print k / 1024 }')" "$lqr_s" "$lqr_mb" "$ratio"
done
