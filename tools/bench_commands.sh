#!/usr/bin/env bash
# Whole-command comparison of "lumivex-cli image" with the equivalent
# ImageMagick and libvips command lines, timed by hyperfine on inputs that
# ImageMagick generates here. Writes the medians, ratios, output sizes and the
# exact commands to docs/benchmarks.md (or the file given with --out).
#
#   tools/bench_commands.sh [--cli PATH] [--runs N] [--big-runs N] [--out FILE] [--keep]
#   tools/bench_commands.sh --report-only WORKDIR [--out FILE]   (rewrite the page from a kept run)
#
# When build/bench/bench_reflection and build/bench/bench_cli_stages exist,
# their in-process figures are added to the page as well.
#
# Every pipeline makes the same image: the picture, one transparent row, then
# the picture's bottom SIZE rows mirrored with their alpha scaled by the row
# opacity round(((n - y) / n) * S + (y / n) * E), rounded again per pixel.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cli="$here/build/cli/lumivex-cli"
runs=10
big_runs=3
out="$here/docs/benchmarks.md"
keep=0
report_only=""
while [ $# -gt 0 ]; do
    case "$1" in
    --cli) cli=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --big-runs) big_runs=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --report-only) report_only=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done
if [ -z "$report_only" ]; then
for tool in hyperfine convert vips vipsheader identify python3; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done
[ -x "$cli" ] || { echo "build lumivex-cli first ($cli)" >&2; exit 1; }
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")

small=${LUMIVEX_BENCH_SMALL:-1000x800}
big=${LUMIVEX_BENCH_BIG:-6000x4000}
sw=${small%x*} sh=${small#*x} bw=${big%x*} bh=${big#*x}

# The window's start values.
SIZE=50 START=120 END=1 AXIS=1

work=$(mktemp -d /tmp/lumivex-bench.XXXXXX)

# The page shows commands as run from the project with `$work` for the
# temporary folder, not the folders of the machine that measured them.
relative_paths() {
    sed -e "s#$cli#build/cli/lumivex-cli#g" -e "s#$work#\$work#g"
}
[ "$keep" = 1 ] || trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/out" "$work/json"
cut -d' ' -f1-3 /proc/loadavg >"$work/load-before.txt"
echo "working in $work" >&2

# Inputs: a soft-edged RGBA cut-out (alpha falling off radially) and an
# opaque JPEG photo stand-in. The plasma is drawn at a quarter of the size
# and enlarged, with a little noise, so it compresses like a photograph
# rather than like pure noise.
make_picture() { # width height seed, then the rest of the convert command
    local width=$1 height=$2 seed=$3
    shift 3
    convert -seed "$seed" -size "$((width / 4))x$((height / 4))" plasma:fractal -resize "${width}x${height}!" \
        -attenuate 0.4 +noise Gaussian "$@"
}
echo "generating inputs" >&2
make_picture "$sw" "$sh" 7 \( -size "$small" radial-gradient:white-black \) -alpha off \
    -compose CopyOpacity -composite -depth 8 "PNG32:$work/in/rgba-$small.png"
make_picture "$bw" "$bh" 7 \( -size "$big" radial-gradient:white-black \) -alpha off \
    -compose CopyOpacity -composite -depth 8 "PNG32:$work/in/rgba-$big.png"
make_picture "$bw" "$bh" 11 -quality 92 "$work/in/photo-$big.jpg"

ramp_step=$(python3 -c "print(($END - $START) / $SIZE)")
inverse=$(python3 -c "print(1 / 255)")

# The three command lines for one input and output format.
lumivex_command() { # input output
    echo "$cli image --size $SIZE --start $START --end $END --axis $AXIS -o $2 $1"
}

magick_command() { # input output width format
    local flatten=""
    [ "$4" = jpg ] && flatten=" -background white -flatten -sampling-factor 2x2 -quality 100"
    echo "convert $1 -alpha set \\( +clone -flip -crop ${3}x${SIZE}+0+0 +repage" \
        "\\( -size 1x${SIZE} xc:black -fx 'round($START+($END-$START)*j/$SIZE)/255' -scale ${3}x${SIZE}! -alpha copy \\)" \
        "-compose DstIn -composite -background none -gravity north -splice 0x${AXIS} \\)" \
        "-compose over -append +repage$flatten $2"
}

vips_command() { # input output width height bands format temp
    local t=$7 w=$3 h=$4 pic=$1 final
    local steps=()
    if [ "$5" = 3 ]; then
        steps+=("vips bandjoin_const $1 $t/p.v 255")
        pic=$t/p.v
    fi
    steps+=("vips crop $pic $t/b.v 0 $((h - SIZE)) $w $SIZE"
        "vips flip $t/b.v $t/f.v vertical"
        "vips xyz $t/xy.v $w $SIZE"
        "vips extract_band $t/xy.v $t/y.v 1"
        "vips linear $t/y.v $t/a.v -- $ramp_step $START"
        "vips round $t/a.v $t/ar.v rint"
        "vips linear $t/ar.v $t/k.v '0 0 0 $inverse' '1 1 1 0'"
        "vips multiply $t/f.v $t/k.v $t/m.v"
        "vips round $t/m.v $t/mr.v rint"
        "vips cast $t/mr.v $t/m8.v uchar"
        "vips embed $t/m8.v $t/e.v 0 $AXIS $w $((SIZE + AXIS))")
    if [ "$6" = jpg ]; then
        steps+=("vips join $pic $t/e.v $t/j.v vertical"
            "vips flatten $t/j.v '$2[Q=100,subsample_mode=on]' --background 255")
    else
        steps+=("vips join $pic $t/e.v $2 vertical")
    fi
    local IFS='&'
    final="${steps[*]}"
    echo "${final//&/ && }"
}

# Compares the visible pixels (alpha > 0 in either) of two same-sized images:
# "count max" of differing pixels and the largest channel difference.
visible_difference() {
    python3 - "$1" "$2" <<'EOF'
import subprocess, sys
def rgba(path):
    return subprocess.run(["convert", path, "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
a, b = rgba(sys.argv[1]), rgba(sys.argv[2])
if len(a) != len(b):
    print("size-differs -")
    sys.exit()
count = worst = 0
mv_a, mv_b = memoryview(a), memoryview(b)
for i in range(0, len(a), 4):
    if a[i + 3] == 0 and b[i + 3] == 0:
        continue
    if mv_a[i:i + 4] != mv_b[i:i + 4]:
        count += 1
        worst = max(worst, max(abs(x - y) for x, y in zip(a[i:i + 4], b[i:i + 4])))
print(count, worst)
EOF
}

results="$work/results.tsv"
: >"$results"
for input in "$work"/in/*; do
    name=$(basename "$input")
    w=$(vipsheader -f width "$input")
    h=$(vipsheader -f height "$input")
    bands=$(vipsheader -f bands "$input")
    n=$runs warmup=1
    # The big inputs were just written, so they are in the page cache already.
    [ "$w" -gt "$sw" ] && n=$big_runs warmup=0
    for format in png jpg; do
        case_name="${name%.*}-to-$format"
        temp="$work/tmp-$case_name"
        mkdir -p "$temp"
        ours="$work/out/$case_name-lumivex.$format"
        magick="$work/out/$case_name-imagemagick.$format"
        vipsout="$work/out/$case_name-vips.$format"
        c_ours=$(lumivex_command "$input" "$ours")
        c_magick=$(magick_command "$input" "$magick" "$w" "$format")
        c_vips=$(vips_command "$input" "$vipsout" "$w" "$h" "$bands" "$format" "$temp")
        echo "== $case_name" >&2
        hyperfine --style basic --runs "$n" --warmup "$warmup" --export-json "$work/json/$case_name.json" \
            -n lumivex "$c_ours" -n imagemagick "$c_magick" -n vips "$c_vips" >&2
        diff_magick="-" diff_vips="-"
        if [ "$format" = png ] && [ "$w" -le "$sw" ]; then
            diff_magick=$(visible_difference "$ours" "$magick")
            diff_vips=$(visible_difference "$ours" "$vipsout")
        fi
        printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$case_name" "$name" "$format" "$n" \
            "$(stat -c %s "$ours")" "$(stat -c %s "$magick")" "$(stat -c %s "$vipsout")" \
            "$(identify -format '%wx%h' "$ours")" "$(identify -format '%wx%h' "$magick")" \
            "$(identify -format '%wx%h' "$vipsout")" "$diff_magick" "$diff_vips" "$(stat -c %s "$input")" \
            "$w x $h" >>"$results"
        {
            echo "### $case_name"
            echo
            echo '```sh'
            echo "$c_ours"
            echo "$c_magick"
            echo "$c_vips"
            echo '```'
            echo
        } | relative_paths >>"$work/commands.md"
    done
done

cut -d' ' -f1-3 /proc/loadavg >"$work/load-after.txt"
else
    work=$report_only
    results="$work/results.tsv"
fi

# In-process figures, when the benchmarks are built.
inprocess="$work/inprocess.txt"
: >"$inprocess"
for bench in bench_reflection bench_cli_stages; do
    if [ -x "$here/build/bench/$bench" ]; then
        echo "running $bench" >&2
        "$here/build/bench/$bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
            2>/dev/null | grep -E "^(BM_|Benchmark|-)" | grep -v -E "_(mean|stddev|cv) " >>"$inprocess" || true
    fi
done

python3 - "$results" "$work/json" "$work/commands.md" "$out" "$runs" "$big_runs" "$inprocess" <<'EOF'
import json, os, platform, subprocess, sys
results, json_dir, commands, out, runs, big_runs, inprocess = sys.argv[1:8]

def version(cmd):
    try:
        return subprocess.run(cmd, capture_output=True, text=True).stdout.splitlines()[0].strip()
    except Exception:
        return "?"

cpu = "?"
with open("/proc/cpuinfo") as f:
    for line in f:
        if line.startswith("model name"):
            cpu = line.split(":", 1)[1].strip()
            break

NOTES = """## How the pipelines differ

- All three write the same image: same width and height, same rows, the same opacity ramp (the
  row opacity rounded first, then each alpha), one transparent gap row. Pixels that are fully
  transparent in both files may differ in their (invisible) colour channels; they are not compared.
- ImageMagick computes the alpha product in 16-bit quantum arithmetic, so its reflection's alpha
  may differ from ours by 1 in a few pixels (see the table above); vips' pipeline matches exactly.
- PNG: each tool at its own default settings (ImageMagick: zlib level 7 with adaptive filtering;
  vips: zlib level 6, no filtering). lumivex-cli writes with its own banded encoder on every core.
- JPEG: everything flattened over white and written at quality 100. Qt's JPEG writer, which
  lumivex-cli uses, subsamples the chroma 2 × 2 even at quality 100, so ImageMagick
  (`-sampling-factor 2x2`) and vips (`subsample_mode=on`) are asked for the same; their own default
  at quality 100 is no subsampling, which would make their files larger and slower to write.
- vips runs one process per operation with `.v` intermediates (its fastest file format) in a
  temporary folder; the CLI has no way to chain operations in one process. ImageMagick runs as one
  `convert` process.

"""

rows = [line.rstrip("\n").split("\t") for line in open(results)]
lines = []
w = lines.append
w("# Benchmarks")
w("")
w("Measured by `tools/bench_commands.sh` (whole commands, hyperfine) and `bench_reflection`")
w("(in-process, Google Benchmark). Re-run both after any change to decoding, the reflection or the encoders.")
w("")
def load(name):
    path = os.path.join(os.path.dirname(results), name)
    return open(path).read().strip() if os.path.exists(path) else "?"
w(f"Machine: {cpu}, {os.cpu_count()} logical cores, {platform.system()} {platform.release()}; load average")
w(f"(1, 5, 15 min) {load('load-before.txt')} before and {load('load-after.txt')} after the measurements.")
w("Wall times include waiting for the cores whenever the load is above the core count; the CPU")
w("column shows the work itself.")
w(f"Tools: {version(['hyperfine', '--version'])}; {version(['convert', '-version']).replace('Version: ', '')}; {version(['vips', '--version'])}.")
w("")
w("Values: the window's start values, size 50, start opacity 120, end opacity 1, axis 1.")
runs_by_input = {}
for r in rows:
    runs_by_input[r[1]] = r[3]
w("Runs per command: " + ", ".join(f"{n} on {name}" for name, n in runs_by_input.items())
  + " (one warm-up run before the small input's, none before the big ones'); the median is shown.")
w("")
w("## Whole commands")
w("")
w("Ratio = the other tool's median / lumivex-cli's median (above 1: lumivex-cli is faster).")
w("Size ratio = the other tool's file / lumivex-cli's file (above 1: lumivex-cli's file is smaller).")
w("")
w("CPU = mean user + system time of the process tree, the work done on all cores.")
w("")
w("| input → output | tool | median (s) | time ratio | CPU (s) | output bytes | size ratio | output size |")
w("|---|---|---:|---:|---:|---:|---:|---|")
verdict = []
for r in rows:
    case, name, fmt, n, s_ours, s_magick, s_vips, d_ours, d_magick, d_vips, diff_magick, diff_vips, s_in, dims = r
    data = json.load(open(os.path.join(json_dir, case + ".json")))
    med = {res["command"]: res["median"] for res in data["results"]}
    cpu_time = {res["command"]: res["user"] + res["system"] for res in data["results"]}
    sizes = {"lumivex": int(s_ours), "imagemagick": int(s_magick), "vips": int(s_vips)}
    dimsd = {"lumivex": d_ours, "imagemagick": d_magick, "vips": d_vips}
    for tool in ("lumivex", "imagemagick", "vips"):
        ratio = "1" if tool == "lumivex" else f"{med[tool] / med['lumivex']:.2f}"
        sratio = "1" if tool == "lumivex" else f"{sizes[tool] / sizes['lumivex']:.3f}"
        w(f"| {name} ({dims}, {int(s_in):,} B) → {fmt} | {tool} | {med[tool]:.3f} | {ratio} | {cpu_time[tool]:.2f} | {sizes[tool]:,} | {sratio} | {dimsd[tool]} |")
    if fmt == "png":
        verdict.append((name, med["lumivex"] < med["vips"], med["vips"] / med["lumivex"],
                        sizes["lumivex"] <= sizes["imagemagick"], sizes["imagemagick"] / sizes["lumivex"],
                        diff_magick, diff_vips))
w("")
w("## Targets (PNG output)")
w("")
w("| input | faster than the vips pipeline | vips / lumivex time | PNG no larger than ImageMagick's | ImageMagick / lumivex bytes |")
w("|---|---|---:|---|---:|")
for name, fast, tr, small, sr, _, _ in verdict:
    w(f"| {name} | {'met' if fast else 'NOT met'} | {tr:.2f} | {'met' if small else 'NOT met'} | {sr:.3f} |")
w("")
w("## Equivalence of the pipelines")
w("")
w("On the 1000 × 800 input, visible pixels (alpha above 0 in either file) of each PNG compared with")
w("lumivex-cli's: differing pixels and the largest difference in any channel (0..255).")
w("")
w("| input | ImageMagick: pixels, max | vips: pixels, max |")
w("|---|---|---|")
for name, _, _, _, _, dm, dv in verdict:
    if dm != "-":
        w(f"| {name} | {dm.replace(' ', ', ')} | {dv.replace(' ', ', ')} |")
w("")
w(NOTES)
figures = open(inprocess).read().strip()
if figures:
    w("## In process")
    w("")
    w("`bench_reflection`: building the reflection, building and composing it, and a plain copy of the")
    w("picture's bytes into a fresh buffer (the memory floor). `bench_cli_stages`: the stages of one")
    w("command-line run, decoding a PNG, rendering picture plus reflection, encoding PNG and JPEG")
    w("(`output_bytes` is the encoded size). Arguments are megapixels (1000 × 1000 and 6000 × 4000);")
    w("medians of 3 repetitions.")
    w("")
    w("```")
    w(figures)
    w("```")
    w("")
w("## Exact commands")
w("")
w("Inputs are generated by the script with ImageMagick (see `make_picture`); `$work` is its temporary folder.")
w("")
w(open(commands).read())
# The page's other sections (measured by other benchmarks) are kept as
# they stand, after the ones written here.
generated = {"Whole commands", "Targets (PNG output)", "Equivalence of the pipelines",
             "How the pipelines differ", "In process", "Exact commands"}
kept = []
if os.path.exists(out):
    keep = False
    for line in open(out).read().split("\n"):
        if line.startswith("## "):
            keep = line[3:].strip() not in generated
        if keep:
            kept.append(line)
with open(out, "w") as f:
    f.write("\n".join(lines).rstrip() + "\n")
    if kept:
        f.write("\n" + "\n".join(kept).rstrip() + "\n")
print("wrote", out)
EOF
