#!/usr/bin/env bash
# The panel read as a screen reader reads it, over AT-SPI in a private X
# server and session bus: accessible-panel.sh PANEL TORVA_PORT SCRATCH_DIR
# The output ports hold 42 and -4 before the panel starts; the probe
# (accessible_tree.py) checks the window's name and each field's name,
# description, states and text.
set -euo pipefail
panel=$(realpath "$1")
port=$(realpath "$2")
work=$3
here=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work" && mkdir -p "$work/tmp"

# A private session bus, which goes when the test ends: Qt and the probe
# find the accessibility bus through it.
if [[ -z ${TORVA_E2E_SESSION_BUS:-} ]]; then
  exec env TORVA_E2E_SESSION_BUS=1 dbus-run-session -- "$0" "$@"
fi

cleanup() {
  kill "${app:-}" "${bus:-}" "${wm:-}" "${xvfb:-}" 2>/dev/null || true
  wait 2>/dev/null || true
  [[ -z ${runtime_dir:-} ]] || rm -rf "$runtime_dir"
}
trap cleanup EXIT

source "$here/scripts/session/x-session.sh"
# The accessibility bus's socket in a runtime folder of the test's own.
private_runtime_dir
start_x_session "$work"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
bus=$!

export TMPDIR=$work/tmp
"$port" write 115 42
"$port" write-word 117 -4
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$panel" >"$work/panel.log" 2>&1 &
app=$!
/usr/bin/python3 "$here/tests/e2e/accessible_tree.py" TORVA_InOut ${PROBE_ARGS:-}
