#!/usr/bin/env bash
# Builds the unit tests with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-sanitized/ (tools/build_sanitized.sh: clang, zlib's inflater, the
# same objects as the fuzz targets) and runs them on Qt's offscreen platform.
# Any finding stops its test with a report, so it fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build_sanitized.sh unit_tests
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(pwd)/tools/lsan_suppressions.txt}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir build-sanitized --output-on-failure -j "$(nproc)" "$@"
