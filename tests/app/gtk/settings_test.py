#!/usr/bin/env python3
"""The Linux program as built, with its placeholder targets, pointed at a loopback clinic by a
settings file alone; real input through xdotool. HOME and XDG_CONFIG_HOME are temporary folders,
and the system's settings file is one the test writes, never the machine's.

Usage: settings_test.py PROGRAM CLINIC_PORT [unittest arguments]"""
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
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402

PROGRAM, CLINIC_PORT = sys.argv[1], int(sys.argv[2])
CLINIC = f"127.0.0.1:{CLINIC_PORT}"
NOWHERE = "127.0.0.1:1"  # a loopback port nothing listens on
TITLE = "Кабинет Duvuzezera"
BUTTON1 = (96, 41)  # "Кабинет": the only button tapped, the others would go to placeholder hosts
BUTTON2 = (16, 72, 161, 34)  # the site's button: x, y, width, height
BUTTON_BORDER = 2  # the style's
IN_PAGE = (700, 400)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)
BROKEN = {"clinicHost": CLINIC, "playlist": "a b", "idleResetSeconds": 5, "clinicHots": "x"}
BROKEN_PROBLEMS = [
    "clinicHots: unknown key",
    "idleResetSeconds: must be 0 (off) or a whole number from 30 to 86400; got 5",
    'playlist: must be a YouTube identifier (letters, digits, - and _); got "a b"',
]


class SettingsTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.home = pathlib.Path(folder.name, "home")
        self.xdg = pathlib.Path(folder.name, "xdg")
        self.system = pathlib.Path(folder.name, "etc", "kiosk.json")
        self.home.mkdir()
        self.clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR)
        self.addCleanup(self.clinic.close)
        self.process = None

    def tearDown(self):
        if self.process:
            end_program(self.process)

    def env(self):
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=str(self.home), XDG_CONFIG_HOME=str(self.xdg),
                   DUVUZEZERA_TEST_SYSTEM_SETTINGS=str(self.system))
        return env

    def write(self, path, settings):
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(json.dumps(settings))
        return path

    def user_file(self, settings):
        return self.write(self.xdg / "duvuzezera-webmobclient" / "kiosk.json", settings)

    def run_program(self, *args):
        # The copy before, and its engine, are gone first: they share the data folders.
        if self.process:
            end_program(self.process)
        self.stderr = tempfile.TemporaryFile()
        self.addCleanup(self.stderr.close)
        self.process = start_program([PROGRAM, *args], env=self.env(), stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=self.stderr)

    def program_stderr(self):
        self.stderr.seek(0)
        return self.stderr.read().decode(errors="replace")

    def check(self, *args):
        return subprocess.run([PROGRAM, "--check-config", *args], env=self.env(),
                              capture_output=True, text=True, timeout=30)

    def opens_the_clinic(self, times=1):
        window = wait_until(lambda: visible_windows("^Form12$") or self.process.poll() is not None,
                            "the window")
        self.assertIsNone(self.process.poll(),
                          f"the program ended at start-up with {self.process.returncode}:\n"
                          f"{self.program_stderr()}")
        xdotool("windowfocus", "--sync", window[0])
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")
        xdotool("mousemove", *BUTTON1, "click", 1)
        self.clinic.wait_for("loaded", times=times)
        wait_until(lambda: pixel(*IN_PAGE) == CLINIC_COLOUR, "the clinic's page")

    def test_the_clinic_host_comes_from_a_settings_file(self):
        named = self.write(self.home / "named.json", {"clinicHost": CLINIC})
        cases = (("--config", ["--config", str(named)]), ("the user's file", []))
        for times, (where, args) in enumerate(cases, 1):
            with self.subTest(where):
                if not args:
                    self.user_file({"clinicHost": CLINIC})
                self.run_program(*args)
                self.opens_the_clinic(times)

    def test_the_system_file_wins_over_the_user_s_and_a_named_file_replaces_both(self):
        # The key set in each source, and where the value in effect comes from: a tap opens
        # the clinic only when the winning source is the one that names it.
        named = self.home / "named.json"
        cases = (
            ("the system's file over the user's", {"clinicHost": CLINIC},
             {"clinicHost": NOWHERE}, None, self.system),
            ("each key from the source that has it", {"siteDomain": "site.example"},
             {"clinicHost": CLINIC}, None, self.xdg / "duvuzezera-webmobclient" / "kiosk.json"),
            ("a named file alone", {"clinicHost": NOWHERE, "siteDomain": "site.example"},
             {"clinicHost": NOWHERE}, {"clinicHost": CLINIC}, named),
        )
        for times, (what, system, user, config, source) in enumerate(cases, 1):
            with self.subTest(what):
                self.write(self.system, system)
                self.user_file(user)
                args = ["--config", str(self.write(named, config))] if config else []
                run = self.check(*args)
                self.assertIn(f'  clinicHost = "{CLINIC}"  ({source})\n', run.stdout)
                # A key the named file leaves out is the build's, whatever the others say.
                site = "duvuzezera.example" if config else system.get("siteDomain",
                                                                      "duvuzezera.example")
                self.assertIn(f'  siteDomain = "{site}"', run.stdout)
                self.run_program(*args)
                self.opens_the_clinic(times)

    def test_a_broken_file_shows_one_box_and_the_valid_values_still_count(self):
        self.user_file(BROKEN)
        self.run_program()
        box = wait_until(lambda: visible_windows(f"^{TITLE}$"), "the message box")
        time.sleep(0.5)
        self.assertEqual(len(visible_windows(f"^{TITLE}$")), 1, "one box")
        xdotool("windowfocus", "--sync", box[0])
        xdotool("key", "Return")
        wait_until(lambda: not visible_windows(f"^{TITLE}$"), "the message box to close")
        self.opens_the_clinic()
        self.assertEqual(visible_windows(f"^{TITLE}$"), [], "the message box came once")

    def test_the_sites_caption_fits_its_button_whatever_its_length(self):
        """The domain whole or shortened in its middle, never cut at its ends: both ends of the
        inside of the button stay its face."""
        clear = 3  # columns at each end inside the border
        x, y, width, height = BUTTON2
        inner = (x + BUTTON_BORDER, y + BUTTON_BORDER, width - 2 * BUTTON_BORDER,
                 height - 2 * BUTTON_BORDER)

        def columns_drawn():
            raw = subprocess.run(["import", "-window", "root", "-crop",
                                  "{2}x{3}+{0}+{1}".format(*inner), "-depth", "8", "rgb:-"],
                                 check=True, capture_output=True).stdout
            face = tuple(raw[:3])
            return {(i // 3) % inner[2] for i in range(0, len(raw), 3)
                    if tuple(raw[i:i + 3]) != face}

        cases = (("the built-in domain", {}),
                 ("a domain of 40 characters",
                  {"siteDomain": "duvuzezera-clinic-network.example.org.test"}))
        for what, settings in cases:
            with self.subTest(what):
                self.run_program("--config", str(self.write(self.home / "site.json", settings)))
                window = wait_until(lambda: visible_windows("^Form12$"), "the window")
                xdotool("windowfocus", "--sync", window[0])
                wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")
                drawn = wait_until(columns_drawn, "the caption")
                self.assertGreaterEqual(min(drawn), clear, f"cut at its start: {sorted(drawn)}")
                self.assertLess(max(drawn), inner[2] - clear, f"cut at its end: {sorted(drawn)}")

    def test_check_config_prints_each_setting_and_problem_and_says_so_by_its_code(self):
        good = self.write(self.home / "good.json", {"clinicHost": CLINIC, "idleResetSeconds": 120})
        broken = self.write(self.home / "broken.json", BROKEN)
        run = self.check("--config", str(good))
        self.assertEqual(run.returncode, 0, run.stdout)
        self.assertIn(f'  clinicHost = "{CLINIC}"  ({good})\n', run.stdout)
        self.assertIn(f"  idleResetSeconds = 120  ({good})\n", run.stdout)
        self.assertIn('  siteDomain = "duvuzezera.example"  (built-in)\n', run.stdout)
        self.assertTrue(run.stdout.endswith("No problems.\n"), run.stdout)

        run = self.check("--config", str(broken))
        self.assertEqual(run.returncode, 1)
        self.assertIn(f'  clinicHost = "{CLINIC}"  ({broken})\n', run.stdout)
        self.assertIn("  idleResetSeconds = 0  (built-in)\n", run.stdout)
        problems = run.stdout.split("Problems")[1].splitlines()[1:]
        self.assertEqual([p.split(": ", 1)[1][:len(e)] for p, e in zip(problems, BROKEN_PROBLEMS)],
                         BROKEN_PROBLEMS)
        self.assertTrue(all(p.startswith(f"  {broken}: ") for p in problems), problems)

        cases = [
            ("an unknown option", ["--kiosk"], 'command line: unknown option "--kiosk"'),
            ("a named file that is missing", ["--config", str(self.home / "none.json")],
             f"{self.home / 'none.json'}: no such file"),
            ("a file that is no JSON object", ["--config", str(self.write(self.home / "x.json", 1))],
             "must be one JSON object"),
        ]
        for what, args, problem in cases:
            with self.subTest(what):
                run = self.check(*args)
                self.assertEqual(run.returncode, 1)
                self.assertIn(problem, run.stdout)

        self.user_file({"siteDomain": "site.example"})
        run = self.check()
        self.assertEqual(run.returncode, 0)
        user = self.xdg / "duvuzezera-webmobclient" / "kiosk.json"
        self.assertIn(f'  siteDomain = "site.example"  ({user})\n', run.stdout)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[3:]])
