# Sourced by the scripts that drive a panel as a user would: a private X
# server with a window manager, and the command that starts a panel.

# Waits up to five seconds for a command to succeed.
eventually() {
  for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done
  return 1
}

# start_x_session WORK [SCREEN]: Xvfb on a free display with openbox on it,
# logs in WORK. Exports DISPLAY; sets xvfb and wm to their process ids.
start_x_session() {
  local work=$1 screen=${2:-800x600x24}
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  eventually test -s "$work/display" || { echo "Xvfb did not start" >&2; return 1; }
  DISPLAY=:$(head -n1 "$work/display")
  export DISPLAY
  openbox >"$work/wm.log" 2>&1 &
  wm=$!
  # Up to twenty seconds: a loaded machine starts openbox slowly.
  local wait
  for wait in 1 2 3 4; do
    eventually sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' && return 0
  done
  echo "no window manager" >&2
  return 1
}

# panel_command PROGRAM WORK: sets start to the command that runs the
# panel PROGRAM and temp to the folder where it looks for the port file.
# torva-inout.exe runs under Wine in the build's own prefix; Wine ignores
# TMPDIR, TMP and TEMP from Unix, so its folder is the prefix's %TEMP%,
# which lies elsewhere in one Wine than in another: Wine is asked.
panel_command() {
  local program=$1 work=$2 here windows_temp
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  if [[ $program == *.exe ]]; then
    export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wine}
    [[ -d $WINEPREFIX/drive_c ]] || "$here/scripts/session/wine.sh" wineboot -i >"$work/wineboot.log" 2>&1
    windows_temp=$("$here/scripts/session/wine.sh" cmd /c echo %TEMP% </dev/null 2>>"$work/wine.log" | tr -d '\r')
    temp=$("$here/scripts/session/wine.sh" winepath -u "$windows_temp" </dev/null 2>>"$work/wine.log" | tr -d '\r')
    [[ -n $temp && $windows_temp != %TEMP% ]] || { echo "Wine names no %TEMP% in $WINEPREFIX" >&2; return 1; }
    temp=${temp%/}
    start=("$here/scripts/session/wine.sh" "$program")
  else
    temp=$work/tmp
    start=(env TMPDIR="$temp" "$program")
  fi
  mkdir -p "$temp"
}

# wine_dpi DPI: the screen's DPI for the Wine programs started from now on
# in $WINEPREFIX, as winecfg sets it (the registry's LogPixels); with an
# empty DPI, Wine's own again. Wine 10 reads the DPI once for all the
# prefix's programs while its server runs, so the server is ended after
# the change: call it when no program of the test is running.
wine_dpi() {
  local here key='HKCU\Control Panel\Desktop' wineserver
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  if [[ -n $1 ]]; then
    "$here/scripts/session/wine.sh" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1 || return 1
  else
    "$here/scripts/session/wine.sh" reg delete "$key" /v LogPixels /f </dev/null >/dev/null 2>&1 || true
  fi
  wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w
}

# wine_colours SCHEME: the system colours of the Wine programs started from
# now on in $WINEPREFIX, as Windows' high-contrast schemes set them
# ("high-contrast-black", "high-contrast-white"); "" puts back the colours
# there were before. Wine reads them when its server starts: call it with
# no program running.
wine_colours() {
  local here key='HKCU\Control Panel\Colors' name wineserver
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  local -A black=([Window]='0 0 0' [WindowText]='255 255 255' [ButtonFace]='0 0 0' [ButtonText]='255 255 255'
    [GrayText]='63 242 63' [Hilight]='26 235 255' [HilightText]='0 0 0')
  local -A white=([Window]='255 255 255' [WindowText]='0 0 0' [ButtonFace]='255 255 255' [ButtonText]='0 0 0'
    [GrayText]='96 0 0' [Hilight]='55 0 110' [HilightText]='255 255 255')
  case $1 in
    high-contrast-black | high-contrast-white)
      saved_colours=$(mktemp --suffix=.reg)
      "$here/scripts/session/wine.sh" reg export "$key" "$(winepath_of "$saved_colours")" /y </dev/null >/dev/null 2>&1 ||
        return 1
      local -n scheme=${1#high-contrast-}
      for name in "${!scheme[@]}"; do
        "$here/scripts/session/wine.sh" reg add "$key" /v "$name" /t REG_SZ /d "${scheme[$name]}" /f \
          </dev/null >/dev/null 2>&1 || return 1
      done ;;
    *)
      [[ -n ${saved_colours:-} ]] || return 0
      "$here/scripts/session/wine.sh" reg import "$(winepath_of "$saved_colours")" </dev/null >/dev/null 2>&1
      rm -f "$saved_colours"
      saved_colours= ;;
  esac
  wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w
}

# The Windows path of a Unix file, for Wine's programs.
winepath_of() {
  "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine.sh" winepath -w "$1" </dev/null 2>/dev/null | tr -d '\r'
}
