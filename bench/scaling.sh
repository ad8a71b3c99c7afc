#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# How time and memory grow with the picture: kerv-cli and liblqr (ImageMagick's liquid rescale)
# narrowing by 25 % pictures of 1, 4, 8, 16 and 24 megapixels, made from Garden.jpg at run time.
#
#   bench/scaling.sh [--runs N] [--photos DIR] [--cli PATH] [-- extra kerv-cli options]
#
# Prints per size the median wall time of N runs (default 3) and the peak resident memory of
# each program, and the ratio kerv-cli / liblqr; liblqr runs single-threaded.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=3
photos=${KERV_BENCH_PHOTOS:-$top/../shared/samples/bench}
extra=()
cli=$top/build/kerv-cli
while (($#)); do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --photos) photos=$2; shift 2 ;;
    --cli) cli=$2; shift 2 ;;
    --) shift; extra=("$@"); break ;;
    *) echo "usage: bench/scaling.sh [--runs N] [--photos DIR] [--cli PATH] [-- kerv-cli options]" >&2; exit 2 ;;
  esac
done
[[ -f $photos/Garden.jpg ]] || { echo "bench: $photos/Garden.jpg not found (use --photos DIR)" >&2; exit 1; }
[[ -x $cli ]] || bash "$top/scripts/build.sh" "$top/build" >/dev/null
convert=/usr/bin/convert
"$convert" -version 2>/dev/null | grep -q '\blqr\b' || { echo "bench: $convert has no liblqr" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a command $runs times; prints "median-seconds peak-megabytes".
measure() {
  local times=() peak=0
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>&1
    read -r seconds kilobytes < "$work/time"
    times+=("$seconds")
    ((kilobytes > peak)) && peak=$kilobytes
  done
  printf '%s\n' "${times[@]}" | sort -g | awk -v peak="$peak" \
    '{ t[NR] = $1 } END { m = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2; printf "%s %.0f\n", m, peak / 1024 }'
}

echo "width -25 %: kerv-cli ${extra[*]:-} vs liblqr; median of $runs runs; $(nproc) cores"
printf '%-6s %-11s %9s %9s %9s %9s %7s\n' MP size "kerv s" "kerv MB" "lqr s" "lqr MB" ratio
for mp in 1 4 8 16 24; do
  # 16:10 like Garden: width = sqrt(pixels * 1.6), rounded to even.
  read -r width height < <(awk -v p="$mp" 'BEGIN { w = int(sqrt(p * 1e6 * 1.6) / 2) * 2; print w, int(w / 1.6) }')
  in=$work/in.ppm
  "$convert" "$photos/Garden.jpg" -resize "${width}x${height}!" "$in"
  target=$((width * 3 / 4))
  read -r kerv_s kerv_mb < <(measure "$cli" -q "${extra[@]}" "$in" "$work/kerv.ppm" --width "$target")
  read -r lqr_s lqr_mb < <(OMP_NUM_THREADS=1 measure "$convert" "$in" -liquid-rescale "${target}x${height}!" "$work/lqr.ppm")
  ratio=$(awk -v a="$kerv_s" -v b="$lqr_s" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }')
  printf '%-6s %-11s %9s %9s %9s %9s %7s\n' "$mp" "${width}x$height" "$kerv_s" "$kerv_mb" "$lqr_s" "$lqr_mb" "$ratio"
done
