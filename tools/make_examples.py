#!/usr/bin/env python3
"""Writes the small example files of the demo: each is a real kind of file,
most of them under a misleading name. Run from anywhere; writes examples/."""
import os
import struct
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")


def png() -> bytes:
    def chunk(kind: bytes, data: bytes) -> bytes:
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    ihdr = struct.pack(">IIBBBBB", 2, 2, 8, 2, 0, 0, 0)
    raw = b"".join(b"\0" + b"\xff\x00\x00" * 2 for _ in range(2))
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


def gif() -> bytes:
    return (b"GIF89a" + struct.pack("<HH", 1, 1) + b"\x80\x00\x00" + b"\x00\x00\x00\xff\xff\xff"
            + b"\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b")


def wave() -> bytes:
    samples = b"".join(struct.pack("<hh", v, -v) for v in range(0, 4000, 40))
    fmt = struct.pack("<HHIIHH", 1, 2, 44100, 44100 * 4, 4, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(samples)) + samples
    return b"RIFF" + struct.pack("<I", len(body)) + body


def midi() -> bytes:
    name = b"Example Tune"
    track = (b"\x00\xff\x03" + bytes([len(name)]) + name
             + b"\x00\x90\x3c\x40\x60\x80\x3c\x40\x00\xff\x2f\x00")
    return b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk" + struct.pack(">I", len(track)) + track


def zip_archive() -> bytes:
    data = b"hello from the examples\n"
    name = b"hello.txt"
    crc = zlib.crc32(data)
    local = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, 0, 0, 0, crc, len(data), len(data), len(name), 0)
    central = struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, 0, 0, 0, crc, len(data), len(data),
                          len(name), 0, 0, 0, 0, 0, 0)
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 1, 1, len(central) + len(name), len(local) + len(name) + len(data), 0)
    return local + name + data + central + name + end


def gzip_file() -> bytes:
    data = b"compressed text\n" * 20
    return b"\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03" + zlib.compress(data)[2:-4] + struct.pack("<II", zlib.crc32(data), len(data))


def html() -> bytes:
    return b"<html><head><title>Example Page</title></head><body><p>Hello.</p></body></html>\n"


def bmp() -> bytes:
    pixels = b"\x00\x00\xff\x00" * 4
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


EXAMPLES = {
    "holiday-photo.txt": png(),
    "animation.doc": gif(),
    "recording.dat": wave(),
    "tune.bin": midi(),
    "report.pdf": zip_archive(),
    "notes.gz": gzip_file(),
    "page.txt": html(),
    "picture.bmp": bmp(),
    "readme.txt": b"Plain text, correctly named.\r\nOxtarn leaves such a file alone.\r\n",
    "mystery.bin": bytes((i * 97 + 13) % 251 for i in range(300)),
}


def main() -> None:
    for name, content in EXAMPLES.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(content)


if __name__ == "__main__":
    main()
