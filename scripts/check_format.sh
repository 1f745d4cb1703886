#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format makes of it under the
# project's .clang-format; lists those files. `cmake --build <dir> --target format` fixes them.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
  'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
existing=()
for f in "${files[@]}"; do [ -f "$f" ] && existing+=("$f"); done
command -v clang-format >/dev/null || { echo "Format check: clang-format is missing"; exit 1; }
report=$(clang-format --dry-run -Werror "${existing[@]}" 2>&1 || true)
mapfile -t unformatted < <(grep -oE '^[^:]+:[0-9]+:[0-9]+: error' <<<"$report" | cut -d: -f1 | sort -u)
if [ ${#unformatted[@]} -ne 0 ]; then
  printf '%s\n' "${unformatted[@]}"
  echo "Format check: ${#unformatted[@]} of ${#existing[@]} files differ from clang-format's layout"
  exit 1
fi
echo "Format check: all ${#existing[@]} files follow .clang-format"
