#!/usr/bin/env bash
# install_test.sh SETUP_OLD SETUP_NEW PROGRAM_OLD PROGRAM_NEW VERSION_OLD VERSION_NEW DRIVER
#                 START_HIDDEN PREFIX BACKEND_ADDRESS
#
# The installers under Wine, without a window:
#   1. SETUP_OLD /S installs PROGRAM_OLD as tunra.exe under Program Files with its
#      uninstaller, the Start menu entry and the uninstall registration, and nothing else;
#   2. SETUP_NEW started hidden without /S (as the client's update starts it, through
#      START_HIDDEN), while that tunra.exe runs, installs silently all the same: it asks
#      the client to close (it ends by itself, exit code 0) and replaces it; the new
#      tunra.exe starts and its version label reads VERSION_NEW;
#   3. with /S, a client that does not answer (stopped) is ended by force after the
#      installer's bounded wait, and the installation still completes;
#   4. the uninstaller (/S) closes a running client and removes the program, the entry
#      and the registration;
#   5. the update at login, as a user meets it: SETUP_OLD installed, the installed client
#      logs in to the reference back end (on BACKEND_ADDRESS, the client's login host)
#      offering VERSION_NEW with SETUP_NEW as its installer; the client says so, shows
#      the progress window, downloads the installer, closes, and the installer it starts
#      replaces it silently: the installed tunra.exe then shows VERSION_NEW.
# Runs in the graphical prefix of the end-to-end scenarios (its CTest lock) and leaves
# nothing installed there. Every wait is bounded.
set -uo pipefail
setup_old=$(realpath "$1") setup_new=$(realpath "$2")
program_old=$(realpath "$3") program_new=$(realpath "$4")
version_old=$5 version_new=$6
driver=$(realpath "$7") start_hidden=$(realpath "$8") prefix=$(realpath -m "$9")
backend_address=${10}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/lib/wine-env.sh
source "$here/../../scripts/lib/wine-env.sh"

install_dir_win='C:\Program Files\TUNRA'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TUNRA'
# The installer's wait for a client it asked to close (installer/tunra.nsi).
close_wait_ms=10000

unset DISPLAY  # always a private display: nothing of the user's desktop is touched
tunra_display_start || exit 1
client=
backend=
remove_installation() {
  rm -rf "$install_dir" "$start_menu_dir"
  "$TUNRA_WINE" reg delete "$uninstall_key" /f >/dev/null 2>&1
}
cleanup() {
  [[ -n $backend ]] && kill "$backend" 2>/dev/null
  if [[ -n $client ]]; then
    kill -CONT "$client" 2>/dev/null
    kill "$client" 2>/dev/null
  fi
  [[ -n ${install_dir:-} ]] && remove_installation
  # The prefix is private to the Windows tests: stop its server and services.
  "$TUNRA_WINESERVER" -k 2>/dev/null
  tunra_display_stop
}
trap cleanup EXIT
tunra_gui_env "$prefix"
install_dir="$WINEPREFIX/drive_c/Program Files/TUNRA"
start_menu_dir="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/TUNRA"
remove_installation  # what a failed earlier run may have left

status=0
fail() { echo "FAIL: $*"; status=1; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
drive() { timeout 60 "$TUNRA_WINE" "$driver" run - 2>&1; }

# Starts the installed tunra.exe from its folder, as the Start menu entry does, and
# checks its version label.
start_installed() {  # VERSION
  (cd "$install_dir" && exec "$TUNRA_WINE" "$install_dir_win\\tunra.exe") &
  client=$!
  local out
  out=$(printf 'wait-window 30\nwait-text main 1039 10 ( Ver %s )\n' "$1" | drive) ||
    fail "the installed client does not show version $1: $out"
}

# Waits for the client started last to end; sets `code` to its exit code ("none": still
# running). Not run in a command substitution: a subshell is not the client's parent,
# and bash's wait there answers -1 for a child that ends after the subshell began.
code=
client_exit() {  # SECONDS
  local i
  for ((i = 0; i < $1 * 10; i++)); do
    if ! kill -0 "$client" 2>/dev/null; then
      wait "$client"
      code=$?
      client=
      return
    fi
    sleep 0.1
  done
  code=none
}

registration=
read_registration() { registration=$("$TUNRA_WINE" reg query "$uninstall_key" 2>/dev/null | tr -d '\r'); }
reg_value() {  # NAME: its data in the registration read last, empty when missing
  sed -n "s/^ *$1 *REG_[A-Z_]* *//p" <<<"$registration"
}

# The installer puts only these two files into the folder (never a test-only stand-in);
# once the client has run, its diagnostics log lies beside them.
check_installed() {  # PROGRAM VERSION
  local files
  files=$(cd "$install_dir" 2>/dev/null && ls | grep -vx tunra-diag.log | tr '\n' ' ')
  [[ $files == "tunra.exe uninstall.exe " ]] ||
    fail "the install folder holds [$files], not only tunra.exe and uninstall.exe"
  cmp -s "$1" "$install_dir/tunra.exe" || fail "tunra.exe is not $(basename "$1")"
  [[ -f $start_menu_dir/TUNRA.lnk ]] || fail "no Start menu entry"
  read_registration
  [[ $(reg_value DisplayVersion) == "$2" ]] || fail "registered version [$(reg_value DisplayVersion)], not $2"
  [[ $(reg_value InstallLocation) == "$install_dir_win" ]] || fail "InstallLocation [$(reg_value InstallLocation)]"
  [[ $(reg_value UninstallString) == "\"$install_dir_win\\uninstall.exe\"" ]] ||
    fail "UninstallString [$(reg_value UninstallString)]"
  [[ $(reg_value QuietUninstallString) == "\"$install_dir_win\\uninstall.exe\" /S" ]] ||
    fail "QuietUninstallString [$(reg_value QuietUninstallString)]"
}

run_setup() {  # SETUP [hidden]: runs it with /S, or hidden without /S; prints its exit code and time
  local start rc
  start=$(now_ms)
  if [[ ${2:-} == hidden ]]; then
    (cd "$(dirname "$1")" && timeout 90 "$TUNRA_WINE" "$start_hidden" "\"$(basename "$1")\"")
  else
    (cd "$(dirname "$1")" && timeout 60 "$TUNRA_WINE" "$(basename "$1")" /S)
  fi
  rc=$?
  echo "$(basename "$1") ${2:-/S}: exit code $rc after $(($(now_ms) - start)) ms"
  return $rc
}

echo "--- 1. first installation"
run_setup "$setup_old" || fail "the installer of $version_old failed"
check_installed "$program_old" "$version_old"

echo "--- 2. update over a running client, the installer started hidden"
start_installed "$version_old"
run_setup "$setup_new" hidden || fail "the installer of $version_new, started hidden, failed"
client_exit 5
[[ $code == 0 ]] || fail "the running client did not end by itself (exit code $code)"
check_installed "$program_new" "$version_new"
start_installed "$version_new"

echo "--- 3. a client that does not answer"
kill -STOP "$client"
start=$(now_ms)
run_setup "$setup_new" || fail "the installer failed beside a client that does not answer"
took=$(($(now_ms) - start))
client_exit 5
[[ $code != 0 && $code != none ]] || fail "the stopped client was not ended by force (exit code $code)"
((took >= close_wait_ms)) || fail "the client was ended after $took ms, before the installer's wait"
check_installed "$program_new" "$version_new"

echo "--- 4. uninstallation with a running client"
start_installed "$version_new"
(cd "$install_dir" && timeout 60 "$TUNRA_WINE" "$install_dir_win\\uninstall.exe" /S) ||
  fail "the uninstaller failed"
# The uninstaller runs from a copy in the temporary folder, so its own start returns
# at once: wait for its work (the registration goes last).
registered() { "$TUNRA_WINE" reg query "$uninstall_key" >/dev/null 2>&1; }
for ((i = 0; i < 150; i++)); do
  [[ ! -e $install_dir && ! -e $start_menu_dir ]] && ! registered && break
  sleep 0.2
done
client_exit 5
[[ $code == 0 ]] || fail "the uninstaller did not close the running client (exit code $code)"
[[ ! -e $install_dir ]] || fail "the install folder is left: $(ls "$install_dir" | tr '\n' ' ')"
[[ ! -e $start_menu_dir ]] || fail "the Start menu entry is left"
registered && fail "the uninstall registration is left"

echo "--- 5. the update at login"
run_setup "$setup_old" || fail "the installer of $version_old failed"
work=$(mktemp -d)
python3 "$here/../../backend/tunra_backend.py" "$backend_address" --time-limit 200 \
  --offer-version "$version_new" --update-source "$setup_new" --record "$work/requests.jsonl" \
  --fault "slow=3@/download/tunra_setup_$version_new.exe" \
  >"$work/backend.out" 2>"$work/backend.log" &
backend=$!
for ((i = 0; i < 100; i++)); do
  grep -q listening "$work/backend.out" && break
  sleep 0.1
done
grep -q listening "$work/backend.out" || fail "the back end did not start: $(cat "$work/backend.log")"
start_installed "$version_old"
# The notice, the progress window (its bar's "0 %" caption) while the installer comes,
# then the client closes by itself and the installer it started takes over. The back end
# spreads the installer over 3 s: from loopback it comes whole in a few milliseconds, and
# the window would be gone before the driver looked.
out=$(printf '%s\n' 'settext login 1005 demo' 'settext login 1006 demo1234' 'click login 1007' \
        'msgbox 20' 'answer OK' 'wait-visible has:1048 0 1 10' | drive) ||
  fail "the update at login did not go as a user sees it: $out"
client_exit 60
[[ $code == 0 ]] || fail "the client did not close for the update (exit code $code)"
for ((i = 0; i < 300; i++)); do
  cmp -s "$program_new" "$install_dir/tunra.exe" && read_registration &&
    [[ $(reg_value DisplayVersion) == "$version_new" ]] && break
  sleep 0.2
done
check_installed "$program_new" "$version_new"
grep -q '"path": "/download/tunra_setup_'"$version_new"'.exe"' "$work/requests.jsonl" ||
  fail "the installer was not downloaded from the back end: $(cat "$work/requests.jsonl")"
start_installed "$version_new"
kill "$client" 2>/dev/null
client_exit 10
kill "$backend" 2>/dev/null
wait "$backend" 2>/dev/null
backend=
rm -rf "$work"

((status == 0)) && echo "installer: passed"
exit $status
