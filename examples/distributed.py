#!/usr/bin/env python3
"""Identifies a large file tree on a Dask cluster, one JSON Lines file per partition.

    python3 examples/distributed.py --scheduler tcp://scheduler:8786 OUT_DIR TREE...
    python3 examples/distributed.py --local 4 OUT_DIR TREE...   # a cluster on this machine

The file list is split into partitions; each worker identifies its partition
with oxtarn.identify_many and writes OUT_DIR/part-NNNNN.jsonl, one record a
line: {"path", "candidates", "extension", "description", "detail", "name",
"mime"}, or {"path", "error"} for a file that could not be read. The workers
must see the tree and OUT_DIR at the same paths as this program (a shared
file system) and have the oxtarn package and the engine library installed.
"""

import argparse
import dataclasses
import json
import os
import sys

# This file's name is the Dask package's: keep its folder out of the search
# path, so that "distributed" means the package.
_HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:] = [p for p in sys.path if os.path.abspath(p or os.curdir) != _HERE]


def list_files(roots):
    """Every regular file below the roots (or the roots themselves), sorted."""
    found = []
    for root in roots:
        if not os.path.isdir(root):
            found.append(root)
            continue
        for folder, dirs, files in os.walk(root):
            dirs.sort()
            found.extend(os.path.join(folder, f) for f in sorted(files))
    return found


def split(items, parts):
    """`parts` runs of nearly equal length, in order (none empty)."""
    parts = max(1, min(parts, len(items)))
    size, extra = divmod(len(items), parts)
    runs, start = [], 0
    for i in range(parts):
        end = start + size + (i < extra)
        runs.append(items[start:end])
        start = end
    return runs


def identify_partition(index, paths, out_dir, sample, mode, jobs):
    """Runs on a worker: identifies `paths` and writes their records. Returns
    the partition's file name and its number of records."""
    import oxtarn

    name = os.path.join(out_dir, f"part-{index:05d}.jsonl")
    count = 0
    with open(name + ".partial", "w", encoding="utf-8") as out:
        for path, r in zip(paths, oxtarn.identify_many(paths, jobs=jobs, sample=sample, mode=mode,
                                                      errors="return")):
            if isinstance(r, OSError):
                record = {"path": path, "error": r.strerror or str(r)}
            else:
                record = dataclasses.asdict(r)
                record["extension"] = r.extension
            out.write(json.dumps(record, ensure_ascii=False) + "\n")
            count += 1
    os.replace(name + ".partial", name)  # a partition's file appears whole or not at all
    return name, count


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    where = parser.add_mutually_exclusive_group(required=True)
    where.add_argument("--scheduler", metavar="ADDRESS", help="the scheduler of a running cluster, e.g. tcp://host:8786")
    where.add_argument("--local", metavar="WORKERS", type=int, help="start a cluster of this many workers here")
    parser.add_argument("--partitions", type=int, help="partitions of the file list (default: 4 a worker)")
    parser.add_argument("--jobs", type=int, default=None, help="threads a worker identifies on (default: its cores)")
    parser.add_argument("--sample", type=int, default=256)
    parser.add_argument("--mode", default="normal", choices=["normal", "macbinary", "footer", "special"])
    parser.add_argument("out_dir")
    parser.add_argument("roots", nargs="+")
    args = parser.parse_args(argv)

    from distributed import Client, LocalCluster

    paths = [os.path.abspath(p) for p in list_files(args.roots)]
    out_dir = os.path.abspath(args.out_dir)
    os.makedirs(out_dir, exist_ok=True)

    cluster = None
    if args.local is not None:
        cluster = LocalCluster(n_workers=args.local, threads_per_worker=1, dashboard_address=None)
    with Client(cluster if cluster is not None else args.scheduler) as client:
        workers = len(client.scheduler_info()["workers"]) or 1
        runs = split(paths, args.partitions or 4 * workers)
        futures = client.map(identify_partition, range(len(runs)), runs, out_dir=out_dir, sample=args.sample,
                             mode=args.mode, jobs=args.jobs, pure=False)
        written = client.gather(futures)
    if cluster is not None:
        cluster.close()
    total = sum(count for _, count in written)
    print(f"{total} files in {len(written)} partitions, written to {out_dir}")
    return 0 if total == len(paths) else 1


if __name__ == "__main__":
    sys.exit(main())
