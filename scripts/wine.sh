#!/usr/bin/env bash
# Runs a Windows program under Wine: wine.sh PROGRAM.exe [ARG...]
# The prefix is $WINEPREFIX when set (an emulator's own prefix, say), else
# one of the build's own under build/windows/wine, never ~/.wine. A 32-bit
# program runs under Wine's 32-bit loader, anything else under the 64-bit
# one. Where the kernel runs no 32-bit x86 program, the 32-bit loader runs
# under qemu's i386 emulation (scripts/x86-route.sh).
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

wine64=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
[[ -f ${1:-} && $(pe_machine "$1") == 014c ]] || exec "$wine64" "$@"

loader=/usr/lib/wine/wine
case $("$here/scripts/x86-route.sh") in
  kernel) exec "$(command -v wine || echo "$loader")" "$@" ;;
  none)
    echo "wine.sh: this kernel runs no 32-bit x86 program and qemu-user is not installed" \
      "(make deps-windows installs it)" >&2
    exit 1 ;;
esac

# Under qemu. The loader must not start itself again through the kernel.
export WINELOADERNOEXEC=1
qemu=$(command -v qemu-i386 || command -v qemu-i386-static)
# A prefix made where the 32-bit loader could not run has no 32-bit
# system DLLs; Wine's own setup puts them in, once.
if [[ ! -f $WINEPREFIX/drive_c/windows/syswow64/kernel32.dll ]]; then
  [[ -f $WINEPREFIX/system.reg ]] || "$wine64" wineboot -i </dev/null >/dev/null 2>&1
  (
    flock 9
    if [[ ! -f $WINEPREFIX/drive_c/windows/syswow64/kernel32.dll ]]; then
      WINEBOOTSTRAPMODE=1 "$qemu" "$loader" /usr/lib/i386-linux-gnu/wine/i386-windows/rundll32.exe \
        setupapi,InstallHinfSection Wow64Install 128 'Z:\usr\share\wine\wine.inf' </dev/null >/dev/null 2>&1
    fi
  ) 9>"$WINEPREFIX.x86.lock"
fi
exec "$qemu" "$loader" "$@"
