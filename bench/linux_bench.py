#!/usr/bin/env python3
"""Prints figures for the Linux program, measured in one run under the private display; nothing
here passes or fails:
- start to the window visible (the splash painted);
- the first tap on "Кабинет" to its page on screen, and a warm tap (the same button again, after
  the site's page) to the same page on screen, both measured at one screen pixel polled every
  millisecond; the ratio first / warm;
- the first tap after an idle reset to its page on screen (a build that resets after 3 s);
- the process tree's PSS with the splash showing (at start, and again after an idle reset) and
  with a page standing;
- the process tree's CPU time with the splash showing, over a minute (at start, and again after
  an idle reset);
and, beside the program, Chromium in kiosk mode on the same loopback page: start to the page
painted, and its process tree's PSS. Medians of several runs.

Usage: linux_bench.py PROGRAM IDLE_RESET_PROGRAM PORT [RUNS]
Both programs are builds whose "Кабинет" target is http://127.0.0.1:PORT/ and whose site is
http://127.0.0.1:PORT+1/; IDLE_RESET_PROGRAM returns to the splash after 3 s without input."""
import ctypes
import os
import pathlib
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "tests" / "support" / "gtk"))
from page_server import PageServer  # noqa: E402
from program_process import process_tree  # noqa: E402

BUTTON1, BUTTON2 = (96, 41), (96, 89)  # "Кабинет", the site
SPLASH, SPLASH_COLOUR = (700, 400), (0x1A, 0x1A, 0x1A)
CLINIC_COLOUR, SITE_COLOUR = (0x2E, 0x8B, 0x57), (0x46, 0x82, 0xB4)
SETTLE = 2.0  # seconds for the window to settle before a tap, and between taps
PAGE_SETTLE = 3.0  # seconds after a page before memory is read
IDLE_MINUTE = 60.0


class Screen:
    """Reads screen pixels and sends clicks through XTest, in this process: a tap and the
    polling cost microseconds, not a helper process's start."""

    def __init__(self):
        self.x = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XGetImage.restype = ctypes.c_void_p
        self.x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x.XGetPixel.restype = ctypes.c_ulong
        self.x.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        self.x.XDestroyImage.argtypes = [ctypes.c_void_p]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_int, ctypes.c_ulong]
        self.display = self.x.XOpenDisplay(None)
        if not self.display:
            raise RuntimeError("cannot open the display")
        self.root = self.x.XDefaultRootWindow(self.display)

    def pixel(self, x, y):
        image = self.x.XGetImage(self.display, self.root, x, y, 1, 1, ~0 & 0xFFFFFFFF, 2)
        if not image:
            return None
        value = self.x.XGetPixel(image, 0, 0)
        self.x.XDestroyImage(image)
        return ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF)

    def click(self, x, y):
        """Returns the time the button went down."""
        self.xtst.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        self.x.XSync(self.display, 0)
        time.sleep(0.05)
        pressed = time.monotonic()
        self.xtst.XTestFakeButtonEvent(self.display, 1, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.display, 1, 0, 0)
        self.x.XFlush(self.display)
        return pressed

    def wait_for(self, colour, process, since, timeout=60):
        """Polls every millisecond; returns the seconds from `since` to `colour` on screen."""
        while self.pixel(*SPLASH) != colour:
            if process.poll() is not None or time.monotonic() - since > timeout:
                raise RuntimeError(f"no {colour} on screen (program ended: "
                                   f"{process.poll() is not None})")
            time.sleep(0.001)
        return time.monotonic() - since

    def tap(self, button, colour, process):
        return self.wait_for(colour, process, self.click(*button))


def tree_pss_kib(root):
    total = 0
    for pid in process_tree(root):
        try:
            for line in pathlib.Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines():
                if line.startswith("Pss:"):
                    total += int(line.split()[1])
        except OSError:
            pass
    return total


def tree_cpu_seconds(root):
    """User and system time of the tree's living processes and of the children they reaped."""
    ticks = 0
    for pid in process_tree(root):
        try:
            text = pathlib.Path(f"/proc/{pid}/stat").read_text()
        except OSError:
            continue
        fields = text[text.rindex(")") + 2:].split()
        ticks += sum(int(f) for f in fields[11:15])  # utime stime cutime cstime
    return ticks / os.sysconf("SC_CLK_TCK")


class Run:
    """One process with a fresh home, killed with its whole tree at the end."""

    def __init__(self, command):
        self.home = tempfile.mkdtemp()
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env["HOME"] = self.home
        self.stderr = pathlib.Path(self.home, "stderr")
        self.start = time.monotonic()
        with open(self.stderr, "w") as stderr:
            self.process = subprocess.Popen(command(self.home), env=env, stdin=subprocess.DEVNULL,
                                            stdout=subprocess.DEVNULL, stderr=stderr)

    def __enter__(self):
        return self

    def __exit__(self, kind, *_):
        if kind is not None and self.stderr.exists():
            sys.stderr.write(self.stderr.read_text())
        for pid in reversed(process_tree(self.process.pid)):
            try:
                os.kill(pid, 9)
            except OSError:
                pass
        self.process.wait()
        shutil.rmtree(self.home, ignore_errors=True)


def program_round(screen, program):
    with Run(lambda home: [program]) as run:
        visible = screen.wait_for(SPLASH_COLOUR, run.process, run.start)
        time.sleep(SETTLE)
        splash_pss = tree_pss_kib(run.process.pid)
        first = screen.tap(BUTTON1, CLINIC_COLOUR, run.process)
        # Warm: "Кабинет" again, its page again, each time after the site's page.
        warm = []
        for _ in range(2):
            time.sleep(SETTLE)
            screen.tap(BUTTON2, SITE_COLOUR, run.process)
            time.sleep(SETTLE)
            warm.append(screen.tap(BUTTON1, CLINIC_COLOUR, run.process))
        time.sleep(PAGE_SETTLE)
        return dict(visible=visible, first=first, warm=statistics.median(warm),
                    splash_pss=splash_pss, page_pss=tree_pss_kib(run.process.pid))


def reset_round(screen, program):
    with Run(lambda home: [program]) as run:
        screen.wait_for(SPLASH_COLOUR, run.process, run.start)
        time.sleep(SETTLE)
        screen.tap(BUTTON1, CLINIC_COLOUR, run.process)
        screen.wait_for(SPLASH_COLOUR, run.process, time.monotonic())  # the reset
        time.sleep(SETTLE)
        # What a kiosk holds under the splash once a visitor has been: compared with the
        # splash of a fresh start, it shows what warming the engine adds.
        splash_pss = tree_pss_kib(run.process.pid)
        return dict(first=screen.tap(BUTTON1, CLINIC_COLOUR, run.process), splash_pss=splash_pss)


def idle_cpu_per_minute(screen, program, after_reset=False):
    with Run(lambda home: [program]) as run:
        screen.wait_for(SPLASH_COLOUR, run.process, run.start)
        if after_reset:  # a visitor's page, then the splash again
            time.sleep(SETTLE)
            screen.tap(BUTTON1, CLINIC_COLOUR, run.process)
            screen.wait_for(SPLASH_COLOUR, run.process, time.monotonic())
        time.sleep(5)  # start-up and the engine's warm-up are over
        before = tree_cpu_seconds(run.process.pid)
        time.sleep(IDLE_MINUTE)
        return (tree_cpu_seconds(run.process.pid) - before) * 60 / IDLE_MINUTE


def chromium_round(browser, url, server):
    server.reports.clear()
    server.arrived.clear()
    with Run(lambda home: [browser, "--kiosk", f"--app={url}", "--no-sandbox", "--no-first-run",
                           "--disable-gpu", f"--user-data-dir={home}/chromium"]) as run:
        server.wait_for("painted", timeout=60)
        painted = server.arrived["painted"] - run.start
        time.sleep(PAGE_SETTLE)
        return dict(painted=painted, page_pss=tree_pss_kib(run.process.pid))


def main(program, idle_reset_program, port, runs=5):
    port, runs = int(port), int(runs)
    url = f"http://127.0.0.1:{port}/"
    clinic = PageServer(port, CLINIC_COLOUR)
    site = PageServer(port + 1, SITE_COLOUR)
    screen = Screen()
    browser = shutil.which("chromium")
    if not browser:
        print("chromium is not installed: its figures stay empty")
    ours, resets, theirs = [], [], []
    for _ in range(runs):  # alternate, so that all meet the same machine load
        ours.append(program_round(screen, program))
        resets.append(reset_round(screen, idle_reset_program))
        if browser:
            theirs.append(chromium_round(browser, url, clinic))
    idle_cpu = idle_cpu_per_minute(screen, program)
    idle_cpu_after_reset = idle_cpu_per_minute(screen, idle_reset_program, after_reset=True)
    clinic.close()
    site.close()

    def median(samples, key):
        return statistics.median(s[key] for s in samples)

    def ms(seconds):
        return f"{seconds * 1000:.0f} ms"

    def mib(kib):
        return f"{kib / 1024:.1f} MiB"

    first, warm = median(ours, "first"), median(ours, "warm")
    print(f"duvuzezera-webmobclient, median of {runs} runs, pages on {url} and the next port")
    rows = [
        ("start to window visible", ms(median(ours, "visible"))),
        ("first tap to page on screen", ms(first)),
        ("warm tap to page on screen", ms(warm)),
        ("ratio first / warm", f"{first / warm:.2f}"),
        ("first tap after an idle reset", ms(median(resets, "first"))),
        ("ratio after reset / warm", f"{median(resets, 'first') / warm:.2f}"),
        ("process tree PSS, splash", mib(median(ours, "splash_pss"))),
        ("  the same after an idle reset", mib(median(resets, "splash_pss"))),
        ("process tree PSS, page", mib(median(ours, "page_pss"))),
        ("CPU per minute, splash", f"{idle_cpu:.2f} s (one minute)"),
        ("  the same after an idle reset", f"{idle_cpu_after_reset:.2f} s (one minute)"),
    ]
    for name, value in rows:
        print(f"  {name:32}{value:>20}")
    if theirs:
        print(f"chromium --kiosk --app, median of {runs} runs")
        print(f"  {'start to page painted':32}{ms(median(theirs, 'painted')):>20}")
        print(f"  {'process tree PSS, page':32}{mib(median(theirs, 'page_pss')):>20}")
        print(f"(the program's pages open on a tap; its start to page painted, without the "
              f"{SETTLE:.0f} s wait, would be about "
              f"{ms(median(ours, 'visible') + first)}; PSS ratio ours / chromium "
              f"{median(ours, 'page_pss') / median(theirs, 'page_pss'):.2f})")


if __name__ == "__main__":
    main(*sys.argv[1:])
