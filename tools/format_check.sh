#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from the style in .clang-format;
# prints the files to run `clang-format -i` on.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=()
while IFS= read -r f; do
  clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(git ls-files '*.cpp' '*.h')
if [ ${#bad[@]} -gt 0 ]; then
  echo "format: these files differ from .clang-format (clang-format -i them):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "format: every C++ file keeps the style"
