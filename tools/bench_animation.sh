#!/usr/bin/env bash
# An animated GIF's reflection, side by side: lumivex-cli against ImageMagick
# doing the same reflection frame by frame (the command line's start values:
# size 50, opacity 120 to 1, axis 1, over white), with hyperfine.
#   bash tools/bench_animation.sh [build/cli/lumivex-cli]
# The input is made reproducibly: 100 frames of 480 × 270, ImageMagick's
# plasma fractal with a fixed seed, moved a few pixels each frame, 4/100 s
# each, looping forever.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/lumivex-cli}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

convert -size 480x270 -seed 7 plasma:fractal -blur 0x1.2 "$work/base.png"
frames=()
for i in $(seq 0 99); do frames+=("(" "$work/base.png" -roll "+$((i * 5))+$((i * 2))" ")"); done
convert -delay 4 "${frames[@]}" -loop 0 "$work/in.gif"

# Each coalesced frame over a canvas 51 rows taller; the bottom 50 rows
# flipped, faded by the row opacity round(120 + (1 - 120) * y / 50) and put
# one row below the frame; flattened over white; then optimised as GIF layers.
im="convert $work/in.gif -coalesce -alpha set -background none -gravity north -extent 480x321 +gravity null: \
\\( $work/in.gif -coalesce -alpha set -flip -crop 480x50+0+0 +repage null: \
\\( -size 1x50 xc:black -fx 'round(120+(1-120)*j/50)/255' -scale 480x50! -alpha copy \\) \
-compose DstIn -layers composite -repage 480x321+0+271 \\) \
-compose over -layers composite -background white -alpha remove -layers Optimize $work/im.gif"
lumivex="$cli image -o $work/lumivex.gif $work/in.gif"

echo "load before: $(uptime)"
hyperfine --warmup 1 --runs "${RUNS:-5}" --export-markdown "$work/table.md" "$lumivex" "$im"
cat "$work/table.md"
echo "load after: $(uptime)"
printf 'input %s B; lumivex-cli %s B, %s frames; ImageMagick %s B, %s frames\n' "$(stat -c %s "$work/in.gif")" \
  "$(stat -c %s "$work/lumivex.gif")" "$(identify "$work/lumivex.gif" | wc -l)" \
  "$(stat -c %s "$work/im.gif")" "$(identify "$work/im.gif" | wc -l)"
# How far the two agree, on the coalesced last frame.
convert "$work/lumivex.gif" -coalesce "$work/lumivex-%02d.png"
convert "$work/im.gif" -coalesce "$work/im-%02d.png"
echo "PSNR of the last frames (dB): $(compare -metric PSNR "$work/lumivex-99.png" "$work/im-99.png" null: 2>&1)"
[ -n "${KEEP:-}" ] && cp "$work"/{in,lumivex,im}.gif "$KEEP"/ || true
