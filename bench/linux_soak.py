#!/usr/bin/env python3
"""A compressed week of a kiosk's life for the Linux program, printed as figures; nothing here
passes or fails. Visitor sessions tap the loopback buttons ("Кабинет", the site, the user
guide) and the pages under them; the clinic is a long-running web application that allocates
and frees as real ones do (timers, DOM churn, images drawn and dropped, fetches), the user guide
a looping video, the site a page of images. Between sessions the kiosk stands idle and resets;
now and then the web process is killed under a visitor, as a crash would. The process tree's
PSS is printed each minute and at the end, with the memory limit off and then on.

Usage: linux_soak.py PROGRAM PORT [MINUTES [LIMIT_MIB]]
PROGRAM is a build whose "Кабинет" target is http://127.0.0.1:PORT/, whose site and user guide
are on http://127.0.0.1:PORT+1/, and which returns to the splash after a few seconds without
input. Each of the two runs lasts MINUTES (30)."""
import ctypes
import json
import os
import pathlib
import random
import signal
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "tests" / "support" / "gtk"))
from page_server import PathRecorder, send_page  # noqa: E402
from program_process import end_program, process_tree, start_program  # noqa: E402
from screen import pixel, visible_windows, wait_until, xdotool  # noqa: E402

CLINIC, SITE, GUIDE = (96, 41), (96, 89), (96, 230)  # the loopback buttons
IN_PAGE = (700, 400)
SPLASH_COLOUR = (0x1A, 0x1A, 0x1A)

# The web application: its state lives in timers, the DOM, images and fetched data; most of it
# is dropped again, a bounded history is kept, as a single-page application does.
CLINIC_PAGE = """<!doctype html><html><head><style>body { margin: 0; background: #2E8B57;
font: 14px sans-serif; } .row { display: inline-block; width: 90px; height: 20px; margin: 2px;
background: #fff3; } img { width: 160px; height: 90px; }</style></head><body>
<div id="list"></div><div id="images"></div><script>
const list = document.getElementById('list'), images = document.getElementById('images');
const history = [];
setInterval(() => {  // a table redrawn from scratch
  list.replaceChildren();
  for (let i = 0; i < 400; i++) {
    const row = document.createElement('span');
    row.className = 'row';
    row.textContent = 'Запись ' + Math.random().toString(36).slice(2);
    list.appendChild(row);
  }
}, 500);
setInterval(() => {  // a picture drawn, shown, dropped
  const canvas = document.createElement('canvas');
  canvas.width = 640; canvas.height = 360;
  const g = canvas.getContext('2d');
  for (let i = 0; i < 50; i++) {
    g.fillStyle = `hsl(${Math.random() * 360}, 70%, 50%)`;
    g.fillRect(Math.random() * 600, Math.random() * 320, 80, 60);
  }
  canvas.toBlob(blob => {
    const img = new Image();
    const url = URL.createObjectURL(blob);
    img.onload = () => URL.revokeObjectURL(url);
    img.src = url;
    images.prepend(img);
    while (images.children.length > 12) images.lastChild.remove();
  });
}, 700);
setInterval(async () => {  // data fetched, worked through, a little of it kept
  const data = await (await fetch('/data?t=' + Date.now())).json();
  const scratch = data.items.map(item => ({...item, total: item.values.reduce((a, b) => a + b)}));
  history.push(scratch.slice(0, 20));
  if (history.length > 100) history.shift();
}, 1000);
setInterval(() => { let garbage = new Array(200000).fill(0).map((_, i) => ({i})); }, 2000);
fetch('/loaded');
</script></body></html>""".encode()

SITE_PAGE = b"""<!doctype html><html><head><style>body { margin: 0; background: #4682B4; }
img { width: 300px; height: 200px; margin: 4px; }</style></head><body><script>
for (let i = 0; i < 24; i++) {
  const img = new Image();
  img.src = '/picture.svg?n=' + i;
  document.body.appendChild(img);
}
fetch('/loaded');
</script></body></html>"""

GUIDE_PAGE = b"""<!doctype html><html><head><style>body { margin: 0; background: #000; }
video { width: 100%; height: 100%; }</style></head><body>
<video src="/loop.webm" autoplay loop muted></video><script>fetch('/loaded');</script>
</body></html>"""

PICTURE = ("""<svg xmlns="http://www.w3.org/2000/svg" width="600" height="400">"""
           + "".join(f'<circle cx="{(i * 37) % 600}" cy="{(i * 53) % 400}" r="{10 + i % 40}" '
                     f'fill="hsl({i * 7 % 360},70%,50%)"/>' for i in range(300))
           + "</svg>").encode()


def looping_video(path):
    """Five seconds of a moving ball as WebM, made by the GStreamer the engine plays it with."""
    gst = ctypes.CDLL("libgstreamer-1.0.so.0")
    gst.gst_init(None, None)
    gst.gst_parse_launch.restype = ctypes.c_void_p
    gst.gst_parse_launch.argtypes = [ctypes.c_char_p, ctypes.c_void_p]
    gst.gst_element_set_state.argtypes = [ctypes.c_void_p, ctypes.c_int]
    gst.gst_element_get_bus.restype = ctypes.c_void_p
    gst.gst_element_get_bus.argtypes = [ctypes.c_void_p]
    gst.gst_bus_timed_pop_filtered.argtypes = [ctypes.c_void_p, ctypes.c_uint64, ctypes.c_int]
    pipeline = gst.gst_parse_launch(
        ("videotestsrc num-buffers=125 pattern=ball ! video/x-raw,width=640,height=360,"
         f"framerate=25/1 ! vp8enc deadline=1 ! webmmux ! filesink location={path}").encode(),
        None)
    gst.gst_element_set_state(pipeline, 4)  # playing
    eos_or_error = 1 | 2
    gst.gst_bus_timed_pop_filtered(gst.gst_element_get_bus(pipeline), 2**64 - 1, eos_or_error)
    gst.gst_element_set_state(pipeline, 1)  # null
    return pathlib.Path(path).read_bytes()


def serve(video):
    def data():
        return json.dumps({"items": [{"id": i, "name": f"item {i}" * 4,
                                      "values": list(range(i % 50))} for i in range(1500)]})

    def answer(handler):
        path = handler.path.split("?")[0]
        if path == "/data":
            send_page(handler, data().encode(), (("Content-Type", "application/json"),))
        elif path == "/picture.svg":
            send_page(handler, PICTURE, (("Content-Type", "image/svg+xml"),))
        elif path == "/loop.webm":
            send_page(handler, video, (("Content-Type", "video/webm"),))
        elif path == "/loaded":
            send_page(handler, b"")
        elif path.endswith(".pdf"):  # the user guide's address
            send_page(handler, GUIDE_PAGE)
        else:
            send_page(handler, b"")
        return path

    return answer


def tree_pss_mib(root):
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
    for pid in process_tree(root):
        try:
            if b"WebKitWebProcess" in pathlib.Path(f"/proc/{pid}/cmdline").read_bytes():
                return pid
        except OSError:
            pass
    return None


class Kiosk:
    """One run of the program, with the minute's figures printed from a thread of their own."""

    def __init__(self, program, limit, folder, minutes):
        self.folder = folder
        settings = folder / f"kiosk-{limit}.json"
        settings.write_text(json.dumps({"memoryLimitMiB": limit}))
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update(HOME=str(folder / f"home-{limit}"))
        (folder / f"home-{limit}").mkdir()
        self.log = folder / f"stderr-{limit}.txt"
        with open(self.log, "wb") as log:
            self.process = start_program([program, "--config", str(settings)], env=env,
                                         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                         stderr=log)
        window = wait_until(lambda: visible_windows("^Form12$"), "the window", 30)
        xdotool("windowfocus", "--sync", window[0])
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the splash", 30)
        self.limit = limit
        self.started = time.monotonic()
        self.end = self.started + minutes * 60
        self.samples = []
        print(f"  limit {limit or 'off'}, start (splash): {self.sample():.0f} MiB", flush=True)
        self.sessions = self.crashes = 0
        self.done = threading.Event()
        self.reporter = threading.Thread(target=self.report_each_minute, daemon=True)
        self.reporter.start()

    def recycles(self):
        return self.log.read_text(errors="replace").count("over its limit at an idle reset")

    def sample(self):
        pss = tree_pss_mib(self.process.pid)
        self.samples.append(pss)
        return pss

    def report_each_minute(self):
        minute = 0
        while not self.done.wait(max(0, self.started + (minute + 1) * 60 - time.monotonic())):
            minute += 1
            print(f"  limit {self.limit or 'off'}, minute {minute}: {self.sample():.0f} MiB, "
                  f"{self.sessions} sessions, {self.crashes} crashes, {self.recycles()} recycles",
                  flush=True)

    def running(self):
        return time.monotonic() < self.end

    def close(self):
        self.done.set()
        self.reporter.join()
        final = self.sample()
        summary = (f"limit {self.limit or 'off'}: start {self.samples[0]:.0f} MiB, "
                   f"peak {max(self.samples):.0f} MiB, end {final:.0f} MiB; "
                   f"{self.sessions} sessions, {self.crashes} crashes, {self.recycles()} recycles")
        end_program(self.process)
        return summary


def visit(kiosk, rng, server):
    """A visitor's session: a few taps on the buttons and in the pages, then they walk away."""
    kiosk.sessions += 1
    crash_now = kiosk.sessions % 9 == 0
    for _ in range(rng.randint(1, 3)):
        button = rng.choice([CLINIC, CLINIC, SITE, GUIDE])
        before = server.count("/loaded")
        xdotool("mousemove", *button, "click", "1")
        try:
            wait_until(lambda: server.count("/loaded") > before, "the page", 20)
        except AssertionError:
            pass  # a page the engine is still bringing back: the visitor goes on
        # The clinic is where a visitor stays long; the application runs all the while.
        stay = rng.uniform(20, 90) if button == CLINIC else rng.uniform(5, 20)
        until = time.monotonic() + stay
        while time.monotonic() < until and kiosk.running():
            time.sleep(min(3, max(0, until - time.monotonic())))
            xdotool("mousemove", rng.randint(400, 1200), rng.randint(150, 700), "click", "1")
            if crash_now and (pid := web_process(kiosk.process.pid)):
                os.kill(pid, signal.SIGKILL)
                kiosk.crashes += 1
                crash_now = False
        if not kiosk.running():
            return
    # Gone: the idle reset brings the splash back, and the kiosk stands a while.
    try:
        wait_until(lambda: pixel(*IN_PAGE) == SPLASH_COLOUR, "the idle reset", 60)
    except AssertionError:
        pass
    time.sleep(rng.uniform(1, 10))


def main(program, port, minutes=30.0, limit_on=320):
    minutes, limit_on = float(minutes), int(limit_on)
    with tempfile.TemporaryDirectory() as name:
        folder = pathlib.Path(name)
        video = looping_video(folder / "loop.webm")
        clinic = PathRecorder(int(port), lambda h: send_page(h, CLINIC_PAGE)
                              if h.path == "/" else serve(video)(h))
        site = PathRecorder(int(port) + 1, lambda h: send_page(h, SITE_PAGE)
                            if h.path == "/" else serve(video)(h))

        class Loaded:
            def count(self, path):
                return clinic.count(path) + site.count(path)

        summaries = []
        try:
            for limit in (0, limit_on):
                print(f"memoryLimitMiB {limit or 'off'}, {minutes:g} min:", flush=True)
                rng = random.Random(7)  # the same week both times
                kiosk = Kiosk(program, limit, folder, minutes)
                try:
                    while kiosk.running():
                        visit(kiosk, rng, Loaded())
                        clinic.forget()
                        site.forget()
                finally:
                    summaries.append(kiosk.close())
        finally:
            clinic.close()
            site.close()
        print("The process tree's PSS:")
        for summary in summaries:
            print("  " + summary)


if __name__ == "__main__":
    main(*sys.argv[1:])
