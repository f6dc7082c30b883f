#!/usr/bin/env python3
"""Measures the engine, with and without the current-formats layer, and
`file --extension` on a corpus made by make_current_corpus.py.

usage: measure_corpus.py [CORPUS] [--default-corpus DIR] [--cli PATH] [--no-file]
                         [--write-baseline FILE] [--check FILE]

The corpus is $OXTARN_CURRENT_CORPUS when that is set, else CORPUS, else
the --default-corpus folder.

Prints, per expected extension and in all, how many files each one gets
right first, wrong, and gives no answer for. The files are looked at under
names without an extension (links in a scratch folder), so that no answer
is helped by the name the file was made with. --write-baseline writes the
files the layer gets right (paths relative to CORPUS, sorted);
--check FILE fails (status 1) when a file listed there is no longer right
with the layer. With --check and no corpus at CORPUS, status 77 (skipped).
"""
import argparse
import collections
import json
import os
import pathlib
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
RIGHT, WRONG, NONE = "right", "wrong", "none"


def read_expected(corpus):
    rows = []
    with open(corpus / "expected.tsv", encoding="utf-8") as f:
        for line in f:
            path, ext = line.rstrip("\n").split("\t")
            rows.append((path, ext))
    return rows


def engine_firsts(cli, corpus, paths, options):
    """{relative path: first candidate or ""} from oxtarn-cli."""
    with tempfile.NamedTemporaryFile("w", suffix=".list", delete=False) as f:
        f.writelines(str(corpus / p) + "\n" for p in paths)
        listing = f.name
    try:
        done = subprocess.run([str(cli), "-q", "--format", "json", "--options", str(options),
                               "--files-from", listing], capture_output=True, text=True)
    finally:
        pathlib.Path(listing).unlink()
    firsts = {}
    for line in done.stdout.splitlines():
        record = json.loads(line)
        rel = str(pathlib.Path(record["path"]).relative_to(corpus))
        candidates = record.get("candidates") or []
        firsts[rel] = candidates[0] if candidates and candidates[0] != "?" else ""
    return firsts


def file_firsts(corpus, paths):
    """{relative path: first extension `file --extension` names, or ""}."""
    with tempfile.NamedTemporaryFile("w", suffix=".list", delete=False) as f:
        f.writelines(str(corpus / p) + "\n" for p in paths)
        listing = f.name
    try:
        done = subprocess.run(["file", "-b", "--extension", "-f", listing], capture_output=True, text=True)
    finally:
        pathlib.Path(listing).unlink()
    firsts = {}
    for path, line in zip(paths, done.stdout.splitlines()):
        first = line.strip().split("/")[0].lower()
        firsts[path] = "" if first in ("???", "") else first
    return firsts


def verdict(first, expected):
    if not first:
        return NONE
    return RIGHT if first == expected else WRONG


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("corpus", type=pathlib.Path, nargs="?")
    parser.add_argument("--default-corpus", type=pathlib.Path)
    parser.add_argument("--cli", type=pathlib.Path, default=ROOT / "build" / "cli" / "oxtarn-cli")
    parser.add_argument("--no-file", action="store_true", help="leave `file --extension` out")
    parser.add_argument("--write-baseline", type=pathlib.Path)
    parser.add_argument("--check", type=pathlib.Path)
    args = parser.parse_args()

    chosen = os.environ.get("OXTARN_CURRENT_CORPUS") or args.corpus or args.default_corpus
    if not chosen:
        parser.error("no corpus given")
    corpus = pathlib.Path(chosen).resolve()
    if not (corpus / "expected.tsv").is_file():
        print(f"measure_corpus: no corpus at {corpus} (make one with tools/make_current_corpus.py)", file=sys.stderr)
        return 77 if args.check else 2
    expected = read_expected(corpus)
    paths = [p for p, _ in expected]
    with tempfile.TemporaryDirectory() as scratch:
        scratch = pathlib.Path(scratch)
        links = [f"f{i:06d}" for i in range(len(paths))]
        for link, path in zip(links, paths):
            (scratch / link).symlink_to(corpus / path)
        back = dict(zip(links, paths))
        runs = {"layer": engine_firsts(args.cli, scratch, links, 16),
                "classic": engine_firsts(args.cli, scratch, links, 0)}
        if not args.no_file:
            runs["file"] = file_firsts(scratch, links)
    tools = {tool: {back[link]: first for link, first in firsts.items()} for tool, firsts in runs.items()}

    counts = {tool: collections.defaultdict(collections.Counter) for tool in tools}
    verdicts = {tool: {} for tool in tools}
    for path, ext in expected:
        for tool, firsts in tools.items():
            v = verdict(firsts.get(path, ""), ext)
            verdicts[tool][path] = v
            counts[tool][ext][v] += 1
            counts[tool]["(all)"][v] += 1

    kinds = sorted({ext for _, ext in expected}) + ["(all)"]
    print("| kind | files | " + " | ".join(f"{t}: right / wrong / none" for t in tools) + " |")
    print("|---|---:|" + "---:|" * len(tools))
    for kind in kinds:
        total = sum(counts["layer"][kind].values())
        cells = [f"{c[kind][RIGHT]} / {c[kind][WRONG]} / {c[kind][NONE]}" for c in counts.values()]
        print(f"| {kind} | {total} | " + " | ".join(cells) + " |")
    total = len(expected)
    if total:
        for tool, c in counts.items():
            a = c["(all)"]
            print(f"{tool}: right first {a[RIGHT]} of {total} ({100 * a[RIGHT] / total:.1f}%), "
                  f"wrong {a[WRONG]} ({100 * a[WRONG] / total:.1f}%), no answer {a[NONE]} ({100 * a[NONE] / total:.1f}%)")

    if args.write_baseline:
        right = sorted(p for p, v in verdicts["layer"].items() if v == RIGHT)
        args.write_baseline.write_text("".join(p + "\n" for p in right), encoding="utf-8")
        print(f"{len(right)} files written to {args.write_baseline}")
    if args.check:
        baseline = [line for line in args.check.read_text(encoding="utf-8").splitlines()
                    if line and not line.startswith("#")]
        missing = [p for p in baseline if p not in verdicts["layer"]]
        regressed = [p for p in baseline if verdicts["layer"].get(p, RIGHT) != RIGHT]
        if missing:
            print(f"measure_corpus: {len(missing)} files of the baseline are not in this corpus "
                  f"(their programs are missing here)", file=sys.stderr)
        for p in regressed:
            print(f"regression: {p}: expected {dict(expected)[p]}, the layer gives "
                  f"{tools['layer'].get(p) or 'no answer'}", file=sys.stderr)
        if regressed:
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
