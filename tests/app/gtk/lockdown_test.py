#!/usr/bin/env python3
"""The Linux program as built, pointed at a loopback clinic by a settings file, with and
without `lockdown`: each way a page could lead out of the kiosk, taken by a real tap on a real
page. HOME, XDG_CONFIG_HOME and the working folder are temporary folders.

Usage: lockdown_test.py PROGRAM CLINIC_PORT OTHER_PORT [unittest arguments]"""
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

PROGRAM, CLINIC_PORT, OTHER_PORT = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
BUTTON1 = (96, 41)  # "Кабинет"
IN_PAGE = (700, 400)
OFF_PAGE = (96, 600)  # the pane below its buttons
PANE_FREE = 100  # x of the navigation pane below its buttons
IN_BAR = (600, 790)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)
OTHER_COLOUR = (0x8B, 0x2E, 0x2E)
BUTTON_GUIDE = (96, 229)  # "Документация": the user guide, a PDF
# Places in the engine's PDF viewer (its own page, laid out the same way at this screen size):
# the tools menu's button, and where the menu's first entry, "Open", has its text.
VIEWER_TOOLS = (1263, 16)
VIEWER_TOOLS_SHOWN = (0x7D, 0x7D, 0x7D)
VIEWER_TOOLS_OPEN = (0x57, 0x57, 0x57)
MENU_OPEN = (1106, 55)
# What the operator had in the download folder before the visitor came.
OPERATOR_FILE = b"the operator's own notes\n"

# One page per route: the whole page is the thing a visitor taps.
FULL = ("position: absolute; left: 0; top: 0; width: 100%; height: 100%; margin: 0; border: 0;"
        " opacity: 0;")
ROUTES = {
    "new-window": '<a id="t" href="/landed" target="_blank" style="display: block; %s"></a>',
    "other-host": '<a id="t" href="http://127.0.0.1:%d/" style="display: block; %%s"></a>'
                  % OTHER_PORT,
    "file-input": '<input id="t" type="file" style="%s"'
                  ' onchange="report(\'file-\' + this.files.length)">',
    "print": '<button id="t" style="%s" onclick="print(); report(\'printed\')"></button>',
    "download": '<a id="t" href="/notes.txt" style="display: block; %s"></a>',
    "engine-page": '<a id="t" href="about:config" style="display: block; %s"></a>',
    "dialog": '<button id="t" style="%s"'
              ' onclick="report(\'answered-\' + confirm(\'Leave?\'))"></button>',
}
PAGE = """<!doctype html><html><head><style>html, body { margin: 0; height: 100%%;
background: %s; }</style></head><body>%s<script>
function report(what) { fetch('/report?e=' + encodeURIComponent(what)); }
const target = document.getElementById('t');
// Before the click's own handler, which may wait for a dialog.
if (target) target.addEventListener('mousedown', () => report('tapped'));
// After the click and what the engine does for it by default.
if (target) target.addEventListener('click', () => setTimeout(() => report('clicked')));
report('loaded');
</script></body></html>"""


def guide_pdf():
    """A one-page PDF."""
    stream = b"BT /F1 24 Tf 72 700 Td (User guide) Tj ET"
    objects = [b"<< /Type /Catalog /Pages 2 0 R >>", b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
               b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R"
               b" /Resources << /Font << /F1 5 0 R >> >> >>",
               b"<< /Length %d >>\nstream\n%s\nendstream" % (len(stream), stream),
               b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
    out, offsets = bytearray(b"%PDF-1.4\n"), []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n%s\nendobj\n" % (number, body)
    table = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % offset for offset in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1,
                                                                               table)
    return bytes(out)


class Server(PathRecorder):
    """A loopback server that answers "/" with the page of the route being tried and keeps
    every path asked for."""

    def __init__(self, port, colour):
        self.route = None

        def answer(handler):
            headers = {"Content-Type": "text/html; charset=utf-8"}
            if handler.path == "/notes.txt":
                body = b"what the page handed over\n"
                headers = {"Content-Type": "text/plain",
                           "Content-Disposition": 'attachment; filename="../notes.txt"'}
            elif handler.path.endswith(".pdf"):
                body = guide_pdf()
                headers = {"Content-Type": "application/pdf"}
            elif handler.path.startswith("/report"):
                body = b""
            else:
                snippet = ROUTES[self.route] % FULL if self.route else ""
                body = (PAGE % ("#%02X%02X%02X" % colour, snippet)).encode()
            send_page(handler, body, headers.items())

        super().__init__(port, answer)


def swipe_up_on_the_pane():
    chain = ["mousemove", PANE_FREE, 700, "mousedown", 1]
    for y in range(675, 449, -25):
        chain += ["sleep", 0.03, "mousemove", PANE_FREE, y]
    xdotool(*chain, "sleep", 0.05, "mouseup", 1)


def window_name(window):
    return subprocess.run(["xdotool", "getwindowname", window], capture_output=True,
                          text=True).stdout.strip()


def files_under(folder, leave_out=()):
    return {p.relative_to(folder) for p in folder.rglob("*")
            if p.is_file() and not any(part in leave_out for part in p.parts)}


class LockdownTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.home = pathlib.Path(folder.name, "home")
        self.work = pathlib.Path(folder.name, "work")
        self.xdg = pathlib.Path(folder.name, "xdg")
        for made in (self.home / "Downloads", self.work):
            made.mkdir(parents=True)
        (self.home / "Downloads" / "notes.txt").write_bytes(OPERATOR_FILE)
        self.clinic = Server(CLINIC_PORT, CLINIC_COLOUR)
        self.addCleanup(self.clinic.close)
        self.other = Server(OTHER_PORT, OTHER_COLOUR)
        self.addCleanup(self.other.close)
        self.process = None

    def tearDown(self):
        if self.process:
            end_program(self.process)

    def start(self, route, lockdown, button=BUTTON1):
        if self.process:
            end_program(self.process)
        self.clinic.route = route
        self.clinic.forget()
        self.other.forget()
        # Named on the command line: no other settings file counts.
        settings = self.xdg / "kiosk.json"
        settings.parent.mkdir(parents=True, exist_ok=True)
        clinic = f"127.0.0.1:{CLINIC_PORT}"
        settings.write_text(json.dumps({"clinicHost": clinic, "siteWwwHost": clinic,
                                        "lockdown": lockdown}))
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=str(self.home), XDG_CONFIG_HOME=str(self.xdg))
        self.process = start_program([PROGRAM, "--config", str(settings)], env=env, cwd=self.work,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        window = wait_until(lambda: visible_windows("^Form12$"), "the window")
        xdotool("windowfocus", "--sync", window[0])
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")
        self.home_before = files_under(self.home, leave_out={".cache", ".local", ".config"})
        self.windows_before = set(visible_windows("."))
        xdotool("mousemove", *button, "click", 1)
        if button == BUTTON1:
            self.clinic.wait_for("/report?e=loaded")
            wait_until(lambda: pixel(*IN_PAGE) == CLINIC_COLOUR, "the clinic's page")

    def tap_the_page(self):
        taps = self.clinic.count("/report?e=tapped")
        downloads = self.clinic.count("/notes.txt")
        xdotool("mousemove", *IN_PAGE, "click", 1)
        # A download the tap starts may cancel the page's report of the tap: its request
        # tells as well.
        wait_until(lambda: self.clinic.count("/report?e=tapped") > taps
                   or self.clinic.count("/notes.txt") > downloads, "the tap in the page")
        # Off the page, which would show its tooltip in a window of its own.
        xdotool("mousemove", *OFF_PAGE)

    def new_windows(self):
        return {f"{w} {window_name(w)}" for w in set(visible_windows(".")) - self.windows_before}

    def settled_without(self, what, happened, after="/report?e=clicked"):
        """Nothing to wait for when a route is closed, so a known change comes after it: once
        the page has seen its click through (the engine has asked the program whatever the
        tap asks; `after` tells, when there was a page), two swipes on the pane show and hide
        the bar, each in turn. The program has then long handled what the tap asked of it."""
        if after:
            self.clinic.wait_for(after)
        for shown in (True, False):
            swipe_up_on_the_pane()
            wait_until(lambda: (pixel(*IN_BAR) == SPLASH_COLOUR) == shown,
                       f"the bar {'shown' if shown else 'hidden'} by a swipe", timeout=5)
        self.assertFalse(happened(), what)

    def test_each_route_out_is_closed_by_lockdown_and_open_without_it(self):
        for route in ROUTES:
            for lockdown in (True, False):
                with self.subTest(route=route, lockdown=lockdown):
                    self.start(route, lockdown)
                    self.tap_the_page()
                    getattr(self, "check_" + route.replace("-", "_"))(lockdown)
                    made = files_under(self.home, leave_out={".cache", ".local", ".config"})
                    made -= self.home_before
                    self.assertEqual(made, {pathlib.Path("Downloads/notes (1).txt")}
                                     if route == "download" and not lockdown else set())
                    self.assertEqual(files_under(self.work), set(), "the working folder")
                    self.assertEqual((self.home / "Downloads" / "notes.txt").read_bytes(),
                                     OPERATOR_FILE)

    # The guide shows; locked down, its viewer's tools menu has no Open entry, and a tap where
    # it would be opens no file window.
    def test_the_pdf_viewer_offers_no_way_to_the_files(self):
        for lockdown in (False, True):
            with self.subTest(lockdown=lockdown):
                self.start(None, lockdown, button=BUTTON_GUIDE)
                wait_until(lambda: pixel(*VIEWER_TOOLS) == VIEWER_TOOLS_SHOWN, "the viewer")
                xdotool("mousemove", *VIEWER_TOOLS, "click", 1)
                wait_until(lambda: pixel(*VIEWER_TOOLS) == VIEWER_TOOLS_OPEN, "the tools menu")
                open_entry_shows = sum(pixel(*MENU_OPEN)) < 3 * 0x40
                self.assertEqual(open_entry_shows, not lockdown)
                xdotool("mousemove", *MENU_OPEN, "click", 1)
                xdotool("mousemove", *OFF_PAGE)
                if lockdown:
                    self.settled_without("a file window", self.new_windows, after=None)
                else:
                    wait_until(self.new_windows, "the file window")
                    xdotool("key", "Escape")

    # A new window's address opens in the view when locked down; without, nothing opens.
    def check_new_window(self, lockdown):
        if lockdown:
            self.clinic.wait_for("/landed")
        else:
            self.settled_without("the new window's page", lambda: self.clinic.count("/landed"))
        self.assertEqual(self.new_windows(), set())

    def check_other_host(self, lockdown):
        if lockdown:
            # The refused navigation may stop the page's report of its click: the tap's own
            # report stands for it.
            self.settled_without("the other host's page",
                                 lambda: self.other.count("/report?e=loaded"), after=None)
            self.assertEqual(pixel(*IN_PAGE), CLINIC_COLOUR, "the page stays")
            self.assertEqual(self.new_windows(), set(), "no box")
        else:
            self.other.wait_for("/report?e=loaded")

    # The engine's own pages are no page's: locked down, the page stays.
    def check_engine_page(self, lockdown):
        if lockdown:
            self.settled_without("the engine's page", lambda: pixel(*IN_PAGE) != CLINIC_COLOUR)
        else:
            wait_until(lambda: pixel(*IN_PAGE) != CLINIC_COLOUR, "the engine's page")
        self.assertEqual(self.new_windows(), set(), "a box")

    def check_file_input(self, lockdown):
        if lockdown:
            self.settled_without("a file window", self.new_windows)
        else:
            wait_until(self.new_windows, "the file window")
            xdotool("key", "Escape")

    def check_print(self, lockdown):
        if lockdown:
            self.clinic.wait_for("/report?e=printed")
            self.assertEqual(self.new_windows(), set(), "a print dialog")
        else:
            wait_until(self.new_windows, "the print dialog")
            xdotool("key", "Escape")

    def check_download(self, lockdown):
        kept = self.home / "Downloads" / "notes (1).txt"
        if lockdown:
            # The download's own request tells the tap was seen through; it cancels the
            # page's report.
            self.settled_without("a downloaded file", kept.exists, after="/notes.txt")
        else:
            wait_until(lambda: kept.exists() and kept.read_bytes(), "the download")
            self.assertEqual(kept.read_bytes(), b"what the page handed over\n")

    # Locked down, a tap on the pane answers the page's dialog as Cancel and navigates at once.
    def check_dialog(self, lockdown):
        if not lockdown:
            return
        time.sleep(0.5)  # the dialog is up once the tap has been handled
        loads = self.clinic.count("/report?e=loaded")
        xdotool("mousemove", *BUTTON1, "click", 1)
        self.clinic.wait_for("/report?e=answered-false")
        self.clinic.wait_for("/report?e=loaded", loads + 1)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[4:]])
