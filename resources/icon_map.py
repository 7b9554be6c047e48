"""Reads the application icon's text pixel map (resources/MAINICON.txt): one character a
pixel, "." transparent, the other letters colours of the standard 16-colour palette."""
import sys

# The standard 16-colour palette (RGB); the map's letters pick from it.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
LETTERS = {"K": 0, "G": 2, "B": 12, "S": 8, "W": 15}
SIZE = 32


def read_icon_map(map_path):
    """The map's rows, top first, each checked to be SIZE known characters."""
    rows = [line.rstrip("\n") for line in open(map_path, encoding="utf-8") if not line.startswith("#")]
    if len(rows) != SIZE or any(len(r) != SIZE for r in rows):
        sys.exit(f"{map_path}: expected {SIZE} rows of {SIZE} characters")
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c != "." and c not in LETTERS:
                sys.exit(f"{map_path}: row {y + 1}, column {x + 1}: unknown pixel '{c}'")
    return rows
