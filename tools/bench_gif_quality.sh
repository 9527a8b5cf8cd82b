#!/usr/bin/env bash
# GIF quality side by side: lumivex-cli's GIF of a photo's reflection against
# libvips' and ImageMagick's GIF of exactly the same flattened pixels (the
# composition over white, which lumivex-cli writes as BMP), as PSNR in dB
# (ImageMagick's compare) and the time each takes.
#   bash tools/bench_gif_quality.sh [build/cli/lumivex-cli]
# The photo is made reproducibly: ImageMagick's plasma fractal with a fixed
# seed, softened like a lens would, 640 × 480; the test photo scaled to the
# same size is measured too.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/lumivex-cli}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

convert -size 640x480 -seed 7 plasma:fractal -blur 0x1.2 "$work/plasma.png"
convert tests/data/photo-opaque-320x240.jpg -resize '640x480!' "$work/scaled.png"

psnr() { compare -metric PSNR "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
seconds() { /usr/bin/time -f %e "$@" 2>&1 >/dev/null | tail -1; }

printf '| picture | writer | PSNR (dB) | bytes | seconds |\n|---|---|---|---|---|\n'
for picture in plasma scaled; do
  in=$work/$picture.png
  "$cli" image -o "$work/$picture-flat.bmp" "$in"
  convert "$work/$picture-flat.bmp" "$work/$picture-flat.png"
  t=$(seconds "$cli" image -j 1 -o "$work/$picture-lumivex.gif" "$in")
  "$cli" image -j 2 -o "$work/$picture-lumivex-j2.gif" "$in"
  cmp -s "$work/$picture-lumivex.gif" "$work/$picture-lumivex-j2.gif" || echo "lumivex GIF differs between -j 1 and -j 2" >&2
  printf '| %s | lumivex-cli | %s | %s | %s |\n' "$picture" "$(psnr "$work/$picture-flat.png" "$work/$picture-lumivex.gif")" \
    "$(stat -c %s "$work/$picture-lumivex.gif")" "$t"
  t=$(seconds vips gifsave "$work/$picture-flat.png" "$work/$picture-vips.gif")
  printf '| %s | vips gifsave | %s | %s | %s |\n' "$picture" "$(psnr "$work/$picture-flat.png" "$work/$picture-vips.gif")" \
    "$(stat -c %s "$work/$picture-vips.gif")" "$t"
  t=$(seconds convert "$work/$picture-flat.png" "$work/$picture-im.gif")
  printf '| %s | convert | %s | %s | %s |\n' "$picture" "$(psnr "$work/$picture-flat.png" "$work/$picture-im.gif")" \
    "$(stat -c %s "$work/$picture-im.gif")" "$t"
done
echo "load: $(uptime)"
