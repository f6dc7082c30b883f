#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz/ (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time.
#
#   bash scripts/fuzz.sh [SECONDS]   # seconds per target, default 60
#
# Each target starts from its seed corpus in fuzz/corpus/<target>/; what it
# learns goes to build-fuzz/corpus/<target>/, and an input that crashes,
# leaks, trips a sanitizer or hangs is written to build-fuzz/artifacts/ and
# ends the script with a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

bash scripts/setup.sh clang-14 libclang-rt-14-dev cmake python3 build-essential

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fconstexpr-steps=100000000"
cmake -S . -B build-fuzz \
  -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$flags" \
  -DOXTARN_BUILD_FUZZ=ON -DOXTARN_BUILD_TESTS=OFF -DOXTARN_BUILD_CLI=OFF \
  -DOXTARN_BUILD_DESKTOP=OFF -DOXTARN_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target chain_fuzz text_fuzz api_fuzz

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:symbolize=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p build-fuzz/artifacts
status=0
for target in chain text api; do
  max_len=4096
  [[ $target == chain ]] && max_len=41000
  work="build-fuzz/corpus/$target"
  mkdir -p "$work"
  echo "== ${target}_fuzz for ${seconds} s"
  if ! build-fuzz/fuzz/${target}_fuzz "$work" "fuzz/corpus/$target" \
      -max_total_time="$seconds" -max_len="$max_len" -timeout=20 -rss_limit_mb=2048 \
      -artifact_prefix="build-fuzz/artifacts/${target}-" -print_final_stats=1 2>"build-fuzz/${target}.log"; then
    tail -n 60 "build-fuzz/${target}.log"
    echo "${target}_fuzz FAILED: see build-fuzz/${target}.log and build-fuzz/artifacts/"
    status=1
  else
    grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb" "build-fuzz/${target}.log" || true
  fi
done
exit $status
