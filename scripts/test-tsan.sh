#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the engine tests with ThreadSanitizer in build-tsan/ and runs those whose carves share
# their rows and columns with the second thread (the oracle comparisons on one and two threads),
# so every loop the second core takes part in is checked for races (on the scalar path: the
# instruction set changes nothing in how the threads share the work).
#
#   scripts/test-tsan.sh [ctest options, e.g. -L unit for every engine test]
#   (KERV_CMAKE_ARGS: extra cmake options)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$top/build-tsan
bash "$top/scripts/install-deps.sh"
flags="-O2 -g -fsanitize=thread"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKERV_BUILD_GUI=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" ${KERV_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)" --target engine_tests
cd "$build"
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
(($#)) || set -- -R 'EngineMatchesReference\.(RandomLargerPicturesOnOneAndTwoThreads|LongRunsInOneDirectionOnPhotos)/scalar'
# ThreadSanitizer needs the classic address-space layout: setarch -R turns off randomisation
# for this run only.
setarch "$(uname -m)" -R ctest --output-on-failure -j"$(nproc)" "$@"
