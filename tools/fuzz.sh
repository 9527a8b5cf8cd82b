#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ into build-sanitized/ (the top build
# with -DLUMIVEX_FUZZ=ON and clang, shared with the sanitized unit tests: see
# tools/build_sanitized.sh) and runs each on its corpus.
#   bash tools/fuzz.sh            long runs (FUZZ_SECONDS each, default 600)
#   bash tools/fuzz.sh --short    a fixed number of runs each, for CI
# New inputs that grow coverage are kept in build-sanitized/corpus/<target>/;
# crashes are written to build-sanitized/findings/ and fail the script.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

mode=long
[[ "${1:-}" == "--short" ]] && mode=short
short_runs=${FUZZ_SHORT_RUNS:-4000}
seconds=${FUZZ_SECONDS:-600}

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is not installed; skipped"
  exit 0
fi

bash tools/build_sanitized.sh fuzzers

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tools/lsan_suppressions.txt}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p build-sanitized/findings

status=0
for target in image_decoding layout_reader png_encoder markup_helpers markup_drawing label_rendering; do
  corpus=build-sanitized/corpus/$target
  mkdir -p "$corpus"
  # The seeds are small real files, copied in so that the kept corpus grows
  # beside them without changing the repository.
  cp -n fuzz/corpus/$target/* "$corpus"/ 2>/dev/null || true
  if [[ $mode == short ]]; then
    limits=(-runs="$short_runs" -max_total_time=40)
  else
    limits=(-max_total_time="$seconds")
  fi
  # The encoder round trip costs far more per byte than the readers.
  max_len=65536
  [[ $target == png_encoder ]] && max_len=4096
  # The label is rendered under the memory a server would give it.
  rss_limit=4096
  [[ $target == label_rendering ]] && rss_limit=768
  log=build-sanitized/findings/$target.log
  echo "fuzz: $target (${mode})"
  if ! "build-sanitized/fuzz/fuzz_$target" "${limits[@]}" -max_len=$max_len -rss_limit_mb=$rss_limit -timeout=20 \
    -artifact_prefix="build-sanitized/findings/$target-" "$corpus" >"$log" 2>&1; then
    echo "fuzz: $target FAILED; see $root/$log"
    tail -n 40 "$log"
    status=1
  else
    grep -E '^(#[0-9]+|Done) ' "$log" | tail -n 1 | sed "s/^/fuzz: $target: /"
  fi
done
exit $status
