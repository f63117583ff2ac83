#!/usr/bin/env bash
# Runs make targets in a clone of HEAD inside a minimal Debian 12 or 13, as
# on a new machine of that release: test-debian.sh RELEASE [TARGET...]
# (RELEASE 12 or 13; test and test-windows unless targets are named).
# The release is made once with debootstrap in build/debianRELEASE/base,
# with apt's sources as an installed system has them (the release, its
# updates and its security suite) and brought up to date from them, and
# never changed after. The targets run
# in build/debianRELEASE/root, a copy of it kept with what they installed,
# or with FRESH=1 in a copy made anew for this run. The clone is made anew
# each run. /proc, /sys, /dev and the like are mounted into the tree in a
# mount namespace of this run's own, unmounted on every way out, and never
# seen outside it.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
number=${1:-}
case $number in
  12) suite=bookworm ;;
  13) suite=trixie ;;
  *) echo "usage: test-debian.sh 12|13 [TARGET...]" >&2; exit 2 ;;
esac
shift
base=$here/build/debian$number
root=$base/root
[[ ${FRESH:-} == 1 ]] && root=$base/fresh

if [[ ${1:-} == --inside ]]; then
  shift
  mounts=()
  unmount_all() {
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
      umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}"
    done
  }
  trap unmount_all EXIT
  mount_in() {
    mkdir -p "$root/$1"
    mount "${@:2}" "$root/$1"
    mounts+=("$root/$1")
  }
  mount_in proc -t proc proc
  mount_in sys -t sysfs sysfs
  mount_in dev --bind /dev
  mount_in dev/pts --bind /dev/pts
  mount_in dev/shm -t tmpfs tmpfs
  mount_in tmp -t tmpfs tmpfs
  run=(env -i HOME=/root LANG=C.UTF-8 TERM=dumb CI="${CI:-}" ALLOW_DOWNGRADE="${ALLOW_DOWNGRADE:-}"
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin chroot "$root" make -C /work/torva)
  # Where the kernel runs no 32-bit program, test-windows runs where the
  # tree's qemu starts them (scripts/session/x86-binfmt.sh: no user namespace can
  # be made inside the chroot). That namespace knows no user but root, so
  # what the target installs comes first, as the machine's root (apt and
  # dpkg need the tree's other users), and every other target runs outside.
  x86=()
  if [[ $("$here/scripts/session/x86-route.sh" --kernel) == qemu ]]; then
    x86=(env X86_BINFMT_ROOT="$root" "$here/scripts/session/x86-binfmt.sh")
  fi
  for target in "$@"; do
    if [[ $target == test-windows && ${#x86[@]} -gt 0 ]]; then
      "${run[@]}" deps deps-windows
      "${x86[@]}" "${run[@]}" "$target"
    else
      "${run[@]}" "$target"
    fi
  done
  exit
fi

targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(test test-windows)

[[ $(id -u) -eq 0 ]] || exec sudo -E "$0" "$number" "$@"
"$here/scripts/setup/install-deps.sh" debian-tree

# Anything mounted below a tree (a run that was killed): nothing is
# removed while it is there.
mounted_below() { awk -v root="$1" 'index($5, root "/") == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; }

# Every process whose root is the tree: a wineserver or an X server that a
# test left running would otherwise outlive the run.
end_processes_in_tree() {
  local pid
  for pid in /proc/[0-9]*; do
    [[ $(readlink "$pid/root" 2>/dev/null) == "$root" ]] && kill -9 "${pid#/proc/}" 2>/dev/null
  done
  return 0
}

# What a user has who cloned the project and runs make; the targets
# install the rest.
own_tools=(make git ca-certificates)

if [[ ! -f $base/base/etc/debian_version ]]; then
  mounted_below "$base/base.new" && { echo "something is still mounted in $base/base.new" >&2; exit 1; }
  rm -rf "$base/base.new"
  mkdir -p "$base"
  echo "Making a minimal Debian $number in $base/base"
  debootstrap --variant=minbase --include="$(IFS=,; echo "${own_tools[*]}")" "$suite" "$base/base.new"
  rm -f "$base/base.new/etc/apt/sources.list"
  printf '%s\n' "Types: deb" "URIs: http://deb.debian.org/debian" "Suites: $suite $suite-updates" \
    "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" "" \
    "Types: deb" "URIs: http://deb.debian.org/debian-security" "Suites: $suite-security" \
    "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" \
    >"$base/base.new/etc/apt/sources.list.d/debian.sources"
  # Brought up to date, as a machine in use is: its libraries at the
  # security suite's versions, and that suite's index at hand.
  cp /etc/resolv.conf "$base/base.new/etc/resolv.conf"
  chroot "$base/base.new" apt-get update -q
  DEBIAN_FRONTEND=noninteractive chroot "$base/base.new" apt-get upgrade -y -q
  mv "$base/base.new" "$base/base"
fi
release=$(. "$base/base/etc/os-release" && echo "$VERSION_ID")
[[ $release == "$number" ]] || { echo "$base/base holds Debian $release, not $number" >&2; exit 1; }

end_processes_in_tree
mounted_below "$root" && { echo "something is still mounted in $root; unmount it first" >&2; exit 1; }
if [[ ${FRESH:-} == 1 || ! -f $root/etc/debian_version ]]; then
  rm -rf "$root"
  cp -a "$base/base" "$root"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"

rm -rf "$root/work/torva"
mkdir -p "$root/work"
git clone -q --no-hardlinks "$here" "$root/work/torva"
echo "Debian $(cat "$root/etc/debian_version") in $root, commit $(git -C "$here" rev-parse --short HEAD): make ${targets[*]}"

# The run itself, in a private mount namespace: the mounts go with it,
# and its trap takes them down in reverse order before that.
trap end_processes_in_tree EXIT
unshare --mount --propagation private "$0" "$number" --inside "${targets[@]}"
