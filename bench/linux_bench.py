#!/usr/bin/env python3
"""Prints, side by side, for the Linux program and for Chromium in kiosk mode on the same
loopback page: the time from process start to the page painted, and the proportional set
size (PSS) of the whole process tree, the web engine's processes included, once the page
stands. Medians of several runs. Figures only; nothing here passes or fails.

Usage: linux_bench.py PROGRAM PORT [RUNS]
PROGRAM is a build whose "Кабинет" target is http://127.0.0.1:PORT/; it is clicked as soon as
its window is up, since the program opens no page by itself."""
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

BUTTON1 = (96, 41)
SPLASH, SPLASH_COLOUR = (700, 400), (0x1A, 0x1A, 0x1A)
SETTLE = 3.0  # seconds after the paint before memory is read


def pixel(x, y):
    raw = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8",
                          "rgb:-"], capture_output=True).stdout
    return tuple(raw[:3])


def descendants(root):
    children = {}
    for stat in pathlib.Path("/proc").glob("[0-9]*/stat"):
        try:
            text = stat.read_text()
        except OSError:
            continue
        fields = text[text.rindex(")") + 2:].split()
        children.setdefault(int(fields[1]), []).append(int(stat.parent.name))
    tree, stack = [], [root]
    while stack:
        pid = stack.pop()
        tree.append(pid)
        stack.extend(children.get(pid, []))
    return tree


def tree_pss_kib(root):
    total = 0
    for pid in descendants(root):
        try:
            for line in pathlib.Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines():
                if line.startswith("Pss:"):
                    total += int(line.split()[1])
        except OSError:
            pass
    return total


def run_once(command, server, tap_first):
    server.reports.clear()
    server.arrived.clear()
    home = tempfile.mkdtemp()
    env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
    env["HOME"] = home
    start = time.monotonic()
    tapped = None
    with open(pathlib.Path(home, "stderr"), "w") as stderr:
        process = subprocess.Popen(command(home), env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=stderr)
    try:
        if tap_first:
            # The tap on "Кабинет" comes as soon as the window is up and painted.
            while pixel(*SPLASH) != SPLASH_COLOUR:
                if process.poll() is not None or time.monotonic() - start > 60:
                    raise RuntimeError(f"{command(home)[0]} showed no window: "
                                       f"{pathlib.Path(home, 'stderr').read_text()}")
                time.sleep(0.01)
            tapped = time.monotonic() - start
            subprocess.run(["xdotool", "mousemove", *map(str, BUTTON1), "click", "1"], check=True)
        server.wait_for("painted", timeout=60)
        painted = server.arrived["painted"] - start
        time.sleep(SETTLE)
        return painted, tree_pss_kib(process.pid), tapped
    finally:
        for pid in reversed(descendants(process.pid)):
            try:
                os.kill(pid, 9)
            except OSError:
                pass
        process.wait()
        shutil.rmtree(home, ignore_errors=True)


def main(program, port, runs=5):
    port, runs = int(port), int(runs)
    url = f"http://127.0.0.1:{port}/"
    server = PageServer(port, (0x2E, 0x8B, 0x57))
    browser = shutil.which("chromium")
    contenders = [("duvuzezera-webmobclient", lambda home: [program], True)]
    if browser:
        contenders.append(("chromium --kiosk --app", lambda home: [
            browser, "--kiosk", f"--app={url}", "--no-sandbox", "--no-first-run",
            "--disable-gpu", f"--user-data-dir={home}/chromium"], False))
    else:
        print("chromium is not installed: its column stays empty")
    results = {name: [] for name, _, _ in contenders}
    for _ in range(runs):  # alternate, so that both meet the same machine load
        for name, command, window in contenders:
            results[name].append(run_once(command, server, window))
    server.close()
    print(f"Start to first page painted and process-tree PSS, median of {runs} runs, page {url}")
    print(f"{'':28}{'start to painted':>18}{'PSS':>12}")
    medians = {}
    for name, samples in results.items():
        seconds = statistics.median(s for s, _, _ in samples)
        pss = statistics.median(p for _, p, _ in samples)
        medians[name] = (seconds, pss)
        print(f"{name:28}{seconds * 1000:>15.0f} ms{pss / 1024:>9.1f} MiB")
    tapped = [t for _, _, t in results["duvuzezera-webmobclient"]]
    print(f"(the program's figure includes {statistics.median(tapped) * 1000:.0f} ms to its window"
          " painted, when the tap on \"Кабинет\" comes)")
    if len(medians) == 2:
        (ours_t, ours_m), (theirs_t, theirs_m) = medians.values()
        print(f"{'ratio (ours / chromium)':28}{ours_t / theirs_t:>18.2f}{ours_m / theirs_m:>12.2f}")


if __name__ == "__main__":
    main(*sys.argv[1:])
