# Sourced by the scripts that drive a panel as a user would: a private X
# server with a window manager, and the command that starts a panel.

# within SECONDS COMMAND...: runs COMMAND every tenth of a second until it
# succeeds, for at most SECONDS.
within() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# Waits up to five seconds for a command to succeed.
eventually() { within 5 "$@"; }

# Whether a window manager has taken the X display.
window_manager_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }

# private_runtime_dir: a runtime folder of the caller's own (mode 700) for
# the sockets of a session (Wayland's, the accessibility bus's), exported
# as XDG_RUNTIME_DIR and made in the system's temporary folder rather
# than beside the caller's files: a socket's path has room for 107 bytes,
# wherever the tree was cloned. Sets runtime_dir to it too; the caller
# removes it (rm -rf "$runtime_dir") when it ends.
private_runtime_dir() {
  local base=${TMPDIR:-/tmp}
  ((${#base} <= 40)) || base=/tmp
  runtime_dir=$(mktemp -d "$base/torva-run.XXXXXX") || return 1
  export XDG_RUNTIME_DIR=$runtime_dir
}

# start_x_session WORK [SCREEN]: Xvfb on a free display with openbox on it,
# logs in WORK. Exports DISPLAY; sets xvfb and wm to their process ids.
start_x_session() {
  local work=$1 screen=${2:-800x600x24}
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  within 60 sh -c 'test -s "$1" || ! kill -0 "$2" 2>/dev/null' _ "$work/display" "$xvfb" || true
  [[ -s $work/display ]] || { echo "Xvfb did not start: $(tr '\n' ' ' <"$work/xvfb.log")" >&2; return 1; }
  DISPLAY=:$(head -n1 "$work/display")
  export DISPLAY
  openbox >"$work/wm.log" 2>&1 &
  wm=$!
  # As long as openbox runs, for up to a minute: a loaded machine starts it slowly.
  local deadline=$((SECONDS + 60))
  until window_manager_up; do
    if ! kill -0 "$wm" 2>/dev/null; then
      echo "no window manager: openbox ended: $(tr '\n' ' ' <"$work/wm.log")" >&2
      return 1
    fi
    ((SECONDS < deadline)) || { echo "no window manager: openbox not up in 60 s" >&2; return 1; }
    sleep 0.1
  done
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
