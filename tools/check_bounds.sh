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
# under a hard time-out and compares elapsed time, peak memory and exit code.
check() {
  local name=$1 max_seconds=$2 max_mb=$3 expected=$4
  shift 4
  local code=0
  timeout 60 /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || code=$?
  local seconds kb
  read -r seconds kb < <(tail -n 1 "$work/time") || { seconds=60 kb=0; }
  local mb=$((kb / 1024))
  local verdict=ok
  if [[ $code -ne $expected ]] || awk -v s="$seconds" -v m="$max_seconds" 'BEGIN{exit !(s > m)}' || ((mb > max_mb)); then
    verdict=FAILED
    status=1
  fi
  printf 'bounds: %-44s %6ss %6s MB exit %s (limits %ss, %s MB, exit %s) %s\n' \
    "$name" "$seconds" "$mb" "$code" "$max_seconds" "$max_mb" "$expected" "$verdict"
  [[ $verdict == ok ]] || sed 's/^/  stderr: /' "$work/stderr" | head -n 5
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
links=()
for i in 1 2 3 4 5 6 7 8; do
  ln -s /dev/zero "$work/zero$i.png"
  links+=("$work/zero$i.png")
done
check "8 links to /dev/zero with -j 8 refused" 2 200 1 "$cli" image -j 8 -d "$work/out" "${links[@]}"

# A FIFO that nobody writes, among good files: the batch still ends.
mkfifo "$work/pipe.png"
convert -size 64x48 gradient:red-blue "$work/good.png"
check "FIFO input in a batch does not hang" 5 200 1 "$cli" image -d "$work/out" "$work/good.png" "$work/pipe.png"

# A file of zeros as large as a photo: refused from its first bytes.
head -c 100M /dev/zero >"$work/zeros.png"
check "100 MB non-picture refused from its head" 2 100 1 "$cli" image -o "$work/out.png" "$work/zeros.png"

exit $status
