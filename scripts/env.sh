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

# Debian's Wine has no preloader to reserve the address ranges that Windows
# programs need before the Linux side maps anything. With address
# randomisation the loader's heap starts anywhere in the gigabyte above the
# loader (0x7d000000), and about one program in four thousand finds it on the
# page every Windows program maps at 0x7ffe0000: that program ends at once
# with status 1 and, unless WINEDEBUG shows errors, without a word ("failed to
# map the shared user data"). Without randomisation the heap starts right
# after the loader, far below that page, every time.
# quoril_fixed_layout SCRIPT ARGS...: runs the calling script again, once,
# without address randomisation; every program it starts inherits that.
quoril_fixed_layout() {
  local personality
  personality=$(cat /proc/self/personality 2>/dev/null) || return 0
  ((16#$personality & 16#0040000)) && return 0
  if setarch -R true 2>/dev/null; then exec setarch -R bash "$@"; fi
  echo "warning: address randomisation stays on here (setarch -R fails):" \
    "now and then a Wine program may fail to start" >&2
}

# quoril_build ARCH [cmake args...]: configures and builds build/ARCH. Returns
# the build's own exit status (the progress filter never hides a failure).
quoril_build() {
  local arch=$1
  shift
  cmake -S "$QUORIL_ROOT" -B "$QUORIL_BUILD/$arch" -DQUORIL_ARCH="$arch" \
    -DCMAKE_TOOLCHAIN_FILE="$QUORIL_ROOT/cmake/toolchain-mingw.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null || return
  cmake --build "$QUORIL_BUILD/$arch" -j"$(nproc)" -- --no-print-directory 2>&1 |
    { grep -v -E '^\[ *[0-9]+%\]' || true; }
  local status=${PIPESTATUS[0]}
  if [ "$status" != 0 ]; then echo "build of $arch failed (exit $status)" >&2; fi
  return "$status"
}

# Can this machine execute 32-bit x86 code? Some virtual machines run 64-bit
# user code only; the 32-bit plug-in is then run under qemu's emulation.
quoril_native_i386() {
  "$QUORIL_ROOT/cmake/probe-i386.sh"
}

# qemu's emulation of 32-bit Linux programs is switched on only while a 32-bit
# check runs. Runs that use it hold a shared lock on QUORIL_QEMU_LOCK; it is
# switched off only when nobody holds it, so that one developer's run never
# pulls it from under another's.
QUORIL_QEMU_SWITCH=/proc/sys/fs/binfmt_misc/qemu-i386
QUORIL_QEMU_LOCK=/tmp/quoril-qemu-i386.lock
# The binfmt_misc rule for qemu-i386 (its \x escapes are read by the kernel).
QUORIL_QEMU_I386_RULE=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F'

# quoril_qemu_on FD: takes the shared lock on FD and switches the emulation on.
quoril_qemu_on() {
  [ -e "$QUORIL_QEMU_SWITCH" ] || return 1
  eval "exec $1>>\"\$QUORIL_QEMU_LOCK\""
  flock -s "$1" || return 1
  grep -qs '^enabled' "$QUORIL_QEMU_SWITCH" || echo 1 >"$QUORIL_QEMU_SWITCH" 2>/dev/null
  grep -qs '^enabled' "$QUORIL_QEMU_SWITCH"
}

# quoril_qemu_off [FD]: drops the shared lock on FD, if given, and switches the
# emulation off unless another run still holds the lock.
quoril_qemu_off() {
  if [ -n "${1:-}" ]; then eval "exec $1>&-"; fi
  grep -qs '^enabled' "$QUORIL_QEMU_SWITCH" || return 0
  (
    exec 8>>"$QUORIL_QEMU_LOCK" || exit 0
    flock -n -x 8 || exit 0
    echo 0 >"$QUORIL_QEMU_SWITCH" 2>/dev/null || true
  )
  return 0
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

# quoril_start_wine: a throwaway 64-bit prefix, copied from the template, with
# a warm wineserver. Needs a DISPLAY (quoril_start_display).
quoril_start_wine() {
  export WINEPREFIX WINELOADER
  quoril_wine_template || return
  WINEPREFIX=$(mktemp -d "$QUORIL_BUILD/wine-prefix.XXXXXX")
  rmdir "$WINEPREFIX"
  quoril_copy_prefix "$QUORIL_BUILD/wine-template" "$WINEPREFIX"
  WINELOADER=$WINEPREFIX/loader/wine64
  "$WINESERVER" -p60
  quoril_warm_prefix "$WINE64"
}

# quoril_wine_template: a booted 64-bit prefix kept in build/wine-template, so
# that lanes are copied from it instead of booting one each. It is booted again
# when missing or made by another Wine. Needs a DISPLAY. Wine looks for its
# 32-bit loader beside the 64-bit one; a loader directory of our own without it,
# and the machine-wide 32-bit emulation held off meanwhile, keep wineboot from
# setting up the 32-bit half (minutes under emulation), which the 64-bit tests
# do not need.
quoril_wine_template() {
  # One boot at a time: the lanes and the 32-bit check both start from it.
  (
    flock -x 9
    quoril_boot_wine_template
  ) 9>>"$QUORIL_BUILD/wine-template.lock"
}
quoril_boot_wine_template() {
  local template=$QUORIL_BUILD/wine-template stamp
  stamp="$("$WINE64" --version) $(stat -c %Y /usr/share/wine/wine.inf 2>/dev/null || true)"
  if [ "$(cat "$template/.quoril-stamp" 2>/dev/null)" = "$stamp" ]; then return 0; fi
  rm -rf "$template" "$template.new"
  mkdir -p "$template.new/loader"
  ln -s "$WINE64" "$template.new/loader/wine64"
  (
    export WINEPREFIX=$template.new WINELOADER=$template.new/loader/wine64
    # Never while the machine-wide 32-bit emulation is on (see quoril_qemu_on).
    exec 8>>"$QUORIL_QEMU_LOCK"
    flock -x 8
    "$WINE64" wineboot -i >/dev/null 2>&1 || true
    # Windows not managed by a window manager: with none running under Xvfb,
    # Wine would otherwise wait two seconds for one at every window it hides.
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    "$WINESERVER" -w
  )
  [ -f "$template.new/system.reg" ] || { echo "Wine prefix did not boot" >&2; return 1; }
  rm -f "$template.new/wineserver"
  echo "$stamp" >"$template.new/.quoril-stamp"
  mv "$template.new" "$template"
}

# quoril_copy_prefix SOURCE DEST: a prefix of its own made from a prepared one.
# Program files (never written) are hard links; everything else, such as the
# registry, is copied.
quoril_copy_prefix() {
  local template=$1 dest=$2
  cp -al "$template" "$dest" 2>/dev/null || { rm -rf "$dest" && cp -a "$template" "$dest"; }
  (cd "$template" &&
    find . -type f ! -iregex '.*\.\(dll\|exe\|nls\|sys\|drv\|ocx\|cpl\|acm\|tlb\|ds\|com\)' -print0 |
    xargs -0 -r cp --parents --remove-destination -p -t "$dest")
  rm -f "$dest/.quoril-stamp"
}

# quoril_start_lanes COUNT: COUNT test lanes under build/lanes, each with an X
# display, a Wine prefix and a warm wineserver of its own, so that the input
# and windows of one lane never reach another; and one lane for each DPI of
# QUORIL_LANE_DPIS (default 120, 144 and 192), named dpiN, whose prefix has
# that DPI (Wine reads it from the registry when the prefix's wineserver
# starts). cmake/wine-run.sh takes a free lane (flock) for every program ctest
# starts: a lane of the DPI the program asks for (QUORIL_LANE_DPI), or else a
# numbered one.
quoril_start_lanes() {
  local count=$1 lane i fdfile names=() dpi
  export QUORIL_LANES_DIR=$QUORIL_BUILD/lanes
  quoril_stop_lanes
  mkdir -p "$QUORIL_LANES_DIR"
  for i in $(seq "$count"); do names+=("$i"); done
  for dpi in ${QUORIL_LANE_DPIS-120 144 192}; do names+=("dpi$dpi"); done
  for i in "${names[@]}"; do
    lane=$QUORIL_LANES_DIR/$i
    mkdir -p "$lane"
    fdfile=$lane/display
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    echo $! >"$lane/xvfb.pid"
  done
  for i in "${names[@]}"; do
    lane=$QUORIL_LANES_DIR/$i
    for _ in $(seq 100); do
      [ -s "$lane/display" ] && break
      sleep 0.1
    done
    [ -s "$lane/display" ] || { echo "Xvfb of lane $i did not start" >&2; return 1; }
  done
  DISPLAY=":$(head -n1 "$QUORIL_LANES_DIR/1/display")" quoril_wine_template || return
  # Every wineserver of a lane stays half an hour after its last program,
  # whoever starts it: the lane's boot, cmake/wine-run.sh, or a program's
  # loader that finds none. Debian's wineserver script asks for no persistence
  # at all (-p0), and a program that starts while such a server shuts down
  # after the program before it is killed before its main, without a word.
  # Half an hour outlasts the longest idle spell of a run (the test build).
  cat >"$QUORIL_LANES_DIR/wineserver" <<SERVER
#!/bin/sh
exec $WINESERVER -p1800 "\$@"
SERVER
  chmod +x "$QUORIL_LANES_DIR/wineserver"
  local warming=()
  for i in "${names[@]}"; do
    lane=$QUORIL_LANES_DIR/$i
    quoril_copy_prefix "$QUORIL_BUILD/wine-template" "$lane/prefix"
    cat >"$lane/env" <<ENV
export DISPLAY=:$(head -n1 "$lane/display")
export WINEPREFIX=$lane/prefix
export WINELOADER=$lane/prefix/loader/wine64
export WINESERVER=$QUORIL_LANES_DIR/wineserver
ENV
    (
      source "$lane/env"
      if [[ "$i" == dpi* ]]; then quoril_set_prefix_dpi "${i#dpi}"; fi
      # Kept warm for the run; gone half an hour after a run that was killed.
      "$WINESERVER"
      quoril_warm_prefix "$WINE64"
    ) &
    warming+=($!)
  done
  wait "${warming[@]}"
}

# quoril_set_prefix_dpi DPI: gives the prefix of WINEPREFIX that DPI, read by
# the next wineserver to start for it.
quoril_set_prefix_dpi() {
  "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
}

# quoril_warm_prefix LOADER: starts the prefix's system processes (services,
# devices, desktop) with no output of ours open. The first program in a
# prefix starts them, and they keep its output open for as long as they run:
# a test started first would never seem to end to the pipe that reads it.
quoril_warm_prefix() {
  "$1" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# quoril_kill_xvfb PID: ends the Xvfb started as PID, unless that process is
# gone and its number now names another program.
quoril_kill_xvfb() {
  if [ -n "$1" ] && [ "$(ps -o comm= -p "$1" 2>/dev/null)" = Xvfb ]; then kill "$1" 2>/dev/null || true; fi
  return 0
}

# Ends the lanes of this build folder (never lanes named by an inherited
# QUORIL_LANES_DIR, which may be another run's): their programs, wineservers
# and displays, and removes them.
quoril_stop_lanes() {
  local lanes=$QUORIL_BUILD/lanes lane
  [ -d "$lanes" ] || return 0
  for lane in "$lanes"/*/; do
    if [ -d "$lane/prefix" ]; then WINEPREFIX=$lane/prefix "$WINESERVER" -k >/dev/null 2>&1 || true; fi
    quoril_kill_xvfb "$(cat "$lane/xvfb.pid" 2>/dev/null)"
  done
  rm -rf "$lanes"
  return 0
}

quoril_cleanup() {
  quoril_stop_lanes
  if [ -n "${WINEPREFIX:-}" ] && [ -d "${WINEPREFIX:-}" ]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ -n "${QUORIL_XVFB_PID:-}" ]; then kill "$QUORIL_XVFB_PID" 2>/dev/null || true; fi
}
