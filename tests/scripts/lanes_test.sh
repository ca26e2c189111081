#!/usr/bin/env bash
# cmake/wine-run.sh gives every program a lane of its own: two programs at once
# get different lanes (displays), and a third waits until one of them ends
# and then takes that lane. The loader is a stand-in that reports its lane and
# runs until told to end.
source "$(dirname "$0")/script_test_util.sh"

lanes=$work/lanes
for i in 1 2 dpi144; do
  mkdir -p "$lanes/$i"
  echo "export DISPLAY=:lane$i" >"$lanes/$i/env"
done
cat >"$work/loader" <<'FAKE'
#!/usr/bin/env bash
# loader NAME: logs "start NAME DISPLAY", waits for NAME.end, logs "end ...".
echo "start $1 $DISPLAY" >>"$WORK/log"
touch "$WORK/$1.started"
for _ in $(seq 1200); do [ -e "$WORK/$1.end" ] && break; sleep 0.05; done
echo "end $1 $DISPLAY" >>"$WORK/log"
printf 'done\r\n'
FAKE
chmod +x "$work/loader"
export WORK=$work QUORIL_LANES_DIR=$lanes QUORIL_WINE64=$work/loader

run() { bash "$root/cmake/wine-run.sh" x86_64 "$1" >"$work/$1.out" 2>&1; }
run a &
run b &
check "program a starts" poll_for_file "$work/a.started"
check "program b starts" poll_for_file "$work/b.started"
display_a=$(sed -n 's/^start a //p' "$work/log")
display_b=$(sed -n 's/^start b //p' "$work/log")
check "a and b run in different lanes ($display_a, $display_b)" [ "$display_a" != "$display_b" ]

run c &
# c can only start once a ends: its start must come after a's end in the log.
touch "$work/a.end"
check "program c starts once a lane is free" poll_for_file "$work/c.started"
check "c takes the lane a left" grep -qx "start c $display_a" "$work/log"
check "c started only after a ended" \
  awk -v a="end a $display_a" -v c="start c $display_a" \
  '$0 == a { ended = 1 } $0 == c { found = 1; ok = ended } END { exit !(found && ok) }' \
  "$work/log"
touch "$work/b.end" "$work/c.end"
wait
check "Wine's CRLF line ends become LF" grep -qx "done" "$work/c.out"
# A program that asks for a DPI takes the lane of that DPI, and only it.
QUORIL_LANE_DPI=144 run d &
check "a program asking for 144 DPI starts" poll_for_file "$work/d.started"
check "it runs in the 144 DPI lane" grep -qx "start d :lanedpi144" "$work/log"
touch "$work/d.end"
wait
QUORIL_LANE_DPI=96 run e &
check "a program asking for 96 DPI starts" poll_for_file "$work/e.started"
check "it runs in a numbered lane" grep -qE "^start e :lane[12]$" "$work/log"
touch "$work/e.end"
wait
check "a DPI without a lane is an error" \
  eval '! QUORIL_LANE_DPI=200 bash "$root/cmake/wine-run.sh" x86_64 program.exe'
check "no program ran in the 144 DPI lane but the one that asked" \
  eval '[ "$(grep -c "start .* :lanedpi144" "$work/log")" = 1 ]'
check "a program's failure is passed on" \
  eval '! QUORIL_WINE64=false bash "$root/cmake/wine-run.sh" x86_64 program.exe'
check "without lanes the given prefix is used" \
  eval '[ "$(QUORIL_LANES_DIR= WINEPREFIX=/given QUORIL_WINE64=printenv bash "$root/cmake/wine-run.sh" x86_64 WINEPREFIX)" = /given ]' 
finish_checks
