#!/usr/bin/env python3
"""The Linux program's own on-screen keyboard, driven as a visitor does: taps through xdotool
on the keys, found where the program's layout data puts them (keyboard_keys), into a page on
loopback whose script reports each field's value, its focus and its size to the server. The
program as built, pointed at the page by a settings file; HOME and XDG_CONFIG_HOME are
temporary folders.

Usage: keyboard_test.py PROGRAM KEYBOARD_KEYS PORT IDLE_RESET_PROGRAM IDLE_RESET_SECONDS
                        [unittest arguments]
(IDLE_RESET_PROGRAM: the program built to return to its splash after IDLE_RESET_SECONDS.)"""
import http.server
import json
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.parse

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "support" / "gtk"))
from page_server import send_page  # noqa: E402
from program_process import end_program, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402

PROGRAM, KEYBOARD_KEYS, PORT = sys.argv[1], sys.argv[2], int(sys.argv[3])
IDLE_RESET_PROGRAM, IDLE_RESET_SECONDS = sys.argv[4], int(sys.argv[5])
BUTTON1 = (96, 41)  # "Кабинет"
PAGE_LEFT = 200  # the navigation pane's width at 96 pixels per inch
PAGE_COLOUR = (0x2E, 0x8B, 0x57)
PANEL_COLOUR = (0x1A, 0x1A, 0x1A)  # the style's panel colour
KEY_BORDER = (0xFF, 0xFF, 0xFF)  # the style's button border, and a pressed button's face

# Each field at a place of its own in the page (page pixels); each empties itself when it
# gets the focus, so every case starts from nothing.
FIELDS = {
    "name": ('type="text"', 20, 20),
    "mail": ('type="email"', 20, 100),
    "phone": ('type="tel"', 20, 180),
    "secret": ('type="password"', 20, 260),
    "low": ('type="text"', 400, 700),  # where the keyboard will cover it
}
FIELD_SIZE = (300, 40)
PAGE = """<!doctype html><html><head><meta charset="utf-8"><style>
html, body { margin: 0; background: #2E8B57; }
body { height: %s; }
input { position: absolute; width: 300px; height: 40px; border: 0; background: #FFD700; }
button { position: absolute; left: 20px; top: 340px; }
</style></head><body><form action="/submitted" method="get">%s<button>Send</button></form>
<script>
function report(what) { fetch('/report?e=' + encodeURIComponent(what)); }
for (const field of document.querySelectorAll('input')) {
  field.addEventListener('focus', () => { field.value = ''; report('focus-' + field.id); });
  field.addEventListener('blur', () => report('blur-' + field.id));
  field.addEventListener('click', () => report('click-' + field.id));
  field.addEventListener('input', () => report('value-' + field.id + '-' + field.value));
}
function where() {
  const low = document.getElementById('low').getBoundingClientRect();
  report('height-' + innerHeight + '-low-' + Math.round(low.top) + '-' + Math.round(low.bottom));
}
window.addEventListener('resize', where);
window.addEventListener('scroll', where);
report('loaded');
</script></body></html>"""


def form_page(body_height):
    inputs = "".join(f'<input id="{name}" name="{name}" {kind} style="left:{x}px;top:{y}px">'
                     for name, (kind, x, y) in FIELDS.items())
    return (PAGE % (body_height, inputs)).encode()


class FormServer:
    """Serves the page and records its reports and the forms submitted to it."""

    def __init__(self, port):
        self.reports = []
        self.submitted = []
        self.changed = threading.Condition()
        self.page = form_page("1400px")
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                url = urllib.parse.urlsplit(self.path)
                query = urllib.parse.parse_qs(url.query, keep_blank_values=True)
                body = b""
                with server.changed:
                    if url.path == "/report":
                        server.reports.append(query["e"][0])
                    elif url.path == "/submitted":
                        server.submitted.append({k: v[0] for k, v in query.items()})
                        body = server.page
                    else:
                        body = server.page
                    server.changed.notify_all()
                send_page(self, body)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def wait(self, condition, what, timeout=15):
        deadline = time.monotonic() + timeout
        with self.changed:
            while not (result := condition()):
                left = deadline - time.monotonic()
                if left <= 0:
                    raise AssertionError(f"timed out waiting for {what}: {self.reports[-12:]}")
                self.changed.wait(left)
            return result

    def wait_for(self, report, times=1):
        self.wait(lambda: self.reports.count(report) >= times, repr(report))

    def last_value(self, field):
        values = [r for r in self.reports if r.startswith(f"value-{field}-") or r == f"focus-{field}"]
        return values[-1][len(f"value-{field}-"):] if values and values[-1] != f"focus-{field}" else ""

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class Keys:
    """Where each key lies on the screen, from the program's own layout data, and which page
    shows: the program starts a field's keyboard on the page its purpose asks for, and the
    visitor's language stays from one text field to the next."""

    def __init__(self, screen, purpose="text"):
        out = subprocess.run([KEYBOARD_KEYS, purpose, str(screen[0]), "96"], check=True,
                             capture_output=True, text=True).stdout.splitlines()
        self.height = int(out[0].split()[1])
        self.top = screen[1] - self.height
        self.keys = {}
        for line in out[1:]:
            page, key, x, y, w, h = line.split(" ")
            self.keys[(page, key)] = (int(x), self.top + int(y), int(w), int(h))

    def centre(self, page, key):
        x, y, w, h = self.keys[(page, key)]
        return x + w // 2, y + h // 2

    def border(self, page, key):
        """A point on the key's frame, clear of its label."""
        x, y, w, h = self.keys[(page, key)]
        return x, y + h // 2


class KeyboardTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.home = pathlib.Path(folder.name, "home")
        self.home.mkdir()
        self.xdg = pathlib.Path(folder.name, "xdg")
        self.server = FormServer(PORT)
        self.addCleanup(self.server.close)
        self.process = None
        self.language = "russian"

    def tearDown(self):
        if self.process:
            end_program(self.process)

    def start(self, program=PROGRAM, **settings):
        config = self.xdg / "duvuzezera-webmobclient" / "kiosk.json"
        config.parent.mkdir(parents=True, exist_ok=True)
        config.write_text(json.dumps({"clinicHost": f"127.0.0.1:{PORT}", **settings}))
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=str(self.home), XDG_CONFIG_HOME=str(self.xdg))
        self.process = start_program([program], env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = wait_until(lambda: visible_windows("^Form12$"), "the window")
        xdotool("windowfocus", "--sync", window[0])
        geometry = subprocess.run(["xdotool", "getdisplaygeometry"], check=True,
                                  capture_output=True, text=True).stdout.split()
        self.screen = (int(geometry[0]), int(geometry[1]))
        self.keys = {p: Keys(self.screen, p) for p in ("text", "email", "phone")}
        wait_until(lambda: pixel(700, 400) == PANEL_COLOUR, "the splash")
        xdotool("mousemove", *BUTTON1, "click", 1)
        self.server.wait_for("loaded")
        wait_until(lambda: pixel(700, 400) == PAGE_COLOUR, "the page")

    def panel_point(self):
        """A point in the panel's top gap, over the page when the panel is hidden."""
        return 700, self.keys["text"].top + 2

    def panel_image(self):
        """The screen where the panel shows, as raw pixels."""
        top = self.keys["text"].top
        return subprocess.run(["import", "-window", "root", "-crop",
                               f"{self.screen[0]}x{self.screen[1] - top}+0+{top}", "-depth", "8",
                               "rgb:-"], check=True, capture_output=True).stdout

    def panel_shows(self):
        return pixel(*self.panel_point()) == PANEL_COLOUR

    def tap_field(self, field, times=1):
        _, x, y = FIELDS[field]
        xdotool("mousemove", PAGE_LEFT + x + 10, y + 10, "click", 1)
        self.server.wait_for(f"focus-{field}", times)

    def tap_outside(self, times=1, field="name"):
        xdotool("mousemove", 1000, 400, "click", 1)
        self.server.wait_for(f"blur-{field}", times)
        wait_until(lambda: not self.panel_shows(), "the keyboard to hide")

    def type_keys(self, taps, purpose="text"):
        """Taps the keys named in TAPS (space-separated ids), following the page as it changes."""
        keys = self.keys[purpose]
        letters = {"text": self.language, "email": "english", "phone": self.language}[purpose]
        page = "digits" if purpose == "phone" else letters
        for key in taps.split():
            xdotool("mousemove", *keys.centre(page, key), "click", 1)
            if key == "language":
                letters = "english" if letters == "russian" else "russian"
                page = letters
                if purpose == "text":
                    self.language = letters
            elif key == "symbols":
                page = "symbols"
            elif key == "letters":
                page = letters

    def wait_value(self, field, value):
        self.server.wait(lambda: self.server.last_value(field) == value,
                         f"{field} to read {value!r}")

    def test_taps_type_cyrillic_and_latin_text_into_the_field(self):
        self.start()
        cases = [
            ("п р и в е т", "привет"),
            ("shift м и р space language o k", "Мир ok"),  # English stays for the next field
            ("h i space language ё ж", "hi ёж"),
            ("д а backspace о", "до"),
            ("symbols 1 2 ₽ ? letters я", "12₽?я"),
        ]
        for times, (taps, text) in enumerate(cases, 1):
            with self.subTest(taps):
                self.tap_field("name", times)
                wait_until(self.panel_shows, "the keyboard")
                self.type_keys(taps)
                self.wait_value("name", text)
                self.tap_outside(times)

    def test_enter_submits_the_form_and_an_email_field_has_its_at_key(self):
        self.start()
        self.tap_field("mail")
        wait_until(self.panel_shows, "the keyboard")
        self.type_keys("a @ b . r u", "email")
        self.wait_value("mail", "a@b.ru")
        self.type_keys("enter", "email")
        submitted = self.server.wait(lambda: self.server.submitted, "the form")
        self.assertEqual(submitted[0]["mail"], "a@b.ru")

    def test_a_phone_field_shows_the_digits_pad(self):
        self.start()
        self.tap_field("phone")
        keys = self.keys["phone"]
        # The pad's keys lie where no letter key does: its frame shows the pad itself.
        wait_until(lambda: pixel(*keys.border("digits", "5")) == KEY_BORDER, "the digits pad")
        self.type_keys("+ 7 9 0 backspace 1", "phone")
        self.wait_value("phone", "+791")

    def test_a_password_field_receives_its_text(self):
        self.start()
        self.tap_field("secret")
        wait_until(self.panel_shows, "the keyboard")
        self.type_keys("language shift q w symbols 7")
        self.wait_value("secret", "Qw7")

    def test_the_panel_shows_below_the_field_and_tapping_outside_hides_it(self):
        # A long page has room to scroll already, and stays scrolled when the panel goes; one
        # no taller than the window gets the room only from the panel and loses it with the
        # panel, so that the field lies under the keys again at the next tap.
        for body_height, taps in (("1400px", 1), ("auto", 2)):
            self.restart(body_height)
            self.assertFalse(self.panel_shows())
            for times in range(1, taps + 1):
                with self.subTest(body_height=body_height, times=times):
                    before = len(self.server.reports)
                    self.tap_field("low", times)
                    wait_until(self.panel_shows, "the keyboard")
                    self.check_low_field_above_the_keyboard(before)
                    before = len(self.server.reports)
                    self.tap_outside(times, field="low")
                    self.server.wait(lambda: any(r.startswith(f"height-{self.screen[1]}-")
                                                 for r in self.server.reports[before:]),
                                     "the page's full height back")

    def restart(self, body_height):
        """The program afresh on a page of that height, the reports of before forgotten."""
        if self.process:
            end_program(self.process)
            self.process = None
        with self.server.changed:
            self.server.reports.clear()
            self.server.page = form_page(body_height)
        self.start()

    def check_low_field_above_the_keyboard(self, since):
        """The view gave up the panel's height, and the page moved the field into what is
        left, with no key typed."""
        def above_the_keyboard():
            for report in self.server.reports[since:]:
                match = re.fullmatch(r"height-(\d+)-low-(-?\d+)-(-?\d+)", report)
                if not match:
                    continue
                height, top, bottom = map(int, match.groups())
                if height == self.keys["text"].top and 0 <= top and bottom <= height:
                    return [top]
            return None

        [top] = self.server.wait(above_the_keyboard, "the field above the keyboard")
        _, x, _ = FIELDS["low"]
        wait_until(lambda: pixel(PAGE_LEFT + x + 5, top + 5) == (0xFF, 0xD7, 0x00),
                   "the field on the screen above the keyboard")

    def test_the_keyboard_takes_each_fields_page_as_the_focus_moves(self):
        self.start()
        # field, its purpose, the page it must show, a key only that page has where it lies
        steps = [
            ("name", "text", "russian", "ж"),
            ("mail", "email", "english", "@"),
            ("phone", "phone", "digits", "5"),
            ("name", "text", "russian", "я"),
        ]
        shown = None
        for field, purpose, page, key in steps:
            with self.subTest(field=field, after=shown):
                before = self.panel_image()
                self.tap_field(field, self.server.reports.count(f"focus-{field}") + 1)
                # Each page differs from the one before it: the panel changes once it shows.
                wait_until(lambda: self.panel_image() != before, f"the {page} page")
                self.assertTrue(self.panel_shows())
                self.type_keys(key, purpose)
                self.wait_value(field, key)
                shown = page

    def test_a_held_key_shows_pressed_and_the_hide_key_hides(self):
        self.start()
        self.tap_field("name")
        wait_until(self.panel_shows, "the keyboard")
        keys = self.keys["text"]
        x, y, w, h = keys.keys[("russian", "space")]
        inside = (x + w // 4, y + h // 4)
        self.assertEqual(pixel(*inside), PANEL_COLOUR)
        xdotool("mousemove", *inside, "mousedown", 1)
        try:
            wait_until(lambda: pixel(*inside) == KEY_BORDER, "the pressed face")
        finally:
            xdotool("mouseup", 1)
        self.wait_value("name", " ")
        wait_until(lambda: pixel(*inside) == PANEL_COLOUR, "the face released")
        self.type_keys("hide")
        wait_until(lambda: not self.panel_shows(), "the keyboard to hide")
        # The field kept the focus: a tap into it brings the keyboard back.
        self.tap_field_again("name")
        wait_until(self.panel_shows, "the keyboard again")

    def tap_field_again(self, field):
        """Away from the first tap, so that the two make no double click (which selects)."""
        _, x, y = FIELDS[field]
        xdotool("mousemove", PAGE_LEFT + x + 200, y + 20, "click", 1)

    def test_a_stroke_that_starts_on_the_keyboard_is_no_gesture(self):
        self.start()
        self.tap_field("name")
        wait_until(self.panel_shows, "the keyboard")
        # A straight stroke up from a key, over the page: anywhere else a swipe-up.
        x, y = self.keys["text"].centre("russian", "ф")
        xdotool("mousemove", x, y, "mousedown", 1)
        for step in range(1, 11):
            xdotool("mousemove", x, y - 30 * step)
        xdotool("mouseup", 1)
        self.type_keys("я")
        self.wait_value("name", "я")  # no letter from the stroke
        self.type_keys("hide")
        wait_until(lambda: not self.panel_shows(), "the keyboard to hide")
        # The app bar, had it come, would lie along the bottom edge over the page.
        self.assertEqual(pixel(700, self.screen[1] - 10), PAGE_COLOUR, "the app bar showed")

    def swipe_up_on_the_pane(self):
        """Over the navigation pane's free area, above the keyboard."""
        xdotool("mousemove", 100, 500, "mousedown", 1)
        for step in range(1, 8):
            xdotool("mousemove", 100, 500 - 25 * step)
        xdotool("mouseup", 1)

    def test_the_app_bar_and_the_keyboard_never_show_together(self):
        self.start()
        self.tap_field("name")
        wait_until(self.panel_shows, "the keyboard")
        # The bar comes, the keyboard goes.
        self.swipe_up_on_the_pane()
        wait_until(lambda: not self.panel_shows(), "the keyboard to hide")
        bar = (700, self.screen[1] - 10)
        wait_until(lambda: pixel(*bar) == PANEL_COLOUR, "the app bar")
        # While the bar shows, a tap into the focused field brings no keyboard.
        self.tap_field_again("name")
        self.server.wait_for("click-name", 2)
        self.assertFalse(self.panel_shows(), "the keyboard came over the bar")
        self.assertEqual(pixel(*bar), PANEL_COLOUR, "the app bar went")
        # Once the bar has gone, the next tap brings it.
        self.swipe_up_on_the_pane()
        wait_until(lambda: pixel(*bar) == PAGE_COLOUR, "the app bar to hide")
        self.tap_field_again("name")
        wait_until(self.panel_shows, "the keyboard again")

    def test_the_idle_reset_hides_the_keyboard(self):
        self.start(IDLE_RESET_PROGRAM)
        self.tap_field("name")
        key = self.keys["text"].border("russian", "ф")
        wait_until(lambda: pixel(*key) == KEY_BORDER, "the keyboard")
        # The splash covers the page again, and no key of the keyboard lies over it.
        wait_until(lambda: pixel(700, 400) == PANEL_COLOUR, "the splash",
                   timeout=IDLE_RESET_SECONDS + 10)
        wait_until(lambda: pixel(*key) == PANEL_COLOUR, "the keyboard to hide")

    def test_a_hardware_key_sends_the_keyboard_away(self):
        self.start()
        self.tap_field("name")
        wait_until(self.panel_shows, "the keyboard")
        xdotool("type", "ab")
        self.wait_value("name", "ab")
        wait_until(lambda: not self.panel_shows(), "the keyboard to hide")
        self.tap_field_again("name")
        wait_until(self.panel_shows, "the keyboard again")
        self.type_keys("в")
        self.wait_value("name", "abв")

    def test_without_the_setting_no_keyboard_shows_and_keys_still_type(self):
        self.start(onScreenKeyboard=False)
        # Before any key, which would hide the panel anyway: once the page has moved the focus
        # on to a second field, the first field's panel would be up.
        self.tap_field("name")
        self.tap_field("mail")
        self.assertFalse(self.panel_shows())
        self.tap_field("name", times=2)
        xdotool("type", "abc")
        self.wait_value("name", "abc")
        self.assertFalse(self.panel_shows())


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[6:]])
