#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The portable layout from its release archive: makes a fresh release key, builds and signs the
# archive with it (make-release.sh), serves it from a loopback HTTP server, and lets the real
# Kerv_upd of that release install it into an empty working folder under Xvfb, as an update
# does. Then the updater is closed, which starts the installed Kerv from that folder; its help
# book must open with F1. Everything lives in a temporary folder that is removed at the end.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/lib/version.sh"

if [[ "${1:-}" != "--on-display" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --on-display
fi

scratch=$(mktemp -d)
cleanup() {
  for p in ${server:-} ${updater:-} ${kerv:-}; do kill "$p" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "test-portable: $*" >&2
  cat "$scratch"/*.log >&2 2>/dev/null || true
  exit 1
}

bash "$top/scripts/sign-release.sh" keygen "$scratch/release.pem" >/dev/null
mkdir -p "$scratch/site/kerv"
built=$(bash "$top/scripts/make-release.sh" "$scratch/release.pem" "$scratch/release" | tail -n 1)
# The updater installs only a newer version than its own: the release is offered as the next
# one (signed again under that name, since the signature covers version and name).
name=${kerv_version}.1_Kerv_lnx.tar.gz
archive=$scratch/site/kerv/$name
cp "$built" "$archive"
bash "$top/scripts/sign-release.sh" sign "$scratch/release.pem" "$archive" >/dev/null

python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$scratch/site" >"$scratch/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 1 50); do
  port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$scratch/server.log" 2>/dev/null | head -n 1 || true)
  [[ -n "$port" ]] && break
  sleep 0.1
done
[[ -n "$port" ]] || fail "the loopback server did not start"

# The working folder of a portable copy: only the updater of the release, as Kerv starts it.
work=$scratch/Kerv
mkdir -p "$work" "$scratch/home"
printf '[Confirmations]\nAutoUpdate=0\n' > "$scratch/home/.Kerv"
tar -xzf "$archive" -C "$scratch" --one-top-level=expected
cp -p "$scratch/expected/Kerv_upd_$kerv_version" "$work/"
(cd "$work" && HOME=$scratch/home exec "./Kerv_upd_$kerv_version" \
  "http://127.0.0.1:$port/kerv/$name" >"$scratch/updater.log" 2>&1) &
updater=$!

# Installed means: every file of the archive lies in the working folder as released.
installed() {
  local f
  while read -r f; do
    cmp -s "$scratch/expected/$f" "$work/$f" || { missing=$f; return 1; }
  done < <(cd "$scratch/expected" && find . -type f)
}
missing=
for _ in $(seq 1 150); do
  installed && break
  sleep 0.2
done
installed || fail "$missing was not installed as released"
[[ ! -e "$work/$name" ]] || fail "the downloaded archive was left in the working folder"

# Close the updater with its "Close" button (bottom right); it then starts the installed Kerv.
window=$(xdotool search --all --onlyvisible --pid "$updater" --name '^Update' | head -n 1)
[[ -n "$window" ]] || fail "the updater's window is not shown"
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --sync $((X + WIDTH - 55)) $((Y + HEIGHT - 20)) click 1
for _ in $(seq 1 50); do
  kill -0 "$updater" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$updater" 2>/dev/null && fail "the updater did not end when its Close button was clicked"
updater=

main=
for _ in $(seq 1 100); do
  main=$(xdotool search --all --onlyvisible --name "^Vandrel $kerv_version$" 2>/dev/null | head -n 1 || true)
  [[ -n "$main" ]] && break
  sleep 0.2
done
[[ -n "$main" ]] || fail "the installed Kerv did not start after the updater closed"
kerv=$(xdotool getwindowpid "$main")
[[ $(readlink -f "/proc/$kerv/exe") == "$(readlink -f "$work/Kerv")" ]] || fail "another Kerv started"
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers F1
help=
for _ in $(seq 1 100); do
  help=$(xdotool search --all --onlyvisible --pid "$kerv" --name '^Help: Kerv$' 2>/dev/null | head -n 1 || true)
  [[ -n "$help" ]] && break
  sleep 0.2
done
[[ -n "$help" ]] || fail "F1 did not show the installed help book"
"$work/kerv-cli" -q "$top/samples/coffee.png" "$scratch/narrow.png" --width 50% ||
  fail "the installed kerv-cli failed"
echo "test-portable: $name served on 127.0.0.1, installed by Kerv_upd_$kerv_version, Kerv restarted with its help"
