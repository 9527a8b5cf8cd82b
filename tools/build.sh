#!/usr/bin/env bash
# Configures and builds everything into build/. Extra CMake options may come
# in LUMIVEX_CMAKE_ARGS (CI sets -DLUMIVEX_WARNINGS_AS_ERRORS=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup_debian.sh
read -r -a extra <<<"${LUMIVEX_CMAKE_ARGS:-}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}" >/dev/null
cmake --build build
