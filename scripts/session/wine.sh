#!/usr/bin/env bash
# Runs a Windows program under Wine: wine.sh PROGRAM.exe [ARG...]
# The prefix is $WINEPREFIX when set (an emulator's own prefix, say), else
# one of the build's own under build/windows/wine, never ~/.wine. A 32-bit
# program runs under Wine's 32-bit loader, anything else under the 64-bit
# one, unless WINE_WIDTH=32 asks for the 32-bit one (a 32-bit prefix). Where the kernel runs no 32-bit x86 program, 32-bit programs run
# under qemu's i386 emulation (scripts/session/x86-route.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
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

if [[ ${WINE_WIDTH:-} == 32 || (-f ${1:-} && $(pe_machine "$1") == 014c) ]]; then
  wine=(/usr/lib/wine/wine)
else
  wine=(/usr/lib/wine/wine64)
fi
# Wine's own commands (wine64, wineserver) where the package puts them in PATH.
[[ -x ${wine[0]} ]] || wine=("$(command -v "$(basename "${wine[0]}")" || command -v wine)")

# Where the kernel runs no 32-bit program, every Wine command runs where
# qemu starts them, 64-bit ones too: a prefix that Wine makes there has
# its 32-bit half, and a 64-bit program may start a 32-bit one.
case $("$here/scripts/session/x86-route.sh") in
  qemu) wine=("$here/scripts/session/x86-binfmt.sh" "${wine[@]}") ;;
  none)
    if [[ ${wine[0]} == */wine ]]; then
      echo "wine.sh: $("$here/scripts/session/x86-route.sh" --why)" >&2
      exit 1
    fi ;;
esac
exec "${wine[@]}" "$@"
