#!/usr/bin/env bash
# Hostile inputs against the built lumivex-cli, measured from outside with
# /usr/bin/time: each must end in bounded time and memory with the expected
# verdict. Run after the build (tools/test.sh); .ci/run calls it.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${LUMIVEX_CLI:-build/cli/lumivex-cli}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

# check NAME MAX_SECONDS MAX_MB EXPECTED_EXIT COMMAND...: runs the command
# under a hard time-out and compares its CPU time (user + system), peak memory
# and exit code; the elapsed time may be four times the limit on a shared
# machine, no more (a hang uses no CPU). With STDERR_PATTERN set, standard
# error must match it (grep -E).
check() {
  local name=$1 max_seconds=$2 max_mb=$3 expected=$4
  shift 4
  local code=0
  timeout 60 /usr/bin/time -f '%e %M %U %S' -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || code=$?
  local seconds kb user system
  read -r seconds kb user system < <(tail -n 1 "$work/time") || { seconds=60 kb=0 user=60 system=0; }
  local cpu mb=$((kb / 1024))
  cpu=$(awk -v u="$user" -v s="$system" 'BEGIN{printf "%.2f", u + s}')
  local verdict=ok
  if [[ $code -ne $expected ]] || ((mb > max_mb)) ||
    awk -v c="$cpu" -v e="$seconds" -v m="$max_seconds" 'BEGIN{exit !(c > m || e > 4 * m)}' ||
    { [[ -n ${STDERR_PATTERN:-} ]] && ! grep -Eq -- "$STDERR_PATTERN" "$work/stderr"; }; then
    verdict=FAILED
    status=1
  fi
  printf 'bounds: %-52s %6ss CPU %6ss %5s MB exit %s (limits %ss, %s MB, exit %s) %s\n' \
    "$name" "$cpu" "$seconds" "$mb" "$code" "$max_seconds" "$max_mb" "$expected" "$verdict"
  [[ $verdict == ok ]] || sed 's/^/  stderr: /' "$work/stderr" | head -n 5
}

# Eight links to TARGET named PREFIX1.EXT .. PREFIX8.EXT in $work, as eight
# inputs of one run: their names are left in the array "eight".
eight_links() {
  local target=$1 prefix=$2 ext=$3 i
  eight=()
  for i in 1 2 3 4 5 6 7 8; do
    ln -s "$target" "$work/$prefix$i.$ext"
    eight+=("$work/$prefix$i.$ext")
  done
}

# A 16 x 16 PNG whose 1 MB of compressed data inflates to 1 GiB.
python3 - "$work/bomb.png" <<'PY'
import struct, sys, zlib
rows = b"".join(b"\0" + b"\0" * 64 for _ in range(16))
z = zlib.compressobj(9)
data = z.compress(rows)
chunk = b"\0" * (1 << 20)
for _ in range(1024):
    data += z.compress(chunk)
data += z.flush()
def c(t, b): return struct.pack(">I", len(b)) + t + b + struct.pack(">I", zlib.crc32(t + b))
ihdr = struct.pack(">IIBBBBB", 16, 16, 8, 6, 0, 0, 0)
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + c(b"IHDR", ihdr) + c(b"IDAT", data) + c(b"IEND", b""))
PY
check "inflate bomb (1 MB -> 1 GiB) refused" 2 200 1 "$cli" image -o "$work/out.png" "$work/bomb.png"

# Eight links to an endless device read by eight workers at once.
eight_links /dev/zero zero png
check "8 links to /dev/zero with -j 8 refused" 2 200 1 "$cli" image -j 8 -d "$work/out" "${eight[@]}"

# A FIFO that nobody writes, among good files: the batch still ends.
mkfifo "$work/pipe.png"
convert -size 64x48 gradient:red-blue "$work/good.png"
check "FIFO input in a batch does not hang" 5 200 1 "$cli" image -d "$work/out" "$work/good.png" "$work/pipe.png"

# A file of zeros as large as a photo: refused from its first bytes.
head -c 100M /dev/zero >"$work/zeros.png"
check "100 MB non-picture refused from its head" 2 100 1 "$cli" image -o "$work/out.png" "$work/zeros.png"

# Untrusted markup: each text renders or is refused with a reason within
# 2 s of CPU and 300 MB. Pictures are small files that declare large sizes.
python3 - "$work" <<'PY'
import struct, sys, zlib
work = sys.argv[1]
def chunk(t, b): return struct.pack(">I", len(b)) + t + b + struct.pack(">I", zlib.crc32(t + b))
def png(path, width, height):
    # Grey rows of zeros compress to almost nothing: a few KB declaring a lot.
    row = b"\0" + b"\0" * width
    z = zlib.compressobj(9)
    data = b"".join(z.compress(row) for _ in range(height)) + z.flush()
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)
    open(path, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", data) + chunk(b"IEND", b""))
png(work + "/tiny.png", 2, 2)
png(work + "/declares-15000.png", 15000, 15000)
png(work + "/photo-4000.png", 4000, 2000)
words = " ".join("w%d" % i for i in range(300))
open(work + "/font500.txt", "w").write('<font size="500">' + words)
open(work + "/rules.txt", "w").write(" ".join(("<hr>" if i % 20 == 19 else "") + "word%d" % i for i in range(2000)))
body = '<body bgcolor="#ff0000">x'
open(work + "/bodies.txt", "w").write((body * (65536 // len(body)))[:65536])
gradient = '<body bgcolor="#ff0000" bgcolorto="#0000ff">x'
open(work + "/gradients.txt", "w").write((gradient * (65536 // len(gradient)))[:65536])
open(work + "/stretched.txt", "w").write("".join(
    '<img src="file://%s/tiny.png" width="8192" height="8192">' % work for _ in range(3)))
open(work + "/declared.txt", "w").write('caption <img src="file://%s/declares-15000.png" width="10" height="10">' % work)
# The largest text and picture the defaults let through (16 megapixels).
open(work + "/big-text.txt", "w").write('<font size="100">' + "<br>".join(
    " ".join("WWWWWW%d" % i for i in range(17)) for _ in range(6)))
def noisy_png(path, width, height):
    z = zlib.compressobj(6)
    data = b"".join(z.compress(b"\0" + bytes((x * 7 + y * 3) & 255 for x in range(width * 3)))
                    for y in range(height)) + z.flush()
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    open(path, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", data) + chunk(b"IEND", b""))
noisy_png(work + "/photo-15mp.png", 4600, 3400)
open(work + "/big-picture.txt", "w").write('<img src="file://%s/photo-15mp.png">' % work)
# Two such pictures do not fit in the cache together: alternating them must
# not decode one again on every reference.
import shutil
shutil.copy(work + "/photo-15mp.png", work + "/photo-15mp-b.png")
open(work + "/alternating.txt", "w").write("".join(
    '<img src="file://%s/photo-15mp%s.png">' % (work, "-b" if i % 2 else "") for i in range(40)))
refs = "".join('<img src="file:///nowhere/p%d.png">' % i for i in range(3000))
open(work + "/many-references.txt", "w").write(("x" + refs)[:65536])
# Bare ampersands underline the next character: each used to cost the
# whole line before it.
open(work + "/ampersands.txt", "w").write("a&" * 32768)
open(work + "/copy-entities.txt", "w").write("&copy" * 4000)
open(work + "/words.txt", "w").write(" ".join("word%d" % i for i in range(9000))[:65536])
open(work + "/mixed-ampersands.txt", "w").write(("word&x &copy &amp; " * 4000)[:65536])
spellings = ["file://%s/photo-4000.png", "file:///%s/photo-4000.png", "FILE://%s/photo-4000.png",
             "file:////%s/./photo-4000.png"]
open(work + "/spellings.txt", "w").write("".join('<img src="%s" width="40" height="20">' % (s % work) for s in spellings))
PY
text=("$cli" text -o "$work/text.png")
check "font size 500 and 300 words" 2 300 1 "${text[@]}" --file "$work/font500.txt"
check "font size 500 and 300 words in 4000 x 4000" 2 300 0 "${text[@]}" --width 4000 --height 4000 --file "$work/font500.txt"
check "2,000 words and 99 rules" 2 300 0 "${text[@]}" --file "$work/rules.txt"
check "2,000 words and 99 rules in 1000 x 800" 2 300 0 "${text[@]}" --width 1000 --height 800 --file "$work/rules.txt"
check "three tiny pictures stretched to 8192 x 8192" 2 300 1 "${text[@]}" --allow-files "$work" --file "$work/stretched.txt"
check "the same, drawn into 800 x 600" 2 300 0 "${text[@]}" --allow-files "$work" --width 800 --height 600 --file "$work/stretched.txt"
# Rows of a picture stretched past the output's bottom are neither captured
# nor mirrored: only the 16 megapixels drawn count.
check "the same, drawn into 4000 x 4000" 2 300 0 "${text[@]}" --allow-files "$work" --width 4000 --height 4000 --file "$work/stretched.txt"
STDERR_PATTERN='declares-15000.png.*15000 × 15000' \
  check "PNG declaring 15000 x 15000 drawn at 10 x 10" 2 300 0 "${text[@]}" --allow-files "$work" --file "$work/declared.txt"
check "one file under four spellings" 2 300 0 "${text[@]}" --allow-files "$work" --file "$work/spellings.txt"
check "text filling the default limit (14 megapixels)" 2 300 0 "${text[@]}" --file "$work/big-text.txt"
check "a 15.6-megapixel picture at its own size" 2 300 0 "${text[@]}" --allow-files "$work" --file "$work/big-picture.txt"
STDERR_PATTERN='kept at once' \
  check "two 15.6-megapixel pictures alternating 40 times" 2 300 0 "${text[@]}" --allow-files "$work" --width 800 --height 600 --file "$work/alternating.txt"
STDERR_PATTERN='p0.png.*not read' \
  check "64 KB of distinct refused references" 2 300 0 "${text[@]}" --file "$work/many-references.txt"
check "64 KB of a& (bare ampersands)" 2 300 0 "${text[@]}" --width 800 --file "$work/ampersands.txt"
check "4,000 &copy without semicolons" 2 300 0 "${text[@]}" --width 800 --file "$work/copy-entities.txt"
check "64 KB of words, ampersands and entities in 800 x 600" 2 300 0 "${text[@]}" --width 800 --height 600 --file "$work/mixed-ampersands.txt"
# Lossless WebP's encoder needs about five times the bytes a pixel of PNG's:
# without --max-pixels its default output is smaller.
webp=("$cli" text -o "$work/text.webp")
check "64 KB of words, 4000 x 4000 lossless WebP refused" 2 300 1 "${webp[@]}" --width 4000 --height 4000 --file "$work/words.txt"
check "64 KB of words, 2600 x 2600 lossless WebP" 2 300 0 "${webp[@]}" --width 2600 --height 2600 --file "$work/words.txt"
check "64 KB of <body bgcolor>x" 2 300 0 "${text[@]}" --file "$work/bodies.txt"
check "64 KB of <body> gradients" 2 300 0 "${text[@]}" --file "$work/gradients.txt"
STDERR_PATTERN='not read.*--allow-files' \
  check "a local file without --allow-files" 2 300 0 "${text[@]}" '<img src="file:///etc/hostname">x'
mkfifo "$work/markup-pipe.txt"
STDERR_PATTERN='is a FIFO' \
  check "text --file FIFO without a writer refused" 2 300 1 "${text[@]}" --file "$work/markup-pipe.txt"
STDERR_PATTERN='more than 65536 bytes' \
  check "120,000 UTF-8 bytes as an argument refused" 2 300 1 "${text[@]}" "$(python3 -c 'print("€" * 40000)')"

# Image mode counts the pixels a header declares, not the file's bytes.
STDERR_PATTERN='--max-pixels' \
  check "image: PNG declaring 15000 x 15000 refused" 2 100 1 "$cli" image -o "$work/out.png" "$work/declares-15000.png"
cp "$work/declares-15000.png" "$work/declares-again.png"
check "image: two of them with -j 2" 2 100 1 "$cli" image -j 2 -d "$work/out" "$work/declares-15000.png" "$work/declares-again.png"

# A header past the first 64 KiB (a JPEG's frame after 70 KB of comments, a
# TIFF's directory after 70 KB of strip data) is read from the whole file
# before anything is decoded: the pixel limit refuses it and the budget
# reserves its picture as for an early header. The JPEGs are flat grey: one-
# symbol Huffman tables make every block two zero bits.
python3 - "$work" <<'PY'
import struct, sys
work = sys.argv[1]
def segment(marker, body): return bytes([0xFF, marker]) + struct.pack(">H", len(body) + 2) + body
def jpeg(name, width, height, scan=True):
    out = b"\xff\xd8" + segment(0xFE, b"c" * 40000) + segment(0xFE, b"c" * 30000)
    out += segment(0xDB, b"\0" + b"\1" * 64)
    out += segment(0xC0, struct.pack(">BHHB", 8, height, width, 3) + b"".join(bytes([i, 0x11, 0]) for i in (1, 2, 3)))
    table = b"\1" + b"\0" * 15 + b"\0"
    out += segment(0xC4, b"\x00" + table + b"\x10" + table)
    out += segment(0xDA, b"\3" + b"".join(bytes([i, 0]) for i in (1, 2, 3)) + b"\0\x3f\0")
    bits = ((width + 7) // 8) * ((height + 7) // 8) * 3 * 2 if scan else 64
    out += b"\0" * (bits // 8) + (bytes([(1 << (8 - bits % 8)) - 1]) if bits % 8 else b"") + b"\xff\xd9"
    open(work + "/" + name, "wb").write(out)
def tiff(name, width, height):
    strip = b"\0" * 70000
    entries = [(256, 4, width), (257, 4, height), (258, 3, 8), (259, 3, 1), (262, 3, 1), (273, 4, 8),
               (277, 3, 1), (278, 4, height), (279, 4, len(strip))]
    ifd = struct.pack("<H", len(entries)) + b"".join(
        struct.pack("<HHI", tag, kind, 1) + (struct.pack("<HH", value, 0) if kind == 3 else struct.pack("<I", value))
        for tag, kind, value in entries) + b"\0\0\0\0"
    open(work + "/" + name, "wb").write(b"II*\0" + struct.pack("<I", 8 + len(strip)) + strip + ifd)
jpeg("late-frame-60000.jpg", 60000, 60000, scan=False)
jpeg("late-frame-8000.jpg", 8000, 8000)
tiff("late-directory-60000.tif", 60000, 60000)
PY
STDERR_PATTERN='late-frame-60000.jpg.*declares 60000 × 60000' \
  check "image: JPEG frame after 70 KB of comments, 60000 x 60000" 2 100 1 "$cli" image -o "$work/late.png" "$work/late-frame-60000.jpg"
STDERR_PATTERN='late-directory-60000.tif.*declares 60000 × 60000' \
  check "image: TIFF directory after 70 KB, 60000 x 60000" 2 100 1 "$cli" image -o "$work/late.png" "$work/late-directory-60000.tif"
eight_links "$work/late-frame-8000.jpg" late jpg
check "eight 64 MP JPEGs with late frames, -j 8, within the budget" 30 1088 0 \
  "$cli" image -j 8 -d "$work/late" -f jpg "${eight[@]}"

# An animation counts every frame, from its structure, before any is decoded:
# 100,000 one-pixel frames on a 100 x 100 canvas, and three frames declaring
# 60000 x 60000 pixels each on a 10 x 10 canvas (their data a few bytes).
python3 - "$work" <<'PY'
import struct, sys
work = sys.argv[1]
def gif(name, canvas, frames, size):
    head = b"GIF89a" + struct.pack("<HHBBB", canvas, canvas, 0x80, 0, 0) + bytes([255, 0, 0, 0, 0, 0])
    loop = b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    frame = (b"\x21\xf9\x04\x00\x0a\x00\x00\x00\x2c" + struct.pack("<HHHH", 0, 0, size, size) +
             b"\x00\x02\x02\x44\x01\x00")
    open(work + "/" + name, "wb").write(head + loop + frame * frames + b"\x3b")
gif("frames-100000.gif", 100, 100000, 1)
gif("frames-60000-wide.gif", 10, 3, 60000)
PY
STDERR_PATTERN='100000 frames of 100 × 100 pixels.*--max-pixels' \
  check "image: GIF of 100,000 frames refused" 2 100 1 "$cli" image -o "$work/frames.gif" "$work/frames-100000.gif"
STDERR_PATTERN='3 frames hold 10800000000 pixels' \
  check "image: GIF frames declaring 60000 x 60000 refused" 2 100 1 "$cli" image -o "$work/wide.gif" "$work/frames-60000-wide.gif"

# Eight 15.6-megapixel pictures saved by eight workers at once: each save
# reserves its picture, its composition and its encoder's working memory
# (imaging/saving/encoder_memory.cpp) from the run's 1 GiB budget before its
# file is read, so the run stays within the budget plus the process's own
# memory (64 MB, docs/reliability.md). JPEG: the fastest encoder that keeps
# whole-picture buffers of its own.
eight_links "$work/photo-15mp.png" eight png
check "eight 15.6 MP pictures to JPEG with -j 8, within the budget" 30 1088 0 \
  "$cli" image -j 8 -d "$work/eight" -f jpg "${eight[@]}"
# The same with lossless WebP, whose encoder needs about 30 bytes a pixel:
# eight 6-megapixel pictures of noise (the most the encoder keeps) took 1.9 GB
# when only pictures and compositions were reserved.
python3 - "$work/noise-6mp.png" <<'PY'
import random, struct, sys, zlib
def chunk(t, b): return struct.pack(">I", len(b)) + t + b + struct.pack(">I", zlib.crc32(t + b))
random.seed(5)
z = zlib.compressobj(1)
data = b"".join(z.compress(b"\0" + random.randbytes(3000 * 3)) for _ in range(2000)) + z.flush()
ihdr = struct.pack(">IIBBBBB", 3000, 2000, 8, 2, 0, 0, 0)
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", data) + chunk(b"IEND", b""))
PY
eight_links "$work/noise-6mp.png" noise png
check "eight 6 MP pictures to lossless WebP with -j 8, within the budget" 40 1088 0 \
  "$cli" image -j 8 -d "$work/noise" -f webp "${eight[@]}"

exit $status
