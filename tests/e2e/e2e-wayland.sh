#!/usr/bin/env bash
# Starts the real panel in a Wayland-only session, a headless Weston with
# no X display, types into its port 110 field through the accessibility
# bus, as an assistive tool does, and reads the value back from the port
# file: e2e-wayland.sh PROGRAM SCRATCH_DIR
set -euo pipefail
program=$(realpath "$1")
work=$(realpath -m "$2")
here=$(cd "$(dirname "$0")/../.." && pwd)

# The session bus is a private one, which goes when the test ends: Qt and
# the typing below find the accessibility bus through it.
if [[ -z ${TORVA_E2E_SESSION_BUS:-} ]]; then
  exec env TORVA_E2E_SESSION_BUS=1 dbus-run-session -- "$0" "$program" "$work"
fi

rm -rf "$work" && mkdir -p "$work/tmp"
source "$here/scripts/session/x-session.sh"  # private_runtime_dir, eventually
private_runtime_dir
unset DISPLAY
export WAYLAND_DISPLAY=torva-e2e QT_QPA_PLATFORM=wayland
# Qt's AT-SPI bridge serves even though no screen reader asked for it.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

cleanup() {
  kill "${app:-}" 2>/dev/null || true
  wait "${app:-}" 2>/dev/null || true
  kill "${weston:-}" "${a11y:-}" 2>/dev/null || true
  wait 2>/dev/null || true
  [[ -z ${runtime_dir:-} ]] || rm -rf "$runtime_dir"
}
trap cleanup EXIT

# Waits up to twenty seconds: a loaded machine, or the sanitizers, start slowly.
patiently() {
  for _ in 1 2 3 4; do eventually "$@" && return 0; done
  return 1
}

# No renderer asked for: the headless back-end's own draws nothing, which
# is all the test needs, and the renderer options differ between Weston's
# versions (--use-pixman in 10, --renderer later).
weston --backend=headless-backend.so --no-config --socket="$WAYLAND_DISPLAY" \
  >"$work/weston.log" 2>&1 &
weston=$!
patiently test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || { echo "Weston did not start"; exit 1; }
/usr/libexec/at-spi-bus-launcher >"$work/a11y.log" 2>&1 &
a11y=$!

TMPDIR=$work/tmp "$program" >"$work/app.log" 2>&1 &
app=$!
port_file=$work/tmp/emu_port.dat
patiently test -f "$port_file" || { echo "the panel did not start:"; cat "$work/app.log"; exit 1; }

# Sets a field's text through AT-SPI's EditableText: type_into NAME TEXT
type_into() { /usr/bin/python3 "$here/tests/e2e/accessible_tree.py" TORVA_InOut --type "$@"; }

# Port p is the byte at offset p - 100.
port_byte() { od -An -tu1 -j "$(($1 - 100))" -N1 "$port_file" 2>/dev/null | tr -d ' '; }
holds() { [[ "$(port_byte "$1")" == "$2" ]]; }

type_into "Read UNSIGNED BYTE from port 110 (6EH):" 77
if patiently holds 110 77; then
  echo "ok: 77 typed on Wayland into the port 110 field is in the port file"
else
  echo "FAILED: port 110 holds '$(port_byte 110)', not 77"
  exit 1
fi
kill -0 "$app" 2>/dev/null || { echo "FAILED: the panel ended"; cat "$work/app.log"; exit 1; }
