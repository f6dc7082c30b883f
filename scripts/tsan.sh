#!/usr/bin/env bash
# Builds the engine, the command-line tool and the test suite with
# ThreadSanitizer in build-tsan/ and runs what runs on several threads: the
# concurrency tests, the rename race and the tool's parallel identification.
#
#   bash scripts/tsan.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=thread" \
  -DOXTARN_BUILD_DESKTOP=OFF -DOXTARN_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$(nproc)" --target oxtarn_tests oxtarn-cli

export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
# ThreadSanitizer cannot map its shadow memory with some address-space
# randomisation settings; run without randomisation where that is allowed.
run() { if setarch "$(uname -m)" -R true 2>/dev/null; then setarch "$(uname -m)" -R "$@"; else "$@"; fi; }

run build-tsan/tests/oxtarn_tests --gtest_filter='Concurrency*:RenameSafety.NameTaken*'

# The tool identifies a folder on four threads.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for i in $(seq 1 40); do
  printf 'PK\003\004%04d' "$i" >"$work/z$i.jar"
  printf 'Rar!\032\007%04d' "$i" >"$work/r$i.dat"
  printf '\000\000-lh5-%04d' "$i" >"$work/l$i.lzh"
  printf 'plain %04d\n' "$i" >"$work/t$i.txt"
done
run build-tsan/cli/oxtarn-cli -q -r -j 4 --format json --crc "$work" >/dev/null
echo "tsan: no data race found"
