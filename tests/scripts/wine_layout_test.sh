#!/usr/bin/env bash
# Wine programs start without address randomisation, so that the loader's
# heap never takes the page every Windows program maps: the test command
# (and every program under it) runs so, and so does a program that ctest
# starts through cmake/wine-run.sh on its own.
source "$(dirname "$0")/script_test_util.sh"

# no_randomisation FILE: FILE holds a personality with ADDR_NO_RANDOMIZE.
no_randomisation() {
  local personality
  personality=$(cat "$1") && ((16#$personality & 16#0040000))
}

# A script that sources env.sh and asks for the fixed layout, as test.sh does.
cat >"$work/script.sh" <<SCRIPT
set -euo pipefail
source "$root/scripts/env.sh"
quoril_fixed_layout "\$0" "\$@"
cat /proc/self/personality >"\$1"
SCRIPT
if ! setarch -R true 2>/dev/null; then
  echo "setarch -R is not allowed here: nothing to check"
  check "the script still runs" bash "$work/script.sh" "$work/script.personality"
  finish_checks
  exit
fi
# The test command itself runs so: each case starts from the plain layout.
plain=(setarch "$(uname -m)")
check "a script that asks for it runs" "${plain[@]}" bash "$work/script.sh" "$work/script.personality"
check "without address randomisation" no_randomisation "$work/script.personality"

cat >"$work/loader" <<'FAKE'
#!/usr/bin/env bash
cat /proc/self/personality >"$WORK/loader.personality"
FAKE
chmod +x "$work/loader"
check "a program through wine-run.sh runs" \
  "${plain[@]}" env WORK="$work" QUORIL_LANES_DIR= QUORIL_WINE64="$work/loader" \
  bash "$root/cmake/wine-run.sh" x86_64 program.exe
check "without address randomisation as well" no_randomisation "$work/loader.personality"
finish_checks
