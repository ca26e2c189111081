#!/usr/bin/env bash
# The check of the shipped DLL's PE headers rejects an image that is not the
# 32-bit plug-in: here the test build's own 64-bit Quoril.dll ($2).
source "$(dirname "$0")/script_test_util.sh"
bin=$2
check "the 64-bit DLL is there to be checked" [ -f "$bin/Quoril.dll" ]
out=$(bash "$root/tests/plugin/check_binaries.sh" "$bin" 2>&1)
status=$?
check "the check fails on a 64-bit image (exit $status)" [ "$status" != 0 ]
check "and says why" grep -q "Quoril.dll is not a 32-bit x86 image" <<<"$out"
finish_checks
