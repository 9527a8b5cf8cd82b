#!/usr/bin/env bash
# Makes the pictures of docs/reflection-styles.md with lumivex-cli: the
# before/after pictures show the classic fade on the left and the styled
# reflection on the right, side by side over white (ImageMagick only lays
# the two outputs out); the side pictures show one reflection on each side.
#
#   tools/make_style_pictures.sh [--cli PATH]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cli="$here/build/cli/lumivex-cli"
[ -x "$cli" ] || cli="$here/build/app/lumivex-cli"
[ "${1:-}" = "--cli" ] && cli=$2
[ -x "$cli" ] || { echo "build lumivex-cli first ($cli)" >&2; exit 1; }
command -v convert >/dev/null || { echo "missing convert (ImageMagick)" >&2; exit 1; }

work=$(mktemp -d /tmp/lumivex-style-pictures.XXXXXX)
trap 'rm -rf "$work"' EXIT

side_by_side() { # output, then the two pictures, each framed in white
    convert "$2" "$3" -background white -alpha remove -alpha off -bordercolor white -border 12 +append +repage "$1"
}

photo="$here/tests/data/photo-opaque-320x240.jpg"
"$cli" image --size 130 --start 160 --end 0 --axis 2 -o "$work/photo-classic.png" "$photo"
"$cli" image --size 130 --start 160 --end 0 --axis 2 --blur 24 --scale 60 -o "$work/photo-styled.png" "$photo"
side_by_side "$here/docs/styles-photo.png" "$work/photo-classic.png" "$work/photo-styled.png"

text='<font size="28" color="#1d4f91"><b>Glossy floor</b></font>'
"$cli" text --size 40 --start 180 --end 0 -o "$work/text-classic.png" "$text"
"$cli" text --size 40 --start 180 --end 0 --blur 6 --scale 50 -o "$work/text-styled.png" "$text"
side_by_side "$here/docs/styles-text.png" "$work/text-classic.png" "$work/text-styled.png"
# One picture per side of a real picture, for the sides' definition.
rounded="$here/tests/data/rounded-rgba-130x110.png"
for side in below above left right; do
    "$cli" image --size 60 --start 200 --end 0 --axis 3 --direction "$side" -o "$work/side-$side.png" "$rounded"
    convert "$work/side-$side.png" -background white -alpha remove -alpha off -bordercolor white -border 8 \
        -strip "$here/docs/side-$side.png"
done
echo "docs/styles-photo.png, docs/styles-text.png and docs/side-*.png written" >&2
