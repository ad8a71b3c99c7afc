#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One repaint of the picture pane on a private Xvfb display, on a picture made at run time
# (default 6000 x 4000, 24 megapixels), at 25 %, 100 %, 800 % and Fit.
#
#   bench/canvas.sh [WIDTH HEIGHT [WINDOW_WIDTH WINDOW_HEIGHT]]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$top/scripts/build.sh" "$top/build" >/dev/null
cmake --build "$top/build" --target kerv_canvas_bench >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cd "$top/build"
HOME=$home xvfb-run -a -s "-screen 0 1920x1200x24" ./kerv_canvas_bench "$@"
