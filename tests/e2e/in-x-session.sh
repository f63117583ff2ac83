#!/usr/bin/env bash
# Runs a Windows test program under Wine on a private X server, for what
# Wine draws in a window (a console): in-x-session.sh PROGRAM.exe [ARG...]
# Without -e: the program's status is the script's, and the session still ends.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
source "$here/scripts/session/x-session.sh"
cleanup() { kill "${wm:-}" "${xvfb:-}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
start_x_session "$work" || exit 1
"$here/scripts/session/wine.sh" "$@"
