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

# Positions in the window: the first-start placement on this screen is fixed, and so is the
# layout of the control panel. The picture starts at `picture` in the right pane.
eval "$(xdotool getwindowgeometry --shell "$main")"
picture_x=$((X + ${KERV_PICTURE_X:-393}))
picture_y=$((Y + ${KERV_PICTURE_Y:-68}))
click() {  # x, y (in the window)
  xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1
  sleep 0.3
}
# Drags the brush along a line of picture points.
stroke() {  # x1 y1 x2 y2 (picture pixels)
  xdotool mousemove --sync $((picture_x + $1)) $((picture_y + $2))
  xdotool mousedown 1
  sleep 0.05
  # Small steps with a pause each, so that no motion event is merged with the next.
  local steps=$(( (${3#-} > ${1#-} ? $3 - $1 : $1 - $3) / 6 + (${4} > ${2} ? $4 - $2 : $2 - $4) / 6 + 1 ))
  for i in $(seq 1 "$steps"); do
    xdotool mousemove --sync $((picture_x + $1 + ($3 - $1) * i / steps)) $((picture_y + $2 + ($4 - $2) * i / steps))
    sleep 0.02
  done
  xdotool mouseup 1
  sleep 0.2
}
type_into() {  # x y text: replaces a text field's content
  click "$1" "$2"
  xdotool key ctrl+a
  xdotool type --delay 30 "$3"
  sleep 0.3
}

click 19 470                       # "Enable"
# A larger brush: the arrow keys change it while the picture pane has the keyboard focus (a
# click beside the picture paints nothing).
click 1000 700
xdotool key --delay 20 --repeat 12 Right
# Protect the cup (the default paint mode).
for y in 35 65 95 125 155 185 215 245 270; do
  stroke 190 "$y" 395 "$y"
done
stroke 205 240 230 300
stroke 230 300 290 285
# Delete the spoon.
click 19 566                       # "Delete Area"
stroke 414 72 392 205
stroke 388 215 364 318
stroke 340 255 395 300
stroke 335 290 390 250
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
