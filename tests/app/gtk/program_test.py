#!/usr/bin/env python3
"""The Linux program as a process, on the test's X display, driven by real input (XTest
through xdotool) against real pages served on loopback. The program under test is a build
whose targets point at the two loopback ports given on the command line.

Usage: program_test.py PROGRAM CLINIC_PORT SITE_PORT NO_STYLE BAD_STYLE BROKEN_LAYOUT IDLE_RESET
IDLE_SECONDS SHIPPED IDLE_WARNING WARNING_RESET_SECONDS WARNING_SECONDS [unittest arguments]:
NO_STYLE, BAD_STYLE and BROKEN_LAYOUT are copies of the program without its style, with an
unreadable style and with a broken layout; IDLE_RESET is one built to return to the splash after
IDLE_SECONDS without input; SHIPPED is the program as it is shipped, with the build's own targets
(never opened here); IDLE_WARNING is one built to return to the splash after
WARNING_RESET_SECONDS, warning for the last WARNING_SECONDS."""
import os
import pathlib
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "support" / "gtk"))
from page_server import PageServer  # noqa: E402
from program_process import end_program, process_tree, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402

PROGRAM, CLINIC_PORT, SITE_PORT = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
NO_STYLE, BAD_STYLE, BROKEN_LAYOUT, IDLE_RESET = sys.argv[4:8]
IDLE_SECONDS = int(sys.argv[8])
SHIPPED = sys.argv[9]
IDLE_WARNING = sys.argv[10]
WARNING_RESET_SECONDS, WARNING_SECONDS = int(sys.argv[11]), int(sys.argv[12])
# An audio output for the program under test on a machine without a sound card.
NULL_SOUND = pathlib.Path(__file__).resolve().parent / "null-sound.conf"

SCREEN = (1280, 800)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)  # the dark style's window colour: splash and bar
LAYOUT_BUTTON_FACE = (0xF0, 0xF0, 0xF0)  # clBtnFace: the splash without the style
CLINIC_COLOUR = (0x2E, 0x8B, 0x57)
SITE_COLOUR = (0x46, 0x82, 0xB4)
BUTTON1 = (96, 41)  # "Кабинет"
BUTTON2 = (96, 89)  # the site
PANE_FREE = 100  # x of the navigation pane below its buttons
IN_PAGE = (700, 400)
IN_BAR = (600, 790)
IN_FIELD = (750, 40)  # the page's text field
CLOSE_ICON = (1250, 762)
PANE = (0, 0, 190, 800)  # x, y, width, height
# The start of the warning's line, left of where the splash shows its name.
WARNING_TEXT = (420, 390, 140, 22)
WARNING_LINE = (400, 385, 700, 30)
IN_PAGE_LOW = (700, 600)  # the browser area away from any text

def area(x, y, width, height):
    return subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}",
                           "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout


def settled(x, y, width, height):
    """The area once it stays the same for a moment (the style's transitions over)."""
    previous = area(x, y, width, height)
    while True:
        time.sleep(0.3)
        current = area(x, y, width, height)
        if current == previous:
            return current
        previous = current


def has_text(x, y, width, height, background=SPLASH_COLOUR):
    """Whether anything but `background` is drawn there."""
    raw = area(x, y, width, height)
    return any(tuple(raw[i:i + 3]) != background for i in range(0, len(raw), 3))


def warning_shows():
    return pixel(*IN_PAGE_LOW) == SPLASH_COLOUR and has_text(*WARNING_TEXT)


def splash_shows():
    return pixel(*IN_PAGE_LOW) == SPLASH_COLOUR and not has_text(*WARNING_TEXT)


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


def count_connections(server):
    """Every connection `server` accepts from now on, whether a request follows or not."""
    accepted = []
    get_request = server.httpd.get_request

    def counting():
        request = get_request()
        accepted.append(request[1])
        return request

    server.httpd.get_request = counting
    return accepted


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
        if self.process:
            end_program(self.process)
        self.home.cleanup()

    def launch(self, program, **variables):
        if self.process:
            end_program(self.process)
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=self.home.name, **variables)
        self.process = start_program([program], env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)

    def close_box(self, title):
        """Waits for the message box titled `title`, then closes it with its default button."""
        box = wait_until(lambda: visible_windows(f"^{title}$"), f"the message box {title!r}")[0]
        xdotool("windowfocus", "--sync", box)
        xdotool("key", "Return")
        wait_until(lambda: not visible_windows(f"^{title}$"), f"the message box {title!r} to close")

    def start(self, splash=SPLASH_COLOUR):
        if self.process is None:
            self.launch(PROGRAM)
        window = wait_until(lambda: visible_windows("^Form12$") or self.process.poll() is not None,
                            "the window")
        if self.process.poll() is not None:
            self.fail(f"the program ended at start-up with {self.process.returncode}: "
                      f"{self.process.stderr.read()}")
        xdotool("windowfocus", "--sync", window[0])
        # The window is up once the splash is painted where the page will be.
        wait_until(lambda: pixel(*IN_PAGE) == splash, "the splash")

    def open_clinic(self):
        xdotool("mousemove", *BUTTON1, "click", 1)
        self.clinic.wait_for("loaded")
        wait_until(lambda: pixel(*IN_PAGE) == CLINIC_COLOUR, "the page's colour")

    def bar_shown(self):
        colour = pixel(*IN_BAR)
        self.assertIn(colour, (SPLASH_COLOUR, CLINIC_COLOUR))
        return colour == SPLASH_COLOUR

    def wait_for_bar(self, shown, after, timeout=5):
        try:
            wait_until(lambda: self.bar_shown() == shown, f"the bar {'shown' if shown else 'hidden'}",
                       timeout)
        except AssertionError:
            self.fail(f"the bar is {'hidden' if shown else 'shown'} {after}")

    def assert_bar(self, shown, after, toggle):
        """The bar is as `shown` says once the input before has been handled. When that input
        was to change nothing, `toggle` (input known to toggle the bar, taking the same way)
        follows twice: had the input changed the bar late, the toggles would show it."""
        unchanged = shown == getattr(self, "bar_before", None)
        self.wait_for_bar(shown, after)
        if unchanged:
            toggle()
            self.wait_for_bar(not shown, f"{after}, then the toggle")
            toggle()
            self.wait_for_bar(shown, f"{after}, then the toggle twice")
        self.bar_before = shown

    def exit_code(self):
        """Waits for the end of the program; its standard error is then in self.stderr."""
        self.stderr = self.process.communicate(timeout=15)[1]
        return self.process.returncode

    def test_the_page_replaces_the_splash_and_right_clicks_never_reach_it(self):
        self.start()
        self.open_clinic()
        for x, y in (IN_PAGE, (900, 600), IN_FIELD):
            xdotool("mousemove", x, y, "click", 3)
        xdotool("mousemove", *IN_PAGE, "click", "--repeat", 2, "--delay", 80, 3)  # a double click
        time.sleep(0.5)
        xdotool("mousemove", *IN_PAGE, "click", 1)
        self.clinic.wait_for("click0")
        right = [r for r in self.clinic.reports if r == "contextmenu" or r.endswith("2")]
        self.assertEqual(right, [])
        self.assertIn("mousedown0", self.clinic.reports)

    def test_keys_in_the_page_stay_there(self):
        self.start()
        self.open_clinic()
        self.bar_before = False
        xdotool("key", "Escape")  # on the button clicked
        self.assert_bar(True, "Escape on a button", None)
        xdotool("mousemove", *IN_FIELD, "click", 1)
        self.clinic.wait_for("click0")
        # Strokes on the pane still reach the window while the keys go to the page.
        swipe = lambda: drag(vertical(PANE_FREE, 700, 450))  # noqa: E731
        for key in ("Escape", "x"):
            xdotool("key", key)
            self.clinic.wait_for("keydown-" + key)
            self.assert_bar(True, f"{key} typed into the page", swipe)

    def test_keys_on_the_window_controls(self):
        self.start()
        self.open_clinic()  # the focus is on the button clicked
        cases = [("Escape", True), ("Tab", True), ("Left", True), ("a", False), ("b", False),
                 ("Escape", True), ("Escape", False)]
        self.bar_before = False
        for key, shown in cases:
            xdotool("key", key)
            self.assert_bar(shown, f"after {key}", lambda: xdotool("key", "Escape"))
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
        self.bar_before = False
        for what, stroke, shown in steps:
            stroke()
            self.assert_bar(shown, f"after the {what}", lambda: drag(vertical(PANE_FREE, 700, 450)))

    def test_the_close_icon_ends_the_program_with_zero(self):
        self.start()
        self.open_clinic()
        xdotool("key", "Escape")
        self.wait_for_bar(True, "after Escape on a button")
        xdotool("mousemove", *CLOSE_ICON, "click", 1)
        self.assertEqual(self.exit_code(), 0)

    def test_the_shipped_program_paints_in_its_style_and_each_signal_ends_it_with_zero(self):
        for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
            with self.subTest(signal=sig.name):
                self.process = None
                self.launch(SHIPPED)
                self.start()  # the window painted in the style's colour
                self.process.send_signal(sig)
                self.assertEqual(self.exit_code(), 0)

    def test_a_swipe_from_the_close_icon_does_not_end_the_program(self):
        self.start()
        self.open_clinic()
        xdotool("key", "Escape")
        self.wait_for_bar(True, "after Escape on a button")
        drag(vertical(CLOSE_ICON[0], CLOSE_ICON[1], CLOSE_ICON[1] - 250))
        # The window goes on taking input after the swipe: Кабинет opens the page again.
        xdotool("mousemove", *BUTTON1, "click", 1)
        self.clinic.wait_for("loaded", times=2)
        self.assertIsNone(self.process.poll(), "the swipe ended the program")
        self.process.send_signal(signal.SIGTERM)
        self.assertEqual(self.exit_code(), 0)

    def test_sigterm_ends_the_program_with_zero(self):
        self.start()
        self.process.send_signal(signal.SIGTERM)
        self.assertEqual(self.exit_code(), 0)

    def test_start_up_failures_show_the_application_error_box_and_end_with_one(self):
        cases = [
            (BAD_STYLE, "EStyleError", "Unable to load style 'METROPOLISUIDARK'"),
            (BROKEN_LAYOUT, "ELayoutError",
             "TFORM12: Form12.OnResize: unknown handler 'FormResized'"),
        ]
        for program, kind, message in cases:
            with self.subTest(program=pathlib.Path(program).name):
                self.launch(program)
                self.close_box("Application Error")
                self.assertEqual(self.exit_code(), 1)
                self.assertIn(f"Exception {kind} in module {pathlib.Path(program).name} at ",
                              self.stderr)
                self.assertIn(f".\n{message}\n", self.stderr)

    def test_a_missing_style_is_reported_once_and_the_program_goes_on_unstyled(self):
        self.launch(NO_STYLE)
        self.close_box("Error")
        # The window comes, in the layout's colours; the style was looked for before it was
        # built, so a second box would be up by now. (This copy's targets are not on loopback:
        # nothing is clicked.)
        self.start(splash=LAYOUT_BUTTON_FACE)
        self.assertEqual(visible_windows("^Error$"), [], "the message box comes once")
        self.process.send_signal(signal.SIGTERM)
        self.assertEqual(self.exit_code(), 0)

    # A page that plays sound, with no session runtime folder: the media and sound libraries
    # the engine loads keep their files in the program's folders too.
    def test_the_engine_writes_only_into_its_own_folders(self):
        self.clinic.close()
        self.clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR, sound=True)
        self.addCleanup(self.clinic.close)
        temporary = pathlib.Path(self.home.name, "tmp")
        temporary.mkdir()
        self.launch(PROGRAM, ALSA_CONFIG_PATH=str(NULL_SOUND), TMPDIR=str(temporary))
        self.start()
        self.open_clinic()
        xdotool("mousemove", *IN_PAGE, "click", 1)
        self.clinic.wait_for("playing")
        self.process.send_signal(signal.SIGTERM)
        self.assertEqual(self.exit_code(), 0)
        name = pathlib.Path(PROGRAM).name
        allowed = [pathlib.Path(self.home.name, ".cache", name),
                   pathlib.Path(self.home.name, ".local", "share", name)]
        written = [p for p in pathlib.Path(self.home.name).rglob("*")
                   if p.is_file() or (p.is_dir() and p.parent == temporary)]
        strays = [str(p) for p in written if not any(a in p.parents for a in allowed)]
        self.assertEqual(strays, [])

    def test_after_an_idle_time_the_splash_returns_and_the_visitor_is_forgotten(self):
        self.launch(IDLE_RESET)
        self.start()
        self.open_clinic()
        self.clinic.wait_for("stored-nothing")
        # The idle time starts at a known input after the page came. Input 2 s before the
        # timeout, on the window and in the page, postpones the reset: 2 s past the spell's end
        # the page is still there. The visitor's cookies and web storage are there meanwhile.
        xdotool("mousemove", IN_PAGE[0] + 1, IN_PAGE[1])
        last_input = time.monotonic()
        inputs = [
            ("a click on Кабинет", lambda: xdotool("mousemove", *BUTTON1, "click", 1)),
            ("a move in the page", lambda: xdotool("mousemove", *IN_PAGE)),
        ]
        for what, send in inputs:
            due = last_input + IDLE_SECONDS
            time.sleep(max(0, due - 2 - time.monotonic()))
            send()
            last_input = time.monotonic()
            time.sleep(max(0, due + 2 - time.monotonic()))
            self.assertEqual(pixel(*IN_PAGE), CLINIC_COLOUR, f"the page stays after {what}")
            self.assertLess(time.monotonic(), last_input + IDLE_SECONDS - 2,
                            "the check came too late to tell")
        self.clinic.wait_for("stored-first")
        self.assertEqual(self.clinic.page_cookies[1], "visit=1; patient=7")
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash")
        self.assertGreater(time.monotonic() - last_input, IDLE_SECONDS)
        # The next visitor's first request carries no cookie, and the page finds no storage.
        self.open_clinic()
        self.clinic.wait_for("stored-nothing", times=2)
        self.assertEqual(visible_windows("^Кабинет Duvuzezera$"), [], "the reset shows no box")
        self.assertEqual(self.clinic.page_cookies, ["", "visit=1; patient=7", ""])
        # A key or a button held down past the timeout postpones the reset until its release.
        holds = [
            ("Shift", ["keydown", "shift"], ["keyup", "shift"]),
            ("the left button on the pane", ["mousemove", PANE_FREE, 600, "mousedown", 1],
             ["mouseup", 1]),
        ]
        for what, press, release in holds:
            if pixel(*IN_PAGE) != CLINIC_COLOUR:
                self.open_clinic()
            xdotool(*press)
            time.sleep(IDLE_SECONDS + 2)
            self.assertEqual(pixel(*IN_PAGE), CLINIC_COLOUR, f"reset while {what} was held")
            xdotool(*release)
            released = time.monotonic()
            wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, f"the reset after {what}",
                       IDLE_SECONDS + 10)
            self.assertGreater(time.monotonic() - released, IDLE_SECONDS - 1, what)

    def test_the_engine_warms_up_under_the_splash_unseen_and_unheard(self):
        site = PageServer(SITE_PORT, SITE_COLOUR)
        self.addCleanup(site.close)
        heard = [count_connections(server) for server in (self.clinic, site)]
        splash = [(300, 100), IN_PAGE, (1200, 100), (300, 700), (1200, 700)]

        def splash_stays(what):
            self.assertEqual({pixel(*p) for p in splash}, {SPLASH_COLOUR}, what)
            return web_processes(self.process.pid)

        def engine_warm_under_the_splash(after):
            # Until the engine's content process runs, and a while after, only the splash shows.
            wait_until(lambda: splash_stays(after), f"the engine's web process {after}")
            end = time.monotonic() + 1
            while time.monotonic() < end:
                splash_stays(after)

        self.launch(IDLE_RESET)
        self.start()
        engine_warm_under_the_splash("at start-up")
        self.assertEqual(heard, [[], []], "no target hears from the program before a tap")
        self.open_clinic()
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash after the reset")
        engine_warm_under_the_splash("after the reset")
        self.assertEqual(len(self.clinic.page_cookies), 1, "the reset asks for no page")
        self.open_clinic()
        self.assertEqual(len(self.clinic.page_cookies), 2)

    def test_a_warning_covers_the_page_and_the_input_that_ends_it_goes_no_further(self):
        self.launch(IDLE_WARNING)
        self.start()
        self.open_clinic()
        xdotool("mousemove", *IN_FIELD, "click", 1)
        xdotool("type", "ab")
        self.clinic.wait_for("value-ab")
        last_input = time.monotonic()
        pane = settled(*PANE)
        quiet_part = WARNING_RESET_SECONDS - WARNING_SECONDS
        wait_until(warning_shows, "the warning", timeout=quiet_part + 5)
        self.assertGreater(time.monotonic() - last_input, quiet_part - 0.5)
        self.assertEqual(area(*PANE), pane, "the warning leaves the pane as it is")
        # The count goes down while the warning stays.
        line = area(*WARNING_LINE)
        wait_until(lambda: area(*WARNING_LINE) != line, "the count to change", timeout=3)
        self.assertTrue(warning_shows())

        # A key ends the warning and does not reach the field, which keeps the focus and the
        # value; the next key does.
        xdotool("key", "c")
        wait_until(lambda: pixel(*IN_PAGE_LOW) == CLINIC_COLOUR, "the page after a key")
        xdotool("key", "d")
        self.clinic.wait_for("value-abd")
        self.assertNotIn("keydown-c", self.clinic.reports)

        # So does a tap: the page sees no button and the field keeps the focus.
        wait_until(warning_shows, "the warning again", timeout=quiet_part + 5)
        presses = self.clinic.reports.count("mousedown0")
        xdotool("mousemove", *IN_PAGE, "click", 1)
        wait_until(lambda: pixel(*IN_PAGE_LOW) == CLINIC_COLOUR, "the page after a tap")
        xdotool("key", "e")
        self.clinic.wait_for("value-abde")
        self.assertEqual(self.clinic.reports.count("mousedown0"), presses)
        xdotool("click", 1)
        self.clinic.wait_for("mousedown0", times=presses + 1)

        # Without input the warning runs out into the reset.
        last_input = time.monotonic()
        wait_until(warning_shows, "the last warning", timeout=quiet_part + 5)
        wait_until(splash_shows, "the splash", timeout=WARNING_SECONDS + 5)
        self.assertGreater(time.monotonic() - last_input, WARNING_RESET_SECONDS - 0.5)

    def test_no_reset_while_the_page_plays_sound(self):
        self.clinic.close()
        self.clinic = PageServer(CLINIC_PORT, CLINIC_COLOUR, sound=True)
        self.addCleanup(self.clinic.close)
        self.launch(IDLE_WARNING, ALSA_CONFIG_PATH=str(NULL_SOUND))
        self.start()
        self.open_clinic()
        xdotool("mousemove", *IN_PAGE, "click", 1)  # the gesture the engine wants for sound
        self.clinic.wait_for("playing")
        # Neither the warning nor the reset comes while it plays, however long.
        held_until = time.monotonic() + 2 * WARNING_RESET_SECONDS
        while time.monotonic() < held_until:
            self.assertEqual(pixel(*IN_PAGE_LOW), CLINIC_COLOUR, "the page while the sound plays")
            time.sleep(0.2)
        self.assertIsNone(self.process.poll())
        # Once the page stops it, a whole spell leads to the reset.
        self.clinic.stop_sound()
        self.clinic.wait_for("paused")
        stopped = time.monotonic()
        wait_until(warning_shows, "the warning", timeout=WARNING_RESET_SECONDS + 5)
        wait_until(splash_shows, "the splash", timeout=WARNING_SECONDS + 5)
        self.assertGreater(time.monotonic() - stopped, WARNING_RESET_SECONDS - 0.5)

    def test_without_a_display_start_up_fails_with_the_application_error_text(self):
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        run = subprocess.run([PROGRAM], env=env, capture_output=True, text=True, timeout=30)
        self.assertEqual(run.returncode, 1)
        self.assertIn("Application Error", run.stderr)
        self.assertIn(f"in module {pathlib.Path(PROGRAM).name} at ", run.stderr)
        self.assertIn("Cannot open the display.", run.stderr)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[13:]])
