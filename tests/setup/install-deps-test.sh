#!/usr/bin/env bash
# The packages install-deps.sh names for each release, from os-release
# files of our own; an unknown system gets one line and status 1; and its
# check that two architectures of a library can agree.
#   install-deps-test.sh INSTALL_DEPS SCRATCH_DIR
# Without -e: every check runs and reports; the exit status says whether
# any failed.
set -uo pipefail
script=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
failed=0

# os-release lines | groups | packages that must be listed | packages that must not
cases=(
  "ID=debian VERSION_CODENAME=bookworm | fuzz | fonts-liberation2 qt6-wayland weston gir1.2-atspi-2.0 libpugixml-dev clang libclang-rt-dev | libclang-rt-14-dev"
  "ID=debian VERSION_CODENAME=trixie | fuzz windows | fonts-liberation qt6-wayland libclang-rt-dev wine32:i386 python3 | fonts-liberation2"
  "ID=debian VERSION_CODENAME=trixie | debian-tree release | debootstrap diffoscope-minimal | clang"
)
for case in "${cases[@]}"; do
  IFS='|' read -r lines groups wanted unwanted <<<"$case"
  tr ' ' '\n' <<<"$lines" >"$work/os-release"
  listed=$(TORVA_OS_RELEASE=$work/os-release "$script" --print $groups) ||
    { echo "FAILED: $lines: status $?"; failed=1; continue; }
  problem=
  for package in $wanted; do grep -qxF "$package" <<<"$listed" || problem+=" lacks $package"; done
  for package in $unwanted; do grep -qxF "$package" <<<"$listed" && problem+=" has $package"; done
  if [[ -z $problem ]]; then echo "ok: $lines:$groups"; else echo "FAILED: $lines:$groups:$problem"; failed=1; fi
done

# Systems it does not know: a line that names the system, status 1, no apt.
unknown=(
  "ID=ubuntu VERSION_CODENAME=noble PRETTY_NAME=Ubuntu-24.04 | Ubuntu-24.04"
  "ID=debian VERSION_CODENAME=forky PRETTY_NAME=Debian-14 | Debian-14"
  " | no $work/missing"
)
for case in "${unknown[@]}"; do
  IFS='|' read -r lines named <<<"$case"
  file=$work/os-release
  if [[ -n ${lines// /} ]]; then tr ' ' '\n' <<<"$lines" >"$file"; else file=$work/missing; fi
  message=$(TORVA_OS_RELEASE=$file "$script" --print 2>&1 >/dev/null)
  status=$?
  named=${named# }
  if [[ $status == 1 && $(wc -l <<<"$message") == 1 && $message == *"($named)"* ]]; then
    echo "ok: unknown: $named"
  else
    echo "FAILED: unknown $named: status $status, '$message'"; failed=1
  fi
done
# The check of the two architectures over version lists: NAME, then the
# native and the foreign side as installed, candidate, offered | the line
# it writes (nothing where they agree).
. "$(dirname "$script")/arch-skew.sh"
skews=(
  "alike, neither installed: lib1 - 1.0-1 1.0-1 - 1.0-1 1.0-1 | "
  "installed on both, a newer one offered: lib2 1.0-1 1.0-1+u1 1.0-1+u1,1.0-1 1.0-1 1.0-1 1.0-1 | "
  "foreign index behind the installed twin: lib3 1.0-1+u2 1.0-1+u2 1.0-1+u2,1.0-1 - 1.0-1 1.0-1 | lib3 1.0-1+u2 1.0-1+u2 - 1.0-1 1.0-1"
  "installed twin at the foreign version, its candidate newer: lib4 1.0-1 1.0-1+u1 1.0-1+u1,1.0-1 - 1.0-1 1.0-1 | lib4 1.0-1 1.0-1+u1 - 1.0-1 1.0-1"
  "not yet installed on either: lib5 - 1.0-3+u7 1.0-3+u7,1.0-3+u6 - 1.0-3+u6 1.0-3+u6 | lib5 - 1.0-3+u7 - 1.0-3+u6 1.0-3+u6"
  "foreign index missing: lib6 1.0-1 1.0-1 1.0-1 - - - | lib6 1.0-1 1.0-1 - - -"
  "foreign ahead, nothing in common: lib7 1.0-1 1.0-1 1.0-1 - 1.1-1 1.1-1 | lib7 1.0-1 1.0-1 - 1.1-1 -"
  "backports newer than both candidates: lib8 - 1.0-1+u3 2.0~bpo,1.0-1+u3,1.0-1 - 1.0-1 2.0~bpo,1.0-1 | lib8 - 1.0-1+u3 - 1.0-1 1.0-1"
)
for case in "${skews[@]}"; do
  IFS='|' read -r row wanted <<<"${case#*: }"
  got=$(skew_decide <<<"$row")
  wanted=${wanted# }
  if [[ $got == "$wanted" ]]; then echo "ok: skew: ${case%%: *}"; else
    echo "FAILED: skew: ${case%%: *}: '$got', not '$wanted'"; failed=1
  fi
done
exit $failed
