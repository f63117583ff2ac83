#!/usr/bin/env bash
# Runs startup_bench in a private X server: startup.sh STARTUP_BENCH PANEL BARE [RUNS]
set -euo pipefail
bench=$1 panel=$2 bare=$3 runs=${4:-9}
work=$(mktemp -d)
cleanup() { kill "${xvfb:-}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
mkdir -p "$work/tmp" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(head -n1 "$work/display") TMPDIR=$work/tmp "$bench" "$panel" "$bare" "$runs"
