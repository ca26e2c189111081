#!/usr/bin/env bash
# Builds Quoril and runs it in the stand-in host under Wine: seeds a sample
# menu into the registry when the stored menu is empty, presses the plug-in's
# button, opens a submenu and saves a screenshot of the cascaded menu to
# build/quoril-run.png.
# With DISPLAY set the host opens there and stays until it is closed; without
# one it runs on a private X display and everything is closed again after the
# screenshot. The menu lives in a Wine prefix kept for these runs,
# build/run-prefix-ARCH, so edits made through the menu are there next time.
# QUORIL_RUN_DPI=144 shows the menus at that DPI, in a prefix of its own
# (build/run-prefix-ARCH-dpi144), and the screenshot grows with it.
set -euo pipefail
source "$(dirname "$0")/env.sh"
quoril_fixed_layout "$0" "$@"
"$QUORIL_ROOT/scripts/setup.sh"

dpi=${QUORIL_RUN_DPI:-96}
[[ "$dpi" =~ ^[1-9][0-9]*$ ]] || { echo "QUORIL_RUN_DPI must be a number of dots per inch" >&2; exit 2; }
dpi_suffix=""
[ "$dpi" = 96 ] || dpi_suffix="-dpi$dpi"
SHOT=$QUORIL_BUILD/quoril-run$dpi_suffix.png
READY=$QUORIL_BUILD/quoril-run.ready
X64_NOTICE="This machine cannot execute 32-bit code, so the same sources built for x86_64 are shown under 64-bit Wine."

finish() {
  rm -f "$READY"
  if [ -n "${WINEPREFIX:-}" ]; then "$WINESERVER" -k >/dev/null 2>&1 || true; fi
  if [ -n "${QUORIL_XVFB_PID:-}" ]; then kill "$QUORIL_XVFB_PID" 2>/dev/null || true; fi
}
trap finish EXIT
trap "exit 130" INT TERM

# Both products; the x86_64 one in a build folder of its own without tests.
quoril_build i686 -DQUORIL_BUILD_TESTS=OFF -DQUORIL_BUILD_BENCH=OFF
QUORIL_BUILD="$QUORIL_BUILD/run" quoril_build x86_64 -DQUORIL_BUILD_TESTS=OFF \
  -DQUORIL_BUILD_BENCH=OFF

# use_prefix ARCH LOADER: the run's prefix for ARCH, made on first use. A
# 64-bit prefix gets a loader directory of its own without Wine's 32-bit
# loader, so that wineboot does not set up a 32-bit half it does not need.
use_prefix() {
  export WINEPREFIX=$QUORIL_BUILD/run-prefix-$1$dpi_suffix
  if [ "$1" = x86_64 ]; then
    export WINELOADER=$WINEPREFIX-loader/wine64
    mkdir -p "$WINEPREFIX-loader"
    ln -sf "$WINE64" "$WINELOADER"
  else
    unset WINELOADER
  fi
  if [ ! -d "$WINEPREFIX" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX (once)."
    "$2" wineboot -i >/dev/null 2>&1 || true
    if [ "$dpi" != 96 ]; then
      # Read when the prefix's next wineserver starts.
      "$2" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        </dev/null >/dev/null 2>&1 || true
      "$WINESERVER" -k >/dev/null 2>&1 || true
    fi
  fi
  "$WINESERVER" -w
  "$WINESERVER" -p60
}

# seed_sample_menu LOADER: when the stored menu holds no item, imports a
# sample: programs of the Wine prefix with their icons, a submenu, and items
# with a separator line above them. Records are
# target,parameters,startIn,iconPath,iconIndex,runMode,position,separator.
seed_sample_menu() {
  local settings='HKCU\Software\Quoril\RoduzuRodidiVo\Settings'
  if "$1" reg query "$settings" /s 2>/dev/null | tr -d '\r' | grep -q 'REG_SZ'; then return; fi
  echo "The stored menu is empty: seeding a sample menu."
  local sample
  sample=$(mktemp --suffix=.reg)
  cat >"$sample" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Quoril\RoduzuRodidiVo\Settings]
"Notepad"="C:\\windows\\notepad.exe,,C:\\windows,,0,0,1,0"
"Registry Editor"="C:\\windows\\regedit.exe,,,,0,0,2,0"
"Explorer"="C:\\windows\\explorer.exe,,,C:\\windows\\system32\\winefile.exe,0,0,4,0"
"Wine Configuration"="C:\\windows\\system32\\winecfg.exe,,,,0,0,5,1"

[HKEY_CURRENT_USER\Software\Quoril\RoduzuRodidiVo\Settings\Tools]
@=",,,C:\\windows\\system32\\shell32.dll,3,,3,0"
"Command Prompt"="C:\\windows\\system32\\cmd.exe,,C:\\,,0,0,1,0"
"Task Manager"="C:\\windows\\system32\\taskmgr.exe,,,,0,0,2,0"
"Minesweeper"="C:\\windows\\system32\\winemine.exe,,,,0,0,3,1"
"Help"="C:\\windows\\system32\\winhlp32.exe,,,,0,0,4,0"
REG
  "$1" regedit /S "Z:${sample//\//\\}" >/dev/null 2>&1 || true
  rm -f "$sample"
}

# start_host LOADER BINDIR SECONDS: starts the host, which presses its button
# and rests the pointer on entry 2 of the menu (the sample's "Tools"), and
# waits until the cascaded menu is on screen; sets host_pid.
start_host() {
  rm -f "$READY"
  (cd "$2" && exec "$1" quorilhost.exe --press --open-submenu=2 \
    --ready-file="Z:${READY//\//\\}") >/dev/null 2>&1 &
  host_pid=$!
  local tenths=$(($3 * 10))
  for _ in $(seq "$tenths"); do
    [ -e "$READY" ] && return 0
    kill -0 "$host_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$host_pid" 2>/dev/null || true
  "$WINESERVER" -k >/dev/null 2>&1 || true
  return 1
}

if [ -n "${DISPLAY:-}" ]; then
  export QUORIL_USE_DISPLAY=$DISPLAY
fi
quoril_start_display

# The shipped 32-bit build where this machine runs 32-bit code natively;
# otherwise, or when it does not come up, the x86_64 build.
started=0
if quoril_native_i386; then
  use_prefix i686 /usr/lib/wine/wine
  seed_sample_menu /usr/lib/wine/wine
  if start_host /usr/lib/wine/wine "$QUORIL_BUILD/i686/bin" 90; then started=1; fi
fi
if [ $started = 0 ]; then
  echo "$X64_NOTICE"
  use_prefix x86_64 "$WINE64"
  seed_sample_menu "$WINE64"
  if ! start_host "$WINE64" "$QUORIL_BUILD/run/x86_64/bin" 60; then
    echo "The launcher menu did not appear." >&2
    exit 1
  fi
fi

import -window root -crop "$((640 * dpi / 96))x$((400 * dpi / 96))+0+0" +repage "$SHOT"
echo "Screenshot of the cascaded menu: $SHOT"

if [ -n "${QUORIL_USE_DISPLAY:-}" ]; then
  echo "The host window is open on $DISPLAY; close it to end."
  wait "$host_pid" || true
  exit 0
fi
kill "$host_pid" 2>/dev/null || true
wait "$host_pid" 2>/dev/null || true
