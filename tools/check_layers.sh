#!/usr/bin/env bash
# Fails when a source file includes from a layer above its own. Layers, bottom
# to top: toolkit -> imaging -> pictures -> markup -> controls -> cli, app; the
# toolkit's widgets sit beside imaging and only controls and the window use
# them; the command line (cli/) sits beside the window and links no widgets
# and no controls.
set -euo pipefail
cd "$(dirname "$0")/.."

allowed_for() {
  case "$1" in
    toolkit/widgets/*) echo "toolkit toolkit/widgets" ;;
    toolkit/*) echo "toolkit" ;;
    imaging/*) echo "toolkit imaging" ;;
    pictures/*) echo "toolkit imaging pictures" ;;
    markup/*) echo "toolkit imaging pictures markup" ;;
    controls/*) echo "toolkit toolkit/widgets imaging pictures markup controls" ;;
    cli/*) echo "toolkit imaging pictures markup cli" ;;
    app/*) echo "toolkit toolkit/widgets imaging pictures markup controls app" ;;
  esac
}

# The include's layer: toolkit/widgets is its own, the rest go by top folder.
layer_of() {
  case "$1" in
    toolkit/widgets/*) echo "toolkit/widgets" ;;
    *) echo "${1%%/*}" ;;
  esac
}

status=0
while IFS= read -r file; do
  allowed=" $(allowed_for "$file") "
  while IFS=: read -r line included; do
    layer=$(layer_of "$included")
    case "$layer" in toolkit | toolkit/widgets | imaging | pictures | markup | controls | cli | app | tests) ;; *) continue ;; esac
    if [[ "$allowed" != *" $layer "* ]]; then
      echo "$file:$line: includes \"$included\" from a higher layer ($layer)"
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | sed -E 's/^([0-9]+):[^"]*"([^"]*)".*/\1:\2/')
done < <(find toolkit imaging pictures markup controls cli app -type f \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | sort)

if ((status == 0)); then
  echo "Layers: every include goes down or sideways."
fi
exit $status
