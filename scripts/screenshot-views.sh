#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's pictures of the views, in the real main window on a private Xvfb display
# with a fresh home folder (no settings of yours are read or written):
#   docs/show-seams.png   samples/coffee.png with View, Show Seams: the next 20 seams of each
#                         direction marked
#   docs/show-energy.png  the same with View, Show Energy instead: the energy the seams are
#                         chosen by, bright where the picture has edges
# The picture is opened from the recent-files list of the fresh settings (File, 1) and each view
# chosen from the View menu with the keyboard. Builds first (scripts/build.sh) into build/, or
# into $KERV_BUILD_DIR when set. Needs xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/lib/kerv-on-display.sh"
kerv_on_display 1600x1200 "$@"
kerv_start "[MRU]\nfile1=$top/samples/coffee.png\n"
main=$(wait_for "^Vandrel $kerv_version")
sleep 1
open_first_recent "$main" coffee.png
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+v
sleep 0.5
xdotool key --clearmodifiers s
sleep 2
shoot "$main" "$top/docs/show-seams.png"
# Seams off, energy on.
xdotool key --clearmodifiers alt+v
sleep 0.5
xdotool key --clearmodifiers s
sleep 1
xdotool key --clearmodifiers alt+v
sleep 0.5
xdotool key --clearmodifiers e
sleep 2
shoot "$main" "$top/docs/show-energy.png"
