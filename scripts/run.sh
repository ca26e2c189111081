#!/usr/bin/env bash
# Builds Quoril and shows it in the stand-in host under Wine: a window whose
# caption button carries the plug-in's face.
# With DISPLAY set the host opens there and stays until it is closed; without
# one it runs on a private X display, a screenshot is saved to
# build/quoril-run.png, and everything is closed again.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$QUORIL_ROOT/scripts/setup.sh"
trap quoril_cleanup EXIT

SHOT=$QUORIL_BUILD/quoril-run.png

# Fills the menu store of the run's Wine prefix with a sample menu before the
# host starts. Nothing to seed yet: the store starts empty.
seed_sample_menu() {
  :
}

# Both products; the x86_64 one in a build folder of its own without tests.
quoril_build i686 -DQUORIL_BUILD_TESTS=OFF -DQUORIL_BUILD_BENCH=OFF
QUORIL_BUILD="$QUORIL_BUILD/run" quoril_build x86_64 -DQUORIL_BUILD_TESTS=OFF \
  -DQUORIL_BUILD_BENCH=OFF

X64_NOTICE="This machine cannot execute 32-bit code, so the same sources built for x86_64 are shown."

# Waits up to $1 seconds for the host window on $DISPLAY.
wait_for_host_window() {
  local tenths=$(($1 * 10))
  for _ in $(seq "$tenths"); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Quoril host"' && return 0
    sleep 0.1
  done
  return 1
}

# start_host LOADER EXE SECONDS: starts the host in the background and waits
# for its window; sets host_pid.
start_host() {
  "$1" "$2" &
  host_pid=$!
  if wait_for_host_window "$3"; then return 0; fi
  kill "$host_pid" 2>/dev/null || true
  "$WINESERVER" -k >/dev/null 2>&1 || true
  return 1
}

if [ -n "${DISPLAY:-}" ]; then
  export QUORIL_USE_DISPLAY=$DISPLAY
fi
quoril_start_display
quoril_start_wine
seed_sample_menu

# The shipped 32-bit build where this machine runs 32-bit code (natively or
# emulated); otherwise, or when it does not come up, the x86_64 build.
started=0
if quoril_native_i386 &&
  start_host /usr/lib/wine/wine "$QUORIL_BUILD/i686/bin/quorilhost.exe" 90; then
  started=1
fi
if [ $started = 0 ]; then
  echo "$X64_NOTICE"
  if ! start_host "$WINE64" "$QUORIL_BUILD/run/x86_64/bin/quorilhost.exe" 30; then
    echo "The host window did not appear." >&2
    exit 1
  fi
fi

if [ -n "${QUORIL_USE_DISPLAY:-}" ]; then
  echo "The host window is open on $DISPLAY; close it to end."
  wait "$host_pid" || true
  exit 0
fi

sleep 1 # let the first paint finish
import -window root "$SHOT"
echo "Screenshot: $SHOT"
kill "$host_pid" 2>/dev/null || true
wait "$host_pid" 2>/dev/null || true
