#!/usr/bin/env bash
# Each save format's peak memory as a function of pixels: lumivex-cli image
# on photo-like PNGs of several sizes, peak resident set from GNU time. For
# every format and road it prints the peaks, then the fitted bytes a
# composed pixel and constant beyond the process at rest (a 64 × 48 save)
# and the composition itself (4 bytes a composed pixel): the figures
# imaging/saving/encoder_memory.cpp reserves, before rounding up.
#   bash tools/bench_encoder_memory.sh [CLI] [WxH ...]
# AVIF is measured on the sizes up to 6 megapixels only (its encoder takes
# minutes beyond).
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/lumivex-cli}")
shift || true
sizes=("${@:-1500x1000 3000x2000 6000x4000}")
read -ra sizes <<<"${sizes[*]}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

convert -size 64x48 plasma:fractal -depth 8 "$work/tiny.png"
for size in "${sizes[@]}"; do
  # Photo-like: smooth fractal colour with fine grain, opaque.
  convert -size "$size" -seed 7 plasma:fractal -attenuate 0.3 +noise Gaussian -depth 8 "$work/$size.png"
done

peak_kb() { # output, arguments...: the command's peak resident kilobytes
  local out=$1
  shift
  /usr/bin/time -f '%M' -o "$work/time" "$cli" image "$@" -o "$out" >/dev/null 2>&1
  tail -n 1 "$work/time"
}

base=$(peak_kb "$work/tiny-out.png" "$work/tiny.png")
echo "process at rest (64 x 48 PNG): $((base / 1024)) MB; load: $(uptime | sed 's/.*load average: //')"
printf '| format, road | %s | bytes a pixel | constant MB |\n' "$(printf '%s peak MB | ' "${sizes[@]}" | sed 's/ | $//')"
printf '|---|%s---:|---:|\n' "$(printf -- '---:|%.0s' "${sizes[@]}")"

row() { # label, extension, reflection arguments..., then -- and the options
  local label=$1 extension=$2
  shift 2
  local options=("$@") points=() peaks=()
  for size in "${sizes[@]}"; do
    local w=${size%x*} h=${size#*x}
    if [[ $label == AVIF* ]] && ((w * h > 6000000)); then
      peaks+=("–")
      continue
    fi
    local kb
    kb=$(peak_kb "$work/out.$extension" "${options[@]}" "$work/$size.png")
    # Composed rows: the picture's, then --size after --axis (50 and 1 by
    # default); on the left, as many columns.
    local rows=$((h + 51))
    [[ " ${options[*]} " == *" --axis 0 "* ]] && rows=$((h + 50))
    local pixels=$((w * rows))
    [[ " ${options[*]} " == *" --direction left "* ]] && pixels=$(((w + 51) * h))
    points+=("$pixels $(((kb - base) * 1024 - pixels * 4))")
    peaks+=("$((kb / 1024))")
  done
  local fit
  fit=$(printf '%s\n' "${points[@]}" | awk '
    { n++; x[n] = $1; y[n] = $2; sx += $1; sy += $2; sxx += $1 * $1; sxy += $1 * $2 }
    END {
      if (n < 2) { printf "– | –"; exit }
      slope = (n * sxy - sx * sy) / (n * sxx - sx * sx)
      printf "%.2f | %.0f", slope, (sy - slope * sx) / n / 1048576
    }')
  printf '| %s | %s | %s |\n' "$label" "$(printf '%s | ' "${peaks[@]}" | sed 's/ | $//')" "$fit"
}

row "PNG in bands (default values)" png
row "PNG at once (opaque reflection)" png --start 255 --end 255 --axis 0
row "JPEG" jpg
row "GIF" gif
row "BMP" bmp
row "TIFF in rows" tif
row "TIFF, blurred on the left (whole composition)" tif --blur 4 --direction left
row "WebP lossless" webp
row "WebP --quality 80" webp --quality 80
row "AVIF lossless" avif
row "AVIF --quality 80" avif --quality 80
echo "load after: $(uptime | sed 's/.*load average: //')"
