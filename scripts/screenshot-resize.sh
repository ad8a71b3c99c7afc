#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's before/after pictures of a resize in the main window, on a private Xvfb
# display with a fresh home folder (no settings of yours are read or written):
#   docs/resize-before.png   samples/coffee.png just opened (600 x 400)
#   docs/resize-after.png    the same after the immediate sliders took it to 420 x 300
# The picture is opened from the recent-files list of the fresh settings (File, 1), and the
# sliders are moved with the arrow keys, one pixel a key, as a user would. Builds first
# (scripts/build.sh) into build/, or into $KERV_BUILD_DIR when set. Needs xvfb-run, xdotool and
# ImageMagick's import.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/lib/kerv-on-display.sh"
kerv_on_display 1600x1000 "$@"
# The sample as the one recent file.
kerv_start "[MRU]\nfile1=$top/samples/coffee.png\n"
main=$(wait_for "^Vandrel $kerv_version")
sleep 1
open_first_recent "$main" coffee.png
shoot "$main" "$top/docs/resize-before.png"

# The sliders' knobs sit in the middle of their tracks after opening (the range is twice the
# picture's size). A click on a knob gives the slider the keyboard focus without moving it.
eval "$(xdotool getwindowgeometry --shell "$main")"
press_left() {  # x, y (in the window), count
  xdotool mousemove --sync $((X + $1)) $((Y + $2)) click 1
  sleep 0.3
  xdotool key --delay 20 --repeat "$3" Left
  sleep 1
}
press_left 157 170 180
press_left 157 207 100
xdotool mousemove $((X + 700)) $((Y + 650))
sleep 1
shoot "$main" "$top/docs/resize-after.png"
echo "Wrote docs/resize-before.png and docs/resize-after.png"
