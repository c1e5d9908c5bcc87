# shellcheck shell=bash
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
  # until the server goes away. -p returns 0 only when it started a new server; it
  # stays TUNRA_WINE_PERSIST seconds after its last program (default 120; empty: until
  # it is ended, as scripts/test keeps it for a whole run).
  if "$TUNRA_WINESERVER" "-p${TUNRA_WINE_PERSIST-120}" </dev/null >/dev/null 2>&1; then
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

# ---------------------------------------------------------------------------------
# Graphical runs (the demo and the end-to-end tests). Unit tests never call these:
# they keep the default locale and a prefix without the GUI extras.

# tunra_locale [LANGUAGE_TERRITORY]: builds that UTF-8 locale (default ko_KR) once, in
# a folder `locale` next to the prefix (so inside the build folder the prefix belongs
# to; no system file and nothing of the source tree is touched), and selects it. Wine
# takes each process's ANSI code page from it: 949 for ko_KR, as a Korean Windows has,
# 1252 for en_US, as an English one has. Call after tunra_wine_env.
tunra_locale() {
  local name=${1:-ko_KR} dir
  dir=$(dirname "$WINEPREFIX")/locale
  mkdir -p "$dir"
  if [[ ! -f $dir/$name.UTF-8/LC_CTYPE ]]; then
    (
      flock 9
      [[ -f $dir/$name.UTF-8/LC_CTYPE ]] ||
        localedef -i "$name" -f UTF-8 "$dir/$name.UTF-8" >/dev/null 2>&1 || true
    ) 9>"$dir.lock"
  fi
  export LOCPATH=$dir
  export LANG=$name.UTF-8
  unset LC_ALL
}

# The Korean dialog fonts mapped to the Nanum fonts, so Hangul shows and the dialog
# metrics match Windows (6 x 12 base units for 9-point 굴림체). regedit wants UTF-16.
tunra_font_substitutes_reg() {
  local coding=NanumGothicCoding gothic=NanumGothic myeongjo=NanumMyeongjo
  {
    printf '\xef\xbb\xbfWindows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    local name
    for name in 굴림체 GulimChe 굴림 Gulim 돋움체 DotumChe; do
      printf '"%s"="%s"\r\n' "$name" "$coding"
    done
    for name in 돋움 Dotum "맑은 고딕" "Malgun Gothic"; do
      printf '"%s"="%s"\r\n' "$name" "$gothic"
    done
    for name in 바탕 Batang; do
      printf '"%s"="%s"\r\n' "$name" "$myeongjo"
    done
  } | iconv -f UTF-8 -t UTF-16LE
}

# tunra_wine_prepare_gui: tunra_wine_prepare plus the font substitutes (once, under
# the prefix's lock). Call after tunra_wine_env and with DISPLAY set.
tunra_wine_prepare_gui() {
  [[ -f $WINEPREFIX/.tunra-ready ]] || tunra_wine_create
  if [[ ! -f $WINEPREFIX/.tunra-gui-ready ]]; then
    (
      flock 9
      if [[ ! -f $WINEPREFIX/.tunra-gui-ready ]]; then
        local reg=$WINEPREFIX/tunra-fonts.reg
        tunra_font_substitutes_reg >"$reg"
        (cd "$WINEPREFIX" && "$TUNRA_WINE" regedit /S tunra-fonts.reg </dev/null >/dev/null 2>&1) || true
        "$TUNRA_WINESERVER" -w
        touch "$WINEPREFIX/.tunra-gui-ready"
      fi
    ) 9>"$WINEPREFIX.lock"
  fi
  tunra_wine_prepare
}

# tunra_display_start: uses the caller's X display when DISPLAY is set; otherwise
# starts a private Xvfb on a free display number (its screen TUNRA_SCREEN, default
# 1280x1024x24) and exports DISPLAY. Sets
# TUNRA_XVFB_PID (empty when no Xvfb was started). Fails after 10 s without a display.
tunra_display_start() {
  TUNRA_XVFB_PID=
  [[ -n ${DISPLAY:-} ]] && return 0
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${TUNRA_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  TUNRA_XVFB_PID=$!
  local i
  for ((i = 0; i < 100; i++)); do
    [[ -s $numfile ]] && break
    sleep 0.1
  done
  if [[ ! -s $numfile ]]; then
    rm -f "$numfile"
    tunra_display_stop
    echo "Xvfb did not start" >&2
    return 1
  fi
  DISPLAY=:$(tr -d '[:space:]' <"$numfile")
  export DISPLAY
  rm -f "$numfile"
}

# tunra_display_stop: ends the Xvfb that tunra_display_start started, by its PID.
tunra_display_stop() {
  if [[ -n ${TUNRA_XVFB_PID:-} ]]; then
    kill "$TUNRA_XVFB_PID" 2>/dev/null || true
    wait "$TUNRA_XVFB_PID" 2>/dev/null || true
    TUNRA_XVFB_PID=
  fi
}

# tunra_gui_env PREFIX: the Wine environment of a graphical run: the prefix, the
# locale (Korean, or the one TUNRA_E2E_LOCALE names, e.g. en_US) and the prepared GUI
# prefix. Call after tunra_display_start.
tunra_gui_env() {
  tunra_wine_env "$1"
  tunra_locale "${TUNRA_E2E_LOCALE:-ko_KR}"
  tunra_wine_prepare_gui
}
