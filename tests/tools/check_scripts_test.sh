#!/usr/bin/env bash
# The source checks catch what they are for: tools/check_layers.sh runs on a
# small tree with the project's layer list, once clean and once per planted
# fault; tools/check_format.sh runs without clang-format on the path.
#   bash tests/tools/check_scripts_test.sh <source root>
set -uo pipefail
root=$(realpath "${1:-"$(dirname "$0")/../.."}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A tree with one file per layer, each including only from below.
make_tree() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree/cmake" "$work/tree/tools"
  cp "$root/cmake/layers.cmake" "$work/tree/cmake/"
  cp "$root/tools/check_layers.sh" "$work/tree/tools/"
  cd "$work/tree"
  mkdir -p toolkit/widgets imaging/codecs pictures markup controls cli app tests/markup
  echo '#include <QString>' >toolkit/ascii.h
  echo '#include "toolkit/ascii.h"' >toolkit/widgets/form.h
  echo '#include "toolkit/ascii.h"' >imaging/codecs/png.h
  echo '#include "png.h"' >imaging/codecs/png.cpp
  echo '#include "imaging/codecs/png.h"' >pictures/picture.h
  printf '#include "pictures/picture.h"\n#include "draw.h"\n' >markup/draw.cpp
  echo '#include "../pictures/picture.h"' >markup/draw.h
  printf '#include "markup/draw.h"\n#include "toolkit/widgets/form.h"\n' >controls/label.h
  echo '#include <markup/draw.h>' >cli/text_command.cpp
  echo '#include "controls/label.h"' >app/window.cpp
  echo '#include "app/window.h"' >tests/markup/draw_test.cpp
  printf 'target_link_libraries(lumivex_markup\n  PUBLIC lumivex_pictures Qt6::Gui)\n' >markup/CMakeLists.txt
  git init -q . && git add -A
}

# name | file | line appended to it | expected exit status of check_layers.sh
cases=(
  "clean tree passes||""|0"
  "quoted include of a higher layer|imaging/codecs/png.h|#include \"markup/draw.h\"|1"
  "angled include of a higher layer|pictures/picture.h|#include <markup/draw.h>|1"
  "relative include climbing into a higher layer|imaging/codecs/png.cpp|#include \"../../markup/draw.h\"|1"
  "include of a layer beside|markup/draw.h|#include \"toolkit/widgets/form.h\"|1"
  "command line including the controls|cli/text_command.cpp|#include \"controls/label.h\"|1"
  "include from the tests|markup/draw.cpp|#include \"tests/markup/draw_test.cpp\"|1"
  "new top-level folder|extras/thing.cpp|#include \"toolkit/ascii.h\"|1"
  "library linking a higher one|markup/CMakeLists.txt|target_link_libraries(lumivex_markup PRIVATE lumivex_controls)|1"
  "library linking beside|cli/CMakeLists.txt|target_link_libraries(lumivex_cli PUBLIC lumivex_markup lumivex_toolkit_widgets)|1"
  "library linking below passes|cli/CMakeLists.txt|target_link_libraries(lumivex_cli PUBLIC lumivex_markup lumivex_imaging)|0"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name file line expected <<<"$entry"
  make_tree
  if [[ -n $file ]]; then
    mkdir -p "$(dirname "$file")"
    echo "$line" >>"$file"
    git add -A
  fi
  output=$(bash tools/check_layers.sh 2>&1)
  status=$?
  cd "$root"
  if [[ $status != "$expected" ]]; then
    echo "FAIL check_layers: $name: exit $status, expected $expected"
    echo "$output" | sed 's/^/    /'
    failures=$((failures + 1))
  else
    echo "ok   check_layers: $name"
  fi
done

# Without clang-format the format check must fail, not pass unchecked.
mkdir -p "$work/bin"
for tool in bash dirname git; do ln -sf "$(command -v "$tool")" "$work/bin/$tool"; done
output=$(PATH="$work/bin" bash "$root/tools/check_format.sh" 2>&1)
status=$?
if [[ $status == 0 || $output != *"clang-format is not installed"* ]]; then
  echo "FAIL check_format without clang-format: exit $status: $output"
  failures=$((failures + 1))
else
  echo "ok   check_format: fails without clang-format"
fi

exit $((failures > 0))
