#!/usr/bin/env bash
# Sets up, builds everything and runs the whole test suite. When a corpus of
# real files has been made (python3 tools/make_current_corpus.py
# build/current-corpus --install, or $OXTARN_CURRENT_CORPUS), the suite's
# current_corpus test runs the current-formats layer over it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
cd build && ctest --output-on-failure -j"$(nproc)"
