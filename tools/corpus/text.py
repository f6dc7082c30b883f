"""Real text files sampled from what Debian packages install, for the text
group: sources, headers, configuration, data, documentation and licences.

Each file is copied under a name without its extension (the layer must tell
the kind from the content alone) and given the extension its real name
carries. A hash of the source path splits the files deterministically into a
part for building the rules (`build`) and a part for measuring (`measure`).

Run as a script to make the corpus and measure the engine on it:
    python3 tools/corpus/text.py BUILD_DIR/cli/oxtarn-cli [--part measure]
"""
from __future__ import annotations

import hashlib
import json
import os
import pathlib
import shutil
import subprocess
import sys
from collections import Counter, defaultdict

PACKAGES: list[str] = []

# Where to look, walked in order; files above MAX_BYTES are left out.
ROOTS = [
    "/usr/lib/python3", "/usr/lib/python3.11", "/usr/include", "/usr/lib/node_modules", "/usr/share/doc",
    "/etc", "/usr/share/common-licenses", "/usr/share/perl", "/usr/share/perl5", "/usr/share/ca-certificates",
    "/usr/share/mime", "/usr/share/xml", "/usr/share/X11", "/usr/share/cmake", "/usr/share/icons", "/usr/share/vim",
    "/usr/share/javascript", "/usr/share/nodejs", "/usr/share/ruby", "/usr/lib/ruby", "/usr/share/lua", "/usr/share/zsh",
    "/usr/share/bash-completion", "/usr/share/doc-base", "/usr/share/texmf", "/usr/share/texlive", "/usr/share/gtk-doc",
    "/usr/src", "/usr/share/go", "/usr/lib/go", "/usr/share/misc", "/usr/share/i18n",
]
MAX_BYTES = 256 * 1024
PER_EXT = 60          # files of one extension, all parts together
WALK_LIMIT = 400_000  # paths looked at, all roots together

# The real extension (lower case) and the kind expected of it. Names that
# carry no extension of their own (Makefile, Dockerfile, ...) are expected as
# themselves; the licences under common-licenses are prose.
EXPECTED = {
    "py": "py", "js": "js", "mjs": "js", "cjs": "js", "ts": "ts", "json": "json", "xml": "xml", "svg": "svg",
    "html": "html", "htm": "html", "xhtml": "xhtml", "css": "css", "scss": "scss", "c": "c", "h": "h", "cc": "cpp",
    "cpp": "cpp", "cxx": "cpp", "hpp": "h", "hh": "h", "rs": "rs", "go": "go", "java": "java", "kt": "kt", "rb": "rb",
    "pl": "pl", "pm": "pl", "lua": "lua", "sh": "sh", "bash": "sh", "zsh": "zsh", "php": "php", "md": "md",
    "markdown": "md", "rst": "rst", "txt": "txt", "csv": "csv", "tsv": "tsv", "yaml": "yaml", "yml": "yaml",
    "toml": "toml", "ini": "ini", "cfg": "ini", "conf": "ini", "properties": "properties", "sql": "sql", "tex": "tex",
    "bib": "bib", "pem": "pem", "crt": "pem", "patch": "patch", "diff": "patch", "rss": "rss", "atom": "atom",
    "xsl": "xsl", "xslt": "xsl", "xsd": "xsd", "plist": "plist", "vtt": "vtt", "srt": "srt", "ics": "ics",
    "s": "s", "asm": "s", "hs": "hs", "scala": "scala", "dart": "dart", "ex": "ex", "exs": "ex", "zig": "zig",
    "ps1": "ps1", "bat": "bat", "cmd": "bat", "tcl": "tcl", "awk": "awk", "r": "r", "swift": "swift", "cs": "cs",
    "geojson": "geojson", "jsonl": "jsonl", "ndjson": "jsonl", "kml": "kml", "gpx": "gpx", "opml": "opml",
    "adoc": "adoc", "asciidoc": "adoc", "vue": "vue", "jsx": "jsx", "tsx": "tsx", "eml": "eml", "mbox": "mbox",
}
NAMES = {"Makefile": "Makefile", "makefile": "Makefile", "GNUmakefile": "Makefile", "Dockerfile": "Dockerfile",
         "CMakeLists.txt": "CMakeLists.txt", "meson.build": "meson.build"}
# Answers counted as the same kind as the expected one (settings files share
# one grammar whatever their extension says).
SAME = {"ini": {"ini", "cfg", "conf"}, "html": {"html", "htm"}, "yaml": {"yaml", "yml"}, "patch": {"patch", "diff"},
        "Makefile": {"Makefile", "mk"}, "jsonl": {"jsonl", "ndjson"}, "h": {"h", "hpp"}}


def expected_of(path: pathlib.Path) -> str | None:
    if path.name in NAMES:
        return NAMES[path.name]
    if path.parent.name == "common-licenses":
        return "txt"
    ext = path.suffix[1:].lower()
    return EXPECTED.get(ext)


def part_of(path: str) -> str:
    return "measure" if hashlib.sha1(path.encode()).digest()[0] % 10 < 3 else "build"


def candidates() -> dict[str, list[pathlib.Path]]:
    by_kind: dict[str, list[pathlib.Path]] = defaultdict(list)
    seen = 0
    for root in ROOTS:
        for dirpath, dirnames, filenames in os.walk(root):
            dirnames.sort()
            for name in sorted(filenames):
                seen += 1
                if seen > WALK_LIMIT:
                    return by_kind
                p = pathlib.Path(dirpath, name)
                kind = expected_of(p)
                if kind is None or p.is_symlink() or not p.is_file():
                    continue
                try:
                    size = p.stat().st_size
                except OSError:
                    continue
                if 0 < size <= MAX_BYTES:
                    by_kind[kind].append(p)
    return by_kind


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    made: list[tuple[str, str]] = []
    for kind, paths in sorted(candidates().items()):
        # A spread of each kind: ordered by hash, so no one folder fills it.
        picked = sorted(set(paths), key=lambda p: hashlib.sha1(b"pick:" + str(p).encode()).hexdigest())[:PER_EXT]
        for p in picked:
            digest = hashlib.sha1(str(p).encode()).hexdigest()[:12]
            name = f"{part_of(str(p))}/{digest}"
            (out / name).parent.mkdir(parents=True, exist_ok=True)
            try:
                shutil.copyfile(p, out / name)
            except OSError:
                continue
            made.append((name, kind))
    (out / "sources.tsv").write_text("".join(f"{n}\t{k}\n" for n, k in made))
    return made


def first_of(answer: str) -> str:
    return answer.split(",")[0] if answer else "?"


def hit(expected: str, first: str) -> bool:
    return first == expected or first in SAME.get(expected, ())


def measure(cli: str, out: pathlib.Path, made: list[tuple[str, str]], part: str) -> None:
    files = [(n, k) for n, k in made if n.startswith(part + "/")]
    ours: dict[str, str] = {}
    for i in range(0, len(files), 200):
        chunk = [str(out / n) for n, _ in files[i:i + 200]]
        res = subprocess.run([cli, "--options", "16", "--format", "json", *chunk], capture_output=True, text=True)
        for line in res.stdout.splitlines():
            rec = json.loads(line)
            ours[rec["path"]] = ",".join(rec.get("candidates", [])) or ""
    theirs: dict[str, str] = {}
    for i in range(0, len(files), 200):
        chunk = [str(out / n) for n, _ in files[i:i + 200]]
        res = subprocess.run(["file", "--extension", *chunk], capture_output=True, text=True)
        for line in res.stdout.splitlines():
            path, _, ext = line.rpartition(": ")
            ext = ext.strip()
            theirs[path] = "" if ext == "???" else ext.replace("/", ",")
    right, wrong, txt, file_right = Counter(), Counter(), Counter(), Counter()
    totals = Counter()
    confusion: dict[str, Counter] = defaultdict(Counter)
    for n, k in files:
        path = str(out / n)
        totals[k] += 1
        first = first_of(ours.get(path, ""))
        if hit(k, first):
            right[k] += 1
        elif first in ("txt", "?"):
            txt[k] += 1
            confusion[k][first] += 1
        else:
            wrong[k] += 1
            confusion[k][first] += 1
        if hit(k, first_of(theirs.get(path, ""))):
            file_right[k] += 1
    print(f"{'kind':<16}{'files':>6}{'right':>7}{'txt/?':>7}{'wrong':>7}{'file':>7}   misses")
    for k in sorted(totals):
        miss = ", ".join(f"{a}:{c}" for a, c in confusion[k].most_common(4))
        print(f"{k:<16}{totals[k]:>6}{right[k]:>7}{txt[k]:>7}{wrong[k]:>7}{file_right[k]:>7}   {miss}")
    t = sum(totals.values())
    print(f"{'all':<16}{t:>6}{sum(right.values()):>7}{sum(txt.values()):>7}{sum(wrong.values()):>7}{sum(file_right.values()):>7}")
    print(f"right first: {100 * sum(right.values()) / t:.1f}%  (file --extension: {100 * sum(file_right.values()) / t:.1f}%)")


if __name__ == "__main__":
    cli = sys.argv[1]
    part = sys.argv[sys.argv.index("--part") + 1] if "--part" in sys.argv else "measure"
    out = pathlib.Path(os.environ.get("TEXT_CORPUS", "/tmp/text_corpus"))
    if (out / "sources.tsv").exists():
        made = [tuple(l.split("\t")) for l in (out / "sources.tsv").read_text().splitlines()]
    else:
        made = make(out)
    measure(cli, out, made, part)
