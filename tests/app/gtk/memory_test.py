#!/usr/bin/env python3
"""The memory limit at the idle reset: a loopback page that holds a large allocation, against
the Linux program built to return to the splash after a few seconds without input, its limit
given by a settings file. Over the limit the reset ends the web process and warms a fresh one
under the splash; without a limit the same process stays; a visitor's page is never taken.
Real taps through xdotool, pixels from the X screen, memory from /proc.

Usage: memory_test.py PROGRAM CLINIC_PORT IDLE_SECONDS [unittest arguments]"""
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
from program_process import end_program, process_tree, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402

PROGRAM = sys.argv[1]
CLINIC_PORT, IDLE_SECONDS = map(int, sys.argv[2:4])
BUTTON1 = (96, 41)  # "Кабинет"
IN_PAGE = (700, 400)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)
LIMIT_MIB = 256
HELD_MIB = 600  # far over the limit whatever the rest of the tree holds

# Touches every page of what it holds, so that it is resident, and keeps it.
PAGE = f"""<!doctype html><html><head><style>html, body {{ margin: 0; height: 100%;
background: #2E8B57; }}</style></head><body><script>
window.held = new Uint8Array({HELD_MIB} * 1024 * 1024);
for (let i = 0; i < window.held.length; i += 4096) window.held[i] = 1;
fetch('/held');
</script></body></html>""".encode()


def pss_mib(root):
    total = 0
    for pid in process_tree(root):
        try:
            for line in pathlib.Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines():
                if line.startswith("Pss:"):
                    total += int(line.split()[1])
        except OSError:
            pass
    return total / 1024


def web_process(root):
    """The program's web process, once there is one."""
    for pid in process_tree(root):
        try:
            if b"WebKitWebProcess" in pathlib.Path(f"/proc/{pid}/cmdline").read_bytes():
                return pid
        except OSError:
            pass
    return None


class MemoryTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.folder = pathlib.Path(folder.name)
        (self.folder / "home").mkdir()
        self.clinic = PathRecorder(CLINIC_PORT, lambda handler: send_page(
            handler, b"" if handler.path == "/held" else PAGE))
        self.addCleanup(self.clinic.close)
        self.process = None

    def tearDown(self):
        if self.process:
            end_program(self.process)

    def start(self, limit):
        settings = self.folder / "kiosk.json"
        settings.write_text(json.dumps({"memoryLimitMiB": limit}))
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=str(self.folder / "home"))
        self.log = self.folder / "stderr.txt"
        with open(self.log, "wb") as log:
            self.process = start_program([PROGRAM, "--config", str(settings)], env=env,
                                         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                         stderr=log)
        window = wait_until(lambda: visible_windows("^Form12$"), "the window")
        xdotool("windowfocus", "--sync", window[0])
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")
        return wait_until(lambda: web_process(self.process.pid), "the warmed web process")

    def open_heavy_page(self):
        self.clinic.forget()
        xdotool("mousemove", *BUTTON1, "click", "1")
        self.clinic.wait_for("/held", timeout=30)
        wait_until(lambda: pixel(*IN_PAGE) == CLINIC_COLOUR, "the clinic's page")
        held = pss_mib(self.process.pid)
        self.assertGreater(held, LIMIT_MIB + HELD_MIB / 2)
        return held

    def test_over_the_limit_the_reset_warms_a_fresh_web_process_but_never_under_a_visitor(self):
        warmed = self.start(LIMIT_MIB)
        self.open_heavy_page()
        self.assertEqual(web_process(self.process.pid), warmed, "the first tap had no warm process")

        # Over the limit for longer than the idle time, but with the visitor there.
        until = time.monotonic() + IDLE_SECONDS + 3
        while time.monotonic() < until:
            xdotool("key", "shift")
            time.sleep(1)
            self.assertEqual(web_process(self.process.pid), warmed)
        self.assertEqual(pixel(*IN_PAGE), CLINIC_COLOUR)

        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the idle reset", IDLE_SECONDS + 10)
        fresh = wait_until(lambda: (pid := web_process(self.process.pid)) not in (None, warmed)
                           and pid, "a fresh web process")
        wait_until(lambda: pss_mib(self.process.pid) < LIMIT_MIB, "the tree below the limit")
        self.assertIsNone(self.process.poll())
        self.assertIn("over its limit at an idle reset", self.log.read_text())
        self.assertNotIn("ended unexpectedly", self.log.read_text())

        # The next visitor is served at once by the fresh process, still under the splash.
        self.assertEqual(pixel(*IN_PAGE), SPLASH_COLOUR)
        self.open_heavy_page()
        self.assertEqual(web_process(self.process.pid), fresh)

    def test_without_a_limit_the_same_web_process_stays(self):
        warmed = self.start(0)
        self.open_heavy_page()
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the idle reset", IDLE_SECONDS + 10)
        time.sleep(3)
        self.assertEqual(web_process(self.process.pid), warmed)
        self.assertNotIn("over its limit", self.log.read_text())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[4:])
