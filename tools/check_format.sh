#!/usr/bin/env bash
# Fails when a C++ source does not match .clang-format; `--fix` rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
  # A check that passes without looking would hide every format fault.
  echo "clang-format is not installed, so the format cannot be checked; install it (bash tools/setup_debian.sh)" >&2
  exit 1
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
