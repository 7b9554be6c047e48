#!/usr/bin/env python3
"""Builds the application icon as a PNG of SIZE x SIZE pixels (a whole multiple of the map's
32) from the same pixel map as the Windows icon, each map pixel a square block.
Usage: build-icon-png.py MAP.txt SIZE OUT.png"""
import struct
import sys
import zlib

from icon_map import LETTERS, PALETTE, SIZE, read_icon_map


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def main(map_path, size, out_path):
    size = int(size)
    if size % SIZE:
        sys.exit(f"size {size}: must be a multiple of {SIZE}")
    scale = size // SIZE
    rows = read_icon_map(map_path)
    raw = b""
    for row in rows:
        line = b"".join(bytes(PALETTE[LETTERS[c]]) + b"\xff" if c != "." else b"\0\0\0\0" for c in row)
        line = b"".join(line[i:i + 4] * scale for i in range(0, len(line), 4))
        raw += (b"\0" + line) * scale  # filter type 0 on each line
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(out_path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
                  + chunk(b"IEND", b""))


if __name__ == "__main__":
    main(*sys.argv[1:])
