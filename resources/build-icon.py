#!/usr/bin/env python3
"""Builds a 32 x 32, 16-colour .ico with a transparency mask from a text pixel map.
Usage: build-icon.py MAP.txt OUT.ico"""
import struct
import sys

# The standard 16-colour palette (RGB); the map's letters pick from it.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
LETTERS = {"K": 0, "G": 2, "B": 12, "S": 8, "W": 15}
SIZE = 32


def main(map_path, out_path):
    rows = [line.rstrip("\n") for line in open(map_path, encoding="utf-8") if not line.startswith("#")]
    if len(rows) != SIZE or any(len(r) != SIZE for r in rows):
        sys.exit(f"{map_path}: expected {SIZE} rows of {SIZE} characters")
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c != "." and c not in LETTERS:
                sys.exit(f"{map_path}: row {y + 1}, column {x + 1}: unknown pixel '{c}'")
    xor = b""
    mask = b""
    for row in reversed(rows):  # bottom-up, as bitmaps are stored
        nibbles = [LETTERS.get(c, 0) for c in row]
        xor += bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2))
        bits = "".join("1" if c == "." else "0" for c in row)
        mask += int(bits, 2).to_bytes(SIZE // 8, "big")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    with open(out_path, "wb") as out:
        out.write(directory + image)


if __name__ == "__main__":
    main(*sys.argv[1:])
