#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything (the engine, kerv-cli and the desktop programs) with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/ and runs the whole suite there, the windows on a
# private Xvfb display with a temporary HOME. -O1 keeps the checks and the stack traces while
# making the run several times faster than -O0; the build type stays Debug so the engine's
# invariant checks (DP_ASSERT) stay armed.
#
#   scripts/test-sanitizers.sh [ctest options, e.g. -L unit]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$top/build-asan
bash "$top/scripts/install-deps.sh"
flags="-O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=all"
# Sanitized code runs a few times slower: every test's time limit is scaled by this factor.
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKERV_TEST_TIMEOUT_FACTOR=4 \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
  -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1
# Leaks inside the toolkit's, GLib's and fontconfig's own allocations are not ours to mend.
export LSAN_OPTIONS=suppressions=$top/scripts/lsan-toolkit.supp:print_suppressions=0
# The accessibility bridge keeps its objects until the process ends.
export NO_AT_BRIDGE=1
# The hostile pictures are judged for memory safety here; the 10-second limit is for optimised builds.
export KERV_HOSTILE_SECONDS=120
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME=$home xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" \
  ctest --output-on-failure -j"$(nproc)" "$@"
