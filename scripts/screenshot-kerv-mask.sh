#!/usr/bin/env bash
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
build=${KERV_BUILD_DIR:-$top/build}
mkdir -p "$top/docs"

if [[ "${1:-}" != "--on-display" ]]; then
  bash "$top/scripts/build.sh" "$build" >/dev/null
  exec xvfb-run -a -s "-screen 0 1600x1200x24" bash "${BASH_SOURCE[0]}" --on-display
fi

home=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
# A standing "no" to the update reminder, so that no question covers the window; the sample as
# the one recent file; both options off, so that the targets are typed independently and the
# run is quick.
printf '[Confirmations]\nAutoUpdate=0\n[MRU]\nfile1=%s\n[Operation]\nAnimatedKerv=0\nMaintainAspect=0\n' \
  "$top/samples/coffee.png" > "$home/.Kerv"
cd "$build"
HOME="$home" ./Kerv >/dev/null 2>&1 &
pid=$!

main=""
for _ in $(seq 1 100); do
  main=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Vandrel 0\.67' 2>/dev/null | head -n 1 || true)
  [[ -n "$main" ]] && break
  sleep 0.2
done
[[ -n "$main" ]] || { echo "the main window did not appear" >&2; exit 1; }
sleep 1

# Grabs the screen where the window lies (there is no window manager to ask for its frame).
shoot() {  # file
  eval "$(xdotool getwindowgeometry --shell "$main")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}

title_is() {  # expected title
  for _ in $(seq 1 50); do
    [[ "$(xdotool getwindowname "$main")" == "$1" ]] && return 0
    sleep 0.2
  done
  echo "the title did not become \"$1\"" >&2
  return 1
}

xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key 1
title_is "Vandrel 0.67 - coffee.png"
sleep 1

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
shoot "$top/docs/kerv-mask.png"

type_into 87 300 480
type_into 280 300 360
click 340 420                      # "Kerv"
sleep 6
xdotool mousemove $((X + 1000)) $((Y + 700))
sleep 1
shoot "$top/docs/kerv-after.png"
echo "Wrote docs/kerv-mask.png and docs/kerv-after.png"
