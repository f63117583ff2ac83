#!/usr/bin/env bash
# How this machine runs Wine's 32-bit loader: x86-route.sh [--kernel]
# prints "kernel" where the kernel runs 32-bit x86 programs itself, else
# "qemu" where qemu's i386 emulation is installed (the loader then runs
# under it), else "none". With --kernel, only the kernel is asked
# ("kernel" or "qemu": what it would take).
set -euo pipefail

# The smallest i386 program: exit(0) through int 0x80. A kernel built
# without 32-bit support, or with it switched off, refuses to start it.
kernel_runs_i386() {
  local probe status=0
  probe=$(mktemp "${TMPDIR:-/tmp}/i386-probe.XXXXXX")
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' >"$probe"
  printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0' >>"$probe"
  printf '\270\1\0\0\0\61\333\315\200' >>"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  return $status
}

# qemu's i386 emulation: qemu-user's own program, or the static one.
qemu_i386() { command -v qemu-i386 || command -v qemu-i386-static; }

if kernel_runs_i386; then
  echo kernel
elif [[ ${1:-} == --kernel ]] || qemu_i386 >/dev/null; then
  echo qemu
else
  echo none
fi
