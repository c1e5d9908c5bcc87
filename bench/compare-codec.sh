#!/usr/bin/env bash
# Times the whole `tunra-codec encode|decode` command against the system's base64 on
# the same 64 MiB input, side by side in one hyperfine run each.
# usage: bench/compare-codec.sh [path/to/tunra-codec]   (default: the native build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
codec=${1:-$root/build/native/tools/tunra-codec}
command -v hyperfine >/dev/null || { echo "needs hyperfine (apt-get install hyperfine)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Random bytes without zero bytes, so decoding gives back the whole file.
python3 -c 'import os, sys
data = os.urandom(80 << 20).replace(b"\0", b"")[:64 << 20]
sys.stdout.buffer.write(data)' > "$work/plain.bin"
"$codec" encode < "$work/plain.bin" > "$work/plain.enc"
base64 -w0 < "$work/plain.bin" > "$work/plain.b64"
# The round trip gives the file back, with a comma for each marker (0E 5E 17) that
# starts a character: the marker's 0E is the trail byte of a double-byte character when
# an odd run of lead bytes (81-FE) comes just before it.
python3 - "$work/plain.bin" <("$codec" decode < "$work/plain.enc") <<'PY'
import sys
plain = open(sys.argv[1], 'rb').read()
back = open(sys.argv[2], 'rb').read()
marker = b'\x0e\x5e\x17'
pieces, start, pos = [], 0, plain.find(marker)
while pos >= 0:
    run = 0
    while pos - run > 0 and 0x81 <= plain[pos - run - 1] <= 0xFE:
        run += 1
    if run % 2 == 0:
        pieces += [plain[start:pos], b',']
        start = pos + 3
    pos = plain.find(marker, pos + 1)
expected = b''.join(pieces) + plain[start:]
print('round trip:', 'ok' if back == expected else 'MISMATCH', len(plain), 'bytes')
PY
hyperfine --warmup 1 --runs 10 \
  -n "tunra-codec encode" "$codec encode < $work/plain.bin > $work/out.enc" \
  -n "base64 -w0" "base64 -w0 < $work/plain.bin > $work/out.b64"
hyperfine --warmup 1 --runs 10 \
  -n "tunra-codec decode" "$codec decode < $work/plain.enc > $work/out.dec" \
  -n "base64 -d" "base64 -d < $work/plain.b64 > $work/out.bin"
