#!/usr/bin/env bash
# WebP time and peak memory side by side: lumivex-cli writing a 24-megapixel
# photo's reflection as lossless WebP (--quality 100) and lossy (--quality
# 80), against cwebp (package webp) encoding the same composition, read
# from the PNG lumivex-cli writes of it, lossless at its default effort and
# at -q 80. Peak memory is the maximum resident set GNU time reports.
#   bash tools/bench_webp_memory.sh [build/cli/lumivex-cli]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/lumivex-cli}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

# A photo-like 6000 × 4000 picture: the test photo scaled up with grain.
convert tests/data/photo-opaque-320x240.jpg -resize '6000x4000!' -attenuate 0.4 +noise Gaussian "$work/photo.png"
"$cli" image -o "$work/composed.png" "$work/photo.png"

measure() { # label, output, command...
  local label=$1 out=$2; shift 2
  local line
  line=$(/usr/bin/time -f '%e %M' "$@" 2>&1 >/dev/null | tail -1)
  printf '| %s | %s | %d | %s |\n' "$label" "${line% *}" "$(( ${line#* } / 1024 ))" "$(stat -c %s "$out")"
}
printf '| command | seconds | peak MB | bytes |\n|---|---:|---:|---:|\n'
measure "lumivex-cli lossless" "$work/l.webp" "$cli" image -o "$work/l.webp" "$work/photo.png"
measure "cwebp -lossless" "$work/c.webp" cwebp -quiet -lossless "$work/composed.png" -o "$work/c.webp"
measure "lumivex-cli --quality 80" "$work/l80.webp" "$cli" image --quality 80 -o "$work/l80.webp" "$work/photo.png"
measure "cwebp -q 80" "$work/c80.webp" cwebp -quiet -q 80 "$work/composed.png" -o "$work/c80.webp"
echo "load: $(uptime)"
