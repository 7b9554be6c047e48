"""A page in one colour, served on a loopback port, whose script reports to the server what
reaches it: pointer buttons, the context menu, keys in its text field and the field's value
after each, its first paint, and what it found in its web storage (then it stores a value
there). The first page request is answered with a session cookie and a persistent one; the
server keeps the cookies that each page request carried. A page with sound plays a looping tone
from its first click outside the field until the server lets it stop (`stop_sound`)."""
import http.server
import io
import math
import struct
import threading
import time
import wave

PAGE = """<!doctype html><html><head><style>
html, body { margin: 0; height: 100%%; background: %s; }
input { position: absolute; left: 400px; top: 20px; width: 300px; height: 40px; }
</style></head><body><input id="field">
<script>
function report(what) { fetch('/report?e=' + encodeURIComponent(what)); }
for (const type of ['mousedown', 'mouseup', 'auxclick', 'click'])
  document.addEventListener(type, e => report(type + e.button));
document.addEventListener('contextmenu', () => report('contextmenu'));
const field = document.getElementById('field');
field.addEventListener('keydown', e => report('keydown-' + e.key));
field.addEventListener('keyup', () => report('value-' + field.value));
%s
report('loaded');
report('stored-' + (localStorage.getItem('visitor') || 'nothing'));
localStorage.setItem('visitor', 'first');
// Two frames on, the page has been painted.
requestAnimationFrame(() => requestAnimationFrame(() => report('painted')));
</script></body></html>"""

# Started by a click, since the engine plays no sound without a gesture; a request the server
# answers only when the test says so stops it.
SOUND = """const tone = new Audio('/tone.wav');
tone.loop = true;
tone.addEventListener('playing', () => report('playing'));
tone.addEventListener('pause', () => report('paused'));
document.addEventListener('click', e => {
  if (e.target === field || !tone.paused) return;
  tone.play().catch(error => report('refused-' + error.name));
  fetch('/stop-sound').then(() => tone.pause());
});"""



def send_page(handler, body, headers=(("Content-Type", "text/html; charset=utf-8"),)):
    """Answers `handler`'s request with 200 and `body` (bytes), after `headers` (name, value)."""
    handler.send_response(200)
    for name, value in headers:
        handler.send_header(name, value)
    handler.send_header("Content-Length", str(len(body)))
    handler.end_headers()
    handler.wfile.write(body)

def tone_wav(seconds=1, rate=22050, frequency=440):
    """A sine tone as a 16-bit mono WAV file."""
    samples = b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * frequency * i / rate)))
                       for i in range(seconds * rate))
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(samples)
    return out.getvalue()


class PageServer:
    """Serves the page in one colour on a loopback port and records what its script reports."""

    def __init__(self, port, colour, sound=False):
        self.reports = []
        self.page_cookies = []  # the Cookie header of each page request, "" for none
        self.arrived = {}  # report -> time.monotonic() of its first arrival
        self.changed = threading.Condition()
        page = (PAGE % ("#%02X%02X%02X" % colour, SOUND if sound else "")).encode()
        tone = tone_wav() if sound else b""
        self.sound_stopped = threading.Event()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                if self.path.startswith("/report?e="):
                    what = self.path.split("=", 1)[1]
                    with server.changed:
                        server.reports.append(what)
                        server.arrived.setdefault(what, time.monotonic())
                        server.changed.notify_all()
                    body = b""
                    cookies = []
                elif self.path == "/stop-sound":
                    server.sound_stopped.wait()
                    body, cookies = b"", []
                elif self.path == "/tone.wav":
                    self.send_response(200)
                    self.send_header("Content-Type", "audio/wav")
                    self.send_header("Content-Length", str(len(tone)))
                    self.end_headers()
                    self.wfile.write(tone)
                    return
                else:
                    body = page
                    with server.changed:
                        server.page_cookies.append(self.headers.get("Cookie", ""))
                        first = len(server.page_cookies) == 1
                    cookies = ["visit=1; Path=/", "patient=7; Path=/; Max-Age=86400"] if first else []
                send_page(self, body, [("Set-Cookie", c) for c in cookies] +
                          [("Content-Type", "text/html; charset=utf-8")])

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def wait_for(self, report, timeout=15, times=1):
        deadline = time.monotonic() + timeout
        with self.changed:
            while self.reports.count(report) < times:
                left = deadline - time.monotonic()
                if left <= 0:
                    raise AssertionError(f"the page never reported {report!r}: {self.reports}")
                self.changed.wait(left)

    def stop_sound(self):
        self.sound_stopped.set()

    def close(self):
        self.sound_stopped.set()
        self.httpd.shutdown()
        self.httpd.server_close()




class PathRecorder:
    """A loopback server that keeps every path asked for; `answer(handler)` answers each GET."""

    def __init__(self, port, answer):
        self.paths = []
        self.changed = threading.Condition()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                with server.changed:
                    server.paths.append(self.path)
                    server.changed.notify_all()
                answer(self)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
        self.httpd.daemon_threads = True
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def forget(self):
        with self.changed:
            self.paths.clear()

    def count(self, path):
        with self.changed:
            return self.paths.count(path)

    def wait_for(self, path, times=1, timeout=15):
        deadline = time.monotonic() + timeout
        with self.changed:
            while self.paths.count(path) < times:
                if not self.changed.wait(max(0, deadline - time.monotonic())):
                    raise AssertionError(f"never asked for {path!r} {times} times: {self.paths}")

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()
