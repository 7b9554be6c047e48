#!/usr/bin/env python3
"""Each visitor forgotten, whatever the page does: pages on loopback that arm a question before
they are left, open dialogs, ask to lock the pointer or mark links visited, against the Linux
program built to return to the splash after a few seconds without input, with and without
`lockdown` (from a settings file named on the command line). Real taps through xdotool, pixels
from the X screen.

Usage: visitor_test.py PROGRAM CLINIC_PORT SITE_PORT IDLE_SECONDS [unittest arguments]"""
import json
import os
import pathlib
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "support" / "gtk"))
from page_server import PathRecorder, send_page  # noqa: E402
from program_process import end_program, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402

PROGRAM = sys.argv[1]
CLINIC_PORT, SITE_PORT, IDLE_SECONDS = map(int, sys.argv[2:5])
BUTTON1 = (96, 41)  # "Кабинет"
BUTTON2 = (96, 89)  # the site
IN_PAGE = (700, 400)
OFF_PAGE = (96, 600)  # the pane below its buttons
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)
SITE_COLOUR = (0x46, 0x82, 0xB4)
VISITED_COLOUR = (0x8B, 0x2E, 0x2E)
# Where a box the engine draws over the page, in the middle of the view, would show.
VIEW_MIDDLE = [(735, 400), (735, 360), (735, 440), (640, 400), (830, 400)]
SPLASH_CORNER = (1250, 20)  # the splash, away from any window in the middle of the screen

FULL = "position: absolute; left: 0; top: 0; width: 100%; height: 100%; margin: 0; border: 0;"
# What a tap on the page does.
TAPS = {
    "beforeunload": "addEventListener('beforeunload', e => { e.preventDefault();"
                    " e.returnValue = ''; }); report('armed');",
    "alert": "alert('The previous patient\\'s results');",
    "confirm": "report('answered-' + confirm('Keep the form?'));",
    "prompt": "report('answered-' + prompt('Your name?', 'A patient'));",
    "print": "print();",
    "pointer-lock": "document.body.requestPointerLock(); report('locking');",
}
PAGE = """<!doctype html><html><head><style>html, body { margin: 0; height: 100%%;
background: #%02X%02X%02X; } a { display: block; %s } a:link { background-color: #%02X%02X%02X; }
a:visited { background-color: #%02X%02X%02X; }</style></head><body>%s<script>
function report(what) { fetch('/report?e=' + encodeURIComponent(what)); }
const target = document.getElementById('t');
if (target) target.addEventListener('click', () => { %s });
report('loaded');
</script></body></html>"""


class Server(PathRecorder):
    """Answers "/" with the page for the tap being tried, "/other" with a page in another
    colour, and keeps every path asked for."""

    def __init__(self, port, colour):
        self.tap = None
        self.link = False

        def answer(handler):
            if handler.path.startswith("/report"):
                send_page(handler, b"")
                return
            page_colour = SITE_COLOUR if handler.path == "/other" else colour
            target = ""
            if self.link and handler.path == "/":
                target = '<a id="l" href="/other"></a>'
            elif self.tap and handler.path == "/":
                target = f'<button id="t" style="{FULL} opacity: 0;"></button>'
            send_page(handler, (PAGE % (*page_colour, FULL, *colour, *VISITED_COLOUR, target,
                                        TAPS.get(self.tap, ""))).encode())

        super().__init__(port, answer)


def only(colour):
    """Whether the middle of the view shows `colour` and nothing drawn over it."""
    return lambda: all(pixel(*p) == colour for p in VIEW_MIDDLE)


class VisitorTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.folder = pathlib.Path(folder.name)
        (self.folder / "home").mkdir()
        self.clinic = Server(CLINIC_PORT, CLINIC_COLOUR)
        self.addCleanup(self.clinic.close)
        self.site = Server(SITE_PORT, SITE_COLOUR)
        self.addCleanup(self.site.close)
        self.process = None

    def tearDown(self):
        if self.process:
            end_program(self.process)

    def start(self, lockdown, tap=None):
        if self.process:
            end_program(self.process)
        self.clinic.tap = tap
        settings = self.folder / "kiosk.json"
        settings.write_text(json.dumps({"lockdown": lockdown}))
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=str(self.folder / "home"))
        self.process = start_program([PROGRAM, "--config", str(settings)], env=env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        window = wait_until(lambda: visible_windows("^Form12$"), "the window")
        xdotool("windowfocus", "--sync", window[0])
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")
        self.windows_before = set(visible_windows("."))

    def open_clinic(self, what="the clinic's page", colour=CLINIC_COLOUR):
        """A tap on "Кабинет": a fresh load of the clinic's page, with nothing over it."""
        loads = self.clinic.count("/report?e=loaded")
        xdotool("mousemove", *BUTTON1, "click", 1)
        self.clinic.wait_for("/report?e=loaded", loads + 1)
        wait_until(only(colour), f"{what} with nothing over it")
        self.assertEqual(self.new_windows(), set(), f"a window over {what}")

    def tap_the_page(self):
        xdotool("mousemove", *IN_PAGE, "click", 1, "mousemove", *OFF_PAGE)

    def new_windows(self):
        return set(visible_windows(".")) - self.windows_before

    def wait_for_the_reset(self):
        wait_until(lambda: pixel(*SPLASH_CORNER) == SPLASH_COLOUR, "the idle reset",
                   IDLE_SECONDS + 10)

    def open_the_dialog(self, tap):
        self.tap_the_page()
        if tap == "beforeunload":
            self.clinic.wait_for("/report?e=armed")
        elif tap == "print":
            wait_until(self.new_windows, "the print dialog")
        else:
            wait_until(lambda: not only(CLINIC_COLOUR)(), f"the {tap} box")

    # The previous visitor's page, its question or its dialog never meet the next visitor.
    def test_the_idle_reset_leaves_the_page_whatever_it_has_open(self):
        for tap in ("beforeunload", "confirm", "print"):
            with self.subTest(tap=tap):
                self.start(lockdown=False, tap=tap)
                self.open_clinic()
                self.open_the_dialog(tap)
                self.wait_for_the_reset()
                self.open_clinic("the next visitor's page")

    # Locked down, a pane tap answers the page's box as Cancel and takes it off the screen.
    def test_locked_down_a_pane_tap_takes_the_pages_box_away(self):
        for tap in ("alert", "confirm", "prompt", "beforeunload"):
            with self.subTest(tap=tap):
                self.start(lockdown=True, tap=tap)
                self.open_clinic()
                self.open_the_dialog(tap)
                self.open_clinic("the page after the tap")
                if tap in ("confirm", "prompt"):
                    self.clinic.wait_for("/report?e=answered-" + ("false" if tap == "confirm"
                                                                   else "null"))

    # The pointer is never locked: the pane's buttons keep working, and the page is painted
    # after the reset.
    def test_a_page_cannot_take_the_pointer(self):
        self.start(lockdown=False, tap="pointer-lock")
        self.open_clinic()
        self.tap_the_page()
        self.clinic.wait_for("/report?e=locking")
        xdotool("mousemove", *BUTTON2, "click", 1)
        wait_until(only(SITE_COLOUR), "the site's page after the tap")
        self.open_clinic()
        self.tap_the_page()
        self.clinic.wait_for("/report?e=locking", 2)
        self.wait_for_the_reset()
        self.open_clinic("the page after the reset")

    # The next visitor sees no link as followed.
    def test_followed_links_are_forgotten(self):
        self.clinic.link = True
        self.start(lockdown=False)
        self.open_clinic()
        self.tap_the_page()
        self.clinic.wait_for("/other")
        wait_until(only(SITE_COLOUR), "the link's page")
        self.wait_for_the_reset()
        self.open_clinic("the next visitor's page")
        time.sleep(1)  # time for a late style to show the link as followed
        self.assertEqual(pixel(*IN_PAGE), CLINIC_COLOUR, "the link shown as followed")

if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[5:]])
