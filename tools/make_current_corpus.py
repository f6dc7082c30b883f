#!/usr/bin/env python3
"""Makes the corpus of real files of today's kinds that the current-formats
layer is measured on.

usage: make_current_corpus.py OUT [--install] [--only GROUP[,GROUP...]]

Every module tools/corpus/GROUP.py (but common.py) is imported; each names
the Debian packages its programs come from (PACKAGES) and makes its files
with make(out), returning (file name relative to out, expected extension)
pairs. The files of group G go to OUT/G/; OUT/expected.tsv lists every file
(path relative to OUT, a tab, the expected extension), sorted. With
--install the union of the modules' packages is installed first (through
scripts/setup.sh; packages the archive does not have are left out with a
note). OUT is emptied first. Exit status 1 when a module failed.
"""
import argparse
import importlib.util
import pathlib
import shutil
import subprocess
import sys
import time

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent
MODULES = HERE / "corpus"


def group_modules(only):
    """{group name: module} of tools/corpus, in name order."""
    sys.path.insert(0, str(MODULES))
    modules = {}
    for path in sorted(MODULES.glob("*.py")):
        name = path.stem
        if name in ("common", "__init__") or (only and name not in only):
            continue
        spec = importlib.util.spec_from_file_location(f"corpus_{name}", path)
        module = importlib.util.module_from_spec(spec)
        spec.loader.exec_module(module)
        modules[name] = module
    return modules


def available(package):
    """The archive has an installation candidate for the package."""
    try:
        shown = subprocess.run(["apt-cache", "policy", package], capture_output=True, text=True, timeout=60)
    except (OSError, subprocess.SubprocessError):
        return False
    return "Candidate:" in shown.stdout and "Candidate: (none)" not in shown.stdout


def install(packages):
    wanted = [p for p in sorted(packages) if available(p)]
    for p in sorted(set(packages) - set(wanted)):
        print(f"make_current_corpus: the archive has no package {p}; left out", file=sys.stderr)
    if wanted:
        subprocess.run(["bash", str(ROOT / "scripts" / "setup.sh"), *wanted], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out", type=pathlib.Path)
    parser.add_argument("--install", action="store_true", help="install the modules' Debian packages first")
    parser.add_argument("--only", default="", help="comma-separated groups to make (default: all)")
    args = parser.parse_args()
    only = {g for g in args.only.split(",") if g}

    modules = group_modules(only)
    if args.install:
        install({p for m in modules.values() for p in getattr(m, "PACKAGES", [])})

    out = args.out.resolve()
    if out.exists():
        shutil.rmtree(out)
    out.mkdir(parents=True)
    rows = []
    failed = False
    for name, module in modules.items():
        folder = out / name
        folder.mkdir()
        start = time.monotonic()
        try:
            made = module.make(folder)
        except Exception as e:  # a broken module is reported, the others still run
            print(f"make_current_corpus: {name}: {type(e).__name__}: {e}", file=sys.stderr)
            failed = True
            continue
        kept = 0
        for file_name, ext in made:
            path = folder / file_name
            if not path.is_file():
                print(f"make_current_corpus: {name}: {file_name} was not made", file=sys.stderr)
                failed = True
                continue
            if "\t" in file_name or "\n" in file_name or not ext:
                print(f"make_current_corpus: {name}: bad entry {file_name!r} {ext!r}", file=sys.stderr)
                failed = True
                continue
            rows.append((f"{name}/{file_name}", ext))
            kept += 1
        print(f"{name}: {kept} files in {time.monotonic() - start:.1f} s")
    rows.sort()
    with open(out / "expected.tsv", "w", encoding="utf-8", newline="\n") as f:
        f.writelines(f"{path}\t{ext}\n" for path, ext in rows)
    print(f"{len(rows)} files in {out}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
