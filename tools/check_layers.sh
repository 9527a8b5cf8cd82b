#!/usr/bin/env bash
# Fails when a layer uses one above it or beside it. The layers and what
# each may use are listed once, in cmake/layers.cmake; this reads that list
# and checks
#   - every include of a layer's sources (quoted, angled, relative with ../),
#   - every target_link_libraries of a layer's library in the CMake files,
#   - that every top-level folder is a layer or one of the folders outside them.
# The build checks the same links again, and CI links the libraries shared
# with -Wl,--no-undefined, so a call upwards fails there too.
#   bash tools/check_layers.sh [source root]   (default: this checkout)
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"

list=cmake/layers.cmake
if [[ ! -f $list ]]; then
  echo "Layers: $list is missing" >&2
  exit 1
fi

declare -A library_of=() lower_of=() layer_of_library=() outside=()
layers=()
while read -r folder library lower; do
  layers+=("$folder")
  library_of[$folder]=$library
  lower_of[$folder]=${lower//,/ }
  layer_of_library[$library]=$folder
done < <(sed -nE 's/^[[:space:]]*([a-z_/]+):(lumivex_[a-z_]+):([a-z_/,]*)[[:space:]]*$/\1 \2 \3/p' "$list")
for folder in $(sed -nE 's/^set\(LUMIVEX_OUTSIDE_LAYERS (.*)\)/\1/p' "$list"); do
  outside[$folder]=1
done
if ((${#layers[@]} == 0)); then
  echo "Layers: no layer found in $list" >&2
  exit 1
fi

# What a layer may use: itself and everything reached through its lower layers.
declare -A allowed=()
for layer in "${layers[@]}"; do
  reached=" " pending=("$layer")
  while ((${#pending[@]})); do
    current=${pending[0]}
    pending=("${pending[@]:1}")
    [[ $reached == *" $current "* ]] && continue
    reached+="$current "
    read -r -a next <<<"${lower_of[$current]:-}"
    pending+=("${next[@]}")
  done
  allowed[$layer]=$reached
done

# The layer holding a path (the longest layer folder it lies in), "outside"
# for the folders outside the layers, nothing for what is not ours.
layer_of_path() {
  local best=""
  for layer in "${layers[@]}"; do
    if [[ $1 == "$layer"/* && ${#layer} -gt ${#best} ]]; then
      best=$layer
    fi
  done
  if [[ -n $best ]]; then
    echo "$best"
  elif [[ -n ${outside[${1%%/*}]:-} ]]; then
    echo "outside"
  fi
}

status=0
fail() {
  echo "$1"
  status=1
}

mapfile -t files < <(git ls-files --cached --others --exclude-standard 2>/dev/null || find . -type f -printf '%P\n')

# Every top-level folder has its place in the list.
declare -A tops=()
for layer in "${layers[@]}"; do tops[${layer%%/*}]=1; done
for file in "${files[@]}"; do
  [[ $file == */* ]] || continue
  top=${file%%/*}
  [[ $top == .* || -n ${tops[$top]:-} || -n ${outside[$top]:-} ]] && continue
  tops[$top]=1
  fail "$top/: a top-level folder that $list does not list as a layer or outside them"
done

# Includes of the layers' sources.
sources=()
for file in "${files[@]}"; do
  [[ $file == *.h || $file == *.cpp ]] || continue
  [[ -n $(layer_of_path "$file") && $(layer_of_path "$file") != outside ]] && sources+=("$file")
done
while IFS= read -r match; do
  file=${match%%:*}
  rest=${match#*:}
  line=${rest%%:*}
  text=${rest#*:}
  if [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
    included=${BASH_REMATCH[1]}
    dir=$(dirname "$file")
    if [[ $included == *./* ]]; then
      # A relative path may climb into another folder.
      path=$(realpath -m --relative-to=. "$dir/$included")
      [[ -e $path ]] || path=$(realpath -m --relative-to=. "$included")
    elif [[ -e $dir/$included ]]; then
      path=$dir/$included
    else
      path=$included
    fi
  elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
    path=${BASH_REMATCH[1]}
  else
    continue
  fi
  to=$(layer_of_path "$path")
  [[ -z $to ]] && continue
  from=$(layer_of_path "$file")
  if [[ $to == outside ]]; then
    fail "$file:$line: includes \"$path\" from ${path%%/*}/, which no layer may use"
  elif [[ ${allowed[$from]} != *" $to "* ]]; then
    fail "$file:$line: includes \"$path\" from the layer $to/, which is not below $from/"
  fi
done < <(((${#sources[@]})) && grep -nE '^[[:space:]]*#[[:space:]]*include' "${sources[@]}" /dev/null)

# Links of the layers' libraries, wherever the CMake files name them.
cmake_files=()
for file in "${files[@]}"; do
  [[ $file == CMakeLists.txt || $file == */CMakeLists.txt || $file == *.cmake ]] && cmake_files+=("$file")
done
while read -r file target linked; do
  from=${layer_of_library[$target]:-}
  [[ -z $from ]] && continue
  for library in $linked; do
    to=${layer_of_library[$library]:-}
    if [[ -z $to ]]; then
      fail "$file: $target links $library, which is not a layer's library"
    elif [[ ${allowed[$from]} != *" $to "* ]]; then
      fail "$file: $target links $library of the layer $to/, which is not below $from/"
    fi
  done
done < <(((${#cmake_files[@]})) && awk '
  # One target_link_libraries(...) call, however many lines it spans, as
  # "file target our-libraries...".
  /target_link_libraries[[:space:]]*\(/ { call = ""; open = 1 }
  open { call = call " " $0 }
  open && /\)/ {
    open = 0
    sub(/.*target_link_libraries[[:space:]]*\(/, "", call)
    sub(/\).*/, "", call)
    n = split(call, words, /[[:space:]]+/)
    out = ""
    target = ""
    for (i = 1; i <= n; i++) {
      if (words[i] == "") continue
      if (target == "") { target = words[i]; continue }
      if (words[i] ~ /^lumivex_/) out = out " " words[i]
    }
    if (target ~ /^lumivex_/ && out != "") print FILENAME, target, out
  }' "${cmake_files[@]}")

if ((status == 0)); then
  echo "Layers: every include and link goes down the list in $list."
fi
exit $status
