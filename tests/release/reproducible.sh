#!/usr/bin/env bash
# Builds the release of the current commit twice, in two fresh clones at
# different paths, one after the other and in different time zones, and
# checks that every artefact and every Windows program is the same byte
# for byte; where two differ, diffoscope says how. Then checks the first
# release with release-test.sh, and builds a third time, signed with a
# throwaway certificate made here: every Windows program and package
# verifies against it, and the programs as built are the unsigned ones:
# reproducible.sh [WORK_DIR]
# Without -e: every check runs and reports; the exit status says whether
# any failed.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(realpath -m "${1:-$here/build/reproducible}")
commit=$(git -C "$here" rev-parse HEAD)
rm -rf "$work" && mkdir -p "$work"
"$here/scripts/setup/install-deps.sh" package windows release

# The second clone lies deeper, under another name.
clones=("$work/one/torva-inout" "$work/second-clone/elsewhere/TORVA")
zones=(UTC Pacific/Kiritimati)
for i in 0 1; do
  clone=${clones[$i]}
  git clone -q --no-hardlinks "$here" "$clone" && git -C "$clone" checkout -q --detach "$commit" || exit 1
  echo "build $((i + 1)) of $commit in $clone (TZ=${zones[$i]})"
  TZ=${zones[$i]} "$clone/scripts/release/release.sh" >"$work/build-$((i + 1)).log" 2>&1 ||
    { echo "FAILED: build $((i + 1)); see $work/build-$((i + 1)).log"; tail -n 20 "$work/build-$((i + 1)).log"; exit 1; }
done

# What is compared: the release itself and the programs that went into it.
artefacts() {
  (cd "$1/build/release" && ls | sed 's|^|build/release/|')
  (cd "$1" && ls build/release-stage/windows-*/*.exe)
}
one=${clones[0]} two=${clones[1]}
differ=0
if ! diff <(artefacts "$one") <(artefacts "$two"); then
  echo "FAILED: the two builds made different files"
  differ=1
fi
while read -r file; do
  if cmp -s "$one/$file" "$two/$file"; then
    echo "same: $file $(sha256sum <"$one/$file" | cut -d' ' -f1)"
  else
    differ=1
    report=$work/diffoscope-$(basename "$file").txt
    echo "DIFFERENT: $file ($(sha256sum <"$one/$file" | cut -d' ' -f1) and $(sha256sum <"$two/$file" | cut -d' ' -f1)); diffoscope in $report:"
    diffoscope --no-progress --text "$report" "$one/$file" "$two/$file" >/dev/null 2>&1
    head -n 40 "$report"
  fi
done < <(artefacts "$one")

"$here/tests/release/release-test.sh" "$one/build/release" || differ=1

# The signer: a key and a self-signed code-signing certificate in a
# PKCS#12 file, its password in a file of its own.
signer=$work/signer
mkdir -m 700 "$signer"
openssl rand -hex 16 >"$signer/password"
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=TORVA_InOut throwaway signer" \
  -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
  -keyout "$signer/key.pem" -out "$signer/certificate.pem" 2>/dev/null &&
  openssl pkcs12 -export -inkey "$signer/key.pem" -in "$signer/certificate.pem" \
    -passout "file:$signer/password" -out "$signer/signer.p12" ||
  { echo "FAILED: no throwaway certificate"; exit 1; }
signed=$work/signed/torva-inout
git clone -q --no-hardlinks "$here" "$signed" && git -C "$signed" checkout -q --detach "$commit" || exit 1
echo "build 3 of $commit in $signed, signed"
SIGN_PKCS12=$signer/signer.p12 SIGN_PASSWORD_FILE=$signer/password "$signed/scripts/release/release.sh" \
  >"$work/build-signed.log" 2>&1 ||
  { echo "FAILED: the signed build; see $work/build-signed.log"; tail -n 20 "$work/build-signed.log"; exit 1; }
"$here/tests/release/release-test.sh" "$signed/build/release" "$signer/certificate.pem" || differ=1
for exe in $(cd "$one" && ls build/release-stage/windows-*/*.exe); do
  if cmp -s "$one/$exe" "$signed/$exe"; then
    echo "same before signing: $exe"
  else
    echo "DIFFERENT: $exe as built for the signed release"
    differ=1
  fi
done

[[ $differ == 0 ]] && echo "reproducible: both builds of $commit are the same; the signed one signs the same programs"
exit $differ
