# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that need the program version: reads it from the project() line of the
# top CMakeLists.txt, the one place it is set. The script sourcing this sets `top` first.
kerv_version=$(sed -n 's/^project(Kerv VERSION \([0-9.]*\) .*/\1/p' "$top/CMakeLists.txt")
if [[ -z "$kerv_version" ]]; then
  echo "no version in the project() line of $top/CMakeLists.txt" >&2
  exit 1
fi
