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
