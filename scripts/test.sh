#!/usr/bin/env bash
# Builds Quoril (the 32-bit plug-in and the test build), checks the 32-bit DLL's
# PE headers and runs every test under Wine in parallel lanes, each with its
# own X display and throwaway Wine prefix. Extra arguments go to ctest
# (bash scripts/test.sh -R FlatMenu, -E Smoke32). QUORIL_TEST_LANES sets the
# number of lanes.
set -euo pipefail
source "$(dirname "$0")/env.sh"
quoril_fixed_layout "$0" "$@"
[ -n "${QUORIL_SKIP_SETUP:-}" ] || "$QUORIL_ROOT/scripts/setup.sh"
started=$(date +%s)
lanes=${QUORIL_TEST_LANES:-4}
[[ "$lanes" =~ ^[1-9][0-9]*$ ]] || { echo "QUORIL_TEST_LANES must be a positive number" >&2; exit 2; }

export QUORIL_BUILD
mkdir -p "$QUORIL_BUILD"
lanes_pid=""
finish() {
  local status=$?
  # Programs whose result stood although Wine's teardown aborted after main.
  if [ -s "$QUORIL_BUILD/lanes/teardown-aborts.log" ]; then
    echo "Wine's exit-time teardown aborted after main returned 0 in" \
      "$(wc -l <"$QUORIL_BUILD/lanes/teardown-aborts.log") program(s):"
    cat "$QUORIL_BUILD/lanes/teardown-aborts.log"
  fi
  # Background boots are ended through their wineservers; nothing waits.
  for pid in $lanes_pid; do kill "$pid" 2>/dev/null || true; done
  if [ -d "$QUORIL_BUILD/wine-template.new" ]; then
    WINEPREFIX=$QUORIL_BUILD/wine-template.new "$WINESERVER" -k >/dev/null 2>&1 || true
  fi
  quoril_cleanup
  # Left on by a 32-bit check that was killed before it could switch it off.
  if [ -e "$QUORIL_BUILD/qemu-switched-on" ]; then
    quoril_qemu_off
    rm -f "$QUORIL_BUILD/qemu-switched-on"
  fi
  echo "test command: $(($(date +%s) - started)) s wall, exit $status"
  exit "$status"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# phase NAME COMMAND...: runs one step and prints how long it took.
phase() {
  local name=$1 t0
  shift
  t0=$(date +%s)
  "$@"
  echo "phase $name: $(($(date +%s) - t0)) s"
}

phase build-i686 quoril_build i686 -DQUORIL_BUILD_TESTS=OFF -DQUORIL_BUILD_BENCH=OFF
# The shipped DLL is checked in every run, whatever the ctest arguments.
phase check-binaries bash "$QUORIL_ROOT/tests/plugin/check_binaries.sh" "$QUORIL_BUILD/i686/bin"

# The lanes boot (displays, prefix template, copies) while the tests build.
(phase lanes quoril_start_lanes "$lanes") >"$QUORIL_BUILD/lanes.log" 2>&1 &
lanes_pid=$!
export QUORIL_LANES_DIR=$QUORIL_BUILD/lanes
# The test build: optimised lightly and without debug information, to cut
# its compile and link time (the shipped DLL keeps RelWithDebInfo).
phase build-x86_64 quoril_build x86_64 -DQUORIL_BUILD_TESTS=ON -DQUORIL_BUILD_BENCH=OFF \
  -DQUORIL_I686_BIN="$QUORIL_BUILD/i686/bin" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -DNDEBUG"
if ! wait "$lanes_pid"; then
  lanes_pid=""
  cat "$QUORIL_BUILD/lanes.log" >&2
  echo "the test lanes did not start" >&2
  exit 1
fi
lanes_pid=""
cat "$QUORIL_BUILD/lanes.log"

# Two more ctest slots than lanes: the 32-bit check and the fuzzer take none.
cd "$QUORIL_BUILD/x86_64"
phase ctest ctest --output-on-failure --no-tests=error --timeout 300 -j"$((lanes + 2))" "$@"
