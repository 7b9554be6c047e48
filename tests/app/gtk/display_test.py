#!/usr/bin/env python3
"""The display switched off by the Linux program as built. Under Xvfb (no DPMS) the window
turns black over everything with no cursor, and the tap that wakes it on a pane button opens
nothing: the splash comes back, the loopback clinic hears no request, and only the next tap
opens it. Under a headless sway the program asks the compositor to switch the output off
(its output power protocol) and shows black; a tap through the virtual pointer asks it on,
again without a request; what the program asked of the compositor is read
from the protocol library's trace.
The hours are set to exclude the present, so the display is off from the start; one case
waits out displayOffSeconds. The log lines on standard error are read too. HOME and
XDG_CONFIG_HOME are temporary folders; the time zone is UTC for the program and the test.

Usage: display_test.py PROGRAM CLINIC_PORT [unittest arguments]"""
import datetime
import json
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "support" / "gtk"))
from cursor_image import cursor_is_blank  # noqa: E402
from page_server import PageServer  # noqa: E402
from program_process import end_program, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402
from wayland_session import Sway, VirtualPointer  # noqa: E402

PROGRAM, CLINIC_PORT = sys.argv[1], int(sys.argv[2])
WIDTH, HEIGHT = 1280, 800
BUTTON1 = (96, 41)  # "Кабинет"
IN_PAGE = (700, 400)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)
BLACK = (0, 0, 0)
# Long enough for the engine to have sent a request a tap would have caused.
NO_REQUEST_WAIT = 2


def closed_now():
    """Display hours that leave out the present minute, whatever the hour: the next three
    hours are open, starting an hour from now."""
    now = datetime.datetime.now(datetime.timezone.utc)
    start, end = (now + datetime.timedelta(hours=1)), (now + datetime.timedelta(hours=4))
    return f"Mo-Su {start:%H}:00-{end:%H}:00"


class DisplayTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.home = pathlib.Path(folder.name)
        self.clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR)
        self.addCleanup(self.clinic.close)

    def run_program(self, settings, env_extra=None, drop=()):
        config = self.home / "kiosk.json"
        config.write_text(json.dumps({"clinicHost": f"127.0.0.1:{CLINIC_PORT}", **settings}))
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_") and k not in drop}
        env.update(HOME=str(self.home), XDG_CONFIG_HOME=str(self.home / "xdg"), TZ="UTC",
                   **(env_extra or {}))
        self.log = self.home / "stderr.txt"
        with open(self.log, "wb") as log:
            process = start_program([PROGRAM, "--config", str(config)], env=env,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=log)
        self.addCleanup(end_program, process)
        return process

    def log_has(self, line):
        return line in self.log.read_text(errors="replace")

    def assert_no_request(self):
        time.sleep(NO_REQUEST_WAIT)
        self.assertEqual(self.clinic.page_cookies, [], "the waking tap reached a pane button")

    def x_window(self):
        window = wait_until(lambda: visible_windows("^Form12$"), "the window")
        xdotool("windowfocus", "--sync", window[0])

    def test_outside_the_hours_the_window_is_black_and_the_waking_tap_opens_nothing(self):
        self.run_program({"displayHours": closed_now()})
        self.x_window()
        wait_until(lambda: pixel(*IN_PAGE) == BLACK and pixel(*BUTTON1) == BLACK,
                   "black over the page and the pane")
        xdotool("mousemove", "--sync", *BUTTON1)
        xdotool("mousemove", "--sync", BUTTON1[0] + 1, BUTTON1[1])
        wait_until(cursor_is_blank, "no cursor over the black")
        self.assertEqual(pixel(*IN_PAGE), BLACK, "a moved pointer woke the display")
        xdotool("click", 1)
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash after the tap")
        self.assert_no_request()
        wait_until(lambda: not cursor_is_blank(), "the cursor back")
        xdotool("click", 1)
        self.clinic.wait_for("painted")
        wait_until(lambda: pixel(*IN_PAGE) == CLINIC_COLOUR, "the clinic after the next tap")
        wait_until(lambda: self.log_has("<6>The display was switched off: outside the display "
                                        "hours\n"), "the log line of the display going off")
        self.assertTrue(self.log_has("<6>The display was switched on: a tap woke it\n"))

    def test_nobody_there_for_display_off_seconds_then_a_key_wakes_it(self):
        self.run_program({"displayOffSeconds": 60})
        self.x_window()
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")
        started = time.monotonic()
        wait_until(lambda: pixel(*IN_PAGE) == BLACK, "the display off", timeout=75)
        self.assertGreater(time.monotonic() - started, 55, "off before displayOffSeconds")
        xdotool("key", "Return")
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash after a key")
        self.assert_no_request()
        self.assertTrue(self.log_has("<6>The display was switched off: nobody used the kiosk\n"))

    def test_on_wayland_the_program_asks_the_compositor_and_a_tap_wakes_it(self):
        # Debian's sway 1.7 cannot switch a headless output off (its own "output dpms off"
        # fails to commit), so what the program asks is read from the protocol trace.
        sway = Sway(WIDTH, HEIGHT)
        self.addCleanup(sway.close)
        sway.hold_keyboard()
        pointer = VirtualPointer(sway, WIDTH, HEIGHT)
        self.addCleanup(pointer.close)
        self.run_program({"displayHours": closed_now()},
                         env_extra=dict(GDK_BACKEND="wayland", WAYLAND_DEBUG="client",
                                        **sway.client_env()),
                         drop=("DISPLAY",))
        asked = re.compile(r"zwlr_output_power_v1@\d+\.set_mode\((\d)\)")
        modes = lambda: asked.findall(self.log.read_text(errors="replace"))  # noqa: E731
        wait_until(lambda: modes() == ["0"], "the output's power asked off")
        wait_until(lambda: sway.pixel(*IN_PAGE) == BLACK, "black on the output")
        pointer.click(*BUTTON1)
        wait_until(lambda: modes() == ["0", "1"], "the output's power asked on after a tap")
        wait_until(lambda: sway.pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash on the output")
        self.assert_no_request()
        pointer.click(*BUTTON1)
        self.clinic.wait_for("painted")

if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[3:]])
