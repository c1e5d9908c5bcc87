#!/usr/bin/env bash
# Times the OpenVPN log scan (the `ovpn-log-scan` command: read the file, scan it)
# against `grep -F -c` of the same watched texts on the same 10 MiB log, side by side in
# one hyperfine run per log:
#   last   the only deciding line is the last one ("no match until the end")
#   first  the only deciding line is the first one (the scan walks the whole log back)
#   none   no deciding line (the whole log, then the line count)
# grep counts matching lines, so it always reads the whole file. Both run in the C
# locale (grep's fastest).
# usage: bench/compare-ovpn-log.sh [path/to/ovpn-log-scan]   (default: the native build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scan=${1:-$root/build/native/bench/ovpn-log-scan}
command -v hyperfine >/dev/null || { echo "needs hyperfine (apt-get install hyperfine)" >&2; exit 2; }
export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

restart='SIGUSR1[soft,ping-restart] received, process restarting'
texts=("TCP/UDP: Closing socket" "error=certificate is not yet valid" "error=certificate has expired"
  "TLS Error: Need PEM pass phrase for private key" "EVP_DecryptFinal:bad decrypt"
  "PKCS12_parse:mac verify failure" "Received AUTH_FAILED control message" "Auth username is empty"
  "netsh command failed" "No Route to Host" "There are no TAP-Win32 adapters on this system"
  "$restart" "Initialization Sequence Completed")
grep_args=(grep -F -c)
for t in "${texts[@]}"; do grep_args+=(-e "$t"); done

"$scan" --sample 10 "" "$restart" > "$work/last.log"
"$scan" --sample 10 "$restart" "" > "$work/first.log"
"$scan" --sample 10 > "$work/none.log"

# Both agree on every file before they are timed.
for name in last first none; do
  status=$("$scan" --running "$work/$name.log")
  count=$("${grep_args[@]}" "$work/$name.log" || true)
  printf '%-6s %s bytes: scan status %s, grep matching lines %s\n' \
    "$name" "$(stat -c %s "$work/$name.log")" "$status" "$count"
  case "$name:$status:$count" in
    last:-13:1 | first:-13:1 | none:-100:0) ;;
    *) echo "unexpected results for $name" >&2; exit 1 ;;
  esac
done

quoted=$(printf '%q ' "${grep_args[@]}")
for name in last first none; do
  hyperfine -N --warmup 3 --runs 30 -i \
    -n "ovpn-log-scan ($name)" "$scan --running $work/$name.log" \
    -n "grep -F -c ($name)" "$quoted $work/$name.log"
done
