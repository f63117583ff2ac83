#!/usr/bin/env bash
# install-deps.sh windows where nothing of it is installed yet (make
# test-deps-debian12 runs it in a Debian 12 made anew). Either the two
# architectures agree and it installs everything, or it names the libraries
# that cannot agree, says why and the two ways on, and installs nothing;
# then, with ALLOW_DOWNGRADE=1, it installs. After either, every i386
# Multi-Arch: same package is at the version of its amd64 twin.
# Without -e: every check runs and reports; the exit status says whether
# any failed.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
installed() { dpkg-query -W -f='${db:Status-Abbrev} ${binary:Package} ${Version}\n' | awk '$1 == "ii"' | sort; }
failed=0
fail() { echo "FAILED: $*"; failed=1; }

before=$(installed)
out=$(env -u ALLOW_DOWNGRADE "$here/scripts/setup/install-deps.sh" windows 2>&1)
status=$?
# What it said, but for apt's and dpkg's line a package.
grep -v '^\(Get\|Hit\|Ign\|Unpacking\|Setting up\|Selecting\|Preparing\|Processing\|update-alternatives\|Fetched\|Reading\| \)' <<<"$out"
case $status in
  0) echo "ok: installed at once: the two architectures agree" ;;
  1)
    for line in 'These libraries must be at one version for amd64 and i386' '^  [^ ]*: amd64 .*; i386 ' \
      '^Why: ' 'run it again with ALLOW_DOWNGRADE=1'; do
      grep -q "$line" <<<"$out" || fail "the refusal lacks '$line'"
    done
    [[ $(installed) == "$before" ]] && echo "ok: refused, and nothing was installed" ||
      fail "refused, but the installed packages changed"
    aligned=$(ALLOW_DOWNGRADE=1 "$here/scripts/setup/install-deps.sh" windows 2>&1)
    status=$?
    grep '^\(Taking\|Installing .* at\)' <<<"$aligned"
    [[ $status == 0 ]] || { tail -n 30 <<<"$aligned"; fail "ALLOW_DOWNGRADE=1: status $status"; } ;;
  *) fail "status $status" ;;
esac

dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed' || fail "wine32:i386 is not installed"
# Every pair of one package, its two versions side by side.
apart=$(dpkg-query -W -f='${db:Status-Abbrev} ${Package} ${Architecture} ${Version} ${Multi-Arch}\n' |
  awk '$1 == "ii" && $5 == "same" { v[$2, $3] = $4; names[$2] = 1 }
    END { for (p in names) if ((p, "amd64") in v && (p, "i386") in v && v[p, "amd64"] != v[p, "i386"])
      print p, v[p, "amd64"], v[p, "i386"] }')
[[ -z $apart ]] && echo "ok: every Multi-Arch: same pair at one version" || fail "pairs apart: $apart"
exit $failed
