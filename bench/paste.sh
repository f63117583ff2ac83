#!/usr/bin/env bash
# Runs paste_bench.exe under Wine in a private X server, with a port file
# of its own: paste.sh PASTE_BENCH.exe [CHARACTERS...]
set -euo pipefail
bench=$(realpath "$1")
shift
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
source "$here/scripts/session/x-session.sh"
export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wine}
# Wine's own processes leave before their X server does.
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
cleanup() { "$wineserver" -w 2>/dev/null || true; kill "${wm:-}" "${xvfb:-}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
start_x_session "$work"
# Wine takes the temporary folder from its own TMP, not from Unix.
WINEDEBUG=-all TMP="Z:$work" TEMP="Z:$work" "$here/scripts/session/wine.sh" "$bench" "$@"
