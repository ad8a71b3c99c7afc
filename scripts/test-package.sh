#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package on this machine: builds it (make-deb.sh), installs it with apt-get, starts
# the installed Kerv under Xvfb from a fresh home folder with a picture from the command line,
# opens the help book with F1, does the same in German (LANG=de_DE.UTF-8: the update question,
# the toolkit's help viewer and the German help book), runs the installed kerv-cli against the
# build's, and removes the package again, checking that none of its files is left behind.
# Needs root (or sudo) for apt-get; refuses to run when a kerv package is installed already.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/lib/version.sh"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)

if [[ "${1:-}" != "--on-display" ]]; then
  if dpkg-query -W -f='${Status}' kerv 2>/dev/null | grep -q 'install ok installed'; then
    echo "test-package: a kerv package is installed already; remove it first" >&2
    exit 1
  fi
  if ! locale -a | grep -qix 'de_DE.utf8'; then
    "${sudo_cmd[@]}" sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    "${sudo_cmd[@]}" locale-gen >/dev/null
  fi
  deb=$(bash "$top/scripts/make-deb.sh" "${KERV_DEB_BUILD_DIR:-$top/build-deb}" | tail -n 1)
  export KERV_DEB=$deb
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --on-display
fi

scratch=$(mktemp -d)
files=$scratch/files
cleanup() {
  # Kerv may have ended already; the package is removed all the same.
  [[ -z "${pid:-}" ]] || kill "$pid" 2>/dev/null || true
  if dpkg-query -W -f='${Status}' kerv 2>/dev/null | grep -q 'install ok installed'; then
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove --purge -y -qq kerv >/dev/null 2>&1
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "test-package: $*" >&2; exit 1; }

dpkg-deb -f "$KERV_DEB" Depends | grep -q 'libwxgtk3.2' || fail "Depends lacks the toolkit"
! dpkg-deb -c "$KERV_DEB" | grep -q 'Kerv_upd' || fail "the package carries the updater"
apt_get() {  # arguments; the output is shown only when apt-get fails
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -y -qq "$@" >"$scratch/apt.log" 2>&1 ||
    { cat "$scratch/apt.log" >&2; fail "apt-get $* failed"; }
}
apt_get install "$KERV_DEB"
dpkg-query -L kerv | while read -r f; do [[ -f "$f" ]] && echo "$f"; done > "$files"
for f in /usr/bin/Kerv /usr/bin/kerv-cli /usr/share/kerv/kerv.htb /usr/share/kerv/de/kerv.htb \
         /usr/share/locale/de/LC_MESSAGES/kerv.mo /usr/share/applications/org.example.kerv.desktop; do
  grep -qx "$f" "$files" || fail "$f is not in the package"
done
[[ $(man -w Kerv) == /usr/share/man/man1/Kerv.1* ]] || fail "man Kerv does not find the page"

# Prints the id of the first visible window of pid whose title matches the pattern.
wait_for() {  # pattern
  for _ in $(seq 1 100); do
    id=$(xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -n 1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.2
  done
  echo "test-package: no window \"$1\" appeared; there are:" >&2
  xdotool search --all --onlyvisible --pid "$pid" --name . getwindowname %@ >&2 || true
  kill -0 "$pid" 2>/dev/null || echo "test-package: Kerv has ended; what it wrote:" >&2
  cat "$scratch/kerv.log" >&2
  return 1
}
press() {  # window id, keys
  xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers "$2"
}

# One start of the installed Kerv from a fresh home, as a launcher starts it: the working
# folder is the home folder, which holds no help book.
start_kerv() {  # settings
  home=$scratch/home-$RANDOM
  mkdir -p "$home"
  cp "$top/samples/coffee.png" "$home/"
  printf '%b' "$1" > "$home/.Kerv"
  (cd "$home" && HOME=$home exec /usr/bin/Kerv coffee.png >"$scratch/kerv.log" 2>&1) &
  pid=$!
}
stop_kerv() {
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
}

start_kerv '[Confirmations]\nAutoUpdate=0\n'
main=$(wait_for "^Vandrel $kerv_version - coffee.png$")
press "$main" F1
wait_for '^Help: Kerv$' >/dev/null
stop_kerv

locale -a | grep -qix 'de_DE.utf8' || fail "the locale de_DE.UTF-8 is missing (locale-gen)"
export LANG=de_DE.UTF-8
start_kerv ''
question=$(wait_for '^Nach Aktualisierungen suchen\?$')
press "$question" Escape
main=$(wait_for "^Vandrel $kerv_version - coffee.png$")
press "$main" F1
wait_for '^Hilfe: Kerv-Hilfe$' >/dev/null
stop_kerv
unset LANG

/usr/bin/kerv-cli -q "$top/samples/coffee.png" "$scratch/narrow.png" --width 75%
[[ $(identify -format %wx%h "$scratch/narrow.png") == 450x400 ]] || fail "kerv-cli made no 450x400"
[[ $(/usr/bin/kerv-cli --version) == "kerv-cli $kerv_version" ]] || fail "kerv-cli --version"

apt_get remove --purge kerv
while read -r f; do
  [[ ! -e "$f" ]] || fail "$f is left behind after removal"
done < "$files"
! dpkg-query -W -f='${Status}' kerv 2>/dev/null | grep -q 'installed' || fail "kerv is still installed"
echo "test-package: $(basename "$KERV_DEB") installed, started, helped in English and German, removed"
