#!/usr/bin/env bash
# Builds what a release hands out, from a commit with nothing uncommitted,
# into build/release/: the Debian package; per Windows width a .zip with
# both programs, the README, LICENSE and the notice for what they carry;
# and SHA256SUMS over them all. Each part is built afresh in
# build/release-stage/. `release.sh --widths` prints the Windows widths.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
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

# One .zip per width, its files in one folder named after it.
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
    crlf "$here/README.md" "$name/README.md"
    crlf "$here/LICENSE" "$name/LICENSE.txt"
    crlf "$here/dist/windows/NOTICE.txt" "$name/NOTICE.txt"
    chmod 755 "$name"/*.exe && chmod 644 "$name"/*.md "$name"/*.txt
    touch --date="@$SOURCE_DATE_EPOCH" "$name"/*
    # Entries in a fixed order, no extra fields (Unix times, owners), and
    # zip's local times taken in UTC.
    TZ=UTC zip -q -X -9 "$out/$name.zip" "$name"/torva-inout.exe "$name"/torva-port.exe \
      "$name"/README.md "$name"/LICENSE.txt "$name"/NOTICE.txt
  )
done

(cd "$out" && sha256sum -- *.deb *.zip >SHA256SUMS)
echo "release $version in $out:"
cat "$out/SHA256SUMS"
