#!/usr/bin/env bash
# Whole-command cost of the reflection styles: "lumivex-cli image" on a
# 6000 x 4000 RGBA PNG written as PNG, with a reflection of a third of the
# picture's height, classic against blurred and squashed, timed by hyperfine.
# Prints a Markdown table for docs/benchmarks.md.
#
#   tools/bench_styles.sh [--cli PATH] [--runs N] [--size WxH]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cli="$here/build/cli/lumivex-cli"
[ -x "$cli" ] || cli="$here/build/app/lumivex-cli"
runs=3
picture=6000x4000
while [ $# -gt 0 ]; do
    case "$1" in
    --cli) cli=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --size) picture=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done
for tool in hyperfine convert python3; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done
[ -x "$cli" ] || { echo "build lumivex-cli first ($cli)" >&2; exit 1; }
width=${picture%x*} height=${picture#*x}
size=$((height / 3))

work=$(mktemp -d /tmp/lumivex-styles.XXXXXX)
trap 'rm -rf "$work"' EXIT
input="$work/rgba-$picture.png"
# The soft-edged RGBA cut-out of tools/bench_commands.sh.
convert -seed 7 -size "$((width / 4))x$((height / 4))" plasma:fractal -resize "${width}x${height}!" \
    -attenuate 0.4 +noise Gaussian \( -size "$picture" radial-gradient:white-black \) -alpha off \
    -compose CopyOpacity -composite -depth 8 "PNG32:$input"

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
styles=("" "--blur 20" "--blur 100" "--scale 50" "--blur 20 --scale 50")
for i in "${!styles[@]}"; do
    hyperfine --runs "$runs" --export-json "$work/$i.json" \
        "$cli image --size $size ${styles[$i]} -o $work/out-$i.png $input" >&2
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

python3 - "$work" "$size" "$picture" "$load_before" "$load_after" "${styles[@]}" <<'PY'
import json, sys
work, size, picture, before, after, *styles = sys.argv[1:]
results = [json.load(open(f"{work}/{i}.json"))["results"][0] for i in range(len(styles))]
base = results[0]["median"]
print(f"rgba-{picture}.png → png, `--size {size}`; load average {before} before, {after} after.\n")
print("| style options | median (s) | × classic | CPU (s) |")
print("|---|---:|---:|---:|")
for style, r in zip(styles, results):
    cpu = r["user"] + r["system"]
    print(f"| {('`' + style + '`') if style else '(classic)'} | {r['median']:.3f} | {r['median'] / base:.2f} | {cpu:.2f} |")
PY
