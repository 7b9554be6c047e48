#!/usr/bin/env python3
"""The Linux program as built, pointed at a loopback clinic by a settings file, with and without
`exitCode`: "Выход" tapped for real, the digits pad's keys tapped where the program places them.
HOME and XDG_CONFIG_HOME are temporary folders.

Usage: exit_code_test.py PROGRAM CLINIC_PORT [unittest arguments]"""
import json
import os
import pathlib
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "support" / "gtk"))
from page_server import PageServer  # noqa: E402
from program_process import end_program, start_program  # noqa: E402
from exit_code_pad import key_centre  # noqa: E402
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402

PROGRAM, CLINIC_PORT = sys.argv[1], int(sys.argv[2])
CLINIC = f"127.0.0.1:{CLINIC_PORT}"
BUTTON1 = (96, 41)  # "Кабинет"
BUTTON3 = (96, 304)  # "Выход"
IN_PAGE = (700, 400)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)
CODE = "2580"


class ExitCodeTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.folder = pathlib.Path(folder.name)
        (self.folder / "home").mkdir()
        self.clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR)
        self.addCleanup(self.clinic.close)
        self.process = None

    def tearDown(self):
        if self.process:
            end_program(self.process)

    def start(self, settings):
        config = self.folder / "kiosk.json"
        config.write_text(json.dumps(settings))
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=str(self.folder / "home"), XDG_CONFIG_HOME=str(self.folder / "xdg"))
        self.process = start_program([PROGRAM, "--config", str(config)], env=env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        window = wait_until(lambda: visible_windows("^Form12$") or self.process.poll() is not None,
                            "the window")
        self.assertIsNone(self.process.poll(), "the program ended at start-up")
        xdotool("windowfocus", "--sync", window[0])
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")
        xdotool("mousemove", *BUTTON1, "click", 1)
        self.clinic.wait_for("loaded")
        wait_until(lambda: pixel(*IN_PAGE) == CLINIC_COLOUR, "the clinic's page")

    def exit_code(self):
        try:
            return self.process.wait(15)
        except subprocess.TimeoutExpired:
            self.fail("the program did not end")

    def tap(self, keys):
        for key in keys:
            xdotool("mousemove", *key_centre(key), "click", 1)
            time.sleep(0.2)

    def assert_still_running(self, after):
        time.sleep(1)
        self.assertIsNone(self.process.poll(), f"the program ended after {after}")

    def test_only_the_code_typed_on_the_pad_ends_the_program(self):
        self.start({"clinicHost": CLINIC, "exitCode": CODE})
        key = key_centre("5")
        self.assertEqual(pixel(*key), CLINIC_COLOUR)
        xdotool("mousemove", *BUTTON3, "click", 1)
        wait_until(lambda: pixel(*key) != CLINIC_COLOUR and pixel(*IN_PAGE) != CLINIC_COLOUR,
                   "the pad over the page")
        # The focus is on "Выход" under the pad: its Enter, the code's digits and Escape (which
        # would raise the bar) do nothing.
        xdotool("key", "Escape", "key", *CODE, "key", "Return")
        self.assert_still_running("keys on the pad")
        self.assertNotEqual(pixel(*key), CLINIC_COLOUR, "the pad went")

        self.tap(CODE[:-1] + "1")
        wait_until(lambda: pixel(*key) == CLINIC_COLOUR and pixel(*IN_PAGE) == CLINIC_COLOUR,
                   "the page again after a wrong code")
        self.assert_still_running("a wrong code")
        self.assertEqual(self.clinic.reports.count("loaded"), 1, "the page was loaded again")

        xdotool("mousemove", *BUTTON3, "click", 1)
        wait_until(lambda: pixel(*key) != CLINIC_COLOUR, "the pad again")
        self.tap(CODE)
        self.assertEqual(self.exit_code(), 0)

    def test_without_a_code_the_button_ends_the_program_at_once(self):
        self.start({"clinicHost": CLINIC})
        xdotool("mousemove", *BUTTON3, "click", 1)
        self.assertEqual(self.exit_code(), 0)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[3:]])
