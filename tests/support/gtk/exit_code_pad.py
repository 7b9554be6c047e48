"""Where the program's digits pad puts its keys, for tests that tap them."""


def key_centre(key, width=1280, height=800):
    """Where the pad puts `key` in a window of this size (mainwindow/ExitCodePad.cpp): three
    keys across, the display and four rows down, a gap of an eighth of a key between them."""
    side = max(min(width // 5, height // 7), 1)
    gap = side // 8
    left = (width - 3 * side - 2 * gap) // 2
    top = (height - 5 * side - 4 * gap) // 2
    index = "123456789x0<".index(key)
    row, column = index // 3 + 1, index % 3
    return left + column * (side + gap) + side // 2, top + row * (side + gap) + side // 2
