#!/usr/bin/env bash
# Fails when a C++ source does not match .clang-format; `--fix` rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
  echo "clang-format is not installed; format not checked" >&2
  exit 0
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "Files above do not match .clang-format; run: bash tools/check_format.sh --fix" >&2
  exit 1
fi
echo "Format: every source matches .clang-format."
