#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages that building, running and
# testing need, and only those that are missing, for the release this
# machine runs: Debian 12 (bookworm) or 13 (trixie).
set -euo pipefail

# install-deps.sh [--print] [GROUP...]: --print lists the packages, one a
# line, and installs nothing. TORVA_OS_RELEASE names another os-release
# file than the system's, for the tests.
print=false
if [[ ${1:-} == --print ]]; then
  print=true
  shift
fi

# The release, from os-release; the names that differ between releases
# are chosen by it.
os_release=${TORVA_OS_RELEASE:-/etc/os-release}
release=$(. "$os_release" 2>/dev/null && echo "${ID:-}:${VERSION_CODENAME:-}") || release=
case $release in
  # Liberation 2 is fonts-liberation2 in 12; in 13 it is fonts-liberation,
  # and fonts-liberation2 only a transitional package.
  debian:bookworm) liberation=fonts-liberation2 ;;
  debian:trixie) liberation=fonts-liberation ;;
  *)
    name=$(. "$os_release" 2>/dev/null && echo "${PRETTY_NAME:-$release}") || name="no $os_release"
    echo "install-deps.sh knows the package names of Debian 12 (bookworm) and 13 (trixie)," \
      "not of this system (${name:-unnamed}): install what it lists by hand" >&2
    exit 1 ;;
esac

packages=(
  # build
  cmake ninja-build g++ make
  # tests and benchmarks
  libgtest-dev libbenchmark-dev libx11-dev
  # the window
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
  "$liberation" fonts-dejavu-core
  # end-to-end tests and the screenshot: a real X server driven as a user would
  xvfb openbox xdotool x11-utils imagemagick xclip
  # checks of the desktop entry, the metainfo and the manual pages
  desktop-file-utils appstream man-db
  # the sources' layout (scripts/format-check.sh)
  clang-format
)
# Extra groups, named as arguments: what builds and checks the Debian
# package, the fuzzer's compiler, what cross-builds the Windows programs
# and tests them under Wine, and what packs a release and compares two
# builds of it.
foreign=()  # architectures whose packages a group needs
for group in "$@"; do
  case $group in
    package) packages+=(dpkg-dev lintian) ;;
    # libclang-rt-dev is the runtime (libFuzzer, the sanitizers) of the
    # release's own clang, whichever version that is
    fuzz) packages+=(clang libclang-rt-dev) ;;
    # mingw-w64 with POSIX threads (std::thread) for 64-bit and 32-bit
    # Windows, gtest's sources, Wine with its 32-bit loader, Python for
    # the reader of the programs' import tables
    windows)
      packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine64 wine32:i386 python3)
      foreign+=(i386) ;;
    # what packs a release and compares two builds of it: the archives,
    # the Windows Installer packages (wixl; msitools reads them back),
    # Authenticode signing and the throwaway certificate of its test
    # (tzdata: the second build runs in another time zone)
    release) packages+=(zip unzip diffoscope-minimal tzdata wixl msitools python3-gi gir1.2-libmsi-1.0 osslsigncode openssl) ;;
    # what makes the Debian 13 tree of make test-debian13
    debian13) packages+=(debootstrap) ;;
    *) echo "unknown group: $group" >&2; exit 2 ;;
  esac
done

if $print; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
fi
need_root() {
  [[ ${#sudo[@]} -eq 0 ]] || command -v sudo >/dev/null ||
    { echo "root or sudo is needed to $1" >&2; exit 1; }
}

# A package of another architecture can be installed only once dpkg knows it.
update=false
for arch in "${foreign[@]}"; do
  if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    need_root "add the architecture $arch"
    echo "Adding the architecture $arch"
    "${sudo[@]}" dpkg --add-architecture "$arch"
    update=true
  fi
done

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && ! $update && exit 0

export DEBIAN_FRONTEND=noninteractive
need_root "install: ${missing[*]}"
apt=("${sudo[@]}" apt-get -o DPkg::Lock::Timeout=900 -o Acquire::Retries=3)
# A mirror caught in the middle of a sync, or a stale cache in front of it,
# serves an index file of the wrong size; apt-get update then fails as a
# whole. It is tried again after a pause; if it still fails, the install
# goes on with the indexes that did arrive, every package taken from the
# release's main suite: with the i386 index of the security suite missing,
# an amd64 library from that suite would have no i386 twin of the same
# version, and Multi-Arch needs the two alike.
updated=false
for pause in 20 0; do
  "${apt[@]}" update -q && { updated=true; break; }
  [[ $pause -gt 0 ]] && { echo "apt-get update failed; trying again in $pause s" >&2; sleep "$pause"; }
done
if ! $updated; then
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [[ -n $suite ]] || { echo "apt-get update failed and this system names no release" >&2; exit 1; }
  echo "apt-get update failed twice; installing from the indexes that arrived, from $suite alone" >&2
  apt+=(-t "$suite")
fi
[[ ${#missing[@]} -eq 0 ]] && exit 0
echo "Installing: ${missing[*]}"
"${apt[@]}" install -y -q --no-install-recommends "${missing[@]}"
