# Shared by scripts/test.sh, scripts/run.sh and scripts/bench.sh: builds, and a
# throwaway Wine prefix and X display for one run. Source it; call
# quoril_cleanup on exit.
QUORIL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUORIL_BUILD=${QUORIL_BUILD:-$QUORIL_ROOT/build}
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# quoril_build ARCH [cmake args...]: configures and builds build/ARCH.
quoril_build() {
  local arch=$1
  shift
  cmake -S "$QUORIL_ROOT" -B "$QUORIL_BUILD/$arch" -DQUORIL_ARCH="$arch" \
    -DCMAKE_TOOLCHAIN_FILE="$QUORIL_ROOT/cmake/toolchain-mingw.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$QUORIL_BUILD/$arch" -j"$(nproc)" -- --no-print-directory 2>&1 |
    grep -v -E '^\[ *[0-9]+%\]' || true
  test "${PIPESTATUS[0]}" = 0
}

# Can this machine execute 32-bit x86 code? Some virtual machines run 64-bit
# user code only; the 32-bit plug-in is then run under qemu's emulation.
quoril_native_i386() {
  "$QUORIL_ROOT/cmake/probe-i386.sh"
}

# quoril_start_display: an X display of our own, unless one is given to use.
quoril_start_display() {
  if [ -n "${QUORIL_USE_DISPLAY:-}" ]; then
    export DISPLAY=$QUORIL_USE_DISPLAY
    return
  fi
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  QUORIL_XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

# quoril_start_wine: a fresh 64-bit prefix with a warm wineserver. Wine finds
# its 32-bit loader beside the 64-bit one; a loader directory of our own without
# it keeps wineboot from setting up the 32-bit half, which under qemu's
# emulation would take minutes and is not needed by the 64-bit test build.
quoril_start_wine() {
  export WINEPREFIX WINELOADER
  WINEPREFIX=$(mktemp -d /tmp/quoril-wine.XXXXXX)
  mkdir -p "$WINEPREFIX/loader"
  ln -s "$WINE64" "$WINEPREFIX/loader/wine64"
  WINELOADER=$WINEPREFIX/loader/wine64
  "$WINE64" wineboot -i >/dev/null 2>&1 || true
  # Windows not managed by a window manager: with none running under Xvfb,
  # Wine would otherwise wait two seconds for one at every window it hides.
  if [ -n "${QUORIL_XVFB_PID:-}" ]; then
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  fi
  "$WINESERVER" -w
  "$WINESERVER" -p60
}

quoril_cleanup() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "${WINEPREFIX:-}" ]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ -n "${QUORIL_XVFB_PID:-}" ]; then kill "$QUORIL_XVFB_PID" 2>/dev/null || true; fi
}
