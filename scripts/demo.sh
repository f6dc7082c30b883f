#!/usr/bin/env bash
# Sets up, builds the command-line tool and identifies the bundled example files.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target oxtarn-cli -j"$(nproc)"
./build/cli/oxtarn-cli --crc examples/*
