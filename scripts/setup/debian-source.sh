#!/usr/bin/env bash
# Fetches the upstream source of a Debian source package, for the Windows
# builds of a library that Debian ships only for Linux, and unpacks it:
# debian-source.sh PACKAGE DEST prints the folder of the unpacked source.
# The source is that of the release this machine runs (os-release), from
# the mirror its apt sources name, through a deb-src list and apt state
# of its own under DEST (the system's apt sources are left as they are);
# apt checks the files against the release's signed index. Only the
# upstream tarball (the .orig.tar.*) is unpacked: the programs need no
# Debian patch. A source already unpacked is not fetched again.
set -euo pipefail
[[ $# == 2 ]] || { echo "usage: debian-source.sh PACKAGE DEST" >&2; exit 2; }
package=$1
dest=$(realpath -m "$2")
os_release=${TORVA_OS_RELEASE:-/etc/os-release}
suite=$(. "$os_release" 2>/dev/null && echo "${VERSION_CODENAME:-}") || suite=
[[ -n $suite ]] || { echo "debian-source.sh: no release named in $os_release" >&2; exit 1; }

unpacked=$dest/$package
if [[ -f $unpacked/.unpacked ]]; then
  cat "$unpacked/.unpacked"
  exit 0
fi

# The mirror of the release's own suite, as apt knows it.
site=$(apt-get indextargets --format '$(RELEASE) $(SITE)' 2>/dev/null |
  awk -v r="$suite" '$1 == r { print $2; exit }')
site=${site:-http://deb.debian.org/debian}

apt_dir=$dest/.apt-$suite
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$unpacked"
printf 'deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] %s %s main\n' "$site" "$suite" \
  >"$apt_dir/sources.list"
apt=(apt-get -q -o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
  -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o Acquire::Retries=3
  -o APT::Sandbox::User="$(id -un)")
"${apt[@]}" update >"$apt_dir/update.log" 2>&1 ||
  { echo "debian-source.sh: the source index of $suite could not be fetched:" >&2; cat "$apt_dir/update.log" >&2; exit 1; }
download=$dest/.download-$package
rm -rf "$download" && mkdir -p "$download"
(cd "$download" && "${apt[@]}" source --download-only "$package") >"$apt_dir/source.log" 2>&1 ||
  { echo "debian-source.sh: the source of $package could not be fetched:" >&2; cat "$apt_dir/source.log" >&2; exit 1; }

orig=$(ls "$download"/"${package}"_*.orig.tar.* 2>/dev/null | head -n1)
[[ -n $orig ]] || { echo "debian-source.sh: no upstream tarball of $package came" >&2; exit 1; }
echo "debian-source.sh: $(basename "$orig") sha256 $(sha256sum "$orig" | cut -d' ' -f1)" >&2
rm -rf "$unpacked" && mkdir -p "$unpacked"
tar -xf "$orig" -C "$unpacked" --strip-components=1
echo "$unpacked" >"$unpacked/.unpacked"
cat "$unpacked/.unpacked"
