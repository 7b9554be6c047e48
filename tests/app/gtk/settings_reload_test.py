#!/usr/bin/env python3
"""The Linux program as built, its clinic host moved from one loopback server to another by
changing its settings file while it runs; real input through xdotool. HOME and
XDG_CONFIG_HOME are temporary folders.

Usage: settings_reload_test.py PROGRAM OLD_PORT NEW_PORT [unittest arguments]"""
import datetime
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "support" / "gtk"))
from cursor_image import cursor_is_blank  # noqa: E402
from exit_code_pad import key_centre  # noqa: E402
from page_server import PageServer  # noqa: E402
from program_process import end_program, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402

PROGRAM, OLD_PORT, NEW_PORT = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
OLD, NEW = f"127.0.0.1:{OLD_PORT}", f"127.0.0.1:{NEW_PORT}"
TITLE = "Кабинет Duvuzezera"
BUTTON1 = (96, 41)  # "Кабинет": the only button tapped, the others would go to placeholder hosts
IN_PAGE = (700, 400)
IN_PANE = (96, 600)
BUTTON3 = (96, 304)  # "Выход"
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
OLD_COLOUR = (0x2E, 0x8B, 0x57)
NEW_COLOUR = (0x1E, 0x40, 0xA0)
# A change is read once the writes have settled, half a second after the last.
SEEN = 2
# The shortest reset the rules allow, with no warning over the page before it.
IDLE = {"idleResetSeconds": 30, "idleWarningSeconds": 0}


class SettingsReloadTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.home = pathlib.Path(folder.name, "home")
        self.xdg = pathlib.Path(folder.name, "xdg")
        self.home.mkdir()
        self.user = self.xdg / "duvuzezera-webmobclient" / "kiosk.json"
        self.old = PageServer(OLD_PORT, OLD_COLOUR)
        self.addCleanup(self.old.close)
        self.new = PageServer(NEW_PORT, NEW_COLOUR)
        self.addCleanup(self.new.close)
        self.process = None

    def tearDown(self):
        if self.process:
            end_program(self.process)

    def env(self):
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        # The display hours below are reckoned in UTC.
        env.update(HOME=str(self.home), XDG_CONFIG_HOME=str(self.xdg), TZ="UTC")
        return env

    def run_program(self, *args):
        if self.process:
            end_program(self.process)
        self.stderr = tempfile.TemporaryFile()
        self.addCleanup(self.stderr.close)
        self.process = start_program([PROGRAM, *args], env=self.env(), stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=self.stderr)
        window = wait_until(lambda: visible_windows("^Form12$") or self.process.poll() is not None,
                            "the window")
        self.assertIsNone(self.process.poll(), f"the program ended:\n{self.program_stderr()}")
        xdotool("windowfocus", "--sync", window[0])
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")

    def program_stderr(self):
        self.stderr.seek(0)
        return self.stderr.read().decode(errors="replace")

    def tap_clinic(self, server, colour, times=1):
        xdotool("mousemove", *BUTTON1, "click", 1)
        server.wait_for("loaded", times=times)
        wait_until(lambda: pixel(*IN_PAGE) == colour, "the clinic's page")

    @staticmethod
    def write(path, text):
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text)

    @staticmethod
    def replace(path, text):
        """As configuration tools write: a new file beside it, renamed over it."""
        path.parent.mkdir(parents=True, exist_ok=True)
        temporary = path.with_name(path.name + ".new")
        temporary.write_text(text)
        os.replace(temporary, path)

    @staticmethod
    def write_in_steps(path, text):
        """As an editor may save: emptied, then written in pieces."""
        with open(path, "w") as file:
            for start in range(0, len(text), 8):
                file.write(text[start:start + 8])
                file.flush()
                time.sleep(0.05)

    def test_a_change_under_the_splash_reaches_the_next_tap(self):
        named = self.home / "named.json"
        cases = [
            # what, the file, how it is changed, whether it exists at start
            ("the user's file written in place", self.user, self.write, True),
            ("the user's file replaced by a rename", self.user, self.replace, True),
            ("the user's file saved in steps", self.user, self.write_in_steps, True),
            ("the --config file replaced by a rename", named, self.replace, True),
            ("the user's file made with its folder after start", self.user, self.write, False),
        ]
        for times, (what, path, change, exists) in enumerate(cases, 1):
            with self.subTest(what):
                shutil.rmtree(self.user.parent, ignore_errors=True)
                if exists:
                    self.write(path, json.dumps({"clinicHost": OLD}))
                self.run_program(*(["--config", str(path)] if path == named else []))
                change(path, json.dumps({"clinicHost": NEW}))
                time.sleep(SEEN)
                self.tap_clinic(self.new, NEW_COLOUR, times)
                self.assertEqual(visible_windows(f"^{TITLE}$"), [], "no box")

    def test_a_change_under_a_page_waits_for_the_idle_reset(self):
        self.write(self.user, json.dumps({"clinicHost": OLD, **IDLE}))
        self.run_program()
        self.tap_clinic(self.old, OLD_COLOUR)
        tapped = time.monotonic()
        self.replace(self.user, json.dumps({"clinicHost": NEW, **IDLE}))
        time.sleep(SEEN)
        self.assertEqual(pixel(*IN_PAGE), OLD_COLOUR, "the visitor's page stays")
        self.assertEqual(self.old.reports.count("loaded"), 1, "the page is not loaded again")
        self.assertEqual(self.new.reports, [], "the new server hears nothing yet")

        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the idle reset",
                   timeout=IDLE["idleResetSeconds"] + 15)
        self.assertGreater(time.monotonic() - tapped, IDLE["idleResetSeconds"] - 2,
                           "the reset came on time")
        self.assertEqual(self.new.reports, [])
        self.tap_clinic(self.new, NEW_COLOUR)
        self.assertEqual(self.old.reports.count("loaded"), 1)

    def test_a_broken_edit_changes_nothing_and_is_logged_without_a_box(self):
        cases = [
            ("a value its rule refuses", {"clinicHost": NEW, "idleResetSeconds": 5},
             "A setting was refused: ", "idleResetSeconds"),
            ("a file that is no JSON", '{"clinicHost": "' + NEW,
             "A setting was refused: ", str(self.user)),
        ]
        for times, (what, content, event, detail) in enumerate(cases, 1):
            with self.subTest(what):
                self.write(self.user, json.dumps({"clinicHost": OLD}))
                self.run_program()
                self.replace(self.user, content if isinstance(content, str) else
                             json.dumps(content))
                time.sleep(SEEN)
                self.assertEqual(visible_windows(f"^{TITLE}$"), [], "no box")
                lines = [line for line in self.program_stderr().splitlines() if event in line]
                self.assertTrue(any(detail in line for line in lines),
                                f"the problem in the log:\n{self.program_stderr()}")
                self.assertTrue(all(line.startswith("<4>") for line in lines), lines)
                self.tap_clinic(self.old, OLD_COLOUR, times)
                self.assertEqual(self.new.reports, [], "the new server hears nothing")

    def test_hide_cursor_turns_on_and_off_over_the_shown_windows(self):
        self.write(self.user, json.dumps({"clinicHost": OLD}))
        self.run_program()
        for hide in (False, True, False):
            with self.subTest(hideCursor=hide):
                self.replace(self.user, json.dumps({"clinicHost": OLD, "hideCursor": hide}))
                time.sleep(SEEN)
                # The toolkit sets its cursor in answer to a move.
                xdotool("mousemove", "--sync", *IN_PANE)
                xdotool("mousemove", "--sync", IN_PANE[0] + 1, IN_PANE[1])
                wait_until(lambda: cursor_is_blank() == hide,
                           f"{'no cursor' if hide else 'a cursor'} over the pane", timeout=5)

    def test_display_hours_set_and_cleared_while_running_switch_the_display(self):
        # Three open hours, starting an hour from now: the present is outside them.
        now = datetime.datetime.now(datetime.timezone.utc)
        start, end = now + datetime.timedelta(hours=1), now + datetime.timedelta(hours=4)
        closed = f"Mo-Su {start:%H}:00-{end:%H}:00"
        self.write(self.user, json.dumps({"clinicHost": OLD}))
        self.run_program()
        self.replace(self.user, json.dumps({"clinicHost": OLD, "displayHours": closed}))
        wait_until(lambda: pixel(*IN_PAGE) == (0, 0, 0) and pixel(*IN_PANE) == (0, 0, 0),
                   "black over the window once the hours exclude the present")
        self.replace(self.user, json.dumps({"clinicHost": OLD}))
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash once the hours are gone")
        self.tap_clinic(self.old, OLD_COLOUR)

    def test_a_code_being_typed_keeps_its_value_until_the_pad_goes(self):
        self.write(self.user, json.dumps({"clinicHost": OLD, "exitCode": "2580"}))
        self.run_program()
        key = key_centre("5")
        before = pixel(*key)
        xdotool("mousemove", *BUTTON3, "click", 1)
        wait_until(lambda: pixel(*key) != before, "the pad over the splash")
        self.replace(self.user, json.dumps({"clinicHost": OLD, "exitCode": "1111"}))
        time.sleep(SEEN)
        for digit in "2580":
            xdotool("mousemove", *key_centre(digit), "click", 1)
            time.sleep(0.2)
        try:
            self.assertEqual(self.process.wait(15), 0)
        except subprocess.TimeoutExpired:
            self.fail("the code typed when the pad opened no longer ended the program")

    def test_a_metrics_file_named_while_running_is_written_at_once(self):
        self.write(self.user, json.dumps({"clinicHost": OLD}))
        self.run_program()
        for name in ("kiosk.prom", "moved.prom"):
            with self.subTest(name):
                metrics = self.home / name
                self.replace(self.user, json.dumps({"clinicHost": OLD,
                                                    "metricsFile": str(metrics)}))
                wait_until(metrics.exists, f"{name} written", timeout=SEEN + 3)
                self.assertIn("duvuzezera_kiosk_", metrics.read_text())

if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[4:]])
