#!/usr/bin/env bash
# Times the Windows panel's start-up under Wine in a private X server, with
# startup_bench (built for this machine): against the bare Win32 window
# with the panel's manifest, and that window against the same without it,
# which is what the manifest's activation costs; then, given STEPS.exe
# (start_steps_bench), the steps of the panel's start that may grow with
# what is installed:
#   startup-windows.sh STARTUP_BENCH PANEL.exe BARE.exe BARE_MANIFEST.exe [RUNS [STEPS.exe]]
# One wineserver serves every run, up before the first, as a Windows
# session has its system running before any program starts.
set -euo pipefail
bench=$1 panel=$(realpath "$2") bare=$(realpath "$3") bare_manifest=$(realpath "$4") runs=${5:-9} steps=${6:-}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wine}
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  kill "${xvfb:-}" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
mkdir -p "$WINEPREFIX"  # a new prefix: wineserver starts in it before wineboot fills it
"$wineserver" -p
"$here/scripts/session/wine.sh" wineboot </dev/null >/dev/null 2>&1
# startup_bench starts a program without arguments: one that runs each
# .exe under Wine.
for name in panel bare bare_manifest; do
  printf '#!/bin/sh\nexec "%s" "%s" >/dev/null 2>&1\n' "$here/scripts/session/wine.sh" "${!name}" >"$work/$name"
  chmod +x "$work/$name"
done
echo "the panel against the bare window with the panel's manifest:"
"$bench" "$work/panel" "$work/bare_manifest" "$runs" 1.15
echo "the bare window with the manifest (as \"panel\") against it without:"
"$bench" "$work/bare_manifest" "$work/bare" "$runs" 1.15
if [[ -n $steps ]]; then
  echo "the steps of the panel's start that may grow with what is installed:"
  panel_path=Z:${panel//\//\\}
  "$here/scripts/session/wine.sh" "$steps" "$panel_path" </dev/null
fi
