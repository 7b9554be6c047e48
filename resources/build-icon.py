#!/usr/bin/env python3
"""Builds a 32 x 32, 16-colour .ico with a transparency mask from a text pixel map.
Usage: build-icon.py MAP.txt OUT.ico"""
import struct
import sys

from icon_map import LETTERS, PALETTE, SIZE, read_icon_map


def main(map_path, out_path):
    rows = read_icon_map(map_path)
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
