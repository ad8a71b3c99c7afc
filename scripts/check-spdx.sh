#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Lists the project's source files (C++, CMake, shell, Python) that carry no SPDX licence line
# in their first five lines, and fails when there is one.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
missing=0
while IFS= read -r file; do
  if ! head -n 5 "$file" | grep -q 'SPDX-License-Identifier:'; then
    echo "no SPDX line: $file"
    missing=$((missing + 1))
  fi
done < <(git ls-files '*.cpp' '*.h' '*.h.in' '*.cmake' 'CMakeLists.txt' '*/CMakeLists.txt' '*.sh' \
           '*.py' '.ci/run' 'data/completion/*' 'data/man/*')
echo "check-spdx: $missing file(s) without an SPDX line"
[[ $missing -eq 0 ]]
