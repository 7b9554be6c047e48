#!/usr/bin/env python3
"""The Linux program as a process, on the test's X display, driven by real input (XTest
through xdotool) against real pages served on loopback. The program under test is a build
whose targets point at the two loopback ports given on the command line.

Usage: program_test.py PROGRAM CLINIC_PORT SITE_PORT [unittest arguments]"""
import http.server
import os
import pathlib
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

PROGRAM, CLINIC_PORT, SITE_PORT = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])

SCREEN = (1280, 800)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)  # the dark style's window colour: splash and bar
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)
SITE_COLOUR = (0x46, 0x82, 0xB4)
BUTTON1 = (96, 41)  # "Кабинет"
BUTTON2 = (96, 89)  # the site
PANE_FREE = 100  # x of the navigation pane below its buttons
IN_PAGE = (700, 400)
IN_BAR = (600, 790)
IN_FIELD = (750, 40)  # the page's text field
CLOSE_ICON = (1250, 762)

PAGE = """<!doctype html><html><head><style>
html, body { margin: 0; height: 100%%; background: %s; }
input { position: absolute; left: 400px; top: 20px; width: 300px; height: 40px; }
</style></head><body><input id="field">
<script>
function report(what) { fetch('/report?e=' + encodeURIComponent(what)); }
for (const type of ['mousedown', 'mouseup', 'auxclick', 'click'])
  document.addEventListener(type, e => report(type + e.button));
document.addEventListener('contextmenu', () => report('contextmenu'));
document.getElementById('field').addEventListener('keydown', e => report('keydown-' + e.key));
report('loaded');
</script></body></html>"""


class PageServer:
    """Serves the page in one colour on a loopback port and records what its script reports."""

    def __init__(self, port, colour):
        self.reports = []
        self.changed = threading.Condition()
        page = (PAGE % ("#%02X%02X%02X" % colour)).encode()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                if self.path.startswith("/report?e="):
                    with server.changed:
                        server.reports.append(self.path.split("=", 1)[1])
                        server.changed.notify_all()
                    body = b""
                else:
                    body = page
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def wait_for(self, report, timeout=15):
        deadline = time.monotonic() + timeout
        with self.changed:
            while report not in self.reports:
                left = deadline - time.monotonic()
                if left <= 0:
                    raise AssertionError(f"the page never reported {report!r}: {self.reports}")
                self.changed.wait(left)

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True)


def pixel(x, y):
    raw = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8",
                          "rgb:-"], check=True, capture_output=True).stdout
    return tuple(raw[:3])


def wait_until(condition, what, timeout=15):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.1)


def visible_windows(name):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                           capture_output=True, text=True).stdout.split()
    return found


def drag(points):
    """A left-button stroke through `points`, one motion at a time."""
    (x, y), rest = points[0], points[1:]
    chain = ["mousemove", x, y, "mousedown", 1]
    for x, y in rest:
        chain += ["sleep", 0.03, "mousemove", x, y]
    xdotool(*chain, "sleep", 0.05, "mouseup", 1)


def vertical(x, y0, y1, step=25):
    return [(x, y) for y in range(y0, y1 - 1 if y1 < y0 else y1 + 1, -step if y1 < y0 else step)]


class ProgramTest(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.TemporaryDirectory()
        self.clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR)
        self.addCleanup(self.clinic.close)
        self.process = None

    def tearDown(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.home.cleanup()

    def start(self, **environment):
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=self.home.name, **environment)
        self.process = subprocess.Popen([PROGRAM], env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        wait_until(lambda: visible_windows("^Form12$") or self.process.poll() is not None,
                   "the window")
        self.assertIsNone(self.process.poll(), "the program ended at start-up")
        xdotool("windowfocus", "--sync", visible_windows("^Form12$")[0])
        # The window is up once the splash is painted where the page will be.
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")

    def open_clinic(self):
        xdotool("mousemove", *BUTTON1, "click", 1)
        self.clinic.wait_for("loaded")
        wait_until(lambda: pixel(*IN_PAGE) == CLINIC_COLOUR, "the page's colour")

    def bar_shown(self):
        colour = pixel(*IN_BAR)
        self.assertIn(colour, (SPLASH_COLOUR, CLINIC_COLOUR))
        return colour == SPLASH_COLOUR

    def assert_bar(self, shown, after):
        time.sleep(0.3)
        self.assertEqual(self.bar_shown(), shown, after)

    def exit_code(self):
        try:
            return self.process.wait(timeout=15)
        finally:
            self.process.stderr.close()

    def test_the_page_replaces_the_splash_and_right_clicks_never_reach_it(self):
        self.start()
        self.open_clinic()
        for x, y in (IN_PAGE, (900, 600), IN_FIELD):
            xdotool("mousemove", x, y, "click", 3)
        time.sleep(0.5)
        xdotool("mousemove", *IN_PAGE, "click", 1)
        self.clinic.wait_for("click0")
        right = [r for r in self.clinic.reports if r == "contextmenu" or r.endswith("2")]
        self.assertEqual(right, [])
        self.assertIn("mousedown0", self.clinic.reports)

    def test_keys_in_the_page_stay_there(self):
        self.start()
        self.open_clinic()
        xdotool("key", "Escape")  # on the button clicked
        self.assert_bar(True, "Escape on a button")
        xdotool("mousemove", *IN_FIELD, "click", 1)
        self.clinic.wait_for("click0")
        for key in ("Escape", "x"):
            xdotool("key", key)
            self.clinic.wait_for("keydown-" + key)
            self.assert_bar(True, f"{key} typed into the page")

    def test_keys_on_the_window_controls(self):
        self.start()
        self.open_clinic()  # the focus is on the button clicked
        cases = [("Escape", True), ("Tab", True), ("Left", True), ("a", False), ("b", False),
                 ("Escape", True), ("Escape", False)]
        for key, shown in cases:
            xdotool("key", key)
            self.assert_bar(shown, f"after {key}")
        # Tab then Left came back to Button1; Tab goes to Button2, Enter clicks it.
        site = PageServer(SITE_PORT, SITE_COLOUR)
        self.addCleanup(site.close)
        xdotool("key", "Tab", "sleep", 0.1, "key", "Return")
        site.wait_for("loaded")
        # Down goes to Button3 ("Выход") by tab order, whatever the screen order.
        xdotool("key", "Down", "sleep", 0.1, "key", "Return")
        self.assertEqual(self.exit_code(), 0)

    def test_strokes_on_the_pane(self):
        self.start()
        self.open_clinic()
        steps = [
            ("swipe up", lambda: drag(vertical(PANE_FREE, 700, 450)), True),
            ("click", lambda: xdotool("mousemove", PANE_FREE, 600, "click", 1), True),
            ("swipe up", lambda: drag(vertical(PANE_FREE, 700, 450)), False),
            ("swipe up", lambda: drag(vertical(PANE_FREE, 700, 450)), True),
            ("unmatched drag", lambda: drag([(x, 600) for x in range(20, 190, 20)]), False),
            ("swipe down", lambda: drag(vertical(PANE_FREE, 400, 650)), False),
        ]
        for what, stroke, shown in steps:
            stroke()
            self.assert_bar(shown, f"after the {what}")

    def test_the_close_icon_ends_the_program_with_zero(self):
        self.start()
        self.open_clinic()
        xdotool("key", "Escape")
        self.assert_bar(True, "Escape on a button")
        xdotool("mousemove", *CLOSE_ICON, "click", 1)
        self.assertEqual(self.exit_code(), 0)

    def test_sigterm_ends_the_program_with_zero(self):
        self.start()
        self.process.send_signal(signal.SIGTERM)
        self.assertEqual(self.exit_code(), 0)

    def test_a_failed_load_is_shown_in_a_box_titled_with_the_application_title(self):
        self.start()
        xdotool("mousemove", *BUTTON2, "click", 1)  # nothing listens on the site's port
        wait_until(lambda: visible_windows("^Кабинет Duvuzezera$"), "the error box")
        xdotool("windowfocus", "--sync", visible_windows("^Кабинет Duvuzezera$")[0])
        xdotool("key", "Return")
        wait_until(lambda: not visible_windows("^Кабинет Duvuzezera$"), "the box to close")
        self.assertIsNone(self.process.poll(), "the program goes on after the box")

    def test_the_engine_writes_only_into_its_own_folders(self):
        self.start()
        self.open_clinic()
        self.process.send_signal(signal.SIGTERM)
        self.assertEqual(self.exit_code(), 0)
        name = pathlib.Path(PROGRAM).name
        allowed = [pathlib.Path(self.home.name, ".cache", name),
                   pathlib.Path(self.home.name, ".local", "share", name)]
        written = [p for p in pathlib.Path(self.home.name).rglob("*") if p.is_file()]
        strays = [str(p) for p in written if not any(a in p.parents for a in allowed)]
        self.assertEqual(strays, [])

    def test_without_a_display_start_up_fails_with_the_application_error_text(self):
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        run = subprocess.run([PROGRAM], env=env, capture_output=True, text=True, timeout=30)
        self.assertEqual(run.returncode, 1)
        self.assertIn("Application Error", run.stderr)
        self.assertIn(f"in module {pathlib.Path(PROGRAM).name} at ", run.stderr)
        self.assertIn("Cannot open the display.", run.stderr)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[4:]])
