#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest: wine-run.sh ARCH program args...
# WINEPREFIX and DISPLAY come from scripts/test.sh; Wine's CRLF output is turned
# into plain LF so that ctest and gtest discovery read clean lines.
set -o pipefail
arch=$1
shift
if [ "$arch" = x86_64 ]; then
  loader=/usr/lib/wine/wine64
else
  loader=/usr/lib/wine/wine
fi
"$loader" "$@" 2>&1 | tr -d '\r'
