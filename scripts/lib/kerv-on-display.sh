# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the screenshot scripts (sourced, not run): starts Kerv on a private Xvfb display
# with a fresh home folder (no settings of yours are read or written) and finds its windows.
# The script sourcing this sets `top` first and calls kerv_on_display before anything else.
source "$top/scripts/lib/version.sh"

# Re-runs the calling script on a private Xvfb display of the given size, after building into
# build/ (or $KERV_BUILD_DIR). Returns only inside that run.
kerv_on_display() {  # screen size, the calling script's arguments...
  local screen=$1
  shift
  build=${KERV_BUILD_DIR:-$top/build}
  mkdir -p "$top/docs"
  if [[ "${1:-}" != "--on-display" ]]; then
    bash "$top/scripts/build.sh" "$build" >/dev/null
    exec xvfb-run -a -s "-screen 0 ${screen}x24" bash "$0" --on-display
  fi
}

# Starts Kerv with the given settings file contents (a standing "no" to the update reminder is
# always added, so that no question covers the window); sets `pid`.
kerv_start() {  # settings
  home=$(mktemp -d)
  trap 'kill "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
  printf '[Confirmations]\nAutoUpdate=0\n%b' "${1:-}" > "$home/.Kerv"
  (cd "$build" && HOME="$home" exec ./Kerv >/dev/null 2>&1) &
  pid=$!
}

# Prints the id of Kerv's first visible window whose title matches the pattern.
wait_for() {  # title pattern
  local id
  for _ in $(seq 1 100); do
    id=$(xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -n 1 || true)
    if [[ -n "$id" ]]; then echo "$id"; return 0; fi
    sleep 0.2
  done
  echo "no window \"$1\" appeared" >&2
  return 1
}

# Grabs the screen where the window lies (there is no window manager to ask for its frame).
shoot() {  # window id, file
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
}

title_is() {  # window id, expected title
  for _ in $(seq 1 50); do
    [[ "$(xdotool getwindowname "$1")" == "$2" ]] && return 0
    sleep 0.2
  done
  echo "the title did not become \"$2\"" >&2
  return 1
}

# Opens the first recent file through the File menu, as a user would, and waits for its title.
open_first_recent() {  # window id, file name shown in the title
  xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key 1
  title_is "$1" "Vandrel $kerv_version - $2"
  sleep 1
}

# Positions in the main window: the first-start placement on the screen is fixed, and so is the
# layout of the control panel. Sets X and Y (the window's corner) and picture_x and picture_y
# (the picture's, by default 393, 68 from the window's; KERV_PICTURE_X and _Y move it).
locate_picture() {  # window id
  eval "$(xdotool getwindowgeometry --shell "$1")"
  picture_x=$((X + ${KERV_PICTURE_X:-393}))
  picture_y=$((Y + ${KERV_PICTURE_Y:-68}))
}

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

# Ticks "Enable" and makes the brush larger: the arrow keys change it while the picture pane has
# the keyboard focus (a click beside the picture paints nothing).
enable_painting_with_a_large_brush() {
  click 19 470
  click 1000 700
  xdotool key --delay 20 --repeat 12 Right
}

# Paints the cup of samples/coffee.png with "Protect Area", the paint mode painting starts in.
paint_the_cup_for_protection() {
  for y in 35 65 95 125 155 185 215 245 270; do
    stroke 190 "$y" 395 "$y"
  done
  stroke 205 240 230 300
  stroke 230 300 290 285
}

# Paints the spoon of samples/coffee.png with "Delete Area".
paint_the_spoon_for_deletion() {
  click 19 566
  stroke 414 72 392 205
  stroke 388 215 364 318
  stroke 340 255 395 300
  stroke 335 290 390 250
}
