#!/usr/bin/env bash
# Configures build-sanitized/ and builds the targets named: clang with
# AddressSanitizer and UndefinedBehaviorSanitizer on every object, and
# libFuzzer's coverage on them too (-DLUMIVEX_FUZZ=ON), so that the fuzz
# targets (which link libFuzzer on top) and the unit tests come from the same
# objects, compiled once. PNG data is inflated with zlib here rather than
# ISA-L, so the tests cover both inflaters: the main build's (where ISA-L is
# installed) and this one's. -O1 keeps the runs fast while the stacks of a
# finding stay readable.
#   bash tools/build_sanitized.sh TARGET...   (tools/test_sanitized.sh and tools/fuzz.sh call it)
# Extra CMake options may come in LUMIVEX_SANITIZED_CMAKE_ARGS.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null; then
  echo "sanitized build: clang++ is not installed (bash tools/setup_debian.sh installs it)" >&2
  exit 1
fi
read -r -a extra <<<"${LUMIVEX_SANITIZED_CMAKE_ARGS:-}"
cmake -S . -B build-sanitized -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DLUMIVEX_FUZZ=ON -DLUMIVEX_USE_ISAL=OFF "${extra[@]}" >/dev/null
cmake --build build-sanitized --target "$@"
