#!/usr/bin/env bash
# Exit 0 when 32-bit x86 Linux programs (such as Wine's 32-bit loader) run
# natively here; 1 when they cannot run, or run only under qemu's emulation.
if grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386; then exit 1; fi
/usr/lib/wine/wine --version >/dev/null 2>&1
