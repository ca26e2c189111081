# Shared by the script tests: checks that count, a scratch folder, and a
# closing "N passed, N failed" line. Source it with the project root in $1.
set -u
root=$1
# Nothing of the run that started this test: its lanes and build folder.
unset QUORIL_LANES_DIR QUORIL_BUILD WINEPREFIX WINELOADER
work=$(mktemp -d /tmp/quoril-script-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# check WHAT COMMAND...: runs COMMAND; it must succeed.
check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}

# poll_for_file PATH: waits (up to a minute) until PATH exists.
poll_for_file() {
  for _ in $(seq 1200); do
    [ -e "$1" ] && return 0
    sleep 0.05
  done
  return 1
}

finish_checks() {
  echo "$passed passed, $failed failed"
  [ "$failed" = 0 ]
}
