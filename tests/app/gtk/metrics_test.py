#!/usr/bin/env python3
"""The Linux program as built, pointed at a loopback clinic by a settings file, watched the way a
clinic watches its kiosks: its metrics file read by a real node exporter's textfile collector,
scraped over HTTP on loopback, and its events read from standard error as the journal stores them.

Usage: metrics_test.py PROGRAM CLINIC_PORT EXPORTER_PORT [unittest arguments]"""
import json
import os
import pathlib
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request

SUPPORT = pathlib.Path(__file__).resolve().parents[2] / "support"
sys.path[:0] = [str(SUPPORT), str(SUPPORT / "gtk")]
from page_server import PageServer  # noqa: E402
from program_process import end_program, process_tree, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402
from test_main import main  # noqa: E402

PROGRAM, CLINIC_PORT, EXPORTER_PORT = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
CLINIC = f"127.0.0.1:{CLINIC_PORT}"
TITLE = "Кабинет Duvuzezera"
BUTTON1 = (96, 41)  # "Кабинет"
IN_PAGE = (700, 400)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)
EXPORTER = shutil.which("prometheus-node-exporter")
PROMTOOL = shutil.which("promtool")
P = "duvuzezera_kiosk_"


def parse(text):
    """{series: value} of an exposition, comments left out."""
    samples = {}
    for line in text.splitlines():
        if line and not line.startswith("#"):
            series, value = line.rsplit(" ", 1)
            samples[series] = float(value)
    return samples


@unittest.skipUnless(EXPORTER and PROMTOOL, "prometheus-node-exporter and promtool are needed")
class MetricsTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.root = pathlib.Path(folder.name)
        self.home = self.root / "home"
        self.xdg = self.root / "xdg"
        self.textfiles = self.root / "textfile"
        for path in (self.home, self.textfiles):
            path.mkdir()
        self.process = None

    def tearDown(self):
        if self.process:
            end_program(self.process)

    def start(self, metrics_file):
        settings = self.xdg / "duvuzezera-webmobclient" / "kiosk.json"
        settings.parent.mkdir(parents=True)
        settings.write_text(json.dumps({"clinicHost": CLINIC, "retrySeconds": 0,
                                        "metricsFile": str(metrics_file)}))
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=str(self.home), XDG_CONFIG_HOME=str(self.xdg))
        self.stderr = tempfile.TemporaryFile()
        self.addCleanup(self.stderr.close)
        self.process = start_program([PROGRAM], env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=self.stderr)

    def events(self):
        self.stderr.seek(0)
        return self.stderr.read().decode(errors="replace")

    def window(self):
        window = wait_until(lambda: visible_windows("^Form12$") or self.process.poll() is not None,
                            "the window")
        self.assertIsNone(self.process.poll(), f"the program ended:\n{self.events()}")
        xdotool("windowfocus", "--sync", window[0])
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")

    def start_exporter(self):
        exporter = subprocess.Popen(
            [EXPORTER, "--collector.disable-defaults", "--collector.textfile",
             f"--collector.textfile.directory={self.textfiles}",
             f"--web.listen-address=127.0.0.1:{EXPORTER_PORT}"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(exporter.wait, 15)
        self.addCleanup(exporter.terminate)

    def scrape(self):
        try:
            with urllib.request.urlopen(f"http://127.0.0.1:{EXPORTER_PORT}/metrics",
                                        timeout=5) as answer:
                return parse(answer.read().decode())
        except OSError:
            return {}

    def scraped(self, series, check, what, timeout=20):
        """Waits until the exporter serves SERIES with a value CHECK accepts; the scrape."""
        return wait_until(lambda: (lambda s: s if series in s and check(s[series]) else None)(
            self.scrape()), what, timeout=timeout)

    def test_an_exporter_serves_the_screen_loads_failures_crashes_and_the_heartbeat(self):
        self.start_exporter()
        self.start(self.textfiles / "duvuzezera.prom")
        self.window()
        first = self.scraped(P + 'screen{state="splash"}', lambda v: v == 1, "splash served")
        self.assertEqual(first[P + 'screen{state="page"}'], 0)
        self.assertEqual(first.get(P + 'load_failures_total{kind="refused"}'), 0)
        self.assertGreater(first[P + "memory_pss_bytes"], 10e6, "the engine's processes count")
        self.assertRegex(self.events(), r"(?m)^<6>Started; settings from: .*kiosk\.json")

        # Nothing listens yet: the engine's error page, counted as refused.
        xdotool("mousemove", *BUTTON1, "click", 1)
        refused = self.scraped(P + 'screen{state="error_page"}', lambda v: v == 1,
                               "the error page served")
        self.assertEqual(refused[P + 'load_failures_total{kind="refused"}'], 1)
        self.assertEqual(refused[P + 'page_loads_total{button="clinic",outcome="failed"}'], 1)
        self.assertEqual(refused[P + 'button_taps_total{button="clinic"}'], 1)
        self.assertEqual(refused[P + "visits_total"], 1)
        self.assertIn(f"<4>A page could not be loaded: connection refused, host 127.0.0.1\n",
                      self.events())

        clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR)
        self.addCleanup(clinic.close)
        xdotool("mousemove", *BUTTON1, "click", 1)
        clinic.wait_for("loaded")
        wait_until(lambda: pixel(*IN_PAGE) == CLINIC_COLOUR, "the clinic's page")
        page = self.scraped(P + 'screen{state="page"}', lambda v: v == 1, "the page served")
        self.assertEqual(page[P + 'screen{state="splash"}'], 0)
        self.assertEqual(page[P + 'page_loads_total{button="clinic",outcome="loaded"}'], 1)
        self.assertEqual(page[P + "visits_total"], 1, "the same visit")
        self.assertGreater(page[P + "last_page_loaded_time_seconds"], time.time() - 60)

        xdotool("mousemove", 5, 5)
        for pid in process_tree(self.process.pid):
            try:
                if pathlib.Path(f"/proc/{pid}/comm").read_text().startswith("WebKitWebProc"):
                    os.kill(pid, signal.SIGKILL)
            except OSError:
                pass
        self.scraped(P + "web_process_crashes_total", lambda v: v == 1, "the crash counted")
        self.assertIn("<3>The page's web process ended unexpectedly: host 127.0.0.1\n", self.events())

        # Nothing changes from here: the period alone brings a newer heartbeat.
        beat = self.scrape()[P + "heartbeat_time_seconds"]
        self.scraped(P + "heartbeat_time_seconds", lambda v: v > beat, "the heartbeat advancing",
                     timeout=25)

        check = subprocess.run([PROMTOOL, "check", "metrics"],
                               stdin=(self.textfiles / "duvuzezera.prom").open(),
                               capture_output=True, text=True, timeout=30)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        self.assertEqual([p.name for p in self.textfiles.iterdir()], ["duvuzezera.prom"],
                         "no temporary file left behind")

    def test_a_folder_that_cannot_be_written_is_one_problem_and_the_kiosk_goes_on(self):
        blocker = self.root / "not-a-folder"
        blocker.write_text("")
        self.start(blocker / "duvuzezera.prom")
        box = wait_until(lambda: visible_windows(f"^{TITLE}$"), "the box")
        xdotool("windowfocus", "--sync", box[0])
        xdotool("key", "Return")
        wait_until(lambda: not visible_windows(f"^{TITLE}$"), "the box to close")
        clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR)
        self.addCleanup(clinic.close)
        self.window()
        xdotool("mousemove", *BUTTON1, "click", 1)
        clinic.wait_for("loaded")
        wait_until(lambda: pixel(*IN_PAGE) == CLINIC_COLOUR, "the clinic's page")
        time.sleep(2)  # ticks with changes to write: they fail again, and say nothing new
        self.assertEqual(visible_windows(f"^{TITLE}$"), [], "the box came once")
        events = self.events()
        self.assertEqual(len(re.findall(r"(?m)^<4>A setting was refused: .*metricsFile: .*"
                                        r"cannot be written", events)), 1, events)
        self.assertNotIn("The metrics file cannot be written", events)


if __name__ == "__main__":
    main([sys.argv[0], *sys.argv[4:]])
