#!/usr/bin/env bash
# How this machine runs 32-bit x86 programs, Wine's 32-bit loader among
# them: x86-route.sh [--kernel] prints "kernel" where the kernel runs them
# itself, else "qemu" where they run under qemu's i386 emulation through
# scripts/session/x86-binfmt.sh, else "none". With --kernel, only the kernel is
# asked ("kernel", or "qemu": what it would take). With --why, the reason
# a "none" gives, in one line.
set -euo pipefail
if [[ ${1:-} == --why ]]; then
  echo "this kernel runs no 32-bit x86 program, and qemu's i386 emulation cannot stand in for it" \
    "here (it needs qemu-user 10 and Linux 6.7 or later)"
  exit 0
fi

# The smallest i386 program: exit(0) through int 0x80. A kernel built
# without 32-bit support, or with it switched off, refuses to start it.
probe=$(mktemp "${TMPDIR:-/tmp}/i386-probe.XXXXXX")
trap 'rm -f "$probe"' EXIT
{
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0'
  printf '\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10'
  printf '\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0\270\1\0\0\0\61\333\315\200'
} >"$probe"
chmod +x "$probe"

if "$probe" 2>/dev/null; then
  echo kernel
elif [[ ${1:-} == --kernel ]] || "$(dirname "$0")/x86-binfmt.sh" "$probe" 2>/dev/null; then
  echo qemu
else
  echo none
fi
