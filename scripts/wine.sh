#!/usr/bin/env bash
# Runs a Windows program under Wine: wine.sh PROGRAM.exe [ARG...]
# The prefix is $WINEPREFIX when set (an emulator's own prefix, say), else
# one of the build's own under build/windows/wine, never ~/.wine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing here needs them, and Wine would offer to download them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
exec "$wine" "$@"
