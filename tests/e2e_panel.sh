#!/usr/bin/env bash
# Drives the real torva-inout in a private X server as a user would, and
# checks the port file's bytes: e2e_panel.sh PROGRAM SCRATCH_DIR
set -uo pipefail
program=$(realpath "$1")
work=$2
rm -rf "$work" && mkdir -p "$work/tmp"
port_file=$work/tmp/emu_port.dat
passed=0 failed=0

cleanup() { kill "${app:-}" "${wm:-}" "${xvfb:-}" 2>/dev/null; wait 2>/dev/null; }
trap cleanup EXIT

pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAILED: $1"; failed=$((failed + 1)); }
byte_at() { od -An -tu1 -j "$1" -N1 "$port_file" 2>/dev/null | tr -d ' '; }

# Waits up to five seconds for a command to succeed.
eventually() {
  for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done
  return 1
}
has_byte() { [[ "$(byte_at "$1")" == "$2" ]]; }
expect_byte() {
  if eventually has_byte "$1" "$2"; then pass "$3"; else fail "$3: offset $1 holds '$(byte_at "$1")', not $2"; fi
}
no_message_box() { [[ -z "$(xdotool search --onlyvisible --name '^TORVA_InOut$' 2>/dev/null)" ]]; }

# A private X server on a free display, and a window manager to close windows with.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
eventually test -s "$work/display" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
openbox >"$work/wm.log" 2>&1 &
wm=$!
eventually sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || { echo "no window manager"; exit 1; }

TMPDIR=$work/tmp "$program" 2>"$work/app.log" &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name 'TORVA_InOut - ' | head -n1)
[[ -n "$window" ]] || { echo "the panel did not open"; exit 1; }
xdotool windowactivate --sync "$window"
eventually test -f "$port_file" && pass "the first ticks create the port file" || fail "no port file after start"
[[ "$(stat -c %s "$port_file")" == 0 ]] && pass "nothing is written before the first edit" || fail "written before any edit"

# The focus starts in the word field.
xdotool type --delay 40 -- '-1234'
expect_byte 12 46 "-1234 typed at once: low byte at port 112"
expect_byte 13 251 "-1234 typed at once: high byte at port 113"

xdotool key Tab
xdotool type --delay 40 '&H7F'
expect_byte 10 127 "Tab, then &H7F writes 127 to port 110"

# One more F makes &H7FF, 2047: too large for a byte.
xdotool type --delay 40 'F'
box=$(timeout 10 xdotool search --sync --onlyvisible --name '^TORVA_InOut$' | head -n1)
if [[ -n "$box" ]]; then pass "a rejected value shows a message box"; else fail "no message box"; fi
[[ -n "$box" ]] && xdotool windowactivate --sync "$box" && xdotool key Return
eventually no_message_box && pass "Enter closes the message box" || fail "the message box stays open"
expect_byte 10 0 "the rejected entry ends with 0 at port 110"
expect_byte 12 46 "port 112 kept its word"

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
