#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts the main program with build/ as its working
# directory (where its help book lives). Without a desktop build it shows kerv-cli at work on a
# sample picture instead.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$top/scripts/build.sh" "$top/build"
cd "$top/build"
if [[ -x ./Kerv ]]; then
  exec ./Kerv "$@"
fi
./kerv-cli "$top/samples/coffee.png" "$top/build/coffee_kerv.png" --width 75% --keep-aspect
echo "Resized samples/coffee.png to three quarters of its size: build/coffee_kerv.png"
