#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's pictures of the main program on a private Xvfb display, with a fresh home
# folder so that no settings of yours are read or written:
#   docs/main-window.png   the main window as it opens
#   docs/help-window.png   the help book (F1)
# Builds first (scripts/build.sh) into build/, or into $KERV_BUILD_DIR when set. Needs xvfb-run,
# xdotool and ImageMagick's import.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/lib/kerv-on-display.sh"
kerv_on_display 1280x900 "$@"
kerv_start

main=$(wait_for "^Vandrel $kerv_version$")
sleep 1
shoot "$main" "$top/docs/main-window.png"

xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers F1
help=$(wait_for "^Help: .*$")
xdotool windowsize --sync "$help" 860 600
sleep 2
shoot "$help" "$top/docs/help-window.png"
echo "Wrote docs/main-window.png and docs/help-window.png"
