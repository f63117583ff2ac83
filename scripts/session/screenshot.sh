#!/usr/bin/env bash
# Photographs the panel, frame and caption included, in a private X server
# with a window manager: screenshot.sh PROGRAM OUT.png [BOX.png]
# With BOX.png it also photographs the message box of a rejected entry.
# A PROGRAM ending in .exe runs under Wine in the build's own prefix, at
# the screen DPI that DPI gives (96 unless set). THEME, unless empty, is
# the desktop's: "dark" for the Qt program (qt6ct's "darker" colours with
# Fusion), "high-contrast-black" or "high-contrast-white" for the Windows
# one (Windows' schemes, with high contrast reported on).
theme=${THEME:-}
set -euo pipefail
program=$(realpath "$1")
out=$2
box_out=${3:-}
dpi=${DPI:-96}
work=$(mktemp -d)
cleanup() {
  kill ${app:-} 2>/dev/null || true
  wait ${app:-} 2>/dev/null || true
  [[ -z ${dpi_set:-} ]] || wine_dpi ""
  [[ -z ${colours_set:-} ]] || wine_colours ""
  kill ${wm:-} ${xvfb:-} 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/x-session.sh"
start_x_session "$work" $((640 * dpi / 96))x$((420 * dpi / 96))x24
panel_command "$program" "$work" || exit 1
if [[ $program == *.exe ]]; then
  wine_dpi "$dpi"
  dpi_set=1
fi
case $theme in
  dark)
    mkdir -p "$work/config/qt6ct"
    printf '[Appearance]\ncolor_scheme_path=/usr/share/qt6ct/colors/darker.conf\ncustom_palette=true\nstyle=Fusion\n' \
      >"$work/config/qt6ct/qt6ct.conf"
    export XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORMTHEME=qt6ct ;;
  high-contrast-*)
    wine_colours "$theme"
    colours_set=1
    export RT_WINDOWS_HIGH_CONTRAST=1 ;;
esac
# Sample values in the port file, so the shown fields are not blank:
# 42 at port 115 and -4 at ports 117 and 118.
printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\052\0\374\377' > "$temp/emu_port.dat"
"${start[@]}" >/dev/null 2>&1 &
app=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name 'TORVA_InOut - ' | head -n1)
xdotool windowactivate --sync "$window"
sleep 0.5  # the first keys typed at once may be lost
xdotool type --delay 50 -- '-1234'
xdotool key Tab
xdotool type --delay 50 '&H7F'
sleep 0.5
mkdir -p "$(dirname "$out")"
# The window with the frame and title bar the window manager gives it.
import -frame -window "$window" "$out"
echo "wrote $out"
if [[ -n "$box_out" ]]; then
  xdotool type --delay 50 'F'
  xdotool search --sync --onlyvisible --name '^TORVA_InOut$' >/dev/null
  sleep 0.5
  import -window root "$box_out"
  echo "wrote $box_out"
fi
