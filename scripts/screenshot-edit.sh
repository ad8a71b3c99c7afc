#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's pictures of removing an object and of undoing it, in the real main window
# on a private Xvfb display with a fresh home folder (no settings of yours are read or written):
#   docs/remove-object-before.png  samples/coffee.png with the spoon painted green (delete)
#   docs/remove-object-after.png   the same after "Remove Object": the spoon is gone and the
#                                  picture back at its size
#   docs/undo-menu.png             the Edit menu open after the removal, "Undo" ready to take it
#                                  back
# The picture is opened from the recent-files list of the fresh settings (File, 1); painting
# and the removal are done with the pointer, the menu with the keyboard, as a user would.
# Builds first (scripts/build.sh) into build/, or into $KERV_BUILD_DIR when set. Needs xvfb-run,
# xdotool and ImageMagick's import.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/lib/kerv-on-display.sh"
kerv_on_display 1600x1200 "$@"
kerv_start "[MRU]\nfile1=$top/samples/coffee.png\n[Operation]\nAnimatedKerv=0\n"
main=$(wait_for "^Vandrel $kerv_version")
sleep 1
open_first_recent "$main" coffee.png

locate_picture "$main"
enable_painting_with_a_large_brush
paint_the_spoon_for_deletion
xdotool mousemove $((X + 1000)) $((Y + 700))
sleep 1
shoot "$main" "$top/docs/remove-object-before.png"

click 230 422                      # "Remove Object"
sleep 8
xdotool mousemove $((X + 1000)) $((Y + 700))
sleep 1
shoot "$main" "$top/docs/remove-object-after.png"

xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+e
sleep 1
shoot "$main" "$top/docs/undo-menu.png"
xdotool key --clearmodifiers Escape
echo "Wrote docs/remove-object-before.png, docs/remove-object-after.png and docs/undo-menu.png"
