#!/usr/bin/env bash
# Builds the engine, the command-line tool and the test suite with
# AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ (any report
# ends the program) and runs the whole suite.
#
#   bash scripts/sanitize.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DOXTARN_BUILD_DESKTOP=OFF -DOXTARN_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$(nproc)" --target oxtarn_tests oxtarn-cli

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build-asan
ctest --output-on-failure -j"$(nproc)" --timeout 600
