#!/usr/bin/env bash
# Builds Quoril (the 32-bit plug-in and the test build) and runs every test
# under Wine, in a throwaway prefix on a private X display.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$QUORIL_ROOT/scripts/setup.sh"
trap quoril_cleanup EXIT

quoril_build i686 -DQUORIL_BUILD_TESTS=OFF -DQUORIL_BUILD_BENCH=OFF
quoril_build x86_64 -DQUORIL_BUILD_TESTS=ON -DQUORIL_BUILD_BENCH=ON -DQUORIL_I686_BIN="$QUORIL_BUILD/i686/bin"
quoril_start_display
quoril_start_wine
cd "$QUORIL_BUILD/x86_64"
ctest --output-on-failure --timeout 300 "$@"
