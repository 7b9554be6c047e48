#!/usr/bin/env python3
"""The Linux program bringing its page back by itself: a hung page, a killed web process, a
server that refuses or never answers. Real pages on loopback, real input through xdotool; the
retry comes from a settings file in a temporary XDG_CONFIG_HOME.

Usage: recovery_test.py PROGRAM CLINIC_PORT SITE_PORT LOAD_TIMEOUT [unittest arguments]"""
import http.server
import json
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
from page_server import PageServer, send_page  # noqa: E402
from program_process import end_program, process_tree, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402

PROGRAM = sys.argv[1]
CLINIC_PORT, SITE_PORT, LOAD_TIMEOUT = map(int, sys.argv[2:5])
TITLE = "Кабинет Duvuzezera"
BUTTON1 = (96, 41)  # "Кабинет"
BUTTON2 = (96, 89)  # the site
IN_PAGE = (700, 400)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)
SITE_COLOUR = (0x46, 0x82, 0xB4)
RETRY_SECONDS = 5


def page_shows(colour):
    return lambda: pixel(*IN_PAGE) == colour


def web_processes(root):
    """The web engine's content processes under `root`."""
    found = []
    for pid in process_tree(root):
        try:
            if pathlib.Path(f"/proc/{pid}/comm").read_text().startswith("WebKitWebProc"):
                found.append(pid)
        except OSError:
            pass
    return found


def cpu_seconds(pids):
    total = 0
    for pid in pids:
        try:
            fields = pathlib.Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])  # utime, stime
        except (OSError, IndexError, ValueError):
            pass
    return total / os.sysconf("SC_CLK_TCK")


class ScriptedServer:
    """Answers each page request on a loopback port with what `answer(n)` gives for the n-th
    request (from 1): the HTML of a page, or None to hold the request unanswered."""

    def __init__(self, port, answer):
        self.requests = 0
        self.changed = threading.Condition()
        self.release = threading.Event()
        self.loop_gate = threading.Semaphore(0)
        self.loops_answered = 0
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                if self.path == "/looping":
                    # Held until the test has seen the page: a loop begun before the first
                    # paint would leave nothing on screen to give way.
                    server.loop_gate.acquire(timeout=60)
                    self.send_error(404)
                    with server.changed:
                        server.loops_answered += 1
                        server.changed.notify_all()
                    return
                if self.path != "/":
                    self.send_error(404)
                    return
                with server.changed:
                    server.requests += 1
                    n = server.requests
                    server.changed.notify_all()
                body = answer(n)
                if body is None:
                    server.release.wait()
                    return
                body = body.encode()
                send_page(self, body)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
        self.httpd.daemon_threads = True
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def wait_for_requests(self, count, timeout=15):
        self._wait_for(lambda: self.requests >= count,
                       lambda: f"{self.requests} page requests, not {count}", timeout)

    def start_loop(self, timeout=15):
        """Lets the page's script into its endless loop and waits until it has been let."""
        count = self.loops_answered + 1
        self.loop_gate.release()
        self._wait_for(lambda: self.loops_answered >= count,
                       lambda: "the page never asked to loop", timeout)

    def _wait_for(self, done, failure, timeout):
        deadline = time.monotonic() + timeout
        with self.changed:
            while not done():
                left = deadline - time.monotonic()
                if left <= 0:
                    raise AssertionError(failure())
                self.changed.wait(left)

    def close(self):
        self.release.set()
        self.httpd.shutdown()
        self.httpd.server_close()


def coloured(colour, script=""):
    return ("<!doctype html><html><body style='margin:0;height:100vh;background:#%02X%02X%02X'>"
            "<script>%s</script></body></html>" % (*colour, script))


class RecoveryTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.home = pathlib.Path(folder.name, "home")
        self.xdg = pathlib.Path(folder.name, "xdg")
        self.home.mkdir()
        self.process = None

    def tearDown(self):
        if self.process:
            end_program(self.process)

    def serve(self, port, answer):
        server = ScriptedServer(port, answer)
        self.addCleanup(server.close)
        return server

    def start(self, **settings):
        if settings:
            path = self.xdg / "duvuzezera-webmobclient" / "kiosk.json"
            path.parent.mkdir(parents=True)
            path.write_text(json.dumps(settings))
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=str(self.home), XDG_CONFIG_HOME=str(self.xdg))
        self.process = start_program([PROGRAM], env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL)
        window = wait_until(lambda: visible_windows("^Form12$") or self.process.poll() is not None,
                            "the window")
        self.assertIsNone(self.process.poll(), "the program ended at start-up")
        xdotool("windowfocus", "--sync", window[0])
        wait_until(page_shows(SPLASH_COLOUR), "the splash")

    def tap(self, where):
        xdotool("mousemove", *where, "click", 1)

    def start_looping(self, server):
        """Lets the page loop and waits until a web process spins a core."""
        server.start_loop()

        def spinning():
            before = cpu_seconds(web_processes(self.process.pid))
            time.sleep(0.2)
            return cpu_seconds(web_processes(self.process.pid)) - before > 0.15

        wait_until(spinning, "a web process spinning in the page's loop")

    def assert_no_box(self):
        self.assertEqual(visible_windows(f"^{TITLE}$"), [], "a box came")
        self.assertIsNone(self.process.poll(), "the program ended")

    def test_a_tap_on_a_pane_button_takes_the_place_of_a_looping_page(self):
        looping = "fetch('/looping').finally(() => { while (true) {} });"
        clinic = self.serve(CLINIC_PORT, lambda n: coloured(CLINIC_COLOUR, looping))
        self.serve(SITE_PORT, lambda n: coloured(SITE_COLOUR))
        self.start()
        self.tap(BUTTON1)
        clinic.wait_for_requests(1)
        wait_until(page_shows(CLINIC_COLOUR), "the clinic's page")
        self.start_looping(clinic)
        # The engine finds the page hung only when it asks it something: the tap's load does.
        self.tap(BUTTON2)
        wait_until(page_shows(SITE_COLOUR), "the site's page after the tap", timeout=8)
        # Again from the site: the new process's page hangs too, and gives way again.
        self.tap(BUTTON1)
        clinic.wait_for_requests(2)
        wait_until(page_shows(CLINIC_COLOUR), "the clinic's page again")
        self.start_looping(clinic)
        self.tap(BUTTON2)
        wait_until(page_shows(SITE_COLOUR), "the site's page after the second tap", timeout=8)
        self.assert_no_box()

    def test_a_page_that_hangs_with_nobody_there_is_reloaded_then_left_blank(self):
        looping = "fetch('/looping').finally(() => { while (true) {} });"
        clinic = self.serve(CLINIC_PORT, lambda n: coloured(CLINIC_COLOUR, looping))
        self.start()
        self.tap(BUTTON1)
        clinic.wait_for_requests(1)
        wait_until(page_shows(CLINIC_COLOUR), "the clinic's page")
        xdotool("mousemove", 5, 5)  # off the page: from here on, no input at all
        self.start_looping(clinic)
        hung = time.monotonic()
        # The patience is 15 s from when the hang is noticed, which takes a few seconds more.
        clinic.wait_for_requests(2, timeout=25)
        self.assertLess(time.monotonic() - hung, 22, "the reload came too late")
        wait_until(page_shows(CLINIC_COLOUR), "the reloaded page")
        self.start_looping(clinic)
        # Hung again: the engine's blank page, and the clinic is not asked again.
        wait_until(page_shows((0xFF, 0xFF, 0xFF)), "the blank page", timeout=25)
        self.assertEqual(clinic.requests, 2)
        self.assert_no_box()

    def test_a_killed_web_process_brings_the_page_back_and_the_third_kill_the_splash(self):
        clinic = self.serve(CLINIC_PORT, lambda n: coloured(CLINIC_COLOUR))
        self.start()
        self.tap(BUTTON1)
        clinic.wait_for_requests(1)
        wait_until(page_shows(CLINIC_COLOUR), "the clinic's page")
        xdotool("mousemove", 5, 5)  # no pointer over the page: nothing but the kills happens
        for kill in (1, 2):
            victims = wait_until(lambda: web_processes(self.process.pid), "a web process")
            for pid in victims:
                os.kill(pid, signal.SIGKILL)
            clinic.wait_for_requests(1 + kill)
            wait_until(page_shows(CLINIC_COLOUR), f"the page painted again after kill {kill}")
        for pid in wait_until(lambda: web_processes(self.process.pid), "a web process"):
            os.kill(pid, signal.SIGKILL)
        wait_until(page_shows(SPLASH_COLOUR), "the splash after the third kill")
        self.assertEqual(clinic.requests, 3, "the page was not asked for after the third kill")
        self.assert_no_box()
        # A tap starts over.
        self.tap(BUTTON1)
        clinic.wait_for_requests(4)
        wait_until(page_shows(CLINIC_COLOUR), "the clinic's page after the tap")

    def test_a_refused_connection_shows_no_box_and_the_page_comes_once_the_server_listens(self):
        self.start(retrySeconds=RETRY_SECONDS)
        self.tap(BUTTON1)  # nothing listens on the clinic's port yet
        wait_until(lambda: pixel(*IN_PAGE) not in (SPLASH_COLOUR, CLINIC_COLOUR),
                   "the engine's error page")
        self.assert_no_box()
        clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR)
        self.addCleanup(clinic.close)
        clinic.wait_for("loaded", timeout=4 * RETRY_SECONDS)
        wait_until(page_shows(CLINIC_COLOUR), "the clinic's page without input")
        self.assert_no_box()

    def test_locked_down_the_retry_and_a_dead_process_still_bring_the_page_back(self):
        # Locked down, every load of the program's leaves the page first, the recovery's too.
        self.start(retrySeconds=RETRY_SECONDS, lockdown=True)
        self.tap(BUTTON1)  # nothing listens on the clinic's port yet
        wait_until(lambda: pixel(*IN_PAGE) not in (SPLASH_COLOUR, CLINIC_COLOUR),
                   "the engine's error page")
        xdotool("mousemove", 5, 5)
        clinic = self.serve(CLINIC_PORT, lambda n: coloured(CLINIC_COLOUR))
        clinic.wait_for_requests(1, timeout=4 * RETRY_SECONDS)
        wait_until(page_shows(CLINIC_COLOUR), "the clinic's page without input")
        for pid in wait_until(lambda: web_processes(self.process.pid), "a web process"):
            os.kill(pid, signal.SIGKILL)
        clinic.wait_for_requests(2)
        wait_until(page_shows(CLINIC_COLOUR), "the page painted again after the kill")
        self.assert_no_box()

    def test_a_link_to_a_closed_port_shows_no_box_and_is_retried(self):
        link = (f"document.body.innerHTML = \"<a id=l href='http://127.0.0.1:{CLINIC_PORT}/' "
                "style='display:block;height:100vh'>x</a>\"")
        self.serve(SITE_PORT, lambda n: coloured(SITE_COLOUR, link))
        self.start(retrySeconds=RETRY_SECONDS)
        self.tap(BUTTON2)
        wait_until(page_shows(SITE_COLOUR), "the site's page")
        self.tap(IN_PAGE)  # the link, to the clinic's port where nothing listens
        wait_until(lambda: pixel(*IN_PAGE) not in (SITE_COLOUR, CLINIC_COLOUR),
                   "the engine's error page")
        self.assert_no_box()
        xdotool("mousemove", 5, 5)
        clinic = self.serve(CLINIC_PORT, lambda n: coloured(CLINIC_COLOUR))
        clinic.wait_for_requests(1, timeout=4 * RETRY_SECONDS)
        wait_until(page_shows(CLINIC_COLOUR), "the clinic's page without input")
        self.assert_no_box()

    def test_a_tap_cancels_the_pending_retry(self):
        self.start(retrySeconds=RETRY_SECONDS)
        self.tap(BUTTON1)
        wait_until(lambda: pixel(*IN_PAGE) not in (SPLASH_COLOUR, CLINIC_COLOUR),
                   "the engine's error page")
        self.tap(IN_PAGE)  # input: the retry is dropped
        clinic = self.serve(CLINIC_PORT, lambda n: coloured(CLINIC_COLOUR))
        # Twice the first wait, and the page was not asked for.
        deadline = time.monotonic() + 2 * RETRY_SECONDS + 1
        while time.monotonic() < deadline:
            self.assertEqual(clinic.requests, 0, "the retry went ahead after the tap")
            time.sleep(0.2)
        self.tap(BUTTON1)
        clinic.wait_for_requests(1)

    def test_a_server_that_never_answers_gets_the_timeout_page_then_the_retry(self):
        clinic = self.serve(CLINIC_PORT, lambda n: None if n == 1 else coloured(CLINIC_COLOUR))
        self.start(retrySeconds=RETRY_SECONDS)
        self.tap(BUTTON1)
        clinic.wait_for_requests(1)
        asked = time.monotonic()
        # The load gives up, the engine's error page shows, and the retry asks again.
        clinic.wait_for_requests(2, timeout=LOAD_TIMEOUT + 4 * RETRY_SECONDS)
        self.assertGreaterEqual(time.monotonic() - asked, LOAD_TIMEOUT + RETRY_SECONDS - 1)
        wait_until(page_shows(CLINIC_COLOUR), "the clinic's page without input")
        self.assert_no_box()


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[5:]])
