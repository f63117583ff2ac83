#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages that building, running and
# testing need, and only those that are missing, for the release this
# machine runs: Debian 12 (bookworm) or 13 (trixie).
set -euo pipefail

# install-deps.sh [--print] [GROUP...]: --print lists the packages, one a
# line, and installs nothing. TORVA_OS_RELEASE names another os-release
# file than the system's, for the tests.
here=$(cd "$(dirname "$0")" && pwd)
print=false
backports=  # a suite of backports that a group needs
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
  # torva-port's command line (CLI11, header-only, for Windows too) and the
  # XML of check's JUnit reports (for the Windows programs pugixml is built
  # from Debian's source: scripts/setup/debian-source.sh)
  libcli11-dev libpugixml-dev
  # tests and benchmarks
  libgtest-dev libbenchmark-dev libx11-dev
  # the window; qt6-wayland is its platform plugin for a Wayland session
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins qt6-wayland libgl-dev
  "$liberation" fonts-dejavu-core
  # end-to-end tests and the screenshot: a real X server driven as a user would
  xvfb openbox xdotool x11-utils imagemagick xclip
  # the window as a screen reader reads it, and on Wayland: a headless
  # Weston, a private session bus with the accessibility bus on it, and
  # Python's AT-SPI client to read and type with
  weston dbus-daemon at-spi2-core python3-gi gir1.2-atspi-2.0
  # checks of the desktop entry, the metainfo and the manual pages
  desktop-file-utils appstream man-db
  # the sources' layout (scripts/ci/format-check.sh)
  clang-format
  # the readers of torva-port check's reports and traces: Perl's TAP::Parser,
  # Python's XML parser, GTKWave's vcd2fst and fst2vcd
  perl python3 gtkwave
)
# Extra groups, named as arguments: what builds and checks the Debian
# package, the fuzzer's compiler, what cross-builds the Windows programs
# and tests them under Wine, and what packs a release and compares two
# builds of it.
foreign=()  # architectures whose packages a group needs
for group in "$@"; do
  case $group in
    package) packages+=(dpkg-dev lintian) ;;
    # a dark Qt desktop for the screenshots: qt6ct's colour schemes
    themes) packages+=(qt6ct) ;;
    # libclang-rt-dev is the runtime (libFuzzer, the sanitizers) of the
    # release's own clang, whichever version that is
    fuzz) packages+=(clang libclang-rt-dev) ;;
    # the Windows programs and tests of both widths: mingw-w64 with POSIX
    # threads (std::thread) for 64-bit and 32-bit Windows, gtest's sources,
    # Wine with its 32-bit loader, Python for the reader of the programs'
    # import tables, fontconfig's commands for the benchmark's font set
    windows)
      packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine64 wine32:i386 python3 fontconfig)
      foreign+=(i386)
      # where the kernel runs no 32-bit x86 program, Wine's 32-bit loader
      # runs under qemu's i386 emulation; Debian 12's own qemu (7.2) cannot
      # map Wine's address space, the 10 of bookworm-backports can
      if [[ $("$here/../session/x86-route.sh" --kernel) == qemu ]]; then
        case $release in
          debian:bookworm) packages+=(qemu-user/bookworm-backports); backports=bookworm-backports ;;
          *) packages+=(qemu-user) ;;
        esac
      fi ;;
    # what packs a release and compares two builds of it: the archives,
    # the Windows Installer packages (wixl; msitools reads them back),
    # Authenticode signing and the throwaway certificate of its test
    # (tzdata: the second build runs in another time zone)
    release) packages+=(zip unzip diffoscope-minimal tzdata wixl msitools python3-gi gir1.2-libmsi-1.0 osslsigncode openssl) ;;
    # what makes the Debian trees of make test-debian12 and test-debian13
    debian-tree) packages+=(debootstrap) ;;
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

# A package taken from a suite of its own (NAME/SUITE) is there once a
# version at least as new as that suite's is installed.
declare -A least_version=([qemu-user]=1:10)
missing=()
for package in "${packages[@]}"; do
  name=${package%/*}
  status=$(dpkg-query -W -f='${Status} ${Version}' "$name" 2>/dev/null || true)
  if [[ "$status" != "install ok installed "* ]] ||
    ! dpkg --compare-versions "${status##* }" ge "${least_version[${name%:*}]:-0}"; then
    missing+=("$package")
  fi
done

# The backports suite, from the mirror the release's own suite comes from;
# apt takes nothing from it unless asked by name.
if [[ -n $backports && " ${missing[*]} " == *"/$backports "* ]] &&
  ! apt-get indextargets --format '$(RELEASE)' 2>/dev/null | grep -qx "$backports"; then
  site=$(apt-get indextargets --format '$(RELEASE) $(SITE)' 2>/dev/null |
    awk -v r="${backports%-*}" '$1 == r { print $2; exit }')
  need_root "add $backports to apt's sources"
  echo "Adding $backports (${site:=http://deb.debian.org/debian}) to apt's sources"
  printf '%s\n' "Types: deb" "URIs: $site" "Suites: $backports" "Components: main" \
    "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
    "${sudo[@]}" tee /etc/apt/sources.list.d/torva-$backports.sources >/dev/null
  update=true
fi
[[ ${#missing[@]} -eq 0 ]] && ! $update && exit 0

export DEBIAN_FRONTEND=noninteractive
need_root "install: ${missing[*]}"
apt=("${sudo[@]}" apt-get -o DPkg::Lock::Timeout=900 -o Acquire::Retries=3)
# A mirror caught in the middle of a sync, or a stale cache in front of it,
# serves an index file of the wrong size; apt-get update then fails as a
# whole. It is tried again after a pause; if it still fails, the install
# goes on with the indexes that did arrive, and the check below tells
# whether the two architectures can still agree.
for pause in 20 0; do
  "${apt[@]}" update -q && break
  if [[ $pause -gt 0 ]]; then
    echo "apt-get update failed; trying again in $pause s" >&2
    sleep "$pause"
  else
    echo "apt-get update failed twice; going on with the indexes that arrived" >&2
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

# Multi-Arch: same libraries whose two architectures cannot agree: named,
# and nothing installed; or, with ALLOW_DOWNGRADE=1, both taken to the
# newest version that both indexes offer.
. "$here/arch-skew.sh"
native=$(dpkg --print-architecture)
pins=()
for arch in "${foreign[@]}"; do
  skewed=$(skew_rows "$native" "$arch" "${missing[@]}" | skew_decide)
  [[ -n $skewed ]] || continue
  report_skew "$native" "$arch" "$skewed" >&2
  [[ ${ALLOW_DOWNGRADE:-} == 1 ]] || exit 1
  aligned=$(align_skew "$native" "$arch" "$skewed") || exit 1
  mapfile -t -O "${#pins[@]}" pins <<<"$aligned"
done
[[ ${#pins[@]} -eq 0 ]] || apt+=(--allow-downgrades)
echo "Installing: ${missing[*]}"
"${apt[@]}" install -y -q --no-install-recommends "${missing[@]}" "${pins[@]}"
