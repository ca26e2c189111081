# Sourced by the scripts that run Windows programs under Wine.
#
# quoril_teardown_abort STATUS FILE: whether a program that ended with STATUS
# and wrote FILE returned 0 from main and was then aborted by glibc's loader
# in Wine's exit-time teardown. Wine's Linux process ends through exit(),
# whose teardown (_dl_fini) now and then fails an assertion of its own after
# every Windows module, ours included, has run its exit code; the loader then
# ends the process with 127 and one line of its own. Such a program's result
# is the one main returned, which its last line before the loader's states.
# Anything else after that line, or another status, is a failure as ever.
quoril_teardown_abort() {
  local status=$1 file=$2 lines
  [ "$status" = 127 ] || return 1
  mapfile -t lines < <(tr -d '\r' <"$file" | grep -v '^$' | tail -n 2)
  [ "${#lines[@]}" = 2 ] &&
    [ "${lines[0]}" = "quoril-test: main returns 0" ] &&
    [[ "${lines[1]}" == "Inconsistency detected by ld.so: dl-fini.c: "* ]]
}
