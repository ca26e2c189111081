#!/usr/bin/env bash
# Builds the benchmark and prints its figures (under Wine, in a throwaway
# prefix on a private X display). Each case runs in a process of its own, so
# that its first press is the first after the plug-in was loaded.
set -euo pipefail
source "$(dirname "$0")/env.sh"
quoril_fixed_layout "$0" "$@"
"$QUORIL_ROOT/scripts/setup.sh"
trap quoril_cleanup EXIT
# A build of its own, optimised as the product is (the test build is not).
QUORIL_BUILD="$QUORIL_BUILD/bench" quoril_build x86_64 -DQUORIL_BUILD_TESTS=OFF \
  -DQUORIL_BUILD_BENCH=ON >/dev/null
quoril_start_display
quoril_start_wine
cd "$QUORIL_BUILD/bench/x86_64/bin"
cases=$("$WINE64" quoril_bench.exe --list | tr -d '\r')
for ((i = 0; i < cases; i++)); do
  "$WINE64" quoril_bench.exe --case "$i" 2>&1 | tr -d '\r'
done
# A keystroke of a search in the launcher's root, for 1,010 items with icons.
"$WINE64" quoril_bench_keys.exe 2>&1 | tr -d '\r'
