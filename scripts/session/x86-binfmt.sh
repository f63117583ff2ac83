#!/usr/bin/env bash
# Runs a command where 32-bit x86 programs start under qemu's i386
# emulation: x86-binfmt.sh COMMAND [ARG...]
# The command gets a user and mount namespace of its own with a binfmt_misc
# instance of its own (Linux 6.7 and later), in which the registration that
# Debian's qemu-user ships for i386 is made; the machine's own binfmt_misc
# is not touched. Everything the command starts, Wine's 32-bit loader
# starting itself or a child again, goes the same way.
#
# X86_BINFMT_ROOT names the root of a system tree whose qemu serves instead
# (the registration opens its interpreter at once): for a command that
# chroots into that tree, where no user namespace can be made.
set -euo pipefail
tree=${X86_BINFMT_ROOT:-}
conf=$tree/usr/share/qemu/binfmt.d/qemu-i386.conf
[[ -r $conf ]] || { echo "x86-binfmt.sh: $conf is missing: is qemu-user 10 or later installed?" >&2; exit 127; }
# :NAME:TYPE:OFFSET:MAGIC:MASK:INTERPRETER:FLAGS, the interpreter seen from here.
registration=$(awk -F: -v OFS=: -v tree="$tree" 'NF == 8 { $7 = tree $7; print; exit }' "$conf")
exec unshare --user --map-root-user --mount --propagation private /bin/sh -euc '
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  printf "%s" "$0" >/proc/sys/fs/binfmt_misc/register
  exec "$@"' "$registration" "$@"
