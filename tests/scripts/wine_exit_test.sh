#!/usr/bin/env bash
# A program that returned 0 from main keeps its result when glibc's loader
# aborts Wine's process in its exit-time teardown (status 127 and the loader's
# one line after the program's last); every other end of a program is passed
# on as it came. The loader is a stand-in that prints what it is given.
source "$(dirname "$0")/script_test_util.sh"

mkdir -p "$work/lanes/1"
echo "export DISPLAY=:lane1" >"$work/lanes/1/env"
cat >"$work/loader" <<'FAKE'
#!/usr/bin/env bash
# loader STATUS LINE...: prints each LINE (CRLF, as Wine's programs do) and
# ends with STATUS.
status=$1
shift
for line in "$@"; do printf '%s\r\n' "$line"; done
exit "$status"
FAKE
chmod +x "$work/loader"
export QUORIL_LANES_DIR=$work/lanes QUORIL_WINE64=$work/loader
fini="Inconsistency detected by ld.so: dl-fini.c: 87: _dl_fini: Assertion \`ns != LM_ID_BASE || i == nloaded' failed!"
passed_line="[  PASSED  ] 1 test."

run() { bash "$root/cmake/wine-run.sh" x86_64 "$@" >"$work/out" 2>&1; }

check "main returned 0, then the teardown aborted: the program passes" \
  run 127 "$passed_line" "" "quoril-test: main returns 0" "$fini"
check "and the run's log names the program" grep -q "^127 " "$work/lanes/teardown-aborts.log"
check "and its output says what happened" grep -q "returned 0 from main, then glibc aborted" "$work/out"
rm -f "$work/lanes/teardown-aborts.log"

check "main returned 1, then the teardown aborted: the program fails" \
  eval '! run 127 "quoril-test: main returns 1" "$fini"'
check "no line from main, then the teardown aborted: the program fails" \
  eval '! run 127 "$passed_line" "$fini"'
check "output after main's line: the program fails" \
  eval '! run 127 "quoril-test: main returns 0" "late output" "$fini"'
check "main's line and another status: the program fails" \
  eval '! run 1 "quoril-test: main returns 0" "$fini"'
check "another loader message: the program fails" \
  eval '! run 127 "quoril-test: main returns 0" "Inconsistency detected by ld.so: rtld.c: 1: x"'
check "only an abort the rule accepts is logged" [ ! -e "$work/lanes/teardown-aborts.log" ]
check "a program that ends well passes" run 0 "quoril-test: main returns 0"
finish_checks
