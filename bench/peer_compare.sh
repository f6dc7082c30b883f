#!/usr/bin/env bash
# Times oxtarn-cli against the system's `file` command on one corpus of
# 10 000 small files of mixed kinds, and against the floor of merely opening,
# reading 256 bytes of and closing every file. The commands take turns, run
# after run, so that a machine that speeds up or slows down meanwhile weighs
# on all of them alike; each one's median is printed with its ratio to the
# floor and its throughput against `file --extension`; and the cost of the
# current-formats layer (the default) against --legacy on one core.
# Usage: bench/peer_compare.sh [BUILD_DIR] [RUNS]   (needs file: apt-get install file)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
runs=${2:-30}
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT

python3 "$here/make_corpus.py" "$corpus/files" 10000
find "$corpus/files" -type f | sort > "$corpus/list"
cat "$corpus/files"/*/* > /dev/null  # warm the page cache

python3 - "$build" "$corpus/list" "$runs" <<'EOF'
import statistics, subprocess, sys, time
build, files, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
commands = {
    "open, read 256 bytes, close each file": [f"{build}/bench/oxtarn_read_heads", files],
    "oxtarn-cli -j 1": [f"{build}/cli/oxtarn-cli", "-q", "-j", "1", "--files-from", files],
    "oxtarn-cli --legacy -j 1 (no current-formats layer)": [f"{build}/cli/oxtarn-cli", "-q", "--legacy", "-j", "1",
                                                            "--files-from", files],
    "oxtarn-cli (all cores)": [f"{build}/cli/oxtarn-cli", "-q", "--files-from", files],
    "file --extension": ["file", "--extension", "-f", files],
    "file --mime-type": ["file", "--mime-type", "-f", files],
}
times = {name: [] for name in commands}
for run in range(runs + 2):  # the first two rounds warm up
    for name, argv in commands.items():
        start = time.perf_counter()
        subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
        if run >= 2:
            times[name].append(time.perf_counter() - start)
median = {name: statistics.median(t) * 1000 for name, t in times.items()}
floor, peer = median["open, read 256 bytes, close each file"], median["file --extension"]
print(f"{runs} rounds, medians:")
print("| command | median | against the floor | throughput against file --extension |")
print("|---|---:|---:|---:|")
for name, ms in median.items():
    print(f"| {name} | {ms:.0f} ms | {ms / floor:.2f} | {peer / ms:.1f}x |")
on, off = median["oxtarn-cli -j 1"], median["oxtarn-cli --legacy -j 1 (no current-formats layer)"]
print(f"current-formats layer on against off, one core: {100 * (on / off - 1):+.1f}% a file")
EOF
