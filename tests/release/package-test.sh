#!/usr/bin/env bash
# Checks the Debian package as a user gets it: lintian finds no error; it
# installs with apt-get; both programs run from their installed paths, the
# window in a private X server with the icon that the desktop entry names;
# it removes without a trace. Changes the machine, so it is not part of
# `make test`: package-test.sh PACKAGE.deb SCRATCH_DIR
# Without -e: every check runs and reports; the exit status says whether
# any failed.
set -uo pipefail
deb=$(realpath "$1")
work=$2
package=torva-inout
version=$(dpkg-deb -f "$deb" Version)
rm -rf "$work" && mkdir -p "$work/tmp"
passed=0 failed=0
pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAILED: $1"; failed=$((failed + 1)); }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
source "$(dirname "$0")/../../scripts/session/x-session.sh"
quietly() { "$@" >>"$work/quiet.log" 2>&1; }
installed() { [[ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)" == "install ok installed" ]]; }

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

cleanup() {
  kill "${app:-}" "${wm:-}" "${xvfb:-}" 2>/dev/null; wait 2>/dev/null
  if [[ -n "${we_installed:-}" ]] && installed; then "${sudo[@]}" apt-get purge -y -q "$package" >/dev/null; fi
}
trap cleanup EXIT

# lintian: errors fail the test; what else it says is shown.
lintian --pedantic --display-info --fail-on error "$deb" 2>/dev/null | tee "$work/lintian.txt"
check "lintian finds no error" test "${PIPESTATUS[0]}" == 0

installed && { echo "$package is installed already; remove it before this test"; exit 1; }
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' >"$work/files"
we_installed=1
check "apt-get installs the package" quietly "${sudo[@]}" apt-get install -y -q "$deb"

# torva-port, in a temporary directory of its own.
check "torva-port --version" test "$(/usr/bin/torva-port --version)" == "torva-port $version"
TMPDIR=$work/tmp /usr/bin/torva-port write 110 '&H7F'
check "torva-port writes and reads port 110" test "$(TMPDIR=$work/tmp /usr/bin/torva-port read 110)" == 127
check "torva-inout --version" test "$(/usr/bin/torva-inout --version)" == "torva-inout $version"
check "man finds both manual pages" quietly man -w torva-port torva-inout

# The window, in a private X server with a window manager.
start_x_session "$work" || exit 1
TMPDIR=$work/tmp /usr/bin/torva-inout 2>"$work/app.log" &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name 'TORVA_InOut - ' | head -n1)
check "the installed torva-inout shows its window" test -n "$window"

# The window's icon, pixel for pixel, is the 32 x 32 one of the icon theme
# that the desktop entry names; its class is the entry's StartupWMClass.
desktop=$(grep '^/usr/share/applications/.*\.desktop$' "$work/files")
icon=$(sed -n 's/^Icon=//p' "$desktop")
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
theme_icon=/usr/share/icons/hicolor/32x32/apps/$icon.png
convert "$theme_icon" -depth 8 rgba:- | od -An -v -tu1 -w4 |
  awk '{ printf "%d\n", $4 == 0 ? 0 : $4 * 16777216 + $1 * 65536 + $2 * 256 + $3 }' >"$work/theme_icon"
# _NET_WM_ICON lists each size the window offers as width, height, pixels;
# the 32 x 32 one is the installed icon's.
xprop -id "$window" -notype 32c _NET_WM_ICON | sed 's/^[^=]*= //' | tr ',' '\n' | tr -d ' ' |
  awk '{ v[NR] = $1 } END { for (i = 1; i + 1 <= NR; i += 2 + v[i] * v[i + 1])
         if (v[i] == 32 && v[i + 1] == 32)
           for (j = i + 2; j < i + 2 + 1024; ++j) printf "%d\n", v[j] < 16777216 ? 0 : v[j] }' >"$work/window_icon"
check "the window shows the installed icon ($theme_icon)" \
  sh -c "[ -s '$work/theme_icon' ] && cmp -s '$work/theme_icon' '$work/window_icon'"
check "the window's class is the desktop entry's ($wm_class)" \
  sh -c "xprop -id '$window' WM_CLASS | grep -q '\"$wm_class\"\$'"
kill "$app" && wait "$app" 2>/dev/null; app=

check "apt-get removes the package" quietly "${sudo[@]}" apt-get purge -y -q "$package"
check "the package is gone from dpkg" sh -c "! dpkg-query -W -f='\${Status}' $package 2>/dev/null | grep -q installed"
left=$(while read -r file; do [[ -e "$file" ]] && echo "$file"; done <"$work/files")
check "no file of the package is left${left:+: $left}" test -z "$left"

echo "package: $passed passed, $failed failed"
[[ $failed == 0 ]]
