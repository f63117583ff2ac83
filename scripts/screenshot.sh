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

source "$(dirname "$0")/x-session.sh"
start_x_session "$work" 640x420x24
panel_command "$program" "$work" || exit 1
# Sample values in the port file, so the shown fields are not blank:
# 42 at port 115 and -4 at ports 117 and 118.
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
