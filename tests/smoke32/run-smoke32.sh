#!/usr/bin/env bash
# Checks the real 32-bit Quoril.dll through its exports: runs smoke32.exe from
# BIN under 32-bit Wine on an X display of its own, in a throwaway copy of a
# prepared 32-bit-capable prefix, and passes only when smoke32 ran and every
# one of its checks passed.
#   run-smoke32.sh BIN        run the check
#   run-smoke32.sh --prepare  only prepare the prefix (scripts/test.sh starts
#                             this while the code builds)
# The prepared prefix is kept in build/wine-prefix32 and booted again when
# missing or made by another Wine. Machines that run 64-bit user code only
# execute Wine's 32-bit side under qemu's user-mode emulation: registered for
# this script alone in a private user namespace where the kernel allows it,
# otherwise through the machine-wide switch, held on (shared lock) for this
# run only and switched off again when it ends.
set -euo pipefail
source "$(dirname "$0")/../../scripts/env.sh"
WINE32=/usr/lib/wine/wine
prepared=$QUORIL_BUILD/wine-prefix32
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

# prepare: boots build/wine-prefix32 unless it is there and current. Holds a
# lock meanwhile, so that a run waits for a preparation under way.
prepare() {
  local stamp
  stamp="$("$WINE32" --version) $(stat -c %Y /usr/share/wine/wine.inf 2>/dev/null || true)"
  exec 7>>"$prepared.lock"
  flock -x 7
  if [ "$(cat "$prepared/.quoril-stamp" 2>/dev/null)" != "$stamp" ]; then
    local t0
    t0=$(date +%s)
    rm -rf "$prepared" "$prepared.new"
    mkdir -p "$prepared.new"
    (
      export WINEPREFIX=$prepared.new
      unset WINELOADER
      "$WINE32" wineboot -i >/dev/null 2>&1 || true
      "$WINESERVER" -w
    )
    [ -f "$prepared.new/drive_c/windows/syswow64/kernel32.dll" ] ||
      [ -f "$prepared.new/drive_c/windows/system32/kernel32.dll" ] ||
      fail "the 32-bit Wine prefix did not boot"
    rm -f "$prepared.new/wineserver"
    echo "$stamp" >"$prepared.new/.quoril-stamp"
    mv "$prepared.new" "$prepared"
    echo "prepared the 32-bit prefix in $(($(date +%s) - t0)) s"
  fi
  exec 7>&-
}

prepare
[ "${1:-}" = --prepare ] && exit 0
bin=${1:?usage: run-smoke32.sh BIN | --prepare}

prefix=$(mktemp -d "$QUORIL_BUILD/smoke32-prefix.XXXXXX")
rmdir "$prefix"
quoril_copy_prefix "$prepared" "$prefix"
export WINEPREFIX=$prefix
unset WINELOADER
"$WINESERVER" -p
quoril_warm_prefix "$WINE64"
cd "$bin"
# Output through a file: the prefix's system processes keep a pipe open.
"$WINE32" smoke32.exe >"$prefix/smoke32.out" 2>&1 || status=$?
output=$(tr -d '\r' <"$prefix/smoke32.out")
echo "$output"
[ "${status:-0}" = 0 ] || fail "smoke32.exe exited with ${status}"
grep -Eq '^smoke32: [1-9][0-9]* passed, 0 failed$' <<<"$output" || fail "smoke32 did not report all its checks passed"
