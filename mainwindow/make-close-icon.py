#!/usr/bin/env python3
"""Writes the close icon of the app bar as base64 PNG: a white diagonal cross inside a
white circle outline on a transparent background, 40 x 40, anti-aliased by supersampling."""
import base64, math, struct, sys, zlib

SIZE, SUB = 40, 4
CENTRE, RADIUS, STROKE = 20.0, 18.0, 2.0
ARM = 7.0  # half length of each cross bar along an axis


def coverage(x, y):
    on_ring = abs(math.hypot(x - CENTRE, y - CENTRE) - RADIUS) <= STROKE / 2
    dx, dy = x - CENTRE, y - CENTRE
    on_cross = max(abs(dx), abs(dy)) <= ARM + STROKE / 2 and (
        abs(dx - dy) / math.sqrt(2) <= STROKE / 2 or abs(dx + dy) / math.sqrt(2) <= STROKE / 2)
    return on_ring or on_cross


rows = b""
for py in range(SIZE):
    row = b"\x00"
    for px in range(SIZE):
        hits = sum(coverage(px + (i + .5) / SUB, py + (j + .5) / SUB) for i in range(SUB) for j in range(SUB))
        row += bytes((255, 255, 255, round(255 * hits / SUB ** 2)))
    rows += row


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
       + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
sys.stdout.write(base64.b64encode(png).decode() + "\n")
