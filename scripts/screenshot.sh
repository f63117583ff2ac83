#!/usr/bin/env bash
# Photographs the panel, frame and caption included, in a private X server
# with a window manager: screenshot.sh PROGRAM OUT.png [BOX.png]
# With BOX.png it also photographs the message box of a rejected entry.
# A PROGRAM ending in .exe runs under Wine in the build's own prefix.
set -euo pipefail
program=$(realpath "$1")
out=$2
box_out=${3:-}
work=$(mktemp -d)
trap 'kill ${app:-} ${wm:-} ${xvfb:-} 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 640x420x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")
openbox >/dev/null 2>&1 &
wm=$!
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done

if [[ $program == *.exe ]]; then
  here=$(cd "$(dirname "$0")/.." && pwd)
  export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wine}
  # Wine ignores TMPDIR: the Windows program looks in its prefix's Temp folder.
  temp=$WINEPREFIX/drive_c/users/$(id -un)/Temp
  start=("$here/scripts/wine.sh" "$program")
else
  temp=$work/tmp
  start=(env TMPDIR="$temp" "$program")
fi
# Sample values in the port file, so the shown fields are not blank:
# 42 at port 115 and -4 at ports 117 and 118.
mkdir -p "$temp"
printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\052\0\374\377' > "$temp/emu_port.dat"
"${start[@]}" >/dev/null 2>&1 &
app=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name 'TORVA_InOut - ' | head -n1)
xdotool windowactivate --sync "$window"
xdotool type --delay 50 -- '-1234'
xdotool key Tab
xdotool type --delay 50 '&H7F'
sleep 0.5
mkdir -p "$(dirname "$out")"
# The client area lies at (103, 36); take the frame and title bar around it.
import -window root -crop 413x345+93+0 +repage "$out"
echo "wrote $out"
if [[ -n "$box_out" ]]; then
  xdotool type --delay 50 'F'
  xdotool search --sync --onlyvisible --name '^TORVA_InOut$' >/dev/null
  sleep 0.5
  import -window root "$box_out"
  echo "wrote $box_out"
fi
