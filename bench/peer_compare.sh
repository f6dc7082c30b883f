#!/usr/bin/env bash
# Times oxtarn-cli against the system's `file` command on one corpus of
# 10 000 small files of mixed kinds, in the same run, and the floor of merely
# opening, reading 256 bytes of and closing every file.
# Usage: bench/peer_compare.sh [BUILD_DIR]   (needs hyperfine and file: apt-get install hyperfine file)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
cli=$build/cli/oxtarn-cli
heads=$build/bench/oxtarn_read_heads
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT

python3 "$here/make_corpus.py" "$corpus/files" 10000
find "$corpus/files" -type f | sort > "$corpus/list"
cat "$corpus/files"/*/* > /dev/null  # warm the page cache

hyperfine --warmup 2 --runs 10 --export-markdown "$corpus/result.md" \
  -n "read 256 bytes of each file" "$heads $corpus/list" \
  -n "oxtarn-cli -j 1" "$cli -q -j 1 --files-from $corpus/list" \
  -n "oxtarn-cli (all cores)" "$cli -q --files-from $corpus/list" \
  -n "file --extension" "file --extension -f $corpus/list" \
  -n "file --mime-type" "file --mime-type -f $corpus/list"
cat "$corpus/result.md"
