#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of the system layout: configures build-deb/ (or the folder given as
# $1) with KERV_LAYOUT=system and no tests, builds, and packs kerv_<version>_<arch>.deb there
# with CPack; its Depends come from the shared libraries the programs link (dpkg-shlibdeps).
# Prints the package's path on the last line.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$top/build-deb}
shift || true
bash "$top/scripts/install-deps.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKERV_LAYOUT=system \
  -DKERV_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/kerv_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/kerv_*.deb
