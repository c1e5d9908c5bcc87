# Shared Wine environment of the test and demo scripts (sourced, not run).
#
# tunra_wine_env PREFIX: exports the variables every Wine call of the project uses.
# tunra_wine_prepare: creates and prepares the prefix once (safe to call from parallel
# test processes: the first one does the work under a lock, the others wait).

TUNRA_WINE=/usr/lib/wine/wine64
[[ -x $TUNRA_WINE ]] || TUNRA_WINE=$(command -v wine64 || command -v wine)
TUNRA_WINESERVER=/usr/lib/wine/wineserver64
[[ -x $TUNRA_WINESERVER ]] || TUNRA_WINESERVER=$(command -v wineserver)

tunra_wine_env() {
  case $1 in /*) export WINEPREFIX=$1 ;; *) export WINEPREFIX=$PWD/$1 ;; esac
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  # Never offer the Mono or Gecko installers.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  # Wine's WinINet honours the Linux proxy variables even for loopback addresses.
  unset http_proxy HTTP_PROXY https_proxy HTTPS_PROXY no_proxy NO_PROXY
}

tunra_wine_prepare() {
  [[ -f $WINEPREFIX/.tunra-ready ]] || tunra_wine_create
  # Keep one persistent server and Wine's background services running, all started
  # with their output detached. Otherwise the first program of a server's life starts
  # them with the caller's stdout inherited, and CTest waits for that pipe to close
  # until the server goes away. -p returns 0 only when it started a new server.
  if "$TUNRA_WINESERVER" -p120 </dev/null >/dev/null 2>&1; then
    "$TUNRA_WINE" wineboot </dev/null >/dev/null 2>&1 || true
  fi
}

tunra_wine_create() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [[ ! -f $WINEPREFIX/.tunra-ready ]]; then
      "$TUNRA_WINE" wineboot -i >/dev/null 2>&1 || true
      # Without a window manager each ShowWindow would stall for seconds.
      "$TUNRA_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
      "$TUNRA_WINESERVER" -w
      touch "$WINEPREFIX/.tunra-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}
