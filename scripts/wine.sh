#!/usr/bin/env bash
# Runs a Windows program under Wine: wine.sh PROGRAM.exe [ARG...]
# The prefix is $WINEPREFIX when set (an emulator's own prefix, say), else
# one of the build's own under build/windows/wine, never ~/.wine. A 32-bit
# program runs under Wine's 32-bit loader, anything else under the 64-bit one.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing here needs them, and Wine would offer to download them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# The machine field of a PE file's header: 14c for x86, 8664 for x64.
pe_machine() {
  local at
  at=$(od -An -tu4 -j 60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
  [[ -n $at ]] && od -An -tx2 -j $((at + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

if [[ -f ${1:-} && $(pe_machine "$1") == 014c ]]; then
  wine=$(command -v wine || echo /usr/lib/wine/wine)
else
  wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
fi
exec "$wine" "$@"
