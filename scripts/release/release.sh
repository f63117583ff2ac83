#!/usr/bin/env bash
# Builds what a release hands out, from a commit with nothing uncommitted,
# into build/release/: the Debian package; per Windows width a .zip with
# both programs, the Windows guide README.txt, LICENSE and the notice for
# what they carry, and a Windows Installer package (.msi) of the same
# files; and SHA256SUMS over them all. Each part is built afresh in
# build/release-stage/.
# `release.sh --widths` prints the Windows widths.
#
# With SIGN_PKCS12 (a PKCS#12 file of a code-signing certificate and its
# key) and SIGN_PASSWORD_FILE (a file that holds its password) the Windows
# programs and packages are signed (Authenticode, SHA-256), and time-stamped
# by the RFC 3161 server SIGN_TIMESTAMP_URL when that is set.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
# The signing files as named from where release.sh was started.
for name in SIGN_PKCS12 SIGN_PASSWORD_FILE; do
  [[ -z ${!name:-} ]] || printf -v "$name" '%s' "$(realpath -m -- "${!name}")"
done
cd "$here"

# The Windows widths released, each with the configure preset that builds it.
windows_presets=(x64:windows-x64 x86:windows-x86)

if [[ ${1:-} == --widths ]]; then
  for entry in "${windows_presets[@]}"; do echo "${entry%%:*}"; done
  exit 0
fi

if [[ -n $(git status --porcelain) ]]; then
  echo "release: the tree has uncommitted changes; a release is built from a commit alone" >&2
  exit 1
fi

# Signing is asked for by both names or by neither, and what they name must
# be there before anything is built.
signing=false
if [[ -n ${SIGN_PKCS12:-} || -n ${SIGN_PASSWORD_FILE:-} ]]; then
  for name in SIGN_PKCS12 SIGN_PASSWORD_FILE; do
    [[ -n ${!name:-} ]] || { echo "release: $name is not set; signing needs SIGN_PKCS12 and SIGN_PASSWORD_FILE" >&2; exit 1; }
    [[ -r ${!name} ]] || { echo "release: $name names '${!name}', which cannot be read" >&2; exit 1; }
  done
  signing=true
  echo "release: signing with $SIGN_PKCS12${SIGN_TIMESTAMP_URL:+, time-stamped by $SIGN_TIMESTAMP_URL}"
else
  echo "release: unsigned (SIGN_PKCS12 and SIGN_PASSWORD_FILE sign the Windows programs and packages)"
fi
# sign FILE: signs FILE in place; the password is read from its file, never
# passed on a command line.
sign() {
  $signing || return 0
  local timestamp=()
  [[ -n ${SIGN_TIMESTAMP_URL:-} ]] && timestamp=(-ts "$SIGN_TIMESTAMP_URL")
  osslsigncode sign -pkcs12 "$SIGN_PKCS12" -readpass "$SIGN_PASSWORD_FILE" -h sha256 \
    -n TORVA_InOut "${timestamp[@]}" -in "$1" -out "$1.signed" >/dev/null &&
    mv "$1.signed" "$1" || { echo "release: signing $1 failed" >&2; rm -f "$1.signed"; exit 1; }
}

# Everything is dated at the last commit, not at the build: the package's
# members (CPack's DEB generator honours SOURCE_DATE_EPOCH, gzip headers
# included), the times that Qt's rcc stores with the panel's pictures, and
# the archives' entries.
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)

stage=$here/build/release-stage
out=$here/build/release
rm -rf "$stage" "$out"
mkdir -p "$stage" "$out"

# The Debian package.
cmake --preset package -B "$stage/package" >/dev/null
cmake --build "$stage/package" -j 2 --target package
deb=$(ls "$stage"/package/torva-inout_*.deb)
cp "$deb" "$out/"
version=$(dpkg-deb -f "$deb" Version)

# Text files for Windows users get Windows line ends.
crlf() { sed 's/$/\r/' "$1" >"$2"; }

# One .zip per width, its files in one folder named after it, and a
# Windows Installer package of the same files; the programs signed first.
for entry in "${windows_presets[@]}"; do
  width=${entry%%:*} preset=${entry#*:}
  build=$stage/windows-$width
  cmake --preset "$preset" -B "$build" -DTORVA_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j 2 --target torva-inout torva-port
  name=torva-inout_${version}_windows-$width
  mkdir -p "$stage/zip-$width/$name"
  (
    cd "$stage/zip-$width"
    cp "$build/torva-inout.exe" "$build/torva-port.exe" "$name/"
    sign "$name/torva-inout.exe" && sign "$name/torva-port.exe"
    # The guide as the build wrote it from dist/windows/README.txt.in:
    # the release's version, Windows line ends already.
    cp "$build/dist/README.txt" "$name/README.txt"
    crlf "$here/LICENSE" "$name/LICENSE.txt"
    crlf "$here/dist/windows/NOTICE.txt" "$name/NOTICE.txt"
    chmod 755 "$name"/*.exe && chmod 644 "$name"/*.txt
    touch --date="@$SOURCE_DATE_EPOCH" "$name"/*
    # Entries in a fixed order, no extra fields (Unix times, owners), and
    # zip's local times taken in UTC.
    TZ=UTC zip -q -X -9 "$out/$name.zip" "$name"/torva-inout.exe "$name"/torva-port.exe \
      "$name"/README.txt "$name"/LICENSE.txt "$name"/NOTICE.txt
  )
  files=$stage/msi-$width
  mkdir -p "$files"
  cp "$stage/zip-$width/$name"/{torva-inout.exe,torva-port.exe,README.txt,LICENSE.txt,NOTICE.txt} "$files/"
  "$here/scripts/release/msi.py" "$width" "$version" "$files" "$out/$name.msi"
  sign "$out/$name.msi"
done

(cd "$out" && sha256sum -- *.deb *.zip *.msi >SHA256SUMS)
echo "release $version in $out:"
cat "$out/SHA256SUMS"
