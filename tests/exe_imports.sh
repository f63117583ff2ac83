#!/usr/bin/env bash
# Each Windows program imports only DLLs that every Windows has, so one
# .exe can be copied anywhere and started: exe_imports.sh OBJDUMP EXE...
set -uo pipefail
objdump=$1
shift
system_dlls='^(kernel32|user32|gdi32|comctl32|advapi32|shell32|ole32|msvcrt)\.dll$'
failed=0
for exe in "$@"; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
  [[ -n $dlls ]] || { echo "FAILED: $exe: no imports found"; failed=1; continue; }
  others=$(grep -viE "$system_dlls" <<<"$dlls")
  if [[ -n $others ]]; then
    echo "FAILED: $(basename "$exe") imports" $others
    failed=1
  else
    echo "ok: $(basename "$exe") imports only" $dlls
  fi
done
exit $failed
