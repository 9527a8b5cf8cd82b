#!/usr/bin/env bash
# Builds Lumivex and runs every test on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)"
