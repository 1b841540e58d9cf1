#!/usr/bin/env bash
# Fails when a C++ file of the project is not laid out as .clang-format says; lists those files.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
command -v clang-format >/dev/null || { echo "clang-format is not installed" >&2; exit 1; }
bad=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  echo "Not formatted (run clang-format -i on them):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "Formatting: ${#files[@]} files as .clang-format says"
