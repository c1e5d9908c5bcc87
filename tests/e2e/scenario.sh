#!/usr/bin/env bash
# scenario.sh TUNRA_EXE DRIVER_EXE WORK_DIR PREFIX SCENARIO EXPECTED [BACKEND_ADDRESS]
#
# Runs one scripted session against a real tunra.exe under Wine in a private Xvfb:
# starts the reference back end on BACKEND_ADDRESS port 80 when an address is given
# (requests recorded in requests.jsonl in WORK_DIR), starts the client, feeds
# SCENARIO to the UI driver on standard input (UTF-8 texts arrive intact that way),
# and compares the driver's output with EXPECTED. The driver's output, a screenshot
# of the end state and the back end's log are left in WORK_DIR. The Wine PREFIX may be
# shared by scenarios that run one at a time (its settings key is cleared first). Every wait is
# bounded, and every process started here is ended by its PID.
set -uo pipefail
exe=$(realpath "$1") driver=$(realpath "$2") work=$(realpath -m "$3") prefix=$(realpath -m "$4")
scenario=$(realpath "$5") expected=$(realpath "$6") backend_address=${7:-}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
name=$(basename "$scenario" .scenario)
mkdir -p "$work"
# shellcheck source=../../scripts/lib/wine-env.sh
source "$root/scripts/lib/wine-env.sh"

unset DISPLAY  # always a private display: nothing of the user's desktop is touched
tunra_display_start || exit 1
client= backend=
cleanup() {
  [[ -n $client ]] && kill "$client" 2>/dev/null
  [[ -n $backend ]] && kill "$backend" 2>/dev/null && wait "$backend" 2>/dev/null
  # The prefix is private to these tests: stop its server and services.
  "$TUNRA_WINESERVER" -k 2>/dev/null
  tunra_display_stop
}
trap cleanup EXIT
tunra_gui_env "$prefix"

if [[ -n $backend_address ]]; then
  ready=$work/backend.ready
  : >"$ready"
  python3 "$root/backend/tunra_backend.py" "$backend_address" --record "$work/requests.jsonl" \
    --time-limit 300 >"$ready" 2>"$work/backend.log" &
  backend=$!
  for ((i = 0; i < 100; i++)); do
    grep -q listening "$ready" && break
    kill -0 "$backend" 2>/dev/null || break
    sleep 0.1
  done
  if ! grep -q listening "$ready"; then
    echo "FAIL: the back end did not start on $backend_address:80 (in use? root needed)"
    cat "$work/backend.log"
    exit 1
  fi
fi

# Every scenario starts without saved settings (the prefix is kept between runs).
"$TUNRA_WINE" reg delete 'HKCU\SOFTWARE\Orvak' /f >/dev/null 2>&1 || true

cd "$(dirname "$exe")"
"$TUNRA_WINE" "$exe" &
client=$!

timeout 120 "$TUNRA_WINE" "$driver" run <"$scenario" >"$work/driver.out" 2>&1
rc=$?
xwd -root -silent 2>/dev/null | convert xwd:- "png:$work/screenshot.png" 2>/dev/null
status=0
if ((rc != 0)); then
  echo "FAIL: the driver ended with exit code $rc"
  status=1
fi
if ! diff -u "$expected" "$work/driver.out"; then
  echo "FAIL: the driver's output differs from $(basename "$expected")"
  status=1
fi
# NAME.exits: the scenario closes the client, whose process must then end by itself.
if [[ -f ${scenario%.scenario}.exits ]]; then
  for ((i = 0; i < 150; i++)); do kill -0 "$client" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$client" 2>/dev/null; then
    echo "FAIL: the client still runs 15 s after the scenario closed it"
    status=1
  else
    client=
  fi
fi
# NAME.after.scenario: the client started once more in the same prefix (what it kept
# in its settings), checked against NAME.after.expected.
after=${scenario%.scenario}.after.scenario
if ((status == 0)) && [[ -f $after ]]; then
  "$TUNRA_WINE" "$exe" &
  client=$!
  timeout 120 "$TUNRA_WINE" "$driver" run <"$after" >"$work/driver.after.out" 2>&1 || status=1
  if ! diff -u "${after%.scenario}.expected" "$work/driver.after.out"; then
    echo "FAIL: the restarted client's output differs from $(basename "${after%.scenario}.expected")"
    status=1
  fi
fi
# NAME.requests: what the back end received, one line per request: the path and the
# parameters named in the file's first line (e.g. "# auth_mode id").
requests=${scenario%.scenario}.requests
if [[ -f $requests ]]; then
  python3 - "$requests" "$work/requests.jsonl" >"$work/requests.out" <<'PY'
import json, sys
wanted = open(sys.argv[1], encoding="utf-8").readline().lstrip("#").split()
for line in open(sys.argv[2], encoding="utf-8"):
    if not line.strip():
        continue
    record = json.loads(line)
    params = dict(record.get("params") or [])
    print(" ".join([record["path"]] + ["%s=%s" % (k, params.get(k, "")) for k in wanted]))
PY
  if ! diff -u <(tail -n +2 "$requests") "$work/requests.out"; then
    echo "FAIL: the recorded requests differ from $(basename "$requests")"
    status=1
  fi
fi
((status == 0)) && echo "scenario $name: passed"
exit $status
