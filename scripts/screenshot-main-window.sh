#!/usr/bin/env bash
# Takes the README's pictures of the main program on a private Xvfb display, with a fresh home
# folder so that no settings of yours are read or written:
#   docs/main-window.png   the main window as it opens
#   docs/help-window.png   the help book (F1)
# Builds first (scripts/build.sh) into build/, or into $KERV_BUILD_DIR when set. Needs xvfb-run,
# xdotool and ImageMagick's import.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KERV_BUILD_DIR:-$top/build}
mkdir -p "$top/docs"

if [[ "${1:-}" != "--on-display" ]]; then
  bash "$top/scripts/build.sh" "$build" >/dev/null
  exec xvfb-run -a -s "-screen 0 1280x900x24" bash "${BASH_SOURCE[0]}" --on-display
fi

home=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
# A standing "no" to the update reminder, so that no question covers the window.
printf '[Confirmations]\nAutoUpdate=0\n' > "$home/.Kerv"
cd "$build"
HOME="$home" ./Kerv >/dev/null 2>&1 &
pid=$!

wait_for() {  # name -> window id
  for _ in $(seq 1 100); do
    id=$(xdotool search --all --onlyvisible --pid "$pid" --name "^$1\$" 2>/dev/null | head -n 1 || true)
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

main=$(wait_for "Vandrel 0.67")
sleep 1
shoot "$main" "$top/docs/main-window.png"

xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers F1
help=$(wait_for "Help: .*")
xdotool windowsize --sync "$help" 860 600
sleep 2
shoot "$help" "$top/docs/help-window.png"
echo "Wrote docs/main-window.png and docs/help-window.png"
