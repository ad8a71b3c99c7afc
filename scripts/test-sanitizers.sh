#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the engine and kerv-cli with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ and runs their tests there.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$top/build-asan
bash "$top/scripts/install-deps.sh"
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKERV_BUILD_GUI=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$build" -j"$(nproc)" --target kerv-cli engine_tests cli_tests formats_tests hostile_tests
cd "$build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1
# The hostile pictures are judged for memory safety here; the 10-second limit is for optimised builds.
export KERV_HOSTILE_SECONDS=120
# Leaks inside the toolkit's own image code are not ours to mend.
export LSAN_OPTIONS=suppressions=$top/scripts/lsan-toolkit.supp:print_suppressions=0
ctest --output-on-failure -j"$(nproc)" -L 'unit|cli'
