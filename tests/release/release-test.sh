#!/usr/bin/env bash
# Checks a release folder as scripts/release/release.sh leaves it: the sums hold and
# cover every file; the package and each Windows archive hold what they
# should, the Windows programs linked for ASLR and DEP; each Windows
# Installer package installs the archive's files. Given the certificate
# that signed a release, every Windows program and package must carry a
# signature that osslsigncode verifies against it:
# release-test.sh [RELEASE_DIR [CERTIFICATE.pem]] (default build/release)
# Without -e: every check runs and reports; the exit status says whether
# any failed.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
dir=$(realpath "${1:-$here/build/release}")
certificate=${2:+$(realpath "$2")}
objdump=$(command -v x86_64-w64-mingw32-objdump || echo objdump)
passed=0 failed=0
pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAILED: $1"; failed=$((failed + 1)); }
check() { local what=$1; shift; if "$@" >/dev/null 2>&1; then pass "$what"; else fail "$what"; fi; }
same_lines() { diff <(printf '%s\n' "${@:2}") <(eval "$1"); }

cd "$dir" || exit 1
deb=$(ls torva-inout_*.deb 2>/dev/null | head -n1)
[[ -n $deb ]] || { echo "FAILED: no package in $dir"; exit 1; }
version=$(dpkg-deb -f "$deb" Version)

check "SHA256SUMS holds for every file" sha256sum --strict -c SHA256SUMS
mapfile -t listed < <(awk '{ print $2 }' SHA256SUMS | sed 's/^\*//' | sort)
mapfile -t present < <(ls | grep -vx SHA256SUMS | sort)
check "SHA256SUMS names exactly the files of the release" \
  test "${listed[*]}" == "${present[*]}"

# The package: its programs, the licence, the README and the manual pages.
check "$deb holds both programs, the copyright file, the README and the manual pages" \
  same_lines "dpkg-deb -c '$deb' | awk '{ print \$6 }' | grep -E '^./usr/(bin/|share/doc/torva-inout/(copyright|README)|share/man/)' | grep -v '/\$' | LC_ALL=C sort" \
  ./usr/bin/torva-inout ./usr/bin/torva-port ./usr/share/doc/torva-inout/README.md.gz \
  ./usr/share/doc/torva-inout/copyright \
  ./usr/share/man/man1/torva-inout.1.gz ./usr/share/man/man1/torva-port.1.gz
check "$deb's copyright file is the MIT licence" \
  sh -c "dpkg-deb --fsys-tarfile '$deb' | tar -xO ./usr/share/doc/torva-inout/copyright | grep -qx 'License: Expat'"

# Each width's archive: exactly its five files, in one folder.
for width in $("$here/scripts/release/release.sh" --widths); do
  name=torva-inout_${version}_windows-$width
  zip=$name.zip
  [[ -f $zip ]] || { fail "$zip is missing"; continue; }
  check "$zip is a sound archive" unzip -tq "$zip"
  check "$zip holds both programs, README, LICENSE and NOTICE" \
    same_lines "unzip -Z1 '$zip'" "$name/torva-inout.exe" "$name/torva-port.exe" \
    "$name/README.txt" "$name/LICENSE.txt" "$name/NOTICE.txt"
  for text in LICENSE:LICENSE.txt dist/windows/NOTICE.txt:NOTICE.txt; do
    check "$zip: ${text#*:} is $here/${text%%:*} with Windows line ends" \
      sh -c "unzip -p '$zip' '$name/${text#*:}' | sed 's/\r\$//' | cmp -s - '$here/${text%%:*}'"
  done
  unpacked=$(mktemp -d)
  unzip -q "$zip" -d "$unpacked"
  wanted="DYNAMIC_BASE NX_COMPAT"
  [[ $width == x64 ]] && wanted+=" HIGH_ENTROPY_VA"
  for exe in torva-inout.exe torva-port.exe; do
    flags=$("$objdump" -p "$unpacked/$name/$exe" | sed -n '/^DllCharacteristics/,/^[A-Z]/p')
    for flag in $wanted; do
      check "$width $exe: $flag" grep -qw "$flag" <<<"$flags"
    done
  done

  # The package of the same width installs exactly the archive's files,
  # the guide README.txt among them, in a folder TORVA_InOut (msiextract puts it
  # where it lies on this machine's idea of the target system).
  msi=$name.msi
  if [[ -f $msi ]]; then
    extracted=$(mktemp -d)
    msiextract -C "$extracted" "$msi" >/dev/null 2>&1
    check "$msi installs exactly five files into a folder TORVA_InOut" \
      same_lines "cd '$extracted' && find . -type f | sed 's|.*/TORVA_InOut/|TORVA_InOut/|' | sort" \
      TORVA_InOut/LICENSE.txt TORVA_InOut/NOTICE.txt TORVA_InOut/README.txt TORVA_InOut/torva-inout.exe \
      TORVA_InOut/torva-port.exe
    folder=$(find "$extracted" -type d -name TORVA_InOut | head -n1)
    for pair in torva-inout.exe:torva-inout.exe torva-port.exe:torva-port.exe README.txt:README.txt \
      LICENSE.txt:LICENSE.txt NOTICE.txt:NOTICE.txt; do
      check "$msi: ${pair#*:} is the archive's ${pair%%:*}" \
        cmp -s "$unpacked/$name/${pair%%:*}" "$folder/${pair#*:}"
    done
    rm -rf "$extracted"
  else
    fail "$msi is missing"
  fi
  if [[ -n $certificate ]]; then
    for file in "$unpacked/$name/torva-inout.exe" "$unpacked/$name/torva-port.exe" "$msi"; do
      check "$width $(basename "$file"): signed, and the signature verifies" \
        osslsigncode verify -CAfile "$certificate" -in "$file"
    done
  fi
  rm -rf "$unpacked"
done

# The Windows guide, read from each archive and package by a parser: the
# one dist/windows/README.txt.in makes for this version, plain text with
# Windows line ends; the release files that the README and it name.
# What it finds wrong is shown.
if "$here/tests/release/docs_check.py" release "$dir" "$here"; then
  pass "the Windows guide is README.txt in every .zip and .msi, as built for $version"
else
  fail "the Windows guide is README.txt in every .zip and .msi, as built for $version"
fi

echo "release: $passed passed, $failed failed"
[[ $failed == 0 ]]
