#!/usr/bin/env bash
# Times oxtarn-cli against the system's `file` command on one corpus of
# 10 000 small files of mixed kinds, in the same run, and the floor of merely
# opening, reading 256 bytes of and closing every file; prints each command's
# median and its ratio to the floor and to `file --extension`.
# Usage: bench/peer_compare.sh [BUILD_DIR] [RUNS]
#   (needs hyperfine and file: apt-get install hyperfine file)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
runs=${2:-20}
cli=$build/cli/oxtarn-cli
heads=$build/bench/oxtarn_read_heads
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT

python3 "$here/make_corpus.py" "$corpus/files" 10000
find "$corpus/files" -type f | sort > "$corpus/list"
cat "$corpus/files"/*/* > /dev/null  # warm the page cache

hyperfine -N --warmup 3 --runs "$runs" --export-json "$corpus/result.json" \
  -n "read 256 bytes of each file" "$heads $corpus/list" \
  -n "oxtarn-cli -j 1" "$cli -q -j 1 --files-from $corpus/list" \
  -n "oxtarn-cli (all cores)" "$cli -q --files-from $corpus/list" \
  -n "file --extension" "file --extension -f $corpus/list" \
  -n "file --mime-type" "file --mime-type -f $corpus/list" > /dev/null

python3 - "$corpus/result.json" <<'EOF'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
median = {r["command"]: r["median"] * 1000 for r in results}
floor, peer = median["read 256 bytes of each file"], median["file --extension"]
print(f"| command | median | against the floor | throughput against file --extension |")
print(f"|---|---:|---:|---:|")
for name, ms in median.items():
    print(f"| {name} | {ms:.0f} ms | {ms / floor:.2f} | {peer / ms:.1f}x |")
EOF
