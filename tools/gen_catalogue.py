#!/usr/bin/env python3
"""Writes the description tables as a C++ include file with Shift-JIS bytes.

usage: gen_catalogue.py PRIMARY SECONDARY OUTPUT

PRIMARY and SECONDARY are the UTF-8 table files of engine/catalogue (rows of
cells separated by "|"; lines starting with # are comments). Every answer is
encoded with the cp932 codec, so half-width katakana stay single-byte. The
tables are checked before anything is written: a table that does not hold the
rows, keys and labels the engine is built for stops the build.
"""
import re
import sys
from collections import Counter

# The 22 category labels, in their order; the primary table uses the first
# 21, the secondary table all but the disguise label.
LABELS = [
    "「画像」", "「書庫」", "「動画」", "「CAD」", "「ｻｳﾝﾄﾞ」", "「言語」", "「ROM」",
    "「文章」", "「表計算」", "「OS」", "「ｱﾌﾟﾘｹｰｼｮﾝ」", "「Stream Audio/Video ｼｮｰﾄｶｯﾄ」",
    "「ｴﾝｺｰﾄﾞ」", "「ﾃﾞｰﾀﾍﾞｰｽ」", "「暗号化」", "「ｾｰﾌﾞﾃﾞｰﾀ」", "「Emulator」",
    "「CD-R」", "「ｲﾒｰｼﾞ」", "「ﾘｽﾄ」", "「偽装」", "「ｲﾝﾌﾟﾗﾝﾄ」",
]
PRIMARY_LABELS = LABELS[:21]
SECONDARY_LABELS = [label for label in LABELS if label != "「偽装」"]

# Rows per label of the primary table ("" = no label).
PRIMARY_ROWS_PER_LABEL = {
    "「画像」": 67, "「書庫」": 84, "「動画」": 19, "「CAD」": 8, "「ｻｳﾝﾄﾞ」": 38,
    "「言語」": 30, "「ROM」": 18, "「文章」": 19, "「表計算」": 6, "「OS」": 44,
    "「ｱﾌﾟﾘｹｰｼｮﾝ」": 15, "「Stream Audio/Video ｼｮｰﾄｶｯﾄ」": 5, "「ｴﾝｺｰﾄﾞ」": 7,
    "「ﾃﾞｰﾀﾍﾞｰｽ」": 4, "「暗号化」": 10, "「ｾｰﾌﾞﾃﾞｰﾀ」": 2, "「Emulator」": 8,
    "「CD-R」": 13, "「ｲﾒｰｼﾞ」": 15, "「ﾘｽﾄ」": 2, "「偽装」": 1, "": 242,
}
PRIMARY_ROWS = 657
PRIMARY_KEYS = 714
PRIMARY_MAX_ANSWER = 65   # bytes; the result record's field holds 255
SECONDARY_ROWS = 130
SECONDARY_CASES = 34
MAX_ANSWER = 255

KEY = re.compile(r"[a-z0-9]{1,9}\Z")


class TableError(Exception):
    pass


def read_rows(path, cells):
    """Yields (line number, cells) of a table file, spaces around cells cut."""
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.startswith("#"):
                continue
            row = [cell.strip(" ") for cell in line.split("|")]
            if len(row) != cells:
                raise TableError(f"{path}:{number}: {cells} cells expected, {len(row)} found")
            if not row[cells - 2]:
                raise TableError(f"{path}:{number}: empty description")
            yield number, row


def answer(path, number, description, label, labels, limit):
    if label and label not in labels:
        raise TableError(f"{path}:{number}: unknown category label {label!r}")
    text = description + label
    try:
        data = text.encode("cp932")
    except UnicodeEncodeError as e:
        raise TableError(f"{path}:{number}: {text!r} is not code page 932 text ({e})")
    if len(data) > limit:
        raise TableError(f"{path}:{number}: answer of {len(data)} bytes, at most {limit}")
    return data


def read_primary(path):
    entries = {}
    rows = Counter()
    for number, (keys, description, label) in read_rows(path, 3):
        data = answer(path, number, description, label, PRIMARY_LABELS, PRIMARY_MAX_ANSWER)
        rows[label] += 1
        for key in keys.split("+"):
            if not KEY.match(key):
                raise TableError(f"{path}:{number}: bad key {key!r}")
            if key in entries:
                raise TableError(f"{path}:{number}: key {key!r} stands in two rows")
            entries[key] = data
    total = sum(rows.values())
    if total != PRIMARY_ROWS or len(entries) != PRIMARY_KEYS:
        raise TableError(f"{path}: {total} rows and {len(entries)} keys, "
                         f"{PRIMARY_ROWS} and {PRIMARY_KEYS} expected")
    for label, count in PRIMARY_ROWS_PER_LABEL.items():
        if rows[label] != count:
            raise TableError(f"{path}: {rows[label]} rows labelled {label or 'with no label'}, "
                             f"{count} expected")
    return sorted(entries.items(), key=lambda item: item[0].encode("ascii"))


def read_secondary(path):
    """Returns {selector: (exact entries sorted by key, fallback or None)}.

    A fallback is ("prefix", text, answer) for a key "p*" or ("any", "", answer) for "*".
    """
    cases = {}
    total = 0
    for number, (selector, keys, description, label) in read_rows(path, 4):
        if not re.fullmatch(r"[1-9][0-9]*", selector) or int(selector) < 2:
            raise TableError(f"{path}:{number}: bad selector {selector!r}")
        data = answer(path, number, description, label, SECONDARY_LABELS, MAX_ANSWER)
        exact, fallback = cases.setdefault(int(selector), ({}, []))
        total += 1
        if keys.endswith("*"):
            prefix = keys[:-1]
            if fallback:
                raise TableError(f"{path}:{number}: case {selector} has a second catch-all row")
            if prefix and not KEY.match(prefix):
                raise TableError(f"{path}:{number}: bad key {keys!r}")
            fallback.append(("prefix" if prefix else "any", prefix, data))
            continue
        if fallback:
            raise TableError(f"{path}:{number}: rows keyed by extension come before the catch-all row")
        for key in keys.split("+"):
            if not KEY.match(key):
                raise TableError(f"{path}:{number}: bad key {key!r}")
            if key in exact:
                raise TableError(f"{path}:{number}: key {key!r} stands twice in case {selector}")
            exact[key] = data
    if total != SECONDARY_ROWS or len(cases) != SECONDARY_CASES:
        raise TableError(f"{path}: {total} rows in {len(cases)} cases, "
                         f"{SECONDARY_ROWS} in {SECONDARY_CASES} expected")
    return {selector: (sorted(exact.items(), key=lambda item: item[0].encode("ascii")),
                       fallback[0] if fallback else None)
            for selector, (exact, fallback) in cases.items()}


def literal(data):
    """A C++ string literal of the bytes: printable ASCII as is, the rest as
    three-digit octal escapes (which never swallow a following character)."""
    out = []
    for b in data:
        c = chr(b)
        if c in '"\\?':
            out.append("\\" + c)
        elif 0x20 <= b < 0x7F:
            out.append(c)
        else:
            out.append(f"\\{b:03o}")
    return '"' + "".join(out) + '"sv'


def main(primary_path, secondary_path, out_path):
    try:
        primary = read_primary(primary_path)
        secondary = read_secondary(secondary_path)
    except (TableError, OSError) as e:
        print(f"gen_catalogue: {e}", file=sys.stderr)
        return 1
    lines = [
        "// Generated by tools/gen_catalogue.py from engine/catalogue/primary.txt",
        "// and engine/catalogue/secondary.txt. Do not edit. Answers are Shift-JIS.",
        "",
        "// Keyed by extension, sorted by key.",
        "inline constexpr Entry kPrimary[] = {",
    ]
    lines += [f"    {{{literal(key.encode('ascii'))}, {literal(data)}}}," for key, data in primary]
    lines += [
        "};",
        "",
        "// One run of rows per case, in ascending selector order; in a run the",
        "// rows keyed by extension, sorted by key, then the catch-all row if any.",
        "inline constexpr Variant kSecondary[] = {",
    ]
    for selector in sorted(secondary):
        exact, fallback = secondary[selector]
        for key, data in exact:
            lines.append(f"    {{{selector}, Match::kExact, {literal(key.encode('ascii'))}, {literal(data)}}},")
        if fallback:
            kind, prefix, data = fallback
            match = "Match::kPrefix" if kind == "prefix" else "Match::kAny"
            lines.append(f"    {{{selector}, {match}, {literal(prefix.encode('ascii'))}, {literal(data)}}},")
    lines.append("};")
    with open(out_path, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(*sys.argv[1:]))
