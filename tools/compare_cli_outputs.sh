#!/usr/bin/env bash
# Runs two builds of lumivex-cli on the same pictures, formats, option sets,
# markup texts and usage errors, and compares every written file, standard
# output, standard error and exit status byte for byte. For changes that must
# not alter what the command line writes:
#   bash tools/compare_cli_outputs.sh OLD_LUMIVEX_CLI NEW_LUMIVEX_CLI
# Needs ImageMagick's convert for the odd-sized and re-encoded inputs.
set -uo pipefail
cd "$(dirname "$0")/.."
old=$(realpath "$1")
new=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

in=$work/in
mkdir -p "$in"
cp tests/data/photo-opaque-320x240.jpg tests/data/rounded-rgba-130x110.png tests/data/soft-edges-rgba-200x150.png \
  tests/data/pictures/five-frames-20x10.gif tests/data/pictures/black-white-2x1.png \
  tests/data/pictures/photo-48x36.heic tests/data/pictures/edge-rgba-37x23.avif "$in"
convert "$in/rounded-rgba-130x110.png" -resize '37x23!' "$in/odd-rgba-37x23.png"
convert "$in/photo-opaque-320x240.jpg" -resize '1x1!' "$in/one-1x1.png"
convert "$in/photo-opaque-320x240.jpg" -resize '257x13!' "$in/odd-257x13.jpg"
convert "$in/soft-edges-rgba-200x150.png" "$in/soft-edges.gif"
convert "$in/photo-opaque-320x240.jpg" -resize '63x47!' "$in/odd-63x47.bmp"
convert "$in/rounded-rgba-130x110.png" "$in/alpha-130x110.tif"

# run_all BINARY OUTDIR: every case, each leaving NAME.stdout, NAME.stderr,
# NAME.rc and its output file in OUTDIR.
run_all() {
  local bin=$1 out=$2 f b fmt o t j k
  mkdir -p "$out"
  run() { # name, args...
    local name=$1; shift
    ( cd "$out" && "$bin" "$@" > "$name.stdout" 2> "$name.stderr" < /dev/null; echo $? > "$name.rc" )
  }
  optsets=("" "--size 80 --start 200 --end 0 --axis 3" "--size 0" "--size 500 --start 255 --end 255 --axis -20" "--start 0 --end 0 --axis 0"
    "--blur 12 --scale 60 --size 80 --axis -5" "--blur 100 --size 500" "--scale 10 --start 255 --end 255")
  for f in "$in"/*; do
    b=$(basename "$f")
    for fmt in png jpg gif bmp tiff webp avif; do
      j=0
      for o in "${optsets[@]}"; do
        run "img-$b-$fmt-$j" image $o -o "img-$b-$j.$fmt" "$f"
        j=$((j+1))
      done
    done
    # the lossy encoders of WebP and AVIF, and JPEG below 100
    for fmt in webp avif jpg; do
      run "img-$b-$fmt-q80" image --quality 80 --axis 9 -o "img-$b-q80.$fmt" "$f"
    done
    # the format from -f, written to standard output
    ( cd "$out" && "$bin" image -f jpg - < "$f" > "stdout-$b.jpg" 2> "stdout-$b.stderr"; echo $? > "stdout-$b.rc" )
  done
  # batch with -d and with -f
  run batch-d image -d batch --size 30 -j 3 "$in"/*
  # One worker: GIFs quantised by parallel workers differ from run to run
  # even with the same build (giflib's quantiser sorts through a global).
  run batch-f image -d batchgif -f gif -j 1 "$in"/*
  # text
  texts=('Hello <b>World</b>' '<font color="clRed" size="14">Red</font> and <i>italic</i> &amp; <u>under</u>' 'Plain text' '<b>Bold</b> <font face="DejaVu Sans">Deja</font> <s>strike</s> &copy; 2026' '<a href="http://example.com">link</a> <font bgcolor="clYellow">bg</font>' 'x')
  k=0
  for t in "${texts[@]}"; do
    for fmt in png jpg gif bmp tiff; do
      run "text-$k-$fmt" text "$t" -o "text-$k.$fmt"
    done
    run "text-$k-opts" text "$t" --font "DejaVu Sans,14,bold" --color navy --background '#ffeedd' --size 30 --start 200 --end 10 --axis -3 -o "text-$k-opts.png"
    run "text-$k-style" text "$t" --blur 6 --scale 70 --size 40 -o "text-$k-style.png"
    run "text-$k-wh" text "$t" --width 300 --height 90 -o "text-$k-wh.bmp"
    ( cd "$out" && "$bin" text "$t" -o - > "text-$k-stdout.png" 2> "text-$k-stdout.stderr"; echo $? > "text-$k-stdout.rc" )
    k=$((k+1))
  done
  printf 'Hello <b>file</b> text' > "$out/markup.txt"
  run text-file text --file markup.txt -o text-file.png
  # usage errors and messages
  run e-nocmd
  run e-help --help
  run e-version --version
  run e-texthelp text --help
  run e-unknowncmd foo
  run e-size image --size 1000001 a.png
  run e-start image --start 256 a.png
  run e-end image --end=-1 a.png
  run e-axis image --axis x a.png
  run e-blur image --blur 101 a.png
  run e-scale image --scale 9 a.png
  run e-jobs image -j 0 a.png
  run e-jobs2 image --jobs 300 a.png
  run e-fmt image -f webp a.png
  run e-unknownopt image --bogus a.png
  run e-novalue image a.png --size
  run e-noinput image
  run e-both image -o x.png -d y a.png
  run e-multi image -o x.png a.png b.png
  run e-emptyout image -o '' a.png
  run e-t-start text --start 256 -o x.png hi
  run e-t-size text --size -1 -o x.png hi
  run e-t-axis text --axis 2000000 -o x.png hi
  run e-t-width text --width 0 -o x.png hi
  run e-t-fmt text -f xyz -o x.png hi
  run e-t-noout text hi
  run e-t-unknown text --bogus -o x.png hi
  run e-t-font text --font "A,0" -o x.png hi
  run e-t-color text --color nocolour -o x.png hi
  run e-missing image -o x.png /nonexistent.png
  run e-t-full text hi -o /dev/full
}

run_all "$old" "$work/old"
run_all "$new" "$work/new"
cases=$(find "$work/old" -name '*.rc' | wc -l)
files=$(find "$work/old" -type f ! -name '*.rc' ! -name '*.stdout' ! -name '*.stderr' ! -name markup.txt | wc -l)
if diff -r "$work/old" "$work/new"; then
  echo "compare: $cases commands, $files written files: identical (files, standard output and error, exit status)"
else
  echo "compare: the two builds differ (above)"
  exit 1
fi
