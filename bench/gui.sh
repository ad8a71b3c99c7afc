#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The main window's figures on a private Xvfb display: seams per second of an immediate width
# run (-25 %) on a benchmark photo against the engine alone, and one canvas repaint at 100 % and
# 25 % zoom.
#
#   bench/gui.sh [PICTURE]     (default: Blinds.jpg from ../shared/samples/bench)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
picture=${1:-$top/../shared/samples/bench/Blinds.jpg}
[[ -f $picture ]] || { echo "bench: $picture not found (give a picture as the argument)" >&2; exit 1; }
bash "$top/scripts/build.sh" "$top/build" >/dev/null
cmake --build "$top/build" --target kerv_gui_bench >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cd "$top/build"
HOME=$home xvfb-run -a -s "-screen 0 1920x1200x24" ./kerv_gui_bench "$picture"
