#!/usr/bin/env bash
# single_instance.sh TUNRA_EXE DRIVER_EXE PREFIX: two real tunra.exe processes under
# Wine in a private Xvfb. The first shows its window (checked for layout and for the
# keys that must not close it) and is hidden; a second start must end by itself within
# seconds and bring the first window back. Every wait is bounded.
set -uo pipefail
exe=$(realpath "$1") driver=$(realpath "$2") prefix=$(realpath -m "$3")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/lib/wine-env.sh
source "$here/../../scripts/lib/wine-env.sh"

unset DISPLAY  # always a private display: nothing of the user's desktop is touched
tunra_display_start || exit 1
first=
cleanup() {
  [[ -n $first ]] && kill "$first" 2>/dev/null
  # The prefix is private to this test: stop its server and services.
  "$TUNRA_WINESERVER" -k 2>/dev/null
  tunra_display_stop
}
trap cleanup EXIT
tunra_gui_env "$prefix"

status=0
fail() { echo "FAIL: $*"; status=1; }
drive() { timeout 30 "$TUNRA_WINE" "$driver" "$@"; }

cd "$(dirname "$exe")"
"$TUNRA_WINE" "$exe" &
first=$!
drive wait 30 || { echo "FAIL: the first instance shows no window"; exit 1; }
drive layout || fail "start-up layout"
drive keys || fail "keys closed the window"
drive hide
drive visible && fail "the window did not hide"

start=$(date +%s%N)
timeout 20 "$TUNRA_WINE" "$exe"
rc=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
echo "second instance: exit code $rc after $elapsed_ms ms"
[[ $rc -eq 0 ]] || fail "the second instance did not end by itself (exit code $rc)"
((elapsed_ms < 10000)) || fail "the second instance took $elapsed_ms ms to end"

shown=1
for ((i = 0; i < 50; i++)); do
  drive visible >/dev/null && { shown=0; break; }
  sleep 0.1
done
((shown == 0)) || fail "the first window was not shown again"
kill -0 "$first" 2>/dev/null || fail "the first instance is gone"

((status == 0)) && echo "single instance: passed"
exit $status
