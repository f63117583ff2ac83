#!/usr/bin/env bash
# torva-port --wine, run on this machine against the Wine prefix of the
# tests ($WINEPREFIX), finds the port file that torva-port.exe uses under
# Wine in that prefix: the same path, and what one writes the other reads.
# wine-option-test.sh NATIVE_TORVA_PORT TORVA_PORT_EXE WINE_SH
# Without -e: every check runs and reports; the exit status says whether
# any failed.
set -uo pipefail
native=$1 exe=$2 wine=$3
[[ -x $native ]] || { echo "skipped: no $native (make build)"; exit 77; }
prefix=${WINEPREFIX:?the Wine prefix of the tests}
failed=0
check() { local what=$1; shift; if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi; }

windows_path=$("$wine" "$exe" path </dev/null | tr -d '\r')
unix_path=$("$wine" winepath -u "$windows_path" </dev/null 2>/dev/null | tr -d '\r')
found=$("$native" --wine="$prefix" path)
echo "torva-port.exe path: $windows_path ($unix_path)"
echo "torva-port --wine path: $found"
check "both name one file" test "$(realpath -m "$unix_path")" == "$(realpath -m "$found")"
check "WINEPREFIX is the default prefix" test "$(WINEPREFIX=$prefix "$native" --wine path)" == "$found"

# A port no other test uses, written on each side and read on the other.
value=$((RANDOM % 200 + 1))
"$wine" "$exe" write 4000 "$value" </dev/null
check "torva-port --wine reads what torva-port.exe wrote" test "$("$native" --wine="$prefix" read 4000)" == "$value"
"$native" --wine="$prefix" write 4000 $((value + 1))
check "torva-port.exe reads what torva-port --wine wrote" \
  test "$("$wine" "$exe" read 4000 </dev/null | tr -d '\r')" == $((value + 1))
exit $failed
