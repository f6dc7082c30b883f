#!/usr/bin/env python3
"""Writes the description tables as a C++ include file with Shift-JIS bytes.

usage: gen_catalogue.py PRIMARY SECONDARY OUTPUT VARIANTS

PRIMARY and SECONDARY are the UTF-8 table files of engine/catalogue (rows of
cells separated by "|"; lines starting with # are comments). Every answer is
encoded with the cp932 codec, so half-width katakana stay single-byte.
VARIANTS is the header that names the variants of the secondary table (the
primary table is variant 1) after their name lines ("#= variant 10 BmpNinja"
gives variants::kBmpNinja). The
tables are checked before anything is written: a table whose rows, keys or
labels disagree with its count lines ("#= ..."), which state the figures the
table is meant to hold, stops the build.
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

PRIMARY_MAX_ANSWER = 65   # bytes; the result record's field holds 255
MAX_ANSWER = 255

KEY = re.compile(r"[a-z0-9]{1,9}\Z")
# A count line of a table file: "#= 714 keys", "#= 「画像」 67 rows",
# "#= no label, 242 rows", "#= 130 rows in 34 variants"; and the name line of
# a variant of the secondary table, "#= variant 10 BmpNinja".
COUNT = re.compile(r"#= (?:(\d+) keys|(「[^」]+」|no label,) (\d+) rows?|(\d+) rows in (\d+) variants"
                   r"|variant ([1-9][0-9]*) ([A-Z][A-Za-z0-9]*))\Z")


class TableError(Exception):
    pass


def read_rows(path, cells, counts=None):
    """Yields (line number, cells) of a table file, spaces around cells cut;
    appends each count line to `counts` as (line number, match) when it is read
    (a table read without `counts` has no count lines)."""
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if line.startswith("#="):
                if counts is None:
                    raise TableError(f"{path}:{number}: this table has no count lines")
                count = COUNT.match(line)
                if not count:
                    raise TableError(f"{path}:{number}: unreadable count line {line!r}")
                counts.append((number, count))
                continue
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
    """The entries sorted by key. The table's count lines say how many keys it
    holds and open each group of rows with its label and number of rows."""
    entries = {}
    counts = []
    keys_expected = None
    group = None  # [label, rows expected, rows found, line number]
    groups = []
    for number, (keys, description, label) in read_rows(path, 3, counts):
        while counts:
            at, count = counts.pop(0)
            if count.group(1):
                if keys_expected is not None:
                    raise TableError(f"{path}:{at}: a second key count")
                keys_expected = int(count.group(1))
            elif count.group(2):
                group = ["" if count.group(2) == "no label," else count.group(2), int(count.group(3)), 0, at]
                groups.append(group)
            else:
                raise TableError(f"{path}:{at}: a line of variants in the primary table")
        if group is None:
            raise TableError(f"{path}:{number}: a row before the first group's count line")
        if label != group[0]:
            raise TableError(f"{path}:{number}: a row labelled {label or 'with no label'} "
                             f"in the group {group[0] or 'with no label'}")
        data = answer(path, number, description, label, PRIMARY_LABELS, PRIMARY_MAX_ANSWER)
        group[2] += 1
        for key in keys.split("+"):
            if not KEY.match(key):
                raise TableError(f"{path}:{number}: bad key {key!r}")
            if key in entries:
                raise TableError(f"{path}:{number}: key {key!r} stands in two rows")
            entries[key] = data
    if counts:
        raise TableError(f"{path}:{counts[0][0]}: a count line after the last row")
    for label, expected, found, at in groups:
        if found != expected:
            raise TableError(f"{path}:{at}: {found} rows labelled {label or 'with no label'}, "
                             f"{expected} expected")
    if keys_expected is None or len(entries) != keys_expected:
        raise TableError(f"{path}: {len(entries)} keys, {keys_expected} expected")
    return sorted(entries.items(), key=lambda item: item[0].encode("ascii"))


def read_secondary(path):
    """Returns ({variant: (exact entries sorted by key, fallback or None)},
    {variant: (name, keys of its rows)}).

    A fallback is ("prefix", text, answer) for a key "p*" or ("any", "", answer) for "*".
    """
    cases = {}
    names = {}
    total = 0
    counts = []
    expected = []
    current = None  # the variant whose name line was read last

    def take_lines():
        nonlocal current
        while counts:
            at, count = counts.pop(0)
            if count.group(4):
                expected.append((int(count.group(4)), int(count.group(5))))
            elif count.group(6):
                variant, name = int(count.group(6)), count.group(7)
                if variant < 2:
                    raise TableError(f"{path}:{at}: variant 1 is the primary table")
                if variant in names:
                    raise TableError(f"{path}:{at}: variant {variant} is named twice")
                if any(name == other for other, _ in names.values()):
                    raise TableError(f"{path}:{at}: the name {name} stands for two variants")
                names[variant] = (name, [])
                current = variant
            else:
                raise TableError(f"{path}:{at}: a count of keys or labels in the secondary table")

    for number, (variant, keys, description, label) in read_rows(path, 4, counts):
        take_lines()
        if not re.fullmatch(r"[1-9][0-9]*", variant) or int(variant) < 2:
            raise TableError(f"{path}:{number}: bad variant {variant!r}")
        if int(variant) != current:
            raise TableError(f"{path}:{number}: a row of variant {variant} away from its name line")
        data = answer(path, number, description, label, SECONDARY_LABELS, MAX_ANSWER)
        exact, fallback = cases.setdefault(int(variant), ({}, []))
        names[int(variant)][1].append(keys)
        total += 1
        if keys.endswith("*"):
            prefix = keys[:-1]
            if fallback:
                raise TableError(f"{path}:{number}: variant {variant} has a second catch-all row")
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
                raise TableError(f"{path}:{number}: key {key!r} stands twice in variant {variant}")
            exact[key] = data
    take_lines()
    unused = sorted(set(names) - set(cases))
    if unused:
        raise TableError(f"{path}: variant {unused[0]} is named but has no rows")
    if len(expected) != 1:
        raise TableError(f"{path}: one count line of rows and variants expected")
    if (total, len(cases)) != expected[0]:
        raise TableError(f"{path}: {total} rows in {len(cases)} variants, "
                         f"{expected[0][0]} in {expected[0][1]} expected")
    return ({variant: (sorted(exact.items(), key=lambda item: item[0].encode("ascii")),
                       fallback[0] if fallback else None)
             for variant, (exact, fallback) in cases.items()},
            names)


def variants_header(names):
    lines = [
        "// Generated by tools/gen_catalogue.py from engine/catalogue/secondary.txt.",
        "// Do not edit. The description variants that a row of the engine's tables",
        "// names: 1 the primary table, 2 and more a variant of the secondary table",
        "// (its name line and rows in secondary.txt).",
        "#pragma once",
        "",
        "namespace zarvo::variants {",
        "",
        "inline constexpr int kPrimary = 1;",
    ]
    for variant in sorted(names):
        name, keys = names[variant]
        shown = ", ".join(keys[:6]) + (", ..." if len(keys) > 6 else "")
        lines.append(f"inline constexpr int k{name} = {variant};  // {shown}")
    lines += ["", "}  // namespace zarvo::variants"]
    return "\n".join(lines) + "\n"


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


def main(primary_path, secondary_path, out_path, variants_path):
    try:
        primary = read_primary(primary_path)
        secondary, names = read_secondary(secondary_path)
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
        "// One run of rows per variant, in ascending order; in a run the",
        "// rows keyed by extension, sorted by key, then the catch-all row if any.",
        "inline constexpr SecondaryRow kSecondary[] = {",
    ]
    for variant in sorted(secondary):
        exact, fallback = secondary[variant]
        for key, data in exact:
            lines.append(f"    {{{variant}, Match::kExact, {literal(key.encode('ascii'))}, {literal(data)}}},")
        if fallback:
            kind, prefix, data = fallback
            match = "Match::kPrefix" if kind == "prefix" else "Match::kAny"
            lines.append(f"    {{{variant}, {match}, {literal(prefix.encode('ascii'))}, {literal(data)}}},")
    lines.append("};")
    with open(out_path, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    with open(variants_path, "w", encoding="ascii", newline="\n") as f:
        f.write(variants_header(names))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(*sys.argv[1:]))
