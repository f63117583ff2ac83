#!/usr/bin/env bash
# Builds the release of the current commit twice, in two fresh clones at
# different paths, one after the other and in different time zones, and
# checks that every artefact and every Windows program is the same byte
# for byte; where two differ, diffoscope says how. Then checks the first
# release with release_test.sh: reproducible.sh [WORK_DIR]
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(realpath -m "${1:-$here/build/reproducible}")
commit=$(git -C "$here" rev-parse HEAD)
rm -rf "$work" && mkdir -p "$work"
"$here/scripts/install-deps.sh" package windows release

# The second clone lies deeper, under another name.
clones=("$work/one/torva-inout" "$work/second-clone/elsewhere/TORVA")
zones=(UTC Pacific/Kiritimati)
for i in 0 1; do
  clone=${clones[$i]}
  git clone -q --no-hardlinks "$here" "$clone" && git -C "$clone" checkout -q --detach "$commit" || exit 1
  echo "build $((i + 1)) of $commit in $clone (TZ=${zones[$i]})"
  TZ=${zones[$i]} "$clone/scripts/release.sh" >"$work/build-$((i + 1)).log" 2>&1 ||
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

"$here/tests/release_test.sh" "$one/build/release" || differ=1
[[ $differ == 0 ]] && echo "reproducible: both builds of $commit are the same"
exit $differ
