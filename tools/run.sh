#!/usr/bin/env bash
# Builds Lumivex and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
exec ./build/app/lumivex "$@"
