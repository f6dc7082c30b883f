#!/usr/bin/env python3
"""Writes a corpus of small files of mixed kinds for the peer comparison:
make_corpus.py DIR [COUNT]. Deterministic (fixed seed)."""
import os
import random
import sys

HEADS = [
    b"PK\x03\x04\x14\x00\x00\x00\x08\x00",
    b"Rar!\x1a\x07\x00",
    b"\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03",
    b"GIF89a\x01\x00\x01\x00",
    b"\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR",
    b"\xff\xd8\xff\xe0\x00\x10JFIF\x00",
    b"BM\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00",
    b"RIFF\x24\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x02\x00\x44\xac\x00\x00",
    b"MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60",
    b"%PDF-1.4\n",
    b"MZ\x90\x00\x03\x00\x00\x00",
    b"<html><head><title>t</title></head>",
    b"<?xml version=\"1.0\"?>",
    b"#!/bin/sh\n",
    b"ID3\x03\x00\x00\x00",
    b"OggS\x00\x02",
    # today's kinds, as the current-formats layer sees them
    b"\x00\x00\x00\x18ftypisom\x00\x00\x02\x00isommp41",
    b"\x7fELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x03\x00\x3e\x00",
    b"7z\xbc\xaf\x27\x1c\x00\x04",
    b"\xfd7zXZ\x00\x00\x04",
    b"\x28\xb5\x2f\xfd\x24",
    b"fLaC\x80\x00\x00\x22\x10\x00\x10\x00",
    b"\x1a\x45\xdf\xa3\x9f\x42\x86\x81\x01\x42\x82\x84webm",
    b"SQLite format 3\x00\x10\x00\x01\x01",
    b"\x00asm\x01\x00\x00\x00",
    b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1",
]


def main() -> None:
    out = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 10000
    rng = random.Random(7)
    for i in range(count):
        folder = os.path.join(out, f"d{i // 500:02d}")
        os.makedirs(folder, exist_ok=True)
        if i % 10 == 9:
            body = bytes(rng.randrange(32, 127) for _ in range(rng.randrange(50, 3000)))
        else:
            body = HEADS[i % len(HEADS)] + rng.randbytes(rng.randrange(100, 4000))
        with open(os.path.join(folder, f"f{i:05d}.dat"), "wb") as f:
            f.write(body)


if __name__ == "__main__":
    main()
