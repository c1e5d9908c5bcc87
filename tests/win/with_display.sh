#!/usr/bin/env bash
# with_display.sh PREFIX EXE [ARGS...]: runs a Windows test program that creates
# windows, in a private Xvfb and the graphical Wine prefix PREFIX (shared with the
# end-to-end scenarios, whose turns it takes through its CTest resource lock). Wine
# cannot create a window without a display, so the plain unit-test prefix cannot run
# such a program.
set -uo pipefail
prefix=$(realpath -m "$1")
exe=$(realpath "$2")
shift 2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/lib/wine-env.sh
source "$here/../../scripts/lib/wine-env.sh"

unset DISPLAY  # always a private display: nothing of the user's desktop is touched
tunra_display_start || exit 1
cleanup() {
  # The prefix is private to these tests: stop its server and services.
  "$TUNRA_WINESERVER" -k 2>/dev/null
  tunra_display_stop
}
trap cleanup EXIT
tunra_gui_env "$prefix"
cd "$(dirname "$exe")" && timeout 120 "$TUNRA_WINE" "$exe" "$@" </dev/null
