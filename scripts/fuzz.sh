#!/usr/bin/env bash
# Fuzzes the item record (store/item_record.*) natively with clang's libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer:
#   bash scripts/fuzz.sh [SECONDS]    (default 600; 0 runs until stopped)
# Exits non-zero on any finding and leaves the input that caused it in
# build/fuzz/ (QUORIL_FUZZ_DIR). New inputs are kept in build/fuzz/corpus for
# the next run; the seeds in fuzz/corpus are only read.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "usage: bash scripts/fuzz.sh [SECONDS]" >&2; exit 2; }
[ -n "${QUORIL_SKIP_SETUP:-}" ] || "$root/scripts/setup.sh"

out=${QUORIL_FUZZ_DIR:-${QUORIL_BUILD:-$root/build}/fuzz}
target=$out/item_record_fuzz
sources=("$root/store/item_record.cpp" "$root/fuzz/item_record_fuzz.cpp")
mkdir -p "$out/corpus"

# Rebuilt when any source or header is newer than the target.
stale=0
[ -x "$target" ] || stale=1
for f in "${sources[@]}" "$root/store/item_record.h"; do
  if [ "$f" -nt "$target" ]; then stale=1; fi
done
if [ "$stale" = 1 ]; then
  clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$root" "${sources[@]}" -o "$target.new"
  mv "$target.new" "$target"
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
cd "$out"
args=(-max_len=4096 -timeout=10 -print_final_stats=1 -artifact_prefix="$out/")
[ "$seconds" = 0 ] || args+=(-max_total_time="$seconds")
echo "fuzz: item record for ${seconds}s (0: until stopped), corpus $out/corpus"
"$target" "${args[@]}" "$out/corpus" "$root/fuzz/corpus"
