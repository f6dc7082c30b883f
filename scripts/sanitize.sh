#!/usr/bin/env bash
# Builds the engine, the command-line tool and the test suite with a
# sanitizer and runs what it watches (any report ends the program).
#
#   bash scripts/sanitize.sh           # AddressSanitizer and UndefinedBehaviorSanitizer
#                                      # in build-asan/: the whole suite
#   bash scripts/sanitize.sh thread    # ThreadSanitizer in build-tsan/: what runs on
#                                      # several threads (scripts/tsan.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-address}"
bash scripts/setup.sh

case "$mode" in
  address) dir=build-asan; sanitizers="address,undefined"; extra="-fno-sanitize-recover=all" ;;
  thread) dir=build-tsan; sanitizers="thread"; extra="" ;;
  *) echo "usage: sanitize.sh [address|thread]" >&2; exit 2 ;;
esac

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=$sanitizers $extra -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=$sanitizers" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=$sanitizers" \
  -DOXTARN_BUILD_DESKTOP=OFF -DOXTARN_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)" --target oxtarn_tests oxtarn-cli

if [[ $mode == address ]]; then
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  cd "$dir"
  ctest --output-on-failure -j"$(nproc)" --timeout 600
  exit
fi

export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
# ThreadSanitizer cannot map its shadow memory with some address-space
# randomisation settings; run without randomisation where that is allowed.
run() { if setarch "$(uname -m)" -R true 2>/dev/null; then setarch "$(uname -m)" -R "$@"; else "$@"; fi; }

run "$dir"/tests/oxtarn_tests --gtest_filter='Concurrency*:RenameSafety.NameTaken*'

# The tool identifies a folder on four threads.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for i in $(seq 1 40); do
  printf 'PK\003\004%04d' "$i" >"$work/z$i.jar"
  printf 'Rar!\032\007%04d' "$i" >"$work/r$i.dat"
  printf '\000\000-lh5-%04d' "$i" >"$work/l$i.lzh"
  printf 'plain %04d\n' "$i" >"$work/t$i.txt"
done
run "$dir"/cli/oxtarn-cli -q -r -j 4 --format json --crc "$work" >/dev/null
echo "tsan: no data race found"
