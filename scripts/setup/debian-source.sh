#!/usr/bin/env bash
# Fetches the upstream source of a Debian source package, for the Windows
# builds of a library that Debian ships only for Linux, and unpacks it:
# debian-source.sh PACKAGE DEST prints the folder of the unpacked source.
# The source is that of the release this machine runs (os-release), from
# the mirror its apt sources name, through a deb-src list and apt state
# of its own under DEST (the system's apt sources are left as they are);
# apt checks the tarball against the release's signed index. Only the
# upstream tarball (the .orig.tar.*) is fetched and unpacked: the programs
# need no Debian patch. A source already unpacked is not fetched again.
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
# Only the upstream tarball, by the address and SHA-256 of the release's
# index: the Debian part of a source package is not always on the mirror
# (seen: trixie's pugixml_1.14-2.debian.tar.xz answers 404), and is not needed.
uris=$("${apt[@]}" source --print-uris "$package" 2>"$apt_dir/source.log") ||
  { echo "debian-source.sh: no source package $package in $suite:" >&2; cat "$apt_dir/source.log" >&2; exit 1; }
read -r url name _ hash < <(grep -E "^'[^']*/${package}_[^' ]*\.orig\.tar\.[a-z0-9]+' " <<<"$uris" | head -n1) ||
  { echo "debian-source.sh: the source package $package names no upstream tarball" >&2; exit 1; }
download=$dest/.download-$package
rm -rf "$download" && mkdir -p "$download"
orig=$download/$name
/usr/lib/apt/apt-helper -o Acquire::Retries=3 -o APT::Sandbox::User="$(id -un)" \
  download-file "${url//\'/}" "$orig" "$hash" >"$apt_dir/download.log" 2>&1 ||
  { echo "debian-source.sh: $name could not be fetched:" >&2; cat "$apt_dir/download.log" >&2; exit 1; }
echo "debian-source.sh: $name ${hash,,}, as the release's index gives it" >&2
rm -rf "$unpacked" && mkdir -p "$unpacked"
tar -xf "$orig" -C "$unpacked" --strip-components=1
echo "$unpacked" >"$unpacked/.unpacked"
cat "$unpacked/.unpacked"
