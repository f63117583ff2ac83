#!/usr/bin/env bash
# Runs the Windows tests under Wine in the build's own prefix, for each test
# preset named: test-windows.sh PRESET... (windows-x64 windows-x86). One
# prefix serves both widths: a 64-bit prefix runs 32-bit programs with
# Wine's 32-bit loader. The tests without a window share one wineserver
# kept up for their run (a test that starts just as an idle server goes
# down would fail to connect); the tests on an X server (e2e_*) come after,
# alone, so that Wine's desktop process is started on their private X
# server and not on none. The form's contract tests run in a prefix of
# their own with Wine's null graphics driver, whose server is kept up the
# same way.
# Without -e: every preset's tests run and report; the exit status says
# whether any failed.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
[[ $# -gt 0 ]] || { echo "usage: test-windows.sh PRESET..." >&2; exit 2; }
export WINEPREFIX=$here/build/windows/wine
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
"$wineserver" -w
# Creates the prefix on the first run (Wine's first start takes longest).
"$here/scripts/session/wine.sh" wineboot </dev/null >/dev/null 2>&1
"$wineserver" -w
"$wineserver" -p
# Wine's services start here, not inside a test, where they would hold the
# test's output open.
"$here/scripts/session/wine.sh" wineboot </dev/null >/dev/null 2>&1
# Likewise for the prefix with the null graphics driver, where the form's
# contract tests run.
headless=$here/build/windows/wine-headless
"$here/scripts/session/wine-headless.sh" wineboot </dev/null >/dev/null 2>&1
WINEPREFIX=$headless "$wineserver" -w
WINEPREFIX=$headless "$wineserver" -p
"$here/scripts/session/wine-headless.sh" wineboot </dev/null >/dev/null 2>&1
status=0
# The 32-bit tests need a way to run 32-bit programs (scripts/session/x86-route.sh);
# without one they are skipped, and said so, never passed.
presets=()
for preset in "$@"; do
  if [[ $preset == *x86 && $("$here/scripts/session/x86-route.sh") == none ]]; then
    echo "SKIPPED: $preset: $("$here/scripts/session/x86-route.sh" --why)"
  else
    presets+=("$preset")
  fi
done
set -- "${presets[@]}"
# Now and then Wine fails to start a program at all, a cause outside the
# project: the test program prints nothing of its own. Each test that
# failed so (scripts/ci/wine_not_started.py) is run once more, said in the
# log with its reason; a real fault fails again. Nothing else is rerun.
for preset in "$@"; do
  junit=$here/build/windows/$preset-tests.xml
  ctest --preset "$preset" -j 2 -E "^e2e_" --output-junit "$junit" && continue
  again=$("$here/scripts/ci/wine_not_started.py" "$junit") || status=1
  [[ -n $again ]] || { status=1; continue; }
  names=()
  while IFS=$'\t' read -r name reason; do
    echo "rerun: $preset: $name: $reason"
    names+=("$(sed 's/[][\\.^$*+?(){}|]/\\&/g' <<<"$name")")
  done <<<"$again"
  ctest --preset "$preset" -R "^($(IFS='|'; echo "${names[*]}"))\$" || status=1
done
WINEPREFIX=$headless "$wineserver" -k
WINEPREFIX=$headless "$wineserver" -w
"$wineserver" -k
"$wineserver" -w
for preset in "$@"; do
  ctest --preset "$preset" -R "^e2e_" || status=1
  "$wineserver" -w
done
exit $status
