#!/usr/bin/env bash
# The streamed image road against the reference of merely reading the file:
# "lumivex-cli image" (a 24-megapixel RGBA PNG to PNG, a reflection a third
# of the picture's height fading from 255 to 0) and "vips avg" (a streamed
# decode and nothing else) on the same file, side by side in each round,
# plus an earlier build of lumivex-cli when one is given. Prints wall time,
# CPU time and peak resident memory (/usr/bin/time) per round, the medians
# and the ratio to vips.
#
#   tools/bench_stream.sh [--cli PATH] [--previous PATH] [--rounds N] [--input FILE] [--keep]
#
# The machine may be shared: rounds alternate the commands so that a burst
# of other work hits all of them alike; the load average is printed.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cli="$here/build/cli/lumivex-cli"
previous=""
rounds=5
input=""
keep=0
while [ $# -gt 0 ]; do
    case "$1" in
    --cli) cli=$2; shift 2 ;;
    --previous) previous=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --input) input=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done
for tool in vips convert python3; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "missing /usr/bin/time (package time)" >&2; exit 1; }
[ -x "$cli" ] || { echo "build lumivex-cli first ($cli)" >&2; exit 1; }

work=$(mktemp -d /tmp/lumivex-stream.XXXXXX)
[ "$keep" = 1 ] || trap 'rm -rf "$work"' EXIT
if [ -z "$input" ]; then
    # The plasma of tools/bench_commands.sh: drawn small, enlarged, with noise,
    # so that it compresses like a photograph; alpha falls off radially.
    input="$work/rgba-6000x4000.png"
    echo "generating $input" >&2
    convert -seed 7 -size 1500x1000 plasma:fractal -resize '6000x4000!' -attenuate 0.4 +noise Gaussian \
        \( -size 6000x4000 radial-gradient:white-black \) -alpha off -compose CopyOpacity -composite \
        -depth 8 "PNG32:$input"
fi
height=$(vipsheader -f height "$input")
size=$((height / 3))

# name, then the command
commands=("vips avg" "vips avg $input")
commands+=("lumivex-cli" "$cli image --size $size --start 255 --end 0 --axis 1 -o $work/out-new.png $input")
if [ -n "$previous" ]; then
    commands+=("previous build" "$previous image --size $size --start 255 --end 0 --axis 1 -o $work/out-previous.png $input")
fi

echo "input: $input ($(stat -c %s "$input") bytes), reflection $size rows; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
results="$work/results.txt"
: >"$results"
for round in $(seq 1 "$rounds"); do
    for ((i = 0; i < ${#commands[@]}; i += 2)); do
        name=${commands[i]}
        # wall seconds, user + system seconds, peak resident kB
        figures=$(/usr/bin/time -f "%e %U %S %M" ${commands[i + 1]} 2>&1 >/dev/null | tail -1)
        read -r wall user system peak <<<"$figures"
        cpu=$(python3 -c "print(round($user + $system, 2))")
        echo "round $round  $(printf '%-15s' "$name") wall ${wall} s  cpu ${cpu} s  peak $((peak / 1024)) MB"
        echo "$name|$wall|$cpu|$peak" >>"$results"
    done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"

python3 - "$results" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    name, wall, cpu, peak = line.strip().split("|")
    rows.setdefault(name, []).append((float(wall), float(cpu), int(peak)))
median = {n: [statistics.median(v[i] for v in r) for i in range(3)] for n, r in rows.items()}
base = median["vips avg"][0]
print()
print("| command | median wall (s) | median CPU (s) | median peak (MB) | wall / vips avg |")
print("|---|---:|---:|---:|---:|")
for name, (wall, cpu, peak) in median.items():
    print(f"| {name} | {wall:.2f} | {cpu:.2f} | {peak / 1024:.0f} | {wall / base:.2f} |")
ratios = [r[0] / v[0] for r, v in zip(rows["lumivex-cli"], rows["vips avg"])]
print()
print("lumivex-cli / vips avg per round:", ", ".join(f"{r:.2f}" for r in ratios))
PY

if [ -n "$previous" ] && [ -f "$work/out-previous.png" ]; then
    # The pixels must not change, only the PNG's band layout.
    if vips relational "$work/out-new.png" "$work/out-previous.png" "$work/same.v" equal >/dev/null 2>&1 &&
        [ "$(vips min "$work/same.v" | cut -d. -f1)" = 255 ]; then
        echo "pixels: the new and the previous files decode to the same pixels"
    else
        echo "pixels: the new and the previous files DIFFER"
    fi
fi
