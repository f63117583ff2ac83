#!/usr/bin/env bash
# Installs the Windows Installer packages of a release under Wine as a
# lab's administrator does, silently with msiexec, in a fresh prefix of the
# build's own (build/windows/wine-msi), one width after the other:
# msi-test.sh [RELEASE_DIR] (default build/release)
# Per width: the files, the shortcut and the entry in the installed
# programs; the installed panel, started from the shortcut's target, and
# the installed torva-port meet in %TEMP%\emu_port.dat; the same package
# again, then a newer one (built here), then the older one again, which is
# refused; removal leaves nothing of ours. Last, a 32-bit prefix refuses
# the 64-bit package. Prints how long each install and removal took.
# Without -e: every check runs and reports; the exit status says whether
# any failed.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
dir=$(realpath "${1:-$here/build/release}")
work=$here/build/msi-test
prefix=$here/build/windows/wine-msi
export WINEDEBUG=-all
# No Mono or Gecko, and no menu entries on this machine for what is
# installed in the prefix (Wine's winemenubuilder would write them).
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct)}
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
passed=0 failed=0
pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAILED: $1"; failed=$((failed + 1)); }
check() { local what=$1; shift; if "$@" >/dev/null 2>&1; then pass "$what"; else fail "$what"; fi; }
probe() { "$here/tests/release/msi_probe.py" "$@"; }

source "$here/scripts/session/x-session.sh"
cleanup() { kill "${app:-}" "${wm:-}" "${xvfb:-}" 2>/dev/null; wait 2>/dev/null; }
trap cleanup EXIT

"$here/scripts/setup/install-deps.sh" windows release || exit 1
deb=$(ls "$dir"/torva-inout_*.deb 2>/dev/null | head -n1)
[[ -n $deb ]] || { echo "FAILED: no release in $dir"; exit 1; }
version=$(dpkg-deb -f "$deb" Version)
# A later release: the fourth number one higher, as releases go.
newer=${version%.*}.$((${version##*.} + 1))

rm -rf "$work" "$prefix" "$prefix-32"
# Wine makes a prefix only in a folder that exists.
mkdir -p "$work" "$(dirname "$prefix")"

# in_wine PREFIX COMMAND...: a command under Wine in PREFIX; Windows text
# comes back without its carriage returns.
in_wine() {
  local prefix=$1; shift
  WINEPREFIX=$prefix "$here/scripts/session/wine.sh" "$@" </dev/null 2>>"$work/wine.log" | tr -d '\r'
}
# Through dosdevices to the folder itself.
unix_path() { realpath -m "$(in_wine "$prefix" winepath -u "$1")"; }
windows_path() { in_wine "$prefix" winepath -w "$1"; }
# msiexec PREFIX LOADER ARG...: sets code to msiexec's own exit code (Wine
# hands a Unix parent only its low byte, so a batch file prints it from
# inside, start /wait as msiexec is a windowed program) and took to the
# time it ran; then has the prefix's registry written to its files (the
# server does so as it ends; ended at once it is quicker than waiting for it
# to end itself, with nothing of ours left running).
printf '@start /wait msiexec %%*\r\n@echo %%errorlevel%%\r\n' >"$work/msiexec.bat"
msiexec() {
  local in=$1 loader=$2 batch start; shift 2
  batch=$(windows_path "$work/msiexec.bat")
  start=$(date +%s%N)
  code=$(WINEPREFIX=$in "$loader" cmd /c "$batch" "$@" </dev/null 2>>"$work/wine.log" | tr -d '\r')
  took=$(printf '%.1f s' "$(( ($(date +%s%N) - start) / 1000000 ))e-3")
  WINEPREFIX=$in "$wineserver" -k
  WINEPREFIX=$in "$wineserver" -w
}
install() { msiexec "$prefix" "$here/scripts/session/wine.sh" /i "$(windows_path "$1")" /qn /l*v "$(windows_path "$2")"; }
entry() { probe entries "$prefix" TORVA_InOut | cut -f2-; }
one_shortcut() { [[ $# == 1 && $1 == */Start\ Menu/Programs/TORVA_InOut.lnk ]]; }
# Wine logs no launch condition's message, only the property behind it.
refused() { [[ $1 == 1603 ]] && grep -aq '^Property(S): WIX_DOWNGRADE_DETECTED = {' "$2"; }
unchanged() { [[ $(entry | cut -f1) == "$1" ]] && cmp -s "$2" "$3"; }
nothing_installed() { [[ $1 == 1633 ]] && ! find "$2" -iname 'torva*' | grep -q .; }
# Everything in the prefix's drive C but the temporary folder, where the
# programs and Wine leave their own files.
snapshot() { (cd "$prefix/drive_c" && find . -path "./${temp_rel}" -prune -o -print | sort); }

# The X server first: Wine's desktop process, which the first question to
# the prefix starts, then runs on it and not on none (Wine 10 answers no
# question without one).
start_x_session "$work" || exit 1
# One prefix for both widths, as a 64-bit Windows runs both.
in_wine "$prefix" wineboot -i >/dev/null
WINEPREFIX=$prefix "$wineserver" -w
temp=$(unix_path "$(in_wine "$prefix" cmd /c echo %TEMP%)")
temp=${temp%/}
temp_rel=${temp#"$prefix/drive_c/"}
[[ -d $temp && $temp_rel != "$temp" ]] || { echo "FAILED: Wine names no %TEMP% inside $prefix"; exit 1; }

# The Program Files folder of each width on a 64-bit Windows.
declare -A program_files=([x64]=%ProgramFiles% [x86]="%ProgramFiles(x86)%")
times=()

for width in $("$here/scripts/release/release.sh" --widths); do
  name=torva-inout_${version}_windows-$width
  msi=$dir/$name.msi
  [[ -f $msi ]] || { fail "$name.msi is missing"; continue; }
  # The archive's files are the ones the package must leave in place.
  unzip -q "$dir/$name.zip" -d "$work/$width"
  shipped=$work/$width/$name
  folder_windows="$(in_wine "$prefix" cmd /c echo "${program_files[$width]}")\\TORVA_InOut"
  folder=$(unix_path "$folder_windows")
  folder=${folder%/}
  before=$(snapshot)

  install "$msi" "$work/$width-install.log"
  times+=("$width install $took")
  check "$width: msiexec /i /qn ends with 0" test "$code" == 0
  for pair in torva-inout.exe:torva-inout.exe torva-port.exe:torva-port.exe README.txt:README.txt \
    LICENSE.txt:LICENSE.txt NOTICE.txt:NOTICE.txt; do
    check "$width: $folder_windows\\${pair#*:} is the archive's ${pair%%:*}" \
      cmp -s "$shipped/${pair%%:*}" "$folder/${pair#*:}"
  done
  mapfile -t links < <(comm -13 <(echo "$before") <(snapshot) | grep -i '\.lnk$')
  check "$width: one shortcut, TORVA_InOut in a Start menu's Programs (${links[*]})" one_shortcut "${links[@]}"
  target=$(probe target "$prefix/drive_c/${links[0]:-none}" 2>/dev/null)
  check "$width: the shortcut leads to the installed panel ($target)" \
    test "${target,,}" == "${folder_windows,,}\\torva-inout.exe"
  msi_version=$(probe property "$msi" ProductVersion)
  check "$width: one entry in the installed programs, $msi_version by TORVA_InOut developers in its folder" \
    test "$(entry)" == "$msi_version"$'\t'"TORVA_InOut developers"$'\t'"$folder_windows\\"

  # The installed programs, the panel started as the shortcut starts it.
  rm -f "$temp/emu_port.dat"
  port_file=$(unix_path "$(in_wine "$prefix" "$folder/torva-port.exe" path)")
  check "$width: the installed torva-port.exe uses %TEMP%\\emu_port.dat" test "$port_file" == "$temp/emu_port.dat"
  WINEPREFIX=$prefix "$here/scripts/session/wine.sh" "$(unix_path "$target")" >"$work/$width-panel.log" 2>&1 &
  app=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --name 'TORVA_InOut - ' | head -n1)
  # Typed only once the panel's timer has ticked (its first ticks make the
  # port file): a 32-bit panel under qemu maps its window well before that.
  if [[ -n $window ]] && eventually test -f "$temp/emu_port.dat"; then
    xdotool windowactivate --sync "$window" && xdotool type --delay 40 -- -1234
    read_word() { [[ $(in_wine "$prefix" "$folder/torva-port.exe" read-word 112) == -1234 ]]; }
    check "$width: -1234 typed into the installed panel is read back by the installed torva-port.exe" \
      eventually read_word
    xdotool windowactivate --sync "$window" key alt+F4
  else
    fail "$width: the installed panel did not open"
  fi
  eventually sh -c "! kill -0 $app 2>/dev/null" || kill "$app"
  wait "$app" 2>/dev/null
  WINEPREFIX=$prefix "$wineserver" -w

  install "$msi" "$work/$width-again.log"
  check "$width: the same package again ends with 0 and leaves one entry" \
    test "$code:$(entry | cut -f1)" == "0:$msi_version"

  # A newer package, its README marked so that its files can be told apart.
  mkdir -p "$work/$width-newer"
  cp "$shipped"/{torva-inout.exe,torva-port.exe,LICENSE.txt,NOTICE.txt} "$work/$width-newer/"
  { cat "$shipped/README.txt"; printf 'Version %s\r\n' "$newer"; } >"$work/$width-newer/README.txt"
  newer_msi=$work/${name/$version/$newer}.msi
  "$here/scripts/release/msi.py" "$width" "$newer" "$work/$width-newer" "$newer_msi"
  newer_msi_version=$(probe property "$newer_msi" ProductVersion)
  install "$newer_msi" "$work/$width-upgrade.log"
  times+=("$width upgrade $took")
  check "$width: $newer replaces $version: 0, one entry, $newer_msi_version" \
    test "$code:$(entry | cut -f1)" == "0:$newer_msi_version"
  check "$width: the newer package's files are in place" cmp -s "$work/$width-newer/README.txt" "$folder/README.txt"

  # Windows Installer fails an install that its package stops with 1603.
  install "$msi" "$work/$width-older.log"
  check "$width: $version over $newer is refused with 1603 as a downgrade" refused "$code" "$work/$width-older.log"
  check "$width: the refused package changed nothing" \
    unchanged "$newer_msi_version" "$work/$width-newer/README.txt" "$folder/README.txt"

  msiexec "$prefix" "$here/scripts/session/wine.sh" /x "$(windows_path "$newer_msi")" /qn
  times+=("$width removal $took")
  check "$width: msiexec /x /qn ends with 0" test "$code" == 0
  # Windows Installer's own folder stays, as on any Windows.
  left=$(comm -13 <(echo "$before") <(snapshot) | grep -vx './windows/Installer')
  check "$width: no file or shortcut of ours is left (${left//$'\n'/ })" test -z "$left"
  codes=()
  for package in "$msi" "$newer_msi"; do
    codes+=("$(probe property "$package" ProductCode)" "$(probe property "$package" UpgradeCode)")
  done
  mentions=$(probe mentions "$prefix" TORVA_InOut torva-inout torva-port "${codes[@]}")
  check "$width: no registry key names us (${mentions//$'\n'/ })" test -z "$mentions"
done

# A 32-bit Windows, which has no use for the 64-bit package:
# ERROR_INSTALL_PLATFORM_UNSUPPORTED, before anything is installed.
x64_msi=$dir/torva-inout_${version}_windows-x64.msi
if [[ $("$here/scripts/session/x86-route.sh") == none ]]; then
  echo "SKIPPED: 32-bit Windows: $("$here/scripts/session/x86-route.sh" --why)"
else
  WINE_WIDTH=32 WINEARCH=win32 WINEPREFIX=$prefix-32 "$here/scripts/session/wine.sh" wineboot -i </dev/null >/dev/null 2>&1
  WINEPREFIX=$prefix-32 "$wineserver" -w
  WINE_WIDTH=32 msiexec "$prefix-32" "$here/scripts/session/wine.sh" /i "$(windows_path "$x64_msi")" /qn
  check "32-bit Windows: the 64-bit package is refused with 1633 and installs nothing" \
    nothing_installed "$code" "$prefix-32/drive_c"
fi

printf 'time: %s\n' "${times[@]}"
echo "msi: $passed passed, $failed failed"
[[ $failed == 0 ]]
