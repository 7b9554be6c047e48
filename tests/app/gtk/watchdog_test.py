#!/usr/bin/env python3
"""The Linux program as the systemd user unit runs it: its notifications, received on a
datagram socket of the test's own that NOTIFY_SOCKET names (systemd's protocol: one datagram a
notification, KEY=VALUE lines), while real input drives it against pages on loopback.

Usage: watchdog_test.py PROGRAM FREEZE FREEZE_SECONDS CLINIC_PORT SITE_PORT [unittest arguments]:
PROGRAM is the program with its targets on the two loopback ports (nothing listens on
SITE_PORT); FREEZE is a copy whose main loop SIGUSR2 blocks for FREEZE_SECONDS."""
import os
import pathlib
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "support" / "gtk"))
from page_server import PageServer  # noqa: E402
from program_process import end_program, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402

PROGRAM, FREEZE = sys.argv[1], sys.argv[2]
FREEZE_SECONDS, CLINIC_PORT, SITE_PORT = int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
NULL_SOUND = pathlib.Path(__file__).resolve().parent / "null-sound.conf"

SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)
BUTTON1 = (96, 41)  # "Кабинет"
BUTTON2 = (96, 89)  # the site
IN_PAGE = (700, 400)
WATCHDOG_USEC = 2_000_000


class NotifySocket:
    """Every notification the program sends, with the time it came; on READY=1 the colour
    where the page goes is read at once, before anything else is received."""

    def __init__(self, path):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
        self.sock.bind(path)
        self.sock.settimeout(0.2)
        self.received = []  # (monotonic time, "KEY=VALUE")
        self.colour_at_ready = None
        self.changed = threading.Condition()
        self.closing = False
        self.thread = threading.Thread(target=self.receive, daemon=True)
        self.thread.start()

    def receive(self):
        while not self.closing:
            try:
                data = self.sock.recv(4096)
            except socket.timeout:
                continue
            lines = data.decode().split("\n")
            if "READY=1" in lines:
                self.colour_at_ready = pixel(*IN_PAGE)
            with self.changed:
                self.received += [(time.monotonic(), line) for line in lines if line]
                self.changed.notify_all()

    def times(self, line):
        with self.changed:
            return [t for t, got in self.received if got == line]

    def statuses(self):
        with self.changed:
            return [got[len("STATUS="):] for _, got in self.received if got.startswith("STATUS=")]

    def wait_for(self, condition, what, timeout=15):
        deadline = time.monotonic() + timeout
        with self.changed:
            while not condition():
                left = deadline - time.monotonic()
                if left <= 0:
                    raise AssertionError(f"timed out waiting for {what}: {self.received}")
                self.changed.wait(left)

    def close(self):
        self.closing = True
        self.thread.join()
        self.sock.close()


def gaps(times):
    return [b - a for a, b in zip(times, times[1:])]


class WatchdogTest(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.TemporaryDirectory()
        self.addCleanup(self.home.cleanup)
        self.clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR)
        self.addCleanup(self.clinic.close)
        self.notify = NotifySocket(os.path.join(self.home.name, "notify"))
        self.addCleanup(self.notify.close)
        self.process = None

    def tearDown(self):
        if self.process:
            end_program(self.process)
            self.process.stderr.close()

    def launch(self, program, **variables):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith("XDG_") and not k.startswith("WATCHDOG_")}
        env.update(HOME=self.home.name, NOTIFY_SOCKET=os.path.join(self.home.name, "notify"),
                   ALSA_CONFIG_PATH=str(NULL_SOUND), **variables)
        self.process = start_program([program], env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        self.notify.wait_for(lambda: self.notify.times("READY=1") or self.process.poll() is not None,
                             "READY=1")
        if self.process.poll() is not None:
            self.fail(f"the program ended with {self.process.returncode}: "
                      f"{self.process.stderr.read()}")
        self.assertEqual(self.notify.colour_at_ready, SPLASH_COLOUR,
                         "READY=1 came before the splash was on the screen")

    def heartbeats_after(self, start):
        return [t for t in self.notify.times("WATCHDOG=1") if t > start]

    def test_ready_once_painted_then_a_heartbeat_the_screen_in_the_status_and_stopping(self):
        self.launch(PROGRAM, WATCHDOG_USEC=str(WATCHDOG_USEC))
        ready = self.notify.times("READY=1")[0]
        self.assertEqual(self.notify.times("READY=1"), [ready], "READY=1 once")
        self.notify.wait_for(lambda: len(self.heartbeats_after(ready)) >= 4, "four heartbeats")
        beats = self.heartbeats_after(ready)
        for gap in gaps(beats):
            self.assertAlmostEqual(gap, WATCHDOG_USEC / 2e6, delta=0.3, msg=beats)
        self.assertEqual(self.notify.statuses(), ["Splash: waiting for a tap"])

        xdotool("windowfocus", "--sync", visible_windows("^Form12$")[0])
        clinic = f"Page: http://127.0.0.1:{CLINIC_PORT}/"
        site = f"Error page: http://127.0.0.1:{SITE_PORT}/"
        for button, status, what in ((BUTTON1, clinic, "the clinic's page"),
                                     (BUTTON2, site, "the engine's error page")):
            with self.subTest(what):
                xdotool("mousemove", *button, "click", 1)
                self.notify.wait_for(lambda: any(s.startswith(status)
                                                 for s in self.notify.statuses()), status)
        self.assertEqual(self.notify.times("STOPPING=1"), [])

        self.process.send_signal(signal.SIGTERM)
        self.assertEqual(self.process.wait(15), 0)
        self.notify.wait_for(lambda: self.notify.times("STOPPING=1"), "STOPPING=1")

    def test_without_watchdog_usec_no_heartbeat(self):
        self.launch(PROGRAM)
        time.sleep(3 * WATCHDOG_USEC / 2e6)
        self.assertEqual(self.notify.times("WATCHDOG=1"), [])
        self.assertTrue(self.notify.statuses(), "the status line comes all the same")

    def test_a_stuck_main_loop_stops_the_heartbeat_until_it_runs_again(self):
        self.launch(FREEZE, WATCHDOG_USEC=str(WATCHDOG_USEC))
        ready = self.notify.times("READY=1")[0]
        self.notify.wait_for(lambda: len(self.heartbeats_after(ready)) >= 2, "the heartbeat")
        frozen = time.monotonic()
        self.process.send_signal(signal.SIGUSR2)
        self.notify.wait_for(lambda: len(self.heartbeats_after(frozen + FREEZE_SECONDS)) >= 2,
                             "the heartbeat after the freeze", timeout=FREEZE_SECONDS + 10)
        beats = self.heartbeats_after(frozen - 1)
        self.assertGreater(max(gaps(beats)), FREEZE_SECONDS - 0.5,
                           f"the heartbeat went on while the loop was stuck: {beats}")
        self.assertIsNone(self.process.poll())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[6:])
