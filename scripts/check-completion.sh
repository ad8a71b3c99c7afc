#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs kerv-cli's bash completion (data/completion/kerv-cli) under bash-completion's own
# helpers on a folder of real files: options, the values of --threads, and picture files for
# the arguments and for --mask.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion
# shellcheck disable=SC1091
source "$top/data/completion/kerv-cli"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
touch photo.jpg mask.bmp notes.txt

complete_line() {  # words of the command line, the last one being completed
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _kerv_cli kerv-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  ((${#COMPREPLY[@]})) || return 0
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

status=0
expect() {  # expected completions, words...
  local want=$1
  shift
  local got
  got=$(complete_line "$@")
  if [[ "$got" != "$want" ]]; then
    echo "check-completion: kerv-cli $*<TAB> gave \"$got\", not \"$want\"" >&2
    status=1
  fi
}
expect "--threads " kerv-cli --thr
expect "1 2 " kerv-cli --threads ""
expect "forward " kerv-cli --energy-mode f
expect "--remove-object " kerv-cli --rem
expect "mask.bmp photo.jpg " kerv-cli ""
expect "mask.bmp " kerv-cli photo.jpg --mask m
expect "" kerv-cli --width ""
[[ $status -eq 0 ]] && echo "check-completion: kerv-cli completes options, values and pictures"
exit "$status"
