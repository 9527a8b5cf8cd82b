#!/usr/bin/env bash
# Builds the unit tests with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-asan/ and runs them on Qt's offscreen platform. Any finding
# stops its test with a report, so it fails the run. This build inflates
# PNG data with zlib rather than ISA-L, so the tests cover both inflaters:
# the main build's (where ISA-L is installed) and this one's.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVEX_SANITIZE=ON -DLUMIVEX_USE_ISAL=OFF \
  ${LUMIVEX_SANITIZE_CMAKE_ARGS:-} >/dev/null
cmake --build build-asan --target unit_tests
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(pwd)/tools/lsan_suppressions.txt}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
