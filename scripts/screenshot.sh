#!/usr/bin/env bash
# Photographs the panel in a private X server: screenshot.sh PROGRAM OUT.png
set -euo pipefail
program=$(realpath "$1")
out=$2
work=$(mktemp -d)
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 640x400x24 -nolisten tcp &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# Sample values in the port file, so the shown fields are not blank.
mkdir -p "$work/tmp"
printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\052\0\374\377' > "$work/tmp/emu_port.dat"
TMPDIR=$work/tmp "$program" &
app=$!
xdotool search --sync --onlyvisible --name TORVA_InOut >/dev/null
xdotool type --delay 50 -- '-1234'
sleep 0.5
mkdir -p "$(dirname "$out")"
import -window root -crop 393x290+103+36 "$out"
echo "wrote $out"
