#!/usr/bin/env bash
# Checks the real 32-bit Quoril.dll through its exports: runs smoke32.exe from
# BIN under 32-bit Wine on an X display of its own, in a throwaway prefix, and
# passes only when smoke32 ran and every one of its checks passed.
#   run-smoke32.sh BIN
# The prefix is a copy of the 64-bit test prefix (build/wine-template, booted
# natively), whose 32-bit half is the system folder syswow64: linked here to
# Wine's 32-bit DLLs instead of being set up by a 32-bit wineboot, so that the
# only 32-bit program that runs is smoke32 itself. Machines that run 64-bit
# user code only execute it under qemu's user-mode emulation: registered for
# this script alone in a private user namespace where the kernel allows it,
# otherwise through the machine-wide switch, held on (shared lock) for this
# run only and switched off again when it ends.
set -euo pipefail
source "$(dirname "$0")/../../scripts/env.sh"
source "$QUORIL_ROOT/cmake/wine-exit.sh"
WINE32=/usr/lib/wine/wine
mkdir -p "$QUORIL_BUILD"

fail() {
  echo "FAILED: $*"
  exit 1
}

# Where 32-bit programs do not run, re-run this script in a user namespace of
# its own with qemu registered there: nothing outside it sees the emulation.
# (With the machine-wide switch on, someone else may switch it off any time.)
emulation=native
if grep -qs '^enabled' "$QUORIL_QEMU_SWITCH" || ! "$WINE32" --version >/dev/null 2>&1; then
  if [ -n "${QUORIL_SMOKE32_NAMESPACE:-}" ]; then
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null &&
      printf '%s' "$QUORIL_QEMU_I386_RULE" >/proc/sys/fs/binfmt_misc/register 2>/dev/null || true
    emulation="qemu in a private namespace"
  elif [ -x /usr/bin/qemu-i386-static ] && unshare -Urm true 2>/dev/null; then
    QUORIL_SMOKE32_NAMESPACE=1 exec unshare -Urm bash "$0" "$@"
  elif [ -e "$QUORIL_QEMU_SWITCH" ] && ! grep -qs '^enabled' "$QUORIL_QEMU_SWITCH"; then
    quoril_qemu_on 9 || fail "cannot switch on qemu's emulation of 32-bit programs"
    touch "$QUORIL_BUILD/qemu-switched-on"
    emulation="qemu, switched on machine-wide for this run"
  fi
fi
"$WINE32" --version >/dev/null 2>&1 || fail "this machine can run no 32-bit code, natively or emulated"
echo "32-bit code runs here: $emulation"

prefix="" display_pid=""
cleanup() {
  if [ -n "$prefix" ]; then
    WINEPREFIX=$prefix "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
  fi
  quoril_kill_xvfb "$display_pid"
  if [ "$emulation" != native ] && [ -z "${QUORIL_SMOKE32_NAMESPACE:-}" ]; then
    quoril_qemu_off 9
    rm -f "$QUORIL_BUILD/qemu-switched-on"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A display of our own: smoke32 looks its popup up by class on its display.
quoril_start_display
display_pid=${QUORIL_XVFB_PID:-}

bin=${1:?usage: run-smoke32.sh BIN}
quoril_wine_template || fail "the 64-bit prefix did not boot"
prefix=$(mktemp -d "$QUORIL_BUILD/smoke32-prefix.XXXXXX")
rmdir "$prefix"
quoril_copy_prefix "$QUORIL_BUILD/wine-template" "$prefix"
# The 64-bit loader of the template only: the 32-bit one is started directly.
rm -rf "$prefix/loader"
for dll in /usr/lib/i386-linux-gnu/wine/i386-windows/*; do
  [ -e "$prefix/drive_c/windows/syswow64/${dll##*/}" ] || ln -s "$dll" "$prefix/drive_c/windows/syswow64/"
done
export WINEPREFIX=$prefix
unset WINELOADER
"$WINESERVER" -p
quoril_warm_prefix "$WINE64"
cd "$bin"
# Output through a file: the prefix's system processes keep a pipe open.
"$WINE32" smoke32.exe >"$prefix/smoke32.out" 2>&1 || status=$?
output=$(tr -d '\r' <"$prefix/smoke32.out")
echo "$output"
if quoril_teardown_abort "${status:-0}" "$prefix/smoke32.out"; then
  echo "smoke32.exe returned 0 from main, then glibc aborted Wine's process in its exit-time teardown"
  status=0
fi
[ "${status:-0}" = 0 ] || fail "smoke32.exe exited with ${status}"
grep -Eq '^smoke32: [1-9][0-9]* passed, 0 failed$' <<<"$output" || fail "smoke32 did not report all its checks passed"
