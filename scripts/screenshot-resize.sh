#!/usr/bin/env bash
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
build=${KERV_BUILD_DIR:-$top/build}
mkdir -p "$top/docs"

if [[ "${1:-}" != "--on-display" ]]; then
  bash "$top/scripts/build.sh" "$build" >/dev/null
  exec xvfb-run -a -s "-screen 0 1600x1000x24" bash "${BASH_SOURCE[0]}" --on-display
fi

home=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
# A standing "no" to the update reminder, so that no question covers the window, and the
# sample as the one recent file.
printf '[Confirmations]\nAutoUpdate=0\n[MRU]\nfile1=%s\n' "$top/samples/coffee.png" > "$home/.Kerv"
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
shoot "$top/docs/resize-before.png"

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
shoot "$top/docs/resize-after.png"
echo "Wrote docs/resize-before.png and docs/resize-after.png"
