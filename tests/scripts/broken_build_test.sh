#!/usr/bin/env bash
# A build that fails is reported as failed: quoril_build returns the build's
# own exit status through its progress filter, and the test command stops
# with an error before it runs a single test. Uses stand-ins for cmake and
# ctest, so it takes a moment.
source "$(dirname "$0")/script_test_util.sh"

mkdir -p "$work/bin"
# Configuring succeeds; building prints progress and, unless FAKE_BUILD_OK is
# set, a compiler error, and then exits 2.
cat >"$work/bin/cmake" <<'FAKE'
#!/bin/sh
[ "$1" = --build ] || exit 0
echo "[ 50%] Building CXX object broken.cpp.obj"
if [ -n "${FAKE_BUILD_OK:-}" ]; then echo "[100%] Built target quoril_core"; exit 0; fi
echo "broken.cpp:1:1: error: expected unqualified-id"
exit 2
FAKE
cat >"$work/bin/ctest" <<FAKE
#!/bin/sh
touch "$work/ctest-ran"
FAKE
chmod +x "$work/bin/cmake" "$work/bin/ctest"
export PATH="$work/bin:$PATH" QUORIL_BUILD="$work/build" QUORIL_SKIP_SETUP=1 \
  QUORIL_PREPARE_PREFIX32=no

# As the scripts call it: with errexit and pipefail.
out=$(bash -c 'set -euo pipefail; source "$1/scripts/env.sh"; quoril_build x86_64; echo "went on"' \
  _ "$root" 2>&1)
status=$?
check "a failed build stops a strict caller (exit $status)" [ "$status" != 0 ]
check "nothing runs after a failed build" eval '! grep -q "went on" <<<"$out"'
check "the compiler's error is shown" grep -q "error: expected unqualified-id" <<<"$out"
check "progress lines are filtered" eval '! grep -q "50%" <<<"$out"'

# From a plain shell the build's own exit status comes back.
out=$(bash -c 'source "$1/scripts/env.sh"; quoril_build x86_64; echo "status $?"' _ "$root" 2>&1)
check "quoril_build returns the build's exit status 2" grep -qx "status 2" <<<"$out"

out=$(FAKE_BUILD_OK=1 bash -c 'source "$1/scripts/env.sh"; quoril_build x86_64; echo "status $?"' \
  _ "$root" 2>&1)
check "a good build returns 0" grep -qx "status 0" <<<"$out"

# The whole test command, as CI runs it, fails before running any test.
out=$(bash "$root/.ci/run" </dev/null 2>&1)
status=$?
check "the test command exits non-zero on a broken build (exit $status)" [ "$status" != 0 ]
check "no test ran on stale binaries" [ ! -e "$work/ctest-ran" ]
check "the test command says the build failed" grep -q "error: expected unqualified-id" <<<"$out"

finish_checks
