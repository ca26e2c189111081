#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest: wine-run.sh ARCH program args...
# With test lanes (QUORIL_LANES_DIR, set by scripts/test.sh) the program runs in
# the first free lane, which it holds (flock) until it ends: a lane's display,
# prefix and wineserver serve one program at a time. A program that asks for a
# DPI (QUORIL_LANE_DPI other than 96) runs in the lane of that DPI, any other
# in a numbered lane. Without lanes it uses the
# WINEPREFIX and DISPLAY it is given. Wine's CRLF output is turned into plain
# LF so that ctest and gtest discovery read clean lines.
source "$(dirname "$0")/wine-exit.sh"
arch=$1
shift
if [ "$arch" = x86_64 ]; then
  loader=${QUORIL_WINE64:-/usr/lib/wine/wine64}
else
  loader=${QUORIL_WINE32:-/usr/lib/wine/wine}
fi

lock=""
if [ -n "${QUORIL_LANES_DIR:-}" ]; then
  # A program that asks for a DPI other than 96 runs in a lane of that DPI.
  lanes="$QUORIL_LANES_DIR/[0-9]*/env"
  if [ -n "${QUORIL_LANE_DPI:-}" ] && [ "$QUORIL_LANE_DPI" != 96 ]; then
    lanes="$QUORIL_LANES_DIR/dpi$QUORIL_LANE_DPI/env"
  fi
  if ! compgen -G "$lanes" >/dev/null; then
    echo "wine-run.sh: no test lanes $lanes" >&2
    exit 1
  fi
  while [ -z "$lock" ]; do
    for env in $lanes; do
      exec {fd}>"${env%/env}/lock"
      if flock -n "$fd"; then
        lock=$fd
        source "$env"
        break
      fi
      exec {fd}>&-
    done
    [ -n "$lock" ] || sleep 0.05
  done
fi

# A lane's wineserver stays half an hour after its last program (its
# WINESERVER asks for that). One that went is started again before the
# program, rather than by the program's loader as it connects.
if [ -n "$lock" ] && [ -n "${WINEPREFIX:-}" ] && [ -n "${WINESERVER:-}" ]; then
  "$WINESERVER" {lock}>&- </dev/null >/dev/null 2>&1 || true
fi

# The program's output goes to a file, followed by tail until the program
# itself ends: system processes that it starts (services, devices, desktop)
# keep its output open for as long as they run, so a pipe would never seem to
# end, and a program killed at its timeout still shows what it printed. The
# lock stays with this script only: programs a test leaves running must not
# hold the lane.
# Without address randomisation, as scripts/env.sh explains: otherwise the
# loader's heap now and then takes the page every Windows program needs.
fixed=()
if setarch -R true 2>/dev/null; then fixed=(setarch -R); fi
out=$(mktemp /tmp/quoril-wine-run.XXXXXX)
trap 'rm -f "$out"' EXIT
if [ -n "$lock" ]; then
  "${fixed[@]}" "$loader" "$@" {lock}>&- >"$out" 2>&1 &
  program=$!
  tail -s 0.05 -n +1 -f --pid="$program" "$out" {lock}>&- | tr -d '\r' {lock}>&-
else
  "${fixed[@]}" "$loader" "$@" >"$out" 2>&1 &
  program=$!
  tail -s 0.05 -n +1 -f --pid="$program" "$out" | tr -d '\r'
fi
wait "$program"
status=$?
if quoril_teardown_abort "$status" "$out"; then
  # Said, and counted for the run's summary; the program's own result stands.
  echo "wine-run.sh: $(basename "$1") returned 0 from main, then glibc aborted Wine's process in its exit-time teardown" >&2
  if [ -n "${QUORIL_LANES_DIR:-}" ]; then
    echo "$(basename "$1") $*" >>"$QUORIL_LANES_DIR/teardown-aborts.log"
  fi
  status=0
fi
# Said aloud: a program that dies before it prints anything leaves ctest
# with nothing else to show.
if [ "$status" != 0 ]; then
  echo "wine-run.sh: $(basename "$1") ended with status $status, its output $(stat -c %s "$out") bytes" >&2
  # What the program wrote, shown again whole.
  echo "---- output file ----" >&2; tr -d '\r' < "$out" >&2; echo "---- end ----" >&2
fi
exit "$status"
