#!/usr/bin/env bash
# Runs smoke32.exe against the 32-bit build in a 32-bit Wine prefix of its own.
# Machines that run 64-bit user code only execute Wine's 32-bit loader under
# qemu's user-mode emulation (registered, switched off, by scripts/setup.sh):
# it is switched on for this run only. Slow, but the real 32-bit plug-in.
set -euo pipefail
bin=$1
misc=/proc/sys/fs/binfmt_misc/qemu-i386
prefix=$(mktemp -d /tmp/quoril-wine32.XXXXXX)
switched=""
cleanup() {
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
  if [ -n "$switched" ]; then echo 0 >"$misc" 2>/dev/null || true; fi
}
trap cleanup EXIT
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  if [ -e "$misc" ] && echo 1 >"$misc" 2>/dev/null; then
    switched=yes
    echo "32-bit code runs under qemu's emulation on this machine"
  fi
fi
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "FAILED: this machine can run no 32-bit code, natively or emulated"
  exit 1
fi
unset WINELOADER
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
/usr/lib/wine/wine wineboot -i >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -w
/usr/lib/wine/wineserver -p60
cd "$bin"
/usr/lib/wine/wine smoke32.exe 2>&1 | tr -d '\r'
