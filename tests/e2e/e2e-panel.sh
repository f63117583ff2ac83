#!/usr/bin/env bash
# Drives the real panel in a private X server as a user would, and checks
# the port file's bytes: e2e-panel.sh PROGRAM SCRATCH_DIR [DPI]
# PROGRAM is the Linux torva-inout, or torva-inout.exe, which runs under
# Wine in the build's own prefix (scripts/session/wine.sh). Both go through the
# same table of cases. With a DPI, torva-inout.exe starts at that screen
# DPI, and the Qt program at the scale it gives (192: QT_SCALE_FACTOR=2),
# and the window must be scaled to it.
# Without -e: every check runs and reports; the exit status says whether
# any failed.
set -uo pipefail
program=$(realpath "$1")
work=$2
dpi=${3:-}
here=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work" && mkdir -p "$work"

cleanup() {
  kill "${app:-}" 2>/dev/null
  wait "${app:-}" 2>/dev/null
  [[ -n ${dpi_set:-} ]] && wine_dpi ""
  kill "${clip:-}" "${wm:-}" "${xvfb:-}" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT

# A private X server on a free display, and a window manager to close
# windows with; up before Wine is first asked anything, so that Wine's
# desktop process starts on it.
source "$here/scripts/session/x-session.sh"
start_x_session "$work" || exit 1
panel_command "$program" "$work" || exit 1
if [[ -n $dpi && $program == *.exe ]]; then
  wine_dpi "$dpi" || { echo "the DPI could not be set"; exit 1; }
  dpi_set=1
elif [[ -n $dpi ]]; then
  export QT_SCALE_FACTOR=$((dpi / 96))
fi
port_file=$temp/emu_port.dat
rm -f "$port_file"
passed=0 failed=0

pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAILED: $1"; failed=$((failed + 1)); }
byte_at() { od -An -tu1 -j "$1" -N1 "$port_file" 2>/dev/null | tr -d ' '; }

has_byte() { [[ "$(byte_at "$1")" == "$2" ]]; }
no_message_box() { [[ -z "$(xdotool search --onlyvisible --name '^TORVA_InOut$' 2>/dev/null)" ]]; }

# The user closes the message box that a rejected entry shows with Enter.
close_box() {
  local box
  box=$(timeout 10 xdotool search --sync --onlyvisible --name '^TORVA_InOut$' | head -n1)
  [[ -n "$box" ]] || { echo "no message box"; return 1; }
  xdotool windowactivate --sync "$box" && xdotool key Return
  eventually no_message_box || { echo "Enter leaves the message box open"; return 1; }
  xdotool windowactivate --sync "$window"
}

# The user copies COUNT digits from elsewhere and pastes them with Ctrl+V;
# xclip holds the clipboard until the end.
paste_digits() {
  yes 1234567890 | tr -d '\n' | head -c "$1" >"$work/clipboard"
  kill "${clip:-}" 2>/dev/null
  xclip -selection clipboard -quiet "$work/clipboard" >/dev/null 2>&1 &
  clip=$!
  eventually sh -c 'xclip -selection clipboard -o 2>/dev/null | head -c 10 | grep -q 1234567890' ||
    { echo "the clipboard took no text"; return 1; }
  xdotool key ctrl+v
}

# One action of a case: "type TEXT", "key KEY", "paste COUNT" or "close-box".
act() {
  local verb=${1%% *} arg=${1#* }
  case $verb in
    type) xdotool type --delay 40 -- "$arg" ;;
    key) xdotool key "$arg" ;;
    paste) paste_digits "$arg" ;;
    close-box) close_box ;;
  esac
}

# The cases, in order, on one running panel: what the user does (actions
# separated by ";"), the bytes at port-file offsets afterwards, and what
# the case shows. The focus starts in the word field (port 112).
cases=(
  "type -1234 | 12=46 13=251 | -1234 typed key by key writes its low and high byte to ports 112 and 113"
  "key Tab; type &H7F | 10=127 | Tab moves to the byte field; &H7F writes 127 to port 110"
  "type F; close-box | 10=0 12=46 13=251 | &H7FF is too large: a message box, closed with Enter, and 0 at port 110; port 112 keeps its word"
  "type 255 | 10=255 | after the rejection the emptied field takes new typing"
  "key shift+Tab; key ctrl+a; type 32768; close-box | 12=0 13=0 | 32768 in the word field is rejected and writes 0 to both its ports"
  "type 7 | 12=7 | the word field takes typing again"
  "paste 100000; close-box | 12=0 13=0 | 100 kB of digits pasted after the 7: a message box at once, closed with Enter, and 0 at ports 112 and 113"
)

"${start[@]}" >"$work/app.log" 2>&1 &
app=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name 'TORVA_InOut - ' | head -n1)
[[ -n "$window" ]] || { echo "the panel did not open"; exit 1; }
if [[ -n $dpi ]]; then
  # The form is 5895 by 4350 twips, its edges each rounded to the pixel.
  geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p')
  for side in "width ${geometry%x*} 5895" "height ${geometry#*x} 4350"; do
    read -r what got twips <<<"$side"
    expected=$(((twips * dpi + 720) / 1440))
    ((${got:-0} >= expected - 1 && ${got:-0} <= expected + 1)) &&
      pass "the window is $got pixels in $what at $dpi DPI" ||
      fail "the window is ${got:-not} pixels in $what at $dpi DPI, not $expected"
  done
fi
xdotool windowactivate --sync "$window"
eventually test -f "$port_file" && pass "the first ticks create the port file" || fail "no port file after start"
[[ "$(stat -c %s "$port_file")" == 0 ]] && pass "nothing is written before the first edit" || fail "written before any edit"

for case in "${cases[@]}"; do
  IFS='|' read -r actions expected name <<<"$case"
  name=${name# }
  IFS=';' read -ra steps <<<"$actions"
  problem=
  for step in "${steps[@]}"; do
    step=$(sed 's/^ *//; s/ *$//' <<<"$step")
    act "$step" || { problem="'$step' failed"; break; }
  done
  for pair in $expected; do
    [[ -n $problem ]] && break
    eventually has_byte "${pair%%=*}" "${pair#*=}" ||
      problem="offset ${pair%%=*} holds '$(byte_at "${pair%%=*}")', not ${pair#*=}"
  done
  if [[ -z $problem ]]; then pass "$name"; else fail "$name: $problem"; fi
done

# Values put in the port file from outside, as the emulator does.
printf '\052\000\374\377' | dd of="$port_file" bs=1 seek=15 conv=notrunc status=none
sleep 0.5
kill -0 "$app" 2>/dev/null && pass "the panel runs on with new input ports" || fail "the panel ended"

before=$(od -An -tu1 "$port_file")
xdotool windowactivate --sync "$window" key alt+F4
if eventually sh -c "! kill -0 $app 2>/dev/null"; then
  wait "$app"; status=$?
  [[ $status == 0 ]] && pass "closing the window ends the program" || fail "the program ended with status $status"
else
  fail "the program still runs after its window was closed"
fi
[[ "$(od -An -tu1 "$port_file")" == "$before" ]] && pass "closing writes nothing" || fail "closing changed the port file"

echo "e2e: $passed passed, $failed failed"
[[ $failed == 0 ]]
