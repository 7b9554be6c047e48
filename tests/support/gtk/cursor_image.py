"""The pointer cursor the X server shows, read through XFixes."""
from Xlib import X, display
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


class CursorWindow:
    """A small window of another client, above everything, whose cursor is blank or the cursor
    font's crosshair: the pointer rests on it between two checks, so that the cursor a check
    sees was set for the place it checks and is not left over from the place before."""

    def __init__(self, x, y, blank, size=30):
        self.centre = (x + size // 2, y + size // 2)
        self.screen = display.Display()
        root = self.screen.screen().root
        if blank:
            pixmap = root.create_pixmap(1, 1, 1)
            gc = pixmap.create_gc(foreground=0)
            pixmap.fill_rectangle(gc, 0, 0, 1, 1)
            cursor = pixmap.create_cursor(pixmap, (0, 0, 0), (0, 0, 0), 0, 0)
        else:
            font = self.screen.open_font("cursor")
            crosshair = 34  # XC_crosshair
            cursor = font.create_glyph_cursor(font, crosshair, crosshair + 1,
                                              (0, 0, 0), (0xFFFF, 0xFFFF, 0xFFFF))
        self.window = root.create_window(x, y, size, size, 0, self.screen.screen().root_depth,
                                         override_redirect=True, cursor=cursor,
                                         background_pixel=self.screen.screen().white_pixel)
        self.window.map()
        self.screen.sync()

    def raise_to_top(self):
        """Above every window again: the program raises its own when it shows them."""
        self.window.configure(stack_mode=X.Above)
        self.screen.sync()

    def close(self):
        self.window.destroy()
        self.screen.close()
