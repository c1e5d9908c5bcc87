#!/bin/sh
# The web browser of the scenarios' Wine prefix: Wine's winebrowser, which the shell's
# "open" of a web address runs, starts this with the address. The address is appended
# to browser.txt in the running scenario's folder; nothing is fetched or shown.
[ -n "$TUNRA_E2E_WORK" ] && printf '%s\n' "$*" >>"$TUNRA_E2E_WORK/browser.txt"
exit 0
