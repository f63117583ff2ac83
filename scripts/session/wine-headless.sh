#!/usr/bin/env bash
# Runs a Windows program under Wine without a display: wine-headless.sh
# PROGRAM.exe [ARG...]. Wine's null graphics driver gives windows, focus,
# timers and dialogs but shows nothing; it lives in a prefix of its own,
# build/windows/wine-headless, since the end-to-end test needs the X
# driver in the build's usual prefix.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=$here/build/windows/wine-headless
mkdir -p "$(dirname "$WINEPREFIX")"
# The first run creates the prefix and chooses the null driver, once.
(
  flock 9
  if [[ ! -f $WINEPREFIX/.null-driver ]]; then
    "$here/scripts/session/wine.sh" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
    "$wineserver" -w
    touch "$WINEPREFIX/.null-driver"
  fi
) 9>"$WINEPREFIX.lock"
exec "$here/scripts/session/wine.sh" "$@"
