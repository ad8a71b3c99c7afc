#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the README's before/after pictures with kerv-cli from the committed sample.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cli=${KERV_CLI:-$top/build/kerv-cli}
[[ -x $cli ]] || bash "$top/scripts/build.sh" "$top/build" >/dev/null
mkdir -p "$top/docs"
"$cli" -q "$top/samples/coffee.png" "$top/docs/coffee-narrower.png" --width 420
"$cli" -q "$top/samples/coffee.png" "$top/docs/coffee-wider-lower.png" --width 720 --height 300
echo "wrote docs/coffee-narrower.png and docs/coffee-wider-lower.png"
