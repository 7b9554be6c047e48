#!/usr/bin/env python3
"""The Linux program as built on Wayland, under a headless sway: its window covers the output
without a border, a tap through the compositor's virtual pointer opens the loopback clinic,
whose page paints; right clicks never reach the page while left ones do; Escape and a swipe up
on the pane show the app bar; the bar's height at scale factors 1 and 2; with
hideCursor no cursor image is drawn. HOME and XDG_CONFIG_HOME are temporary folders.

Usage: wayland_test.py PROGRAM CLINIC_PORT [unittest arguments]"""
import json
import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "support" / "gtk"))
from page_server import PageServer  # noqa: E402
from program_process import end_program, start_program  # noqa: E402
from screen import wait_until  # noqa: E402
from wayland_session import BTN_LEFT, BTN_RIGHT, Sway, VirtualPointer  # noqa: E402

PROGRAM, CLINIC_PORT = sys.argv[1], int(sys.argv[2])
WIDTH, HEIGHT = 1280, 800
BUTTON1 = (96, 41)  # "Кабинет"
BUTTON1_EDGE = (20, 41)  # inside the button, left of its text
BUTTON_HOVER = (94, 94, 94)
PANE_FREE = 100  # x of the navigation pane below its buttons
IN_PAGE = (700, 400)
IN_BAR = (600, 790)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)


class WaylandTest(unittest.TestCase):
    def start(self, scale=1, **settings):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.home = pathlib.Path(folder.name)
        self.clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR)
        self.addCleanup(self.clinic.close)
        self.sway = Sway(WIDTH * scale, HEIGHT * scale, scale)
        self.addCleanup(self.sway.close)
        # The seat has its pointer and keyboard before the program starts, so the toolkit
        # takes them up at once: a device added later reaches the program only after a while.
        self.sway.hold_keyboard()
        self.pointer = VirtualPointer(self.sway, WIDTH, HEIGHT)
        self.addCleanup(self.pointer.close)
        config = self.home / "kiosk.json"
        config.write_text(json.dumps({"clinicHost": f"127.0.0.1:{CLINIC_PORT}", **settings}))
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_") and k != "DISPLAY"}
        env.update(HOME=str(self.home), GDK_BACKEND="wayland", **self.sway.client_env())
        self.process = start_program([PROGRAM, "--config", str(config)], env=env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        self.addCleanup(end_program, self.process)
        self.window = wait_until(self.program_window, "the program's window on the output")
        wait_until(lambda: self.sway.pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")

    def program_window(self):
        tree = json.loads(self.sway.swaymsg("-t", "get_tree").stdout or "{}")
        stack = [tree]
        while stack:
            node = stack.pop()
            if node.get("pid") == self.process.pid and node.get("visible"):
                return node
            stack += node.get("nodes", []) + node.get("floating_nodes", [])
        return None

    def open_clinic(self):
        # The press once the button shows the pointer over it: a tap at once after start, at
        # scale factor 2, can still be lost while the window is scaled for its output.
        self.pointer.move(*BUTTON1)
        wait_until(lambda: self.sway.pixel(*BUTTON1_EDGE) == BUTTON_HOVER,
                   "the pointer on the button")
        self.pointer.button(BTN_LEFT, True)
        self.pointer.button(BTN_LEFT, False)
        self.clinic.wait_for("painted")
        wait_until(lambda: self.sway.pixel(*IN_PAGE) == CLINIC_COLOUR, "the page on the output")

    def bar_shown(self):
        colour = self.sway.pixel(*IN_BAR)
        self.assertIn(colour, (SPLASH_COLOUR, CLINIC_COLOUR))
        return colour == SPLASH_COLOUR

    def test_the_window_covers_the_output_and_takes_pointer_and_keys(self):
        self.start()
        rect = self.window["rect"]
        self.assertEqual((rect["x"], rect["y"], rect["width"], rect["height"]), (0, 0, WIDTH, HEIGHT))
        self.assertEqual(self.window["border"], "none")
        self.open_clinic()

        # Escape on the button just tapped toggles the bar, as a swipe up on the pane does.
        self.assertFalse(self.bar_shown())
        for shown, what, act in ((True, "Escape", lambda: self.sway.key("Escape")),
                                 (False, "Escape again", lambda: self.sway.key("Escape")),
                                 (True, "a swipe up on the pane", lambda: self.pointer.drag(
                                     [(PANE_FREE, y) for y in range(700, 449, -25)])),
                                 (False, "a second swipe", lambda: self.pointer.drag(
                                     [(PANE_FREE, y) for y in range(700, 449, -25)]))):
            act()
            wait_until(lambda: self.bar_shown() == shown, f"the bar after {what}", timeout=5)

        # A right click, then a left one: the page hears only the left, so the right one,
        # sent first, was discarded rather than late.
        self.pointer.click(*IN_PAGE, button=BTN_RIGHT)
        self.pointer.click(*IN_PAGE)
        self.clinic.wait_for("mouseup0")
        reports = list(self.clinic.reports)
        self.assertIn("mousedown0", reports)
        self.assertFalse({"mousedown2", "mouseup2", "auxclick2", "contextmenu"} & set(reports),
                         reports)
        self.assertIsNone(self.process.poll())

    def cursor_drawn(self):
        """Whether the output shows anything but the page around the pointer in it, once the
        page has heard a click there: by then the engine has set its own cursor, so what shows
        is not the cursor left over from the button tapped before."""
        clicks = self.clinic.reports.count("mouseup0")
        self.pointer.click(*IN_PAGE)
        self.clinic.wait_for("mouseup0", times=clicks + 1)
        w, h, pixels = self.sway.screenshot(IN_PAGE[0] - 8, IN_PAGE[1] - 8, 48, 48, cursor=True)
        return any(tuple(pixels[i:i + 3]) != CLINIC_COLOUR for i in range(0, len(pixels), 3))

    def test_hide_cursor_draws_no_cursor_on_the_output(self):
        for hide in (False, True):
            with self.subTest(hideCursor=hide):
                self.start(hideCursor=hide)
                self.open_clinic()
                if hide:
                    self.assertFalse(self.cursor_drawn(), "a cursor over the page")
                else:
                    wait_until(self.cursor_drawn, "a cursor over the page", timeout=5)
                self.doCleanups()

    def bar_height(self, scale):
        """The app bar's height in device pixels, on an output of that scale factor."""
        self.start(scale=scale)
        self.open_clinic()
        self.sway.key("Escape")
        wait_until(lambda: self.sway.pixel(*IN_BAR) == SPLASH_COLOUR, "the bar")
        # One column of device pixels across the bottom of the output.
        w, h, pixels = self.sway.screenshot(IN_BAR[0], HEIGHT - 90, 1, 90)
        self.assertEqual((w, h), (scale, 90 * scale))
        return [tuple(pixels[i:i + 3]) for i in range(0, len(pixels), 3 * w)].count(SPLASH_COLOUR)

    def test_the_bar_at_scale_factor_1(self):
        self.assertEqual(self.bar_height(1), 75)

    # 75 device pixels are 37.5 of the toolkit's: the bar takes 38, flush with the bottom.
    def test_the_bar_at_scale_factor_2(self):
        self.assertEqual(self.bar_height(2), 76)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[3:]])
