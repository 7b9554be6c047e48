"""The pointer cursor the X server shows, read through XFixes."""
from Xlib import display
from Xlib.ext import xfixes  # noqa: F401  (registers the extension's requests)


def cursor_is_blank():
    """True when no pixel of the cursor shown now is visible (its alpha is 0 everywhere)."""
    screen = display.Display()
    try:
        screen.xfixes_query_version()
        image = screen.xfixes_get_cursor_image(screen.screen().root)
        return image.width * image.height > 0 and not any(p >> 24 for p in image.cursor_image)
    finally:
        screen.close()
