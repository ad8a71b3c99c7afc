#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's pictures of a Kerv run with a painted mask, in the real main window on a
# private Xvfb display with a fresh home folder (no settings of yours are read or written):
#   docs/kerv-mask.png    samples/coffee.png (600 x 400) with the cup painted red (protect) and
#                         the spoon green (delete)
#   docs/kerv-after.png   the same after "Kerv" to 480 x 360: the cup keeps its shape, the spoon
#                         is gone
# The picture is opened from the recent-files list of the fresh settings (File, 1); painting,
# the brush size, the targets and the run are done with the pointer and the keyboard, as a user
# would. Builds first (scripts/build.sh) into build/, or into $KERV_BUILD_DIR when set. Needs
# xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/lib/kerv-on-display.sh"
kerv_on_display 1600x1200 "$@"
# The sample as the one recent file; both options off, so that the targets are typed
# independently and the run is quick.
kerv_start "[MRU]\nfile1=$top/samples/coffee.png\n[Operation]\nAnimatedKerv=0\nMaintainAspect=0\n"
main=$(wait_for "^Vandrel $kerv_version")
sleep 1
open_first_recent "$main" coffee.png

locate_picture "$main"
type_into() {  # x y text: replaces a text field's content
  click "$1" "$2"
  xdotool key ctrl+a
  xdotool type --delay 30 "$3"
  sleep 0.3
}

enable_painting_with_a_large_brush
paint_the_cup_for_protection
paint_the_spoon_for_deletion
xdotool mousemove $((X + 1000)) $((Y + 700))
sleep 1
shoot "$main" "$top/docs/kerv-mask.png"

type_into 87 300 480
type_into 280 300 360
click 340 420                      # "Kerv"
sleep 6
xdotool mousemove $((X + 1000)) $((Y + 700))
sleep 1
shoot "$main" "$top/docs/kerv-after.png"
echo "Wrote docs/kerv-mask.png and docs/kerv-after.png"
