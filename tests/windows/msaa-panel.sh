#!/usr/bin/env bash
# What a screen reader reads of the running panel, read from another
# process as a screen reader reads it: msaa-panel.sh PANEL.exe PROBE.exe
# SCRATCH_DIR. The panel runs under Wine's null graphics driver (the
# prefix of scripts/session/wine-headless.sh) with values in its port
# file; msaa-probe.exe prints its accessible objects, which are checked
# against a table.
# Without -e: every check runs and reports; the exit status says whether
# any failed.
set -uo pipefail
panel=$(realpath "$1")
probe=$(realpath "$2")
work=$3
here=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work" && mkdir -p "$work"

cleanup() {
  kill "${app:-}" 2>/dev/null
  wait "${app:-}" 2>/dev/null
}
trap cleanup EXIT

# The prefix with the null driver, made on its first use.
export WINEPREFIX=$here/build/windows/wine-headless
"$here/scripts/session/wine-headless.sh" cmd /c ver </dev/null >"$work/wine.log" 2>&1
source "$here/scripts/session/x-session.sh"
panel_command "$panel" "$work" || exit 1
# 42 at port 115 and -4 at ports 117 and 118, shown by the output fields.
printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\052\0\374\377' >"$temp/emu_port.dat"
"${start[@]}" >"$work/app.log" 2>&1 &
app=$!

# The probe waits for the window; the values come with the timer's
# ticks, one field after the other, so it reads the tree again until both
# shown values are in it, for up to a minute.
shows_both() {
  "$here/scripts/session/wine.sh" "$probe" TORVA_InOut.Form1 60 </dev/null >"$work/tree.txt" 2>>"$work/wine.log"
  grep -q $'\tvalue=42\t' "$work/tree.txt" && grep -q $'\tvalue=-4\t' "$work/tree.txt"
}
within 60 shows_both || echo "the shown values did not both come within a minute"
cat "$work/tree.txt"

passed=0 failed=0
pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAILED: $1"; failed=$((failed + 1)); }

# The field of a probe line: field LINE KEY.
field() { tr '\t' '\n' <<<"$1" | sed -n "s/^$2=//p"; }
# The blanks after a label's caption are the label's own; those before a name are not.
without_trailing_blanks() { sed 's/ *$//' <<<"$1"; }

# Whether the line says what the row wants; prints what differs.
check_line() {
  local line=$1 value=$2 description=$3 has=$4 lacks=$5 states state
  states="|$(field "$line" state)|"
  [[ $value == "*" || $(field "$line" value) == "$value" ]] || { echo "value '$(field "$line" value)'"; return 1; }
  [[ $description == "*" || $(field "$line" description) == "$description" ]] ||
    { echo "description '$(field "$line" description)'"; return 1; }
  for state in $has; do [[ $states == *"|$state|"* ]] || { echo "state $states lacks $state"; return 1; }; done
  for state in $lacks; do [[ $states != *"|$state|"* ]] || { echo "state $states has $state"; return 1; }; done
}

hint='To enter HEX digits, use  [ &H ] prefix.'
# The object (the probe's first field) and its name, its value and its
# description ("*": any), the states it has and those it lacks, and what
# the row shows.
cases=(
  "window|TORVA_InOut - TORVA_קלט_פלט|*|*|||the window's frame is named by its caption without the leading blanks"
  "client|TORVA_InOut - TORVA_קלט_פלט|*|*|||so is the window's inside"
  "Edit|Read UNSIGNED BYTE from port 110 (6EH):||$hint|FOCUSABLE|READONLY UNAVAILABLE|the byte entry is named by its row and described by the hint"
  "Edit|Read SIGNED WORD from port 112 (70H):||$hint|FOCUSABLE|READONLY UNAVAILABLE|the word entry is named by its row and described by the hint"
  "Edit|Write UNSIGNED BYTE to Port 115 (73H):|42||READONLY|UNAVAILABLE FOCUSABLE|the shown byte is a read-only value, 42, named by its row"
  "Edit|Write SIGNED WORD to Port 117 (75H):|-4||READONLY|UNAVAILABLE FOCUSABLE|the shown word is a read-only value, -4, named by its row"
)
for case in "${cases[@]}"; do
  IFS='|' read -r what name value description has lacks shows <<<"$case"
  line=
  while IFS= read -r candidate; do
    [[ ${candidate%%$'\t'*} == "$what" && $(without_trailing_blanks "$(field "$candidate" name)") == "$name" ]] &&
      line=$candidate
  done <"$work/tree.txt"
  if [[ -z $line ]]; then
    fail "$shows: no $what named '$name'"
  elif problem=$(check_line "$line" "$value" "$description" "$has" "$lacks"); then
    pass "$shows"
  else
    fail "$shows: $problem"
  fi
done
# The window's own object answers for the system's further interfaces.
grep -qx $'interfaces\tIOleWindow=window\tIEnumVARIANT=yes' "$work/tree.txt" &&
  pass "the window's inside gives the system's IOleWindow (naming the window) and IEnumVARIANT" ||
  fail "the window's inside lacks the system's IOleWindow or IEnumVARIANT"

echo "$passed passed, $failed failed"
((failed == 0))
