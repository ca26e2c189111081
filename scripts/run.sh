#!/usr/bin/env bash
# Runs Quoril in the stand-in host: builds it, seeds a sample menu into the
# registry when the stored menu is empty, presses the plug-in's button, opens
# a submenu and saves a screenshot of the cascaded menu to build/quoril-run.png.
# Without DISPLAY it works on a private X display and closes the host after
# the screenshot; with DISPLAY set it uses that display and leaves the host
# open for you (the script ends when you close it).
# The menu lives in a Wine prefix of its own, build/run-prefix-ARCH, and is
# kept from run to run.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$QUORIL_ROOT/scripts/setup.sh"

if quoril_native_i386; then
  arch=i686
  loader=/usr/lib/wine/wine
else
  arch=x86_64
  loader=$WINE64
  echo "run: this machine cannot execute 32-bit code; running the x86_64 build of the same sources under 64-bit Wine."
fi
quoril_build "$arch" -DQUORIL_BUILD_TESTS=OFF -DQUORIL_BUILD_BENCH=OFF
bin=$QUORIL_BUILD/$arch/bin
shot=$QUORIL_BUILD/quoril-run.png
ready=$QUORIL_BUILD/quoril-run.ready

keep_open=0
if [ -n "${DISPLAY:-}" ]; then
  keep_open=1
  export QUORIL_USE_DISPLAY=$DISPLAY
fi
quoril_start_display

export WINEPREFIX=$QUORIL_BUILD/run-prefix-$arch
finish() {
  rm -f "$ready"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -n "${QUORIL_XVFB_PID:-}" ]; then kill "$QUORIL_XVFB_PID" 2>/dev/null || true; fi
}
trap finish EXIT
trap "exit 130" INT TERM
if [ ! -d "$WINEPREFIX" ]; then
  echo "run: preparing the Wine prefix $WINEPREFIX (once)"
  "$loader" wineboot -i >/dev/null 2>&1 || true
fi
"$WINESERVER" -w
"$WINESERVER" -p60

settings='HKCU\Software\Quoril\RoduzuRodidiVo\Settings'
if ! "$loader" reg query "$settings" /s 2>/dev/null | tr -d '\r' | grep -q 'REG_SZ'; then
  echo "run: the stored menu is empty; seeding a sample menu"
  sample=$(mktemp --suffix=.reg)
  # Records: target,parameters,startIn,iconPath,iconIndex,runMode,position,separator
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
  "$loader" regedit /S "Z:${sample//\//\\}" >/dev/null 2>&1
  rm -f "$sample"
fi

rm -f "$ready" "$shot"
cd "$bin"
# Entry 2 of the sample menu is the submenu "Tools".
"$loader" quorilhost.exe --press --open-submenu=2 --ready-file="Z:${ready//\//\\}" >/dev/null 2>&1 &
host=$!
for _ in $(seq 300); do
  [ -e "$ready" ] && break
  kill -0 "$host" 2>/dev/null || break
  sleep 0.1
done
if [ -e "$ready" ]; then
  import -window root -crop 640x400+0+0 +repage "$shot"
  echo "run: screenshot of the cascaded menu: $shot"
else
  echo "run: the menu did not come up; no screenshot" >&2
fi
if [ "$keep_open" = 1 ]; then
  echo "run: the host stays open on $DISPLAY; close its window to end"
  wait "$host" || true
else
  kill "$host" 2>/dev/null || true
fi
