#!/usr/bin/env python3
"""`hideCursor` over every window of the Linux program as built: the X server's cursor image
(XFixes) with the pointer over the error box, the navigation pane, a button, the page and
the page's text field. Without the setting the same places show a cursor, so the check
can fail. The pointer comes to each place from a window of the opposite cursor, and in the page
the cursor is read again once the page has heard a click there, after the engine set its own.
Real input through xdotool; HOME and XDG_CONFIG_HOME are temporary folders.

Usage: cursor_test.py PROGRAM CLINIC_PORT [unittest arguments]"""
import json
import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "support" / "gtk"))
from cursor_image import CursorWindow, cursor_is_blank  # noqa: E402
from page_server import PageServer  # noqa: E402
from program_process import end_program, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402

PROGRAM, CLINIC_PORT = sys.argv[1], int(sys.argv[2])
TITLE = "Кабинет Duvuzezera"
BUTTON1 = (96, 41)  # "Кабинет"
IN_PANE = (96, 600)
IN_PAGE = (700, 400)
IN_FIELD = (750, 40)  # the page's text field: the engine's text cursor
IN_THE_PAGE = (IN_PAGE, IN_FIELD)
ASIDE = (1240, 20)  # where the window of the opposite cursor lies
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)


class CursorTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.home = pathlib.Path(folder.name)
        self.clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR)
        self.addCleanup(self.clinic.close)

    def run_program(self, settings):
        config = self.home / "kiosk.json"
        config.write_text(json.dumps({"clinicHost": f"127.0.0.1:{CLINIC_PORT}", **settings}))
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=str(self.home), XDG_CONFIG_HOME=str(self.home / "xdg"))
        process = start_program([PROGRAM, "--config", str(config)], env=env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        self.addCleanup(end_program, process)
        return process

    def wait_for_cursor(self, place, blank, what):
        """Moves the pointer to `place` from the window of the opposite cursor and waits until
        the cursor is (or is not) blank: the toolkit and the engine set their cursors in answer
        to the move. In the page, the engine has set its own once the page hears a click."""
        self.aside.raise_to_top()
        xdotool("mousemove", "--sync", *self.aside.centre)
        wait_until(lambda: cursor_is_blank() != blank, "the other window's cursor", timeout=5)
        xdotool("mousemove", "--sync", *place)
        xdotool("mousemove", "--sync", place[0] + 1, place[1])
        expected = f"{'no cursor' if blank else 'a cursor'} over {what}"
        wait_until(lambda: cursor_is_blank() == blank, expected, timeout=5)
        if place in IN_THE_PAGE:
            clicks = self.clinic.reports.count("mouseup0")
            xdotool("click", 1)
            self.clinic.wait_for("mouseup0", times=clicks + 1)
            self.assertEqual(cursor_is_blank(), blank, f"{expected} after a click")

    def keep_aside(self, blank):
        """The window of the opposite cursor, above the program's."""
        self.aside = CursorWindow(*ASIDE, blank=blank)
        self.addCleanup(self.aside.close)

    def open_the_clinic(self):
        window = wait_until(lambda: visible_windows("^Form12$"), "the window")
        xdotool("windowfocus", "--sync", window[0])
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")
        xdotool("mousemove", *BUTTON1, "click", 1)
        self.clinic.wait_for("painted")
        wait_until(lambda: pixel(*IN_PAGE) == CLINIC_COLOUR, "the clinic's page")

    def test_no_cursor_over_any_window_with_hide_cursor(self):
        # A refused value brings the error box up first.
        self.run_program({"hideCursor": True, "playlist": "a b"})
        box = wait_until(lambda: visible_windows(f"^{TITLE}$"), "the message box")
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", box[0]],
                                  check=True, capture_output=True, text=True).stdout
        g = dict(line.split("=") for line in geometry.split())
        centre = (int(g["X"]) + int(g["WIDTH"]) // 2, int(g["Y"]) + int(g["HEIGHT"]) // 3)
        wait_until(lambda: visible_windows("^Form12$"), "the window")
        self.keep_aside(blank=False)
        self.wait_for_cursor(centre, True, "the error box")
        xdotool("windowfocus", "--sync", box[0])
        xdotool("key", "Return")
        wait_until(lambda: not visible_windows(f"^{TITLE}$"), "the message box to close")
        self.open_the_clinic()
        for what, place in (("the page", IN_PAGE), ("the page's text field", IN_FIELD),
                            ("the navigation pane", IN_PANE), ("a button", BUTTON1)):
            self.wait_for_cursor(place, True, what)

    def test_the_cursor_shows_without_hide_cursor(self):
        self.run_program({})
        self.open_the_clinic()
        self.keep_aside(blank=True)
        for what, place in (("the page", IN_PAGE), ("the page's text field", IN_FIELD),
                            ("the navigation pane", IN_PANE)):
            self.wait_for_cursor(place, False, what)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[3:]])
