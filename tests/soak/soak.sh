#!/usr/bin/env bash
# soak.sh TUNRA_EXE DRIVER_EXE WORK_DIR PREFIX BACKEND_ADDRESS [CYCLES] [WARMUP]
#
# The soak run: one tunra.exe under Wine and a private Xvfb goes through CYCLES
# (default 200) logins and logouts, CYCLES connects and disconnects of a dialled tunnel
# (the test-only dialer) and CYCLES of an OpenVPN tunnel (the test-only OpenVPN
# program), driven by the UI driver through the pieces beside this script. Before the
# first measurement WARMUP (default 3) cycles of each kind have run, so first-use
# allocations are not counted. At each phase's start and end the driver's `resources`
# reads the client's handle count, GDI and USER objects, private bytes and windows;
# growth beyond the bounds below fails the run. At the end nothing may be left: no
# tunnel program or other new process in the prefix, no working file, a hang-up for
# every dial and an end for every program started, no route added per cycle, and no
# timer still ticking (over an idle spell nothing the client's timers would do
# happens).
#
# Why not tests/e2e/scenario.sh: it gives the driver 120 s and the back end 300 s,
# and a soak run takes many minutes; the stand-ins, back end and prefix are set up the
# same way. The figures go to WORK_DIR/soak-figures.txt and standard output.
set -uo pipefail
exe=$(realpath "$1") driver=$(realpath "$2") work=$(realpath -m "$3") prefix=$(realpath -m "$4")
backend_address=$5 cycles=${6:-200} warmup=${7:-3}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[[ $cycles =~ ^[0-9]+$ && $warmup =~ ^[0-9]+$ ]] || { echo "FAIL: CYCLES and WARMUP are counts"; exit 2; }

# The bounds, for each phase (end against start) and for the whole run (last against
# first measurement). A leak of one object or 10 KiB per cycle would pass 200 of them.
max_handles=20
max_gui_objects=20      # GDI and USER objects each (under Wine USER objects read 0)
max_windows=2
max_private_kib=2048

mkdir -p "$work"
# shellcheck source=../../scripts/lib/wine-env.sh
source "$root/scripts/lib/wine-env.sh"

unset DISPLAY  # always a private display
tunra_display_start || exit 1
client= backend= diag_tail=
cleanup() {
  [[ -n $client ]] && kill "$client" 2>/dev/null
  [[ -n $diag_tail ]] && kill "$diag_tail" 2>/dev/null
  if [[ -n $backend ]]; then
    kill "$backend" 2>/dev/null
    wait "$backend" 2>/dev/null
  fi
  "$TUNRA_WINESERVER" -k 2>/dev/null  # the prefix is the soak run's own
  tunra_display_stop
}
trap cleanup EXIT
tunra_gui_env "$prefix"

exe_dir=$(dirname "$exe")
for f in rasapi32.dll vexoop.exe iphlpapi.dll iphlpwine.dll; do
  [[ -f $exe_dir/$f ]] || { echo "FAIL: no $f beside tunra.exe (build the stand-ins)"; exit 1; }
done
working_files=(vexoen.opc vrs.inf event.log sobrel.ini)
rm -f "$exe_dir"/{sobrel.ini,vexoen.opc,vrs.inf,event.log,ca.crt,crtver.ini} \
  "$exe_dir"/rasapi32-{script,drop,journal}.txt "$exe_dir"/vexoop-{script,journal,release}.txt \
  "$exe_dir"/{iphlpapi-script.txt,standin-tool.txt} "$exe_dir"/tunra-diag.log{,.old}
rm -f "$work"/*.txt "$work"/*.jsonl "$work"/*.log "$work"/*.scenario "$work"/*.out "$work"/*.png

# The stand-ins play the soak's scripts at every dial and start, and journal to WORK_DIR.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;rasapi32=n;iphlpapi=n,b"
export TUNRA_RAS_SCRIPT=$here/soak.ras TUNRA_RAS_JOURNAL=$work/ras-journal.txt
export TUNRA_VEXOOP_SCRIPT=$here/soak.vexoop TUNRA_VEXOOP_JOURNAL=$work/vexoop-journal.txt
export TUNRA_ADAPTERS_SCRIPT=$here/soak.adapters TUNRA_ADAPTERS_JOURNAL=$work/adapters-journal.txt
export TUNRA_TOOL_JOURNAL=$work/tool-journal.txt TUNRA_E2E_WORK=$work
unset TUNRA_TOOL_SCRIPT

# The back end, for as long as the run may take.
ready=$work/backend.ready
python3 "$root/backend/tunra_backend.py" "$backend_address" --time-limit $((3600 + cycles * 60)) \
  --record "$work/requests.jsonl" >"$ready" 2>"$work/backend.log" &
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

# No saved settings; web pages the client opens are only recorded.
{
  printf '\xef\xbb\xbfWindows Registry Editor Version 5.00\r\n\r\n'
  printf '[-HKEY_CURRENT_USER\\SOFTWARE\\Orvak]\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineBrowser]\r\n"Browsers"="%s"\r\n\r\n' \
    "$root/tests/e2e/record_browser.sh"
} | iconv -f UTF-8 -t UTF-16LE >"$work/settings.reg"
if ! (cd "$work" && "$TUNRA_WINE" regedit /S settings.reg </dev/null >/dev/null 2>&1); then
  echo "FAIL: the settings could not be cleared"
  exit 1
fi

# The driver's scripts: the pieces repeated. piece NAME [USER PASSWORD]
piece() { sed -e "s/@USER@/${2:-}/g" -e "s/@PASSWORD@/${3:-}/g" "$here/$1.piece"; }
repeat() { local n=$1 i; shift; for ((i = 0; i < n; i++)); do echo "# cycle $((i + 1))"; "$@"; done; }
login_logout() { piece login demo demo1234; piece logout; }
dial_phase() { piece login pptpdemo pptpdemo1234; repeat "$1" piece dial; piece logout; }
ovpn_phase() { piece login ovpn ovpn1234; repeat "$1" piece ovpn; piece logout; }
{
  echo "wait-window 30"
  repeat "$warmup" login_logout
  dial_phase "$warmup"
  ovpn_phase "$warmup"
} >"$work/warmup.scenario"
repeat "$cycles" login_logout >"$work/login.scenario"
dial_phase "$cycles" >"$work/dial.scenario"
ovpn_phase "$cycles" >"$work/ovpn.scenario"

# Every line of the diagnostics log, kept across its size rotation.
cd "$exe_dir" || exit 1
: >tunra-diag.log
tail -n +1 -F tunra-diag.log >"$work/diag.log" 2>/dev/null &
diag_tail=$!

status=0
fail() { echo "FAIL: $*"; status=1; }

# The Windows programs running in this prefix (names, sorted), read from Linux: every
# process Wine starts carries the prefix in its environment and its program's Windows
# path as its first argument.
prefix_processes() {
  local p
  for p in /proc/[0-9]*; do
    { tr '\0' '\n' <"$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    { tr '\0' '\n' <"$p/cmdline"; } 2>/dev/null | head -n 1 | sed 's|.*[\\/]||' | tr 'A-Z' 'a-z'
  done | grep '\.exe$' | sort
}

# measure LABEL: the driver's resources line, with the client's anonymous resident
# memory as Linux sees it (a cross-check of the private bytes), and its handles by type
# and name (WORK_DIR/handles-LABEL.txt). Wine's COM leaks a key handle of the 32-bit
# classes view (Classes\Wow6432Node) at every lookup of a class that is not registered
# (measured: a bare CoInitializeEx, CoCreateInstance, CoUninitialize loses 2 or 3);
# those are counted apart and left out of the handle bound.
wine_com_key='Key [\REGISTRY\Machine\Software\Classes\Wow6432Node]'
declare -A figure
measure() {
  local line rss
  line=$(echo resources | timeout 60 "$TUNRA_WINE" "$driver" run 2>&1 | tr -d '\r')
  rss=$(awk '/^RssAnon:/ { print $2 }' "/proc/$client/status" 2>/dev/null)
  if [[ ! $line =~ ^resources\ handles\ (-?[0-9]+)\ gdi\ (-?[0-9]+)\ user\ (-?[0-9]+)\ private\ (-?[0-9]+)\ windows\ (-?[0-9]+)$ ]]; then
    fail "no resources at $1: $line"
    return 0
  fi
  figure[$1.handles]=${BASH_REMATCH[1]} figure[$1.gdi]=${BASH_REMATCH[2]} figure[$1.user]=${BASH_REMATCH[3]}
  figure[$1.private]=$((BASH_REMATCH[4] / 1024)) figure[$1.windows]=${BASH_REMATCH[5]} figure[$1.rss]=${rss:--1}
  echo handle-list | timeout 60 "$TUNRA_WINE" "$driver" run 2>&1 | tr -d '\r' | sed -n 's/^handle //p' |
    sort | uniq -c >"$work/handles-$1.txt"
  figure[$1.comkeys]=$(grep -F "$wine_com_key" "$work/handles-$1.txt" | awk '{ n += $1 } END { print n + 0 }')
  printf '%-8s handles %5s (Wine COM keys %4s)  gdi %4s  user %4s  private %8s KiB  windows %4s  rss-anon %8s KiB\n' \
    "$1" "${figure[$1.handles]}" "${figure[$1.comkeys]}" "${figure[$1.gdi]}" "${figure[$1.user]}" \
    "${figure[$1.private]}" "${figure[$1.windows]}" "${figure[$1.rss]}" | tee -a "$work/soak-figures.txt"
  return 0
}

# compare FROM TO: growth within the bounds; for handles that grew, which ones.
compare() {
  local what bound grown
  for what in handles gdi user windows private; do
    case $what in
      handles) bound=$max_handles ;;
      gdi | user) bound=$max_gui_objects ;;
      windows) bound=$max_windows ;;
      private) bound=$max_private_kib ;;
    esac
    [[ -n ${figure[$1.$what]:-} && -n ${figure[$2.$what]:-} ]] || continue
    grown=$((figure[$2.$what] - figure[$1.$what]))
    [[ $what == handles ]] && grown=$((grown - (figure[$2.comkeys] - figure[$1.comkeys])))
    if ((grown > bound)); then
      fail "$what grew by $grown from $1 to $2 (bound $bound)"
      [[ $what == handles ]] && diff "$work/handles-$1.txt" "$work/handles-$2.txt" | grep '^[<>]'
    fi
  done
  return 0
}

# phase NAME LIMIT: runs WORK_DIR/NAME.scenario; prints its time.
phase() {
  local started=$SECONDS rc
  timeout "$2" "$TUNRA_WINE" "$driver" run <"$work/$1.scenario" >"$work/$1.out" 2>&1
  rc=$?
  printf '%-8s %5d s\n' "$1" $((SECONDS - started)) | tee -a "$work/soak-figures.txt"
  if ((rc != 0)); then
    fail "the $1 phase ended with exit code $rc: $(grep -m1 FAIL "$work/$1.out")"
    xwd -root -silent 2>/dev/null | convert xwd:- "png:$work/$1-failed.png" 2>/dev/null
    return 1
  fi
}

run_started=$SECONDS
"$TUNRA_WINE" "$exe" &
client=$!
echo "soak: $cycles cycles of each kind after $warmup of warm-up; bounds: handles +$max_handles," \
  "GDI/USER objects +$max_gui_objects, windows +$max_windows, private memory +$max_private_kib KiB" |
  tee "$work/soak-figures.txt"
phase warmup $((120 + warmup * 60)) &&
  prefix_processes >"$work/processes-start.txt" &&
  warm_lines=$(wc -l <"$work/diag.log") &&
  measure start &&
  phase login $((60 + cycles * 20)) && measure login && compare start login &&
  phase dial $((60 + cycles * 30)) && measure dial && compare login dial &&
  phase ovpn $((60 + cycles * 40)) && measure ovpn && compare dial ovpn && compare start ovpn
printf 'total    %5d s\n' $((SECONDS - run_started)) | tee -a "$work/soak-figures.txt"

# Nothing left behind. Timers first: over an idle spell, nothing a tick does happens
# (the supervision reads the dialer's status and the adapter list, the service time
# writes the clock, the reconnect dials): the log, the journals, the back end's record
# and the clock stay as they are.
if ((status == 0)); then
  watched=("$work/diag.log" "$work/ras-journal.txt" "$work/vexoop-journal.txt" "$work/requests.jsonl")
  before=$(wc -c "${watched[@]}" 2>/dev/null)
  clock_before=$(printf 'text account 1034\n' | "$TUNRA_WINE" "$driver" run 2>&1)
  sleep 3
  clock_after=$(printf 'text account 1034\n' | "$TUNRA_WINE" "$driver" run 2>&1)
  [[ $before == "$(wc -c "${watched[@]}" 2>/dev/null)" ]] || fail "the idle client still acts (a timer left): $(wc -c "${watched[@]}")"
  [[ $clock_before == "$clock_after" ]] || fail "the connected-time clock still runs: $clock_before, then $clock_after"

  prefix_processes >"$work/processes-end.txt"
  new=$(comm -13 "$work/processes-start.txt" "$work/processes-end.txt")
  [[ -z $new ]] || fail "processes left in the prefix: $new"
  n=$(printf 'processes vexoop.exe\n' | "$TUNRA_WINE" "$driver" run 2>&1 | tr -d '\r')
  [[ $n == "processes vexoop.exe 0" ]] || fail "the OpenVPN program still runs ($n)"
  for f in "${working_files[@]}"; do
    [[ -e $exe_dir/$f ]] && fail "$f is still beside tunra.exe"
  done

  # Every dial hung up, every program started ended, every tunnel's routes undone.
  dials=$((warmup + cycles))
  count() { grep -c -- "$1" "$2" 2>/dev/null; }
  [[ $(count $'^RasDialA\t' "$work/ras-journal.txt") == "$dials" ]] || fail "dials: $(count $'^RasDialA\t' "$work/ras-journal.txt"), not $dials"
  [[ $(count $'^RasHangUpA\t.*result=0' "$work/ras-journal.txt") == "$dials" ]] ||
    fail "hang-ups: $(count $'^RasHangUpA\t.*result=0' "$work/ras-journal.txt"), not $dials"
  [[ $(count $'^start\t' "$work/vexoop-journal.txt") == "$dials" ]] || fail "program starts: $(count $'^start\t' "$work/vexoop-journal.txt"), not $dials"
  launches=$(count 'openvpn launch .* -> pid' "$work/diag.log")
  ended=$(count 'process end "vexoop.exe" pid .* -> ended' "$work/diag.log")
  [[ $launches == "$dials" && $ended == "$dials" ]] || fail "programs launched $launches and ended $ended, not $dials"
  # The routes the client adds are the same few after the warm-up as at the end (the
  # login's host pins, written again at each login and tunnel, as Windows keeps one
  # route for one destination, hop and interface): none is added per cycle.
  routes() { sed -n 's/^[-0-9]* [:0-9]* \(route add [^ ]* via [^ ]* if [0-9]*\) .*/\1/p' | sort -u; }
  if [[ $(head -n "${warm_lines:-0}" "$work/diag.log" | routes) != "$(routes <"$work/diag.log")" ]]; then
    fail "routes added after the warm-up that it did not add:"
    diff <(head -n "${warm_lines:-0}" "$work/diag.log" | routes) <(routes <"$work/diag.log") | grep '^>'
  fi
fi
{
  echo "requests: $(wc -l <"$work/requests.jsonl") to the back end"
  echo "diagnostics: $(wc -l <"$work/diag.log") lines"
} | tee -a "$work/soak-figures.txt"

# The client closes as a user closes it, and its process ends.
if [[ -n $client ]] && kill -0 "$client" 2>/dev/null; then
  printf 'click main 1004\nmsgbox 10\nanswer YES\n' | "$TUNRA_WINE" "$driver" run >"$work/close.out" 2>&1 ||
    fail "the close button did not close the client: $(cat "$work/close.out")"
  for ((i = 0; i < 150; i++)); do kill -0 "$client" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$client" 2>/dev/null; then fail "the client still runs 15 s after it was closed"; else client=; fi
fi
((status == 0)) && echo "soak: passed"
exit $status
