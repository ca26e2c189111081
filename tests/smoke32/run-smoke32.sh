#!/usr/bin/env bash
# Runs smoke32.exe against the 32-bit build in a 32-bit Wine prefix of its own.
# Machines that run 64-bit user code only execute Wine's 32-bit loader under
# qemu's user-mode emulation (registered by scripts/setup.sh): slow but real.
set -euo pipefail
bin=$1
prefix=$(mktemp -d /tmp/quoril-wine32.XXXXXX)
trap 'WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
/usr/lib/wine/wine wineboot -i >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -w
/usr/lib/wine/wineserver -p60
cd "$bin"
/usr/lib/wine/wine smoke32.exe 2>&1 | tr -d '\r'
