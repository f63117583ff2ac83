#!/usr/bin/env bash
# Each Windows program starts on Windows 7 SP1: it imports only DLLs that
# every Windows 7 has, and no function that mingw-w64's headers declare
# only for a Windows newer than 7 (those are looked up at run time).
# The import tables are read from the files themselves (pe_imports.py).
#   exe-imports.sh COMPILER EXE...
# Without -e: every check runs and reports; the exit status says whether
# any failed.
set -uo pipefail
compiler=$1
shift
here=$(dirname "$0")
system_dlls='^(kernel32|user32|gdi32|comctl32|advapi32|shell32|ole32|oleaut32|oleacc|msvcrt)\.dll$'
headers='#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shellscalingapi.h>
#include <oleacc.h>'

# Every identifier the headers declare at one Windows version.
declared() {
  "$compiler" -E -P -x c++ -D_WIN32_WINNT="$1" -DWINVER="$1" -DNTDDI_VERSION="$2" - <<<"$headers" |
    grep -oE '[A-Za-z_][A-Za-z0-9_]*' | sort -u
}
win7=$(declared 0x0601 0x06010000) || { echo "FAILED: the headers do not preprocess"; exit 1; }
newest=$(declared 0x0A00 0x0A00000B) || exit 1
newer_only=$(comm -13 <(echo "$win7") <(echo "$newest"))
[[ $newer_only == *GetDpiForWindow* ]] || { echo "FAILED: the headers' newer functions were not found"; exit 1; }

# "DLL: function" for each function a program imports.
imports() {
  python3 "$here/pe_imports.py" "$1"
}

failed=0
for exe in "$@"; do
  name=$(basename "$exe")
  list=$(imports "$exe") || { echo "FAILED: $name: its import tables do not read"; failed=1; continue; }
  dlls=$(cut -d: -f1 <<<"$list" | sort -fu)
  [[ -n $list ]] || { echo "FAILED: $name: no imports found"; failed=1; continue; }
  others=$(grep -viE "$system_dlls" <<<"$dlls")
  [[ -z $others ]] || { echo "FAILED: $name imports" $others; failed=1; }
  newer=$(cut -d' ' -f2 <<<"$list" | grep -xF -f <(echo "$newer_only"))
  [[ -z $newer ]] || { echo "FAILED: $name imports functions newer than Windows 7:" $newer; failed=1; }
  [[ -n $others$newer ]] || echo "ok: $name imports $(wc -l <<<"$list") functions from" $dlls
done
exit $failed
