#!/usr/bin/env bash
# scenario.sh TUNRA_EXE DRIVER_EXE WORK_DIR PREFIX SCENARIO EXPECTED [BACKEND_ADDRESS]
#
# Runs one scripted session against a real tunra.exe under Wine in a private Xvfb:
# starts the reference back end on BACKEND_ADDRESS port 80 when an address is given
# (requests recorded in requests.jsonl in WORK_DIR), starts the client, feeds
# SCENARIO to the UI driver on standard input (UTF-8 texts arrive intact that way),
# and compares the driver's output with EXPECTED. The driver's output, a screenshot
# of the end state (and those the scenario took), the back end's log, the dialer's
# journal and the diagnostics log are left in WORK_DIR. The Wine PREFIX may be shared
# by scenarios that run one at a time (its settings key is cleared first). Every wait
# is bounded, and every process started here is ended by its PID.
#
# Files beside SCENARIO (NAME.scenario), each optional:
#   NAME.settings        "VALUE DATA" lines: the settings key holds them at the start
#                        (string values; DATA of the form dword:XXXXXXXX or hex:.. as
#                        regedit writes it gives a value of that type)
#   NAME.ras             the script of the test-only dialer (rasapi32.dll beside the
#                        exe, loaded for rasapi32=n); without it every dial connects
#   NAME.ras-journal     lines the dialer's journal must hold, in this order
#   NAME.diag            lines the diagnostics log must hold, in this order (it may
#                        never hold a password the scenario typed)
#   NAME.browser         lines the list of web pages the client opened must hold; an
#                        empty one (comments aside): the client opens no page at all
#   NAME.vexoop          the script of the test-only OpenVPN program (vexoop.exe beside
#                        the exe); a line "--- next start" begins the script of its
#                        next start (the last one plays for every further start);
#                        without it the program plays its default (a tunnel that
#                        comes up)
#   NAME.vexoop-journal  lines the OpenVPN program's journal must hold, in this order
#   NAME.no-vexoop       the OpenVPN program is missing while the scenario runs
#   NAME.files           the OpenVPN working files beside the exe when the scenario
#                        ends: those listed must be there, the others of vexoen.opc,
#                        vrs.inf, event.log, ca.crt and crtver.ini absent (without it:
#                        vexoen.opc, vrs.inf and event.log absent)
#   NAME.events          lines the event reports the back end received must hold, in
#                        this order (all reports' texts, one after the other)
#   NAME.faults          fault switches of the back end from its start, one a line
#                        (NAME[=ARG][@PATH], as its --fault option)
#   NAME.fixture         names (its first line) the back end's accounts file in
#                        tests/e2e/fixtures/, used instead of the shipped accounts
#   NAME.new-files       the files the run may create or change, as patterns ('*' for
#                        any text) of the names shown: <dir>/NAME beside the program,
#                        <dir>/../NAME in the folder above, C:/PATH in the prefix's
#                        drive C; any other file created or changed there fails the
#                        scenario (the diagnostics log aside)
#   NAME.adapters        the script of the test-only adapter list (iphlpapi.dll beside
#                        the exe, loaded for iphlpapi=n,b): the adapters it adds to
#                        Wine's; without it Wine's list alone (no tunnel adapter)
#   NAME.adapters-WHAT   further adapter scripts, as WORK_DIR/adapters-WHAT.txt, for
#                        the tools to copy over WORK_DIR/adapters.txt (the one in force)
#   NAME.tools           the script of the test-only driver, installer and binding
#                        tools beside the exe ($WORK in it stands for WORK_DIR);
#                        without it each ends at once with 0
#   NAME.tool-journal    lines the tools' journal must hold, in this order
#   NAME.requests        what the back end received (see below)
#   NAME.exits           the client must end by itself after the scenario
#   NAME.after.scenario  a second run in the same prefix, against NAME.after.expected
#   NAME.dpi             the screen's logical DPI for the run (144 = 150 %; default 96)
# TUNRA_E2E_LOCALE (e.g. en_US) runs Wine in that locale instead of Korean; with
# TUNRA_E2E_SAME_REQUESTS_AS=FILE the requests must be those FILE recorded.
# Lines of the ordered checks are parts of lines, '*' standing for any text; tabs of
# the journal count as blanks. After a tunnel came up no phonebook may be left.
set -uo pipefail
exe=$(realpath "$1") driver=$(realpath "$2") work=$(realpath -m "$3") prefix=$(realpath -m "$4")
scenario=$(realpath "$5") expected=$(realpath "$6") backend_address=${7:-}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
name=$(basename "$scenario" .scenario)
mkdir -p "$work"
# shellcheck source=../../scripts/lib/wine-env.sh
source "$root/scripts/lib/wine-env.sh"

# NAME.dpi: the screen's logical DPI; the private screen grows with it, so the window
# has the room it has on a 1280 x 1024 screen at 100 %.
dpi=96
if [[ -f ${scenario%.scenario}.dpi ]]; then
  dpi=$(grep -v '^#' "${scenario%.scenario}.dpi" | tr -d '[:space:]')
  [[ $dpi =~ ^[0-9]+$ ]] && ((dpi >= 96 && dpi <= 480)) || { echo "FAIL: $name.dpi: not a DPI"; exit 1; }
fi
export TUNRA_SCREEN=$((1280 * dpi / 96))x$((1024 * dpi / 96))x24
unset DISPLAY  # always a private display: nothing of the user's desktop is touched
tunra_display_start || exit 1
client= watcher= requests_watcher= hidden=
cleanup() {
  [[ -n $client ]] && kill "$client" 2>/dev/null
  [[ -n $watcher ]] && kill "$watcher" 2>/dev/null
  [[ -n $requests_watcher ]] && kill "$requests_watcher" 2>/dev/null && wait "$requests_watcher" 2>/dev/null
  [[ -n $hidden ]] && mv "$hidden.away" "$hidden"
  declare -F stop_backend >/dev/null && stop_backend
  # The prefix is private to these tests: stop its server and services.
  "$TUNRA_WINESERVER" -k 2>/dev/null
  tunra_display_stop
}
trap cleanup EXIT
tunra_gui_env "$prefix"

# The test-only dialer beside tunra.exe replaces Wine's stub: its script is NAME.ras (the
# defaults without one: every state to "connected"), its journal goes to WORK_DIR.
exe_dir=$(dirname "$exe")
base=${scenario%.scenario}
if [[ ! -f $exe_dir/rasapi32.dll ]]; then
  echo "FAIL: no stand-in dialer beside tunra.exe (build the target rasapi32_standin)"
  exit 1
fi
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;rasapi32=n"
unset TUNRA_RAS_SCRIPT
[[ -f $base.ras ]] && export TUNRA_RAS_SCRIPT=$base.ras
export TUNRA_RAS_JOURNAL=$work/ras-journal.txt
# Leftovers of an earlier run: the phonebook, the stand-in's control files, the
# diagnostics log and this scenario's results.
rm -f "$exe_dir/sobrel.ini" "$exe_dir"/rasapi32-{script,drop,journal}.txt "$exe_dir"/tunra-diag.log{,.old} \
  "$TUNRA_RAS_JOURNAL" "$work"/diag.log "$work"/*.png "$work"/*.bmp
export TUNRA_E2E_WORK=$work  # where the driver's `screenshot NAME` writes

# The test-only OpenVPN program beside tunra.exe plays NAME.vexoop (the script of each
# start in a file of its own, swapped for the next one by a watcher of the journal
# once the program has read it) and journals to WORK_DIR. The working files of an
# earlier run go; so do the certificate and its version, so every scenario starts
# without them (and without the file a script's "await vexoop-release.txt" waits for).
vexoop=$exe_dir/vexoop.exe
[[ -f $vexoop.away && ! -f $vexoop ]] && mv "$vexoop.away" "$vexoop"  # a run that was cut short
if [[ ! -f $vexoop ]]; then
  echo "FAIL: no stand-in vexoop.exe beside tunra.exe (build the target vexoop_standin)"
  exit 1
fi
working_files=(vexoen.opc vrs.inf event.log ca.crt crtver.ini)
for f in "${working_files[@]}" vexoop-script.txt vexoop-journal.txt vexoop-release.txt; do rm -f "$exe_dir/$f"; done
export TUNRA_VEXOOP_JOURNAL=$work/vexoop-journal.txt
rm -f "$TUNRA_VEXOOP_JOURNAL" "$work"/vexoop-script*.txt "$work/events.txt"
unset TUNRA_VEXOOP_SCRIPT
if [[ -f $base.vexoop ]]; then
  starts=$(awk -v dir="$work" 'BEGIN { n = 1; printf "" > (dir "/vexoop-script-1.txt") }
    /^--- next start/ { n++; printf "" > (dir "/vexoop-script-" n ".txt"); next }
    { print > (dir "/vexoop-script-" n ".txt") } END { print n }' "$base.vexoop")
  cp "$work/vexoop-script-1.txt" "$work/vexoop-script.txt"
  export TUNRA_VEXOOP_SCRIPT=$work/vexoop-script.txt
  if ((starts > 1)); then
    (
      for ((next = 2; next <= starts; )); do
        seen=$(grep -c $'^start\t' "$TUNRA_VEXOOP_JOURNAL" 2>/dev/null)
        if ((${seen:-0} >= next - 1)); then
          cp "$work/vexoop-script-$next.txt" "$work/vexoop-script.next.txt" &&
            mv "$work/vexoop-script.next.txt" "$work/vexoop-script.txt"
          ((next++))
        fi
        sleep 0.1
      done
    ) &
    watcher=$!
  fi
fi
if [[ -f $base.no-vexoop ]]; then
  mv "$vexoop" "$vexoop.away" && hidden=$vexoop
fi

# The tunnel adapter: the test-only adapter list plays NAME.adapters (a file it reads
# again at every call, which a tool may replace); the test-only tools play NAME.tools.
# Both journal to WORK_DIR.
rm -f "$work"/adapters*.txt "$work"/tools.txt "$work"/{tool,adapters}-journal.txt
unset TUNRA_ADAPTERS_SCRIPT TUNRA_TOOL_SCRIPT
export TUNRA_ADAPTERS_JOURNAL=$work/adapters-journal.txt TUNRA_TOOL_JOURNAL=$work/tool-journal.txt
rm -f "$exe_dir"/{iphlpapi-script.txt,standin-tool.txt}
if [[ -f $base.adapters ]]; then
  if [[ ! -f $exe_dir/iphlpapi.dll || ! -f $exe_dir/iphlpwine.dll ]]; then
    echo "FAIL: no stand-in adapter list beside tunra.exe (build the target iphlpapi_standin)"
    exit 1
  fi
  for f in "$base".adapters*; do cp "$f" "$work/${f##*.}.txt"; done
  export TUNRA_ADAPTERS_SCRIPT=$work/adapters.txt
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;iphlpapi=n,b"
fi
# The client sends ICMP echoes to the IPs of the pool it shows (203.0.113.x and
# 198.51.100.x in the shipped accounts): the test-only IP Helper, loaded for every
# scenario when it is built, keeps them all on loopback.
if [[ -z ${TUNRA_ADAPTERS_SCRIPT:-} && -f $exe_dir/iphlpapi.dll && -f $exe_dir/iphlpwine.dll ]]; then
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;iphlpapi=n,b"
fi
if [[ -f $base.tools ]]; then
  sed "s|\$WORK|$work|g" "$base.tools" >"$work/tools.txt"
  export TUNRA_TOOL_SCRIPT=$work/tools.txt
fi

# The back end: NAME.fixture replaces the shipped accounts, NAME.faults sets switches
# from its start. A scenario may also end it and start it again (`backend stop|start`
# of the driver: meanwhile a connection is refused, as with no server at all) and send
# it control commands (`backend QUERY`): the driver leaves each request in WORK_DIR as
# backend-request.txt and waits for backend-answer.txt, which the watcher below writes.
# A restarted back end records into requests-N.jsonl, added to requests.jsonl before
# the checks.
backend_args=()
if [[ -n $backend_address ]]; then
  backend_args=("$backend_address" --time-limit 300)
  [[ -f $base.fixture ]] && backend_args+=(--fixture "$here/fixtures/$(grep -v '^#' "$base.fixture" | head -n 1)")
  if [[ -f $base.faults ]]; then
    while read -r fault; do
      [[ -n $fault && $fault != \#* ]] && backend_args+=(--fault "$fault")
    done <"$base.faults"
  fi
fi
rm -f "$work"/requests-*.jsonl "$work"/backend-*.log "$work"/backend-{request,answer}.txt "$work/backend.pid"
# alive PID: the process runs (a zombie has closed its sockets already).
alive() { [[ -r /proc/$1/stat ]] && [[ $(cut -d')' -f2 "/proc/$1/stat" 2>/dev/null) != " Z"* ]]; }
# start_backend RECORD LOG: starts it, keeps its PID in WORK_DIR/backend.pid and waits
# until it listens.
start_backend() {
  local ready=$work/backend.ready pid i
  : >"$ready"
  python3 "$root/backend/tunra_backend.py" "${backend_args[@]}" --record "$1" >"$ready" 2>"$2" &
  pid=$!
  echo "$pid" >"$work/backend.pid"
  for ((i = 0; i < 100; i++)); do
    grep -q listening "$ready" && return 0
    alive "$pid" || break
    sleep 0.1
  done
  return 1
}
stop_backend() {
  local pid i
  pid=$(cat "$work/backend.pid" 2>/dev/null) || return 0
  rm -f "$work/backend.pid"
  [[ -n $pid ]] || return 0
  kill "$pid" 2>/dev/null
  for ((i = 0; i < 50; i++)); do alive "$pid" || return 0; sleep 0.1; done
  return 1
}
# One request of the driver; prints the answer: "ok", or "fail: WHY"; for "requests
# PATH", "ok N" with the number of requests recorded for PATH so far (any letter case,
# by every back end of the run).
backend_request() {
  local n
  case $1 in
    requests\ /*)
      python3 - "${1#requests }" "$work"/requests.jsonl "$work"/requests-*.jsonl <<'PY' 2>&1
import json, sys
count = 0
for name in sys.argv[2:]:
    try:
        lines = open(name, encoding="utf-8").readlines()
    except OSError:
        continue
    count += sum(1 for l in lines if l.strip() and json.loads(l).get("path") == sys.argv[1].lower())
print("ok %d" % count)
PY
      ;;
    stop)
      if stop_backend; then echo ok; else echo "fail: the back end did not end"; fi ;;
    start)
      n=$(($(find "$work" -maxdepth 1 -name 'requests-*.jsonl' | wc -l) + 1))
      if [[ -f $work/backend.pid ]]; then echo "fail: the back end runs"
      elif start_backend "$work/requests-$n.jsonl" "$work/backend-$n.log"; then echo ok
      else echo "fail: the back end did not start again"
      fi ;;
    *)
      python3 - "$backend_address" "$1" <<'PY' 2>&1
import json, sys, urllib.request
try:
    with urllib.request.urlopen("http://%s/_control/%s" % (sys.argv[1], sys.argv[2]), timeout=10) as answer:
        state = json.load(answer)
    print("ok" if state.get("ok") else "fail: " + json.dumps(state))
except Exception as error:  # a refused command comes back as status 400 with its reason
    body = error.read() if hasattr(error, "read") else b""
    print("fail: %s %s" % (error, body.decode("utf-8", "replace")))
PY
      ;;
  esac
}
if [[ -n $backend_address ]]; then
  if ! start_backend "$work/requests.jsonl" "$work/backend.log"; then
    echo "FAIL: the back end did not start on $backend_address:80 (in use? root needed)"
    cat "$work/backend.log"
    exit 1
  fi
  (
    while :; do
      if [[ -f $work/backend-request.txt ]]; then
        request=$(tr -d '\r\n' <"$work/backend-request.txt")
        rm -f "$work/backend-request.txt"
        backend_request "$request" >"$work/backend-answer.tmp"
        mv "$work/backend-answer.tmp" "$work/backend-answer.txt"
      fi
      sleep 0.1
    done
  ) &
  requests_watcher=$!
fi

# Every scenario starts without saved settings (the prefix is kept between runs), or
# with those of NAME.settings: one "VALUE DATA" line each (string values). Web pages the
# client opens go to record_browser.sh, which lists them in WORK_DIR/browser.txt. One
# registry import does it all.
reg_text() { local t=${1//\\/\\\\}; printf '"%s"' "${t//\"/\\\"}"; }
{
  printf '\xef\xbb\xbfWindows Registry Editor Version 5.00\r\n\r\n'
  printf '[-HKEY_CURRENT_USER\\SOFTWARE\\Orvak]\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineBrowser]\r\n"Browsers"=%s\r\n\r\n' \
    "$(reg_text "$here/record_browser.sh")"
  # The screen's logical DPI, set for every run (96 = 100 % unless NAME.dpi says
  # otherwise), so a run at another scale never leaves it to the next scenario.
  printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n\r\n' "$dpi"
  if [[ -f $base.settings ]]; then
    printf '[HKEY_CURRENT_USER\\SOFTWARE\\Orvak]\r\n'
    while read -r value data; do
      [[ -z $value || $value == \#* ]] && continue
      if [[ $data =~ ^(dword:[0-9a-fA-F]{8}|hex(\([0-9a-fA-F]+\))?:[0-9a-fA-F,]*)$ ]]; then
        printf '%s=%s\r\n' "$(reg_text "$value")" "$data"
      else
        printf '%s=%s\r\n' "$(reg_text "$value")" "$(reg_text "$data")"
      fi
    done <"$base.settings"
  fi
} | iconv -f UTF-8 -t UTF-16LE >"$work/settings.reg"
rm -f "$work/browser.txt"
if ! (cd "$work" && "$TUNRA_WINE" regedit /S settings.reg </dev/null >/dev/null 2>&1); then
  echo "FAIL: the settings of the scenario could not be imported"
  exit 1
fi

cd "$exe_dir" || exit 1
# Files created or changed from here on are compared with NAME.new-files.
touch "$work/start.stamp"
sleep 1  # modification times of a coarse file system
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
# What back ends started again by the scenario recorded, after the first one's record.
for ((n = 1; ; n++)); do
  [[ -f $work/requests-$n.jsonl ]] || break
  cat "$work/requests-$n.jsonl" >>"$work/requests.jsonl"
done
# in_order EXPECTED ACTUAL: every line of EXPECTED (blank and '#' lines aside) is part of
# a line of ACTUAL, each in a later line than the one before; '*' in it stands for any
# text. ACTUAL is code page 949 text; its tabs count as blanks.
in_order() {
  python3 - "$1" "$2" <<'PY'
import re, sys
wanted = [l.rstrip("\r\n") for l in open(sys.argv[1], encoding="utf-8") if l.strip() and not l.startswith("#")]
try:
    lines = [l.rstrip("\r\n").replace("\t", " ") for l in open(sys.argv[2], encoding="cp949", errors="replace")]
except FileNotFoundError:
    lines = []
at = 0
for want in wanted:
    pattern = re.compile(".*".join(re.escape(part) for part in want.split("*")))
    while at < len(lines) and not pattern.search(lines[at]):
        at += 1
    if at == len(lines):
        print("  not found (in this order): " + want)
        sys.exit(1)
    at += 1
PY
}
# The dialer's journal (NAME.ras-journal) and the diagnostics log beside the program
# (NAME.diag), both kept in WORK_DIR.
[[ -f $exe_dir/tunra-diag.log ]] && cp "$exe_dir/tunra-diag.log" "$work/diag.log"
if [[ -f $base.ras-journal ]] && ! in_order "$base.ras-journal" "$TUNRA_RAS_JOURNAL"; then
  echo "FAIL: the dialer's journal (ras-journal.txt) lacks lines of $(basename "$base").ras-journal"
  status=1
fi
if [[ -f $base.diag ]] && ! in_order "$base.diag" "$work/diag.log"; then
  echo "FAIL: the diagnostics log (diag.log) lacks lines of $(basename "$base").diag"
  status=1
fi
# The OpenVPN program's journal (NAME.vexoop-journal), kept in WORK_DIR.
if [[ -f $base.vexoop-journal ]] && ! in_order "$base.vexoop-journal" "$TUNRA_VEXOOP_JOURNAL"; then
  echo "FAIL: the OpenVPN program's journal (vexoop-journal.txt) lacks lines of $(basename "$base").vexoop-journal"
  status=1
fi
# The tools' journal (NAME.tool-journal), kept in WORK_DIR.
if [[ -f $base.tool-journal ]] && ! in_order "$base.tool-journal" "$TUNRA_TOOL_JOURNAL"; then
  echo "FAIL: the tools' journal (tool-journal.txt) lacks lines of $(basename "$base").tool-journal"
  status=1
fi
# The OpenVPN working files left beside the program (NAME.files).
if [[ -f $base.files ]]; then
  kept=$(grep -v '^#' "$base.files")
else
  kept="ca.crt crtver.ini"  # not checked
fi
for f in "${working_files[@]}"; do
  if grep -qwF -- "$f" <<<"$kept"; then
    if [[ -f $base.files && ! -e $exe_dir/$f ]]; then
      echo "FAIL: $f is not beside tunra.exe at the end"
      status=1
    fi
  elif [[ -e $exe_dir/$f ]]; then
    echo "FAIL: $f is still beside tunra.exe at the end"
    status=1
  fi
done
# NAME.events: the texts of the event reports the back end received, in order.
if [[ -f $base.events ]]; then
  python3 - "$work/requests.jsonl" >"$work/events.txt" <<'PY'
import json, sys
out = open(sys.stdout.fileno(), "w", encoding="cp949", errors="replace", newline="")
for line in open(sys.argv[1], encoding="utf-8"):
    record = json.loads(line) if line.strip() else {}
    if record.get("path") == "/clientlogin/client_event_v1.php":
        out.write("=== event report\r\n" + dict(record.get("params") or []).get("event", "") + "\r\n")
PY
  if ! in_order "$base.events" "$work/events.txt"; then
    echo "FAIL: the event reports (events.txt) lack lines of $(basename "$base").events"
    status=1
  fi
fi
# NAME.browser: the web pages the client opened (lines as for NAME.ras-journal). The
# page opens through a program Wine starts: it may take a moment.
if [[ -f $base.browser ]] && ! grep -qv '^\(#.*\)\?$' "$base.browser"; then
  sleep 2  # what the client asked to open reaches the recorder by then
  if [[ -s $work/browser.txt ]]; then
    echo "FAIL: the client opened pages (browser.txt), none was expected:"
    cat "$work/browser.txt"
    status=1
  fi
elif [[ -f $base.browser ]]; then
  for ((i = 0; i < 100; i++)); do [[ -s $work/browser.txt ]] && break; sleep 0.1; done
  if ! in_order "$base.browser" "$work/browser.txt"; then
    echo "FAIL: the pages opened (browser.txt) lack lines of $(basename "$base").browser"
    status=1
  fi
fi
# NAME.new-files: every file created or changed since the client started, beside the
# program, in the folder above it and on the prefix's drive C, must be one it names.
# WinINet's cache index is Wine's own bookkeeping.
if [[ -f $base.new-files ]]; then
  {
    find "$exe_dir" -type f -newer "$work/start.stamp" ! -path "$work/*" -printf '<dir>/%P\n'
    find "$exe_dir/.." -maxdepth 1 -type f -newer "$work/start.stamp" -printf '<dir>/../%P\n'
    find "$WINEPREFIX/drive_c" -type f -newer "$work/start.stamp" ! -name index.dat -printf 'C:/%P\n'
  } 2>/dev/null | sort >"$work/new-files.txt"
  unexpected=$(python3 - "$base.new-files" "$work/new-files.txt" <<'PY'
import fnmatch, sys
allowed = ["<dir>/tunra-diag.log", "<dir>/tunra-diag.log.old"]
allowed += [l.strip() for l in open(sys.argv[1], encoding="utf-8") if l.strip() and not l.startswith("#")]
for name in open(sys.argv[2], encoding="utf-8", errors="replace"):
    name = name.rstrip("\n")
    if not any(fnmatch.fnmatchcase(name, pattern) for pattern in allowed):
        print(name)
PY
)
  if [[ -n $unexpected ]]; then
    echo "FAIL: files created or changed that $(basename "$base").new-files does not name:"
    echo "$unexpected"
    status=1
  fi
fi
# A password typed into the login panel is never in the diagnostics log, in an event
# report or in a file left beside the program at the end (the credentials file lives
# only while the tunnel runs).
# A scenario without the back end has no recording: no report either.
python3 - "$work/requests.jsonl" >"$work/event-texts.txt" <<'PY'
import json, os, sys
for line in open(sys.argv[1], encoding="utf-8") if os.path.exists(sys.argv[1]) else []:
    record = json.loads(line) if line.strip() else {}
    if record.get("path") == "/clientlogin/client_event_v1.php":
        print(json.dumps(record.get("params")))
PY
while read -r password; do
  ((${#password} >= 4)) || continue
  for f in "$work/diag.log" "$work/event-texts.txt" "$exe_dir"/*; do
    [[ -f $f && $f != *.exe && $f != *.dll ]] || continue
    if grep -qF -- "$password" "$f"; then
      echo "FAIL: $(basename "$f") holds the password typed in the scenario"
      status=1
    fi
  done
done < <(cat "$scenario" "$base.after.scenario" 2>/dev/null | sed -n 's/^settext login 1006 //p')
# A tunnel that came up leaves no phonebook behind: it holds the server and user.
if grep -q $'state=8192\terror=0' "$TUNRA_RAS_JOURNAL" 2>/dev/null && [[ -e $exe_dir/sobrel.ini ]]; then
  echo "FAIL: the phonebook sobrel.ini is still beside tunra.exe after the tunnel came up"
  status=1
fi
# Screenshots the driver saved (screenshot NAME) as PNG files.
for bmp in "$work"/*.bmp; do
  [[ -f $bmp ]] && convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null && rm -f "$bmp"
done
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
# TUNRA_E2E_SAME_REQUESTS_AS=FILE (the requests.jsonl of this scenario's run in another
# locale): every request must be byte for byte the one recorded there.
if [[ -n ${TUNRA_E2E_SAME_REQUESTS_AS:-} ]]; then
  if ! python3 "$here/same_requests.py" "$TUNRA_E2E_SAME_REQUESTS_AS" "$work/requests.jsonl"; then
    echo "FAIL: the requests differ from those of $TUNRA_E2E_SAME_REQUESTS_AS"
    status=1
  fi
fi
((status == 0)) && echo "scenario $name: passed"
exit $status
