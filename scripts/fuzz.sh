#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz/ and runs each for a bounded time (seconds per target, default 60; the second
# argument, if given, runs only the targets whose names contain it). Each run starts from the
# target's committed seed corpus fuzz/corpus/NAME/ (so every regression file there is tried
# first); new inputs go to build-fuzz/corpus/NAME/, findings to build-fuzz/findings/. Fails on
# the first finding: copy the finding into fuzz/corpus/NAME/ once it is mended.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
only=${2:-}
build=$top/build-fuzz
bash "$top/scripts/install-deps.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKERV_FUZZ=ON \
  -DKERV_BUILD_TESTS=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_all

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$top/scripts/lsan-toolkit.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/findings"
status=0
while read -r name; do
  [[ -z "$name" || ( -n "$only" && "$name" != *"$only"* ) ]] && continue
  seeds=$top/fuzz/corpus/$name
  if [[ ! -d "$seeds" ]] || [[ -z "$(ls -A "$seeds")" ]]; then
    echo "fuzz: $name has no seed corpus in fuzz/corpus/$name" >&2
    status=1
    continue
  fi
  mkdir -p "$build/corpus/$name"
  echo "fuzz: $name for ${seconds}s" >&2
  # -rss_limit_mb: a picture at the limits may take about 16 bytes a pixel while decoding.
  if ! "$build/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=3072 \
      -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/findings/$name-" \
      "$build/corpus/$name" "$seeds" 2>"$build/findings/$name.log"; then
    tail -n 60 "$build/findings/$name.log" >&2
    echo "fuzz: $name FAILED (log: build-fuzz/findings/$name.log)" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$build/findings/$name.log" >&2 || true
  fi
done <"$build/fuzzers.txt"
exit $status
