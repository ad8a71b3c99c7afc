#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test (windows open on a private Xvfb display).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$top/scripts/build.sh" "$top/build"
cd "$top/build"
xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" ctest --output-on-failure -j"$(nproc)" "$@"
