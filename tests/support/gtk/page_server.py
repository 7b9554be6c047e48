"""A page in one colour, served on a loopback port, whose script reports to the server what
reaches it: pointer buttons, the context menu, keys in its text field, its first paint, and
what it found in its web storage (then it stores a value there). The first page request is
answered with a session cookie and a persistent one; the server keeps the cookies that each
page request carried."""
import http.server
import threading
import time

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
report('stored-' + (localStorage.getItem('visitor') || 'nothing'));
localStorage.setItem('visitor', 'first');
// Two frames on, the page has been painted.
requestAnimationFrame(() => requestAnimationFrame(() => report('painted')));
</script></body></html>"""


class PageServer:
    """Serves the page in one colour on a loopback port and records what its script reports."""

    def __init__(self, port, colour):
        self.reports = []
        self.page_cookies = []  # the Cookie header of each page request, "" for none
        self.arrived = {}  # report -> time.monotonic() of its first arrival
        self.changed = threading.Condition()
        page = (PAGE % ("#%02X%02X%02X" % colour)).encode()
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
                else:
                    body = page
                    with server.changed:
                        server.page_cookies.append(self.headers.get("Cookie", ""))
                        first = len(server.page_cookies) == 1
                    cookies = ["visit=1; Path=/", "patient=7; Path=/; Max-Age=86400"] if first else []
                self.send_response(200)
                for cookie in cookies:
                    self.send_header("Set-Cookie", cookie)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

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

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


